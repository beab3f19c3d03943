#include "FrameFiles.h"

#include "BayerPattern.h"
#include "DataFolder.h"
#include "DemosaicRows.h"
#include "SettingsRecord.h"
#include "TiffFile.h"

#include <cstdlib>
#include <opencv2/imgproc.hpp>

QString rawFileName(const FrameWriteJob& job, int number) {
    if (job.kind == 'M' && !job.isColor && job.filterWheel)
        return QString::asprintf("%c%05d_%d.tif", job.kind, number, job.filterPosition + 1);
    if (job.kind == 'D' && job.cooled) {
        const QString suffix =
            QString::asprintf(job.temperature >= 0 ? "P%02d" : "M%02d", std::abs(job.temperature));
        return QString::asprintf("%c%05d_%s.tif", job.kind, number, qPrintable(suffix));
    }
    return QString::asprintf("%c%05d.tif", job.kind, number);
}

QString colourFileName(int number) {
    return QString::asprintf("C%05d.tif", number);
}

WrittenFiles writeFrameFiles(const FrameWriteJob& job, DataFolder& folder) {
    WrittenFiles written;
    written.kind = job.kind;
    QString numberFolder;
    const int number = folder.takeNextNumber(numberFolder);
    written.rawName = rawFileName(job, number);
    written.rawPath = numberFolder + '\\' + written.rawName;
    written.rawWritten = writeTiff(written.rawPath, job.frame, job.data) == 1;
    written.ok = written.rawWritten;
    if (!written.rawWritten || job.kind != 'M' || !job.isColor)
        return written;

    // The demosaic needs whole 2 x 2 cells of a one-channel mosaic.
    bool colourWritten = false;
    if (job.frame.type() == CV_16UC1 && job.frame.rows >= 2 && job.frame.cols >= 2) {
        DemosaicRows colour(job.frame, BayerPattern::demosaicCode(job.bayer));
        const QString name = colourFileName(number);
        colourWritten = writeTiff(
                            numberFolder + '\\' + name, job.frame.cols, job.frame.rows, 3,
                            [&colour](int y) { return colour.row(y); }, job.data) == 1;
        if (colourWritten)
            written.colourName = name;
    }
    written.ok = colourWritten;
    return written;
}

QString registerWrittenFiles(const WrittenFiles& written, DataFolder& folder,
                             SettingsRecord& settings, int& darkCaptureMode, int& flatCaptureMode) {
    // The series is over whether or not its master could be written.
    if (written.kind == 'D')
        darkCaptureMode = 0;
    else if (written.kind == 'F')
        flatCaptureMode = 0;
    if (!written.rawWritten)
        return QString();

    if (written.kind == 'D') {
        settings.preDark = written.rawName;
    } else if (written.kind == 'F') {
        settings.preFlat = written.rawName;
    } else if (written.rawPath.startsWith(folder.folder() + '\\')) {
        // A frame written just before a drive change stays on its own drive's list.
        folder.addFile(written.rawName);
    }
    return fileNameLabel(written.rawPath);
}

QString fileNameLabel(const QString& path) {
    const int nameStart = path.lastIndexOf('\\') + 1;
    return path.mid(nameStart, path.lastIndexOf('.') - nameStart);
}
