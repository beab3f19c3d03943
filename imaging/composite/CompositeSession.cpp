#include "CompositeSession.h"

#include "AtomicFile.h"
#include "CompositeFrameReader.h"
#include "CompositeNames.h"
#include "CompositeStarDetector.h"
#include "CompositeView.h"
#include "DebugLog.h"
#include "FrameAligner.h"
#include "HostPath.h"
#include "Retouch.h"
#include "SettingsRecord.h"
#include "StereoSource.h"
#include "TiffFile.h"
#include "UserPrompt.h"

#include <QEventLoop>
#include <QFile>
#include <algorithm>
#include <functional>
#include <thread>

namespace {

const char* const processedRefusal = "画像処理されたファイルはコンポジットできません";

QString withCount(const QString& name, int count) {
    return QString("%1(%2)").arg(name).arg(count);
}

// A retouched composite ("K") or a 3D file: pictures made for the eye, not frames to stack.
bool isProcessed(const QString& name) {
    return name.startsWith('K') || StereoSource::isOutputName(name);
}

// Runs the work on a thread of its own while this thread's events are served.
void runAside(const std::function<void()>& work) {
    QEventLoop waiting;
    std::thread worker([&] {
        work();
        QMetaObject::invokeMethod(&waiting, "quit", Qt::QueuedConnection);
    });
    waiting.exec();
    worker.join();
}

} // namespace

CompositeSession::CompositeSession(CompositeView& compositeView, const SettingsRecord& record,
                                   const QString& dataFolder)
    : view(compositeView)
    , settings(record)
    , folder(dataFolder) {}

void CompositeSession::refuse(const QString& message, bool unattended) const {
    if (unattended)
        UserPrompt::showNotice(message);
    else
        UserPrompt::showMessage(message);
}

bool CompositeSession::setCompositeBase(const QString& fileName) {
    if (fileName.isEmpty())
        return false;
    if (isProcessed(fileName)) {
        accumulator = CompositeAccumulator();
        base.clear();
        names.clear();
        lastName.clear();
        view.setReport({});
        UserPrompt::showMessage(QString::fromUtf8(processedRefusal));
        return false;
    }
    CompositeFrame frame;
    if (!CompositeFrameReader(folder).read(fileName, frame))
        return false;
    const int frameCount = std::max(1, int(frame.data.frameCount));
    if (!accumulator.start(frame.image, frameCount))
        return false;
    base = frame.name;
    names = QStringList{base};
    lastName.clear();
    width = frame.image.cols;
    height = frame.image.rows;
    colour = frame.isColour();
    baseData = frame.data;
    debugLog("set Comp Base");
    debugLog("%s", base.toUtf8().constData());
    debugLog("convert 16 to 8");
    baseStars = CompositeStarDetector::detectStars(frame.grey);

    view.showComposite(base, accumulator.count());
    view.setReport({});
    if (base.contains('+'))
        loadReport(base);
    else
        view.appendReport("新規:" + withCount(base, accumulator.count()));
    view.showImage(accumulator.image());
    view.setUnsaved(false);
    return true;
}

