// starnet++ <input> <output> [stride]
//
// Writes the starless picture of the input TIFF to the output path as a 16-bit RGB TIFF. The
// picture is written under a temporary name beside the output and renamed into place, so the
// output appears whole or not at all. The stride is accepted and ignored. Exit code 0 when
// written; otherwise 1 (2 for a wrong command line) and one line on stderr.
#include "StarRemoval.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <opencv2/core/utils/logger.hpp>
#include <opencv2/imgcodecs.hpp>
#include <string>
#include <system_error>

namespace {

// One line, whatever the reason holds (OpenCV's run over several).
int fail(std::string what, const std::string& path) {
    std::replace(what.begin(), what.end(), '\n', ' ');
    std::fprintf(stderr, "starnet++: %s: %s\n", what.c_str(), path.c_str());
    return 1;
}

// Reads, removes the stars, writes; throws only where memory or OpenCV gives out.
int removeStars(const std::string& input, const std::filesystem::path& output) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(input, ec))
        return fail("no such file", input);
    std::string error;
    const cv::Mat image = StarRemoval::toColour16(cv::imread(input, cv::IMREAD_UNCHANGED), &error);
    if (image.empty())
        return fail("cannot read the picture (" + error + ")", input);
    const cv::Mat starless = StarRemoval().starless(image);

    // The extension tells OpenCV the format, so the temporary name keeps ".tif".
    std::filesystem::path temporary = output;
    temporary.replace_filename("." + output.filename().string() + ".writing.tif");
    bool written = false;
    try {
        written = cv::imwrite(temporary.string(), starless);
    } catch (const cv::Exception&) {
        written = false;
    }
    if (!written) {
        std::filesystem::remove(temporary, ec);
        return fail("cannot write the picture", temporary.string());
    }
    std::filesystem::rename(temporary, output, ec);
    if (ec) {
        std::filesystem::remove(temporary, ec);
        return fail("cannot move the picture into place", output.string());
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: starnet++ <input> <output> [stride]\n");
        return 2;
    }
    // OpenCV's own warnings would add lines of their own to the one that tells what failed.
    cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_SILENT);
    try {
        return removeStars(argv[1], argv[2]);
    } catch (const std::exception& e) {
        return fail(e.what(), argv[1]);
    }
}
