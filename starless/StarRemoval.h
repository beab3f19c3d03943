#pragma once

#include <opencv2/core.hpp>
#include <string>

// Takes the stars out of a picture and keeps what is wider than they are: nebulae, galaxy
// cores, the sky's gradients. A grey opening with a disc of `radius` pixels per channel keeps
// every structure that holds such a disc and removes narrower ones. The opening settles on the
// troughs of the noise, below the sky's level: what it took from each tile of four radii, the
// median there, is put back, so sky and nebulae keep their level while the stars, a few pixels
// of a tile, stay out. A small Gaussian softens the edges the disc leaves behind.
class StarRemoval {
public:
    static constexpr int defaultRadius = 8;

    explicit StarRemoval(int radius = defaultRadius);

    // The starless picture of a 16-bit image of three channels, of the same size and type.
    cv::Mat starless(const cv::Mat& image) const;

    // An image as read from a file made 16-bit with three channels: 8-bit samples scaled up,
    // grey spread to three channels, alpha dropped. Empty, with the reason in `error`, when
    // the image is empty or of a sample format this does not know.
    static cv::Mat toColour16(const cv::Mat& image, std::string* error);

private:
    int radius;

    // What the opening took from the level of each tile, spread smoothly over the picture.
    cv::Mat levelTaken(const cv::Mat& image, const cv::Mat& opened) const;
};