CompositeSession::Addition CompositeSession::addToComposite(const QString& fileName,
                                                            bool unattended) {
    if (!hasBase() || fileName.isEmpty())
        return Addition::Refused;
    if (isProcessed(fileName)) {
        refuse(QString::fromUtf8(processedRefusal), unattended);
        return Addition::Refused;
    }
    const auto alreadyIn = [&](const QString& name) {
        return std::any_of(names.begin(), names.end(),
                           [&](const QString& in) { return CompositeNames::sameFrame(in, name); });
    };
    if (alreadyIn(fileName)) {
        refuse("既にコンポジットされています", unattended);
        return Addition::Refused;
    }
    // Reading, aligning and averaging a large frame take a second or more: done aside, while
    // the window goes on answering. What the window could start meanwhile (saving, taking
    // back, closing, another addition) waits for it: its owner holds those.
    enum class Outcome { Unreadable, OtherKind, NoMatch, SizeMismatch, NotAdded, Stacked };
    Outcome outcome = Outcome::Unreadable;
    CompositeFrame frame;
    int frameCount = 1;
    const cv::Size size(width, height);
    const int condition = settings.compCond;
    runAside([&] {
        if (!CompositeFrameReader(folder).read(fileName, frame))
            return;
        // A mono frame cannot join a colour composite, nor the reverse.
        if (frame.image.size() != size || frame.isColour() != colour) {
            outcome = Outcome::OtherKind;
            return;
        }
        frameCount = std::max(1, int(frame.data.frameCount));
        std::vector<StarEntry> stars = CompositeStarDetector::detectStars(frame.grey);
        const FrameAlignment alignment = FrameAligner::align(baseStars, stars, size, condition);
        if (alignment.outcome != FrameAlignment::Aligned) {
            outcome = alignment.outcome == FrameAlignment::NoMatch ? Outcome::NoMatch
                                                                   : Outcome::SizeMismatch;
            return;
        }
        const bool added = accumulator.add(
            FrameAligner::warpOntoBase(frame.image, alignment.warp, size), frameCount);
        outcome = added ? Outcome::Stacked : Outcome::NotAdded;
    });
    switch (outcome) {
    case Outcome::Unreadable:
    case Outcome::NotAdded:
        return Addition::Refused;
    case Outcome::OtherKind:
        refuse("基準ファイルと画像サイズが異なります", unattended);
        return Addition::Refused;
    case Outcome::NoMatch:
        view.appendReport("マッチせず1:" + withCount(frame.name, frameCount));
        return Addition::NotAligned;
    case Outcome::SizeMismatch:
        view.appendReport("ガイドエラー:" + withCount(frame.name, frameCount));
        return Addition::NotAligned;
    case Outcome::Stacked:
        break;
    }
    view.showComposite(base, accumulator.count());
    view.showImage(accumulator.image());
    view.appendReport("追加:" + withCount(frame.name, frameCount));
    names << frame.name;
    lastName = frame.name;
    view.setUnsaved(true);
    return Addition::Stacked;
}

bool CompositeSession::takeBack() {
    if (lastName.isEmpty() || !accumulator.takeBack())
        return false;
    view.showComposite(base, accumulator.count());
    view.showImage(accumulator.image());
    view.appendReport("削除:" + lastName);
    names.removeAll(lastName);
    lastName.clear();
    return true;
}

CompositeSession::Saved CompositeSession::saveComposite() {
    if (!hasBase())
        return {};
    const QString name = CompositeNames::savedName(base, accumulator.count());
    const QString path = folder + name;
    debugLog("%s", path.toUtf8().constData());
    ShootingData data;
    data.model = baseData.model;
    data.gain = baseData.gain;
    data.offset = baseData.offset;
    data.exposureNumerator = baseData.exposureNumerator;
    data.exposureDenominator = baseData.exposureDenominator;
    data.dateTime = baseData.dateTime;
    data.frameCount = accumulator.count();
    data.correctionFlags = 0;

    cv::Mat processed;
    Retouch(view.retouch()).apply(accumulator.image(), processed);
    const QString processedName = CompositeNames::processedName(name);
    const bool written = writeTiff(path, accumulator.image(), data) == 1 &&
                         writeTiff(folder + processedName, processed, data) == 1 &&
                         writeReport(name);
    if (!written) {
        debugLog("composite save failed: %s", path.toUtf8().constData());
        UserPrompt::showMessage("保存できませんでした");
        return {};
    }
    view.setUnsaved(false);
    return {name, processedName};
}

void CompositeSession::loadReport(const QString& compositeName) {
    QFile file(HostPath::toHost(folder + CompositeNames::reportName(compositeName)));
    if (!file.open(QIODevice::ReadOnly))
        return;
    QStringList lines;
    while (!file.atEnd()) {
        QByteArray line = file.readLine(1001);
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        lines << QString::fromUtf8(line);
    }
    view.setReport(lines);
}

bool CompositeSession::writeReport(const QString& compositeName) const {
    QByteArray content;
    for (const QString& line : view.report())
        content += line.toUtf8() + '\n';
    const QString path = HostPath::toHost(folder + CompositeNames::reportName(compositeName));
    if (AtomicFile::write(path, content) != AtomicFile::Written) {
        debugLog("report file create error");
        return false;
    }
    return true;
}
