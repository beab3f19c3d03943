#include "Make3D.h"

#include "AsideWork.h"
#include "Conv3DDialog.h"
#include "DataFolder.h"
#include "DebugLog.h"
#include "HostPath.h"
#include "MessageDialog.h"
#include "SettingsRecord.h"
#include "StereoJob.h"
#include "StereoSource.h"
#include "UserPrompt.h"

#include <QFileInfo>
#include <random>

namespace {

constexpr int starlessWatchMs = 200;
// The box tells the composition's progress at most this often.
constexpr int progressMs = 100;

bool exists(const QString& windowsPath) {
    return QFileInfo::exists(HostPath::toHost(windowsPath));
}

} // namespace

Make3D::Make3D(SettingsRecord& settingsRecord, DataFolder& dataFolder, const QString& programDir,
               QWidget& mainWindow)
    : settings(settingsRecord)
    , folder(dataFolder)
    , appDir(programDir)
    , window(mainWindow) {
    connect(&timer, &QTimer::timeout, this, &Make3D::watch);
}

Make3D::~Make3D() {
    preparing.reset();
    job.reset();
    if (box)
        delete box.data();
}

bool Make3D::inProgress() const {
    return (dialog && dialog->isVisible()) || phase != Phase::Idle;
}

bool Make3D::boxOpen() const {
    return box && box->isVisible();
}

void Make3D::start(const QString& sourcePath, int quarterTurns) {
    if (inProgress())
        return;
    if (!StarlessRun::installed()) {
        UserPrompt::showMessage(QStringLiteral("StarNet2がインストールされていません"));
        return;
    }
    source = sourcePath;
    rotation = quarterTurns;
    // Not exec(): the main loop, and with it guiding and the mount, goes on while the user
    // chooses.
    dialog = new Conv3DDialog(settings, appDir, &window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, &Make3D::chosen);
    dialog->open();
}

void Make3D::chosen() {
    if (!UserPrompt::askYesNo(QStringLiteral("3D化します。続行しますか?")))
        return;
    if (source.isEmpty() || !exists(source)) {
        debugLog("file cannot open %s", qUtf8Printable(source));
        return;
    }
    output = StereoSource::outputPath(source, settings._3dfor);
    // The old file stays listed, and on disk, until the new one has been written.
    if (exists(output) &&
        !UserPrompt::askYesNo(QStringLiteral("3D化ファイルは既に存在します。上書きしますか?")))
        return;
    prepare();
}

// Reading a large frame and writing it for StarNet++ take seconds: done aside, under the box.
void Make3D::prepare() {
    box = new MessageDialog(QStringLiteral("解析中"), QStringLiteral("中断"), &window);
    box->setWindowTitle(QStringLiteral("解析中"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
    prepared = false;
    preparing = std::make_unique<AsideWork>([this] {
        const cv::Mat picture = StereoSource::read(source, 16, rotation, &sourceData);
        size = picture.size();
        // An unreadable source: the reader has said why.
        prepared = !picture.empty() && StarlessRun::prepare(picture);
    });
    phase = Phase::Preparing;
    timer.start(starlessWatchMs);
}

void Make3D::watch() {
    if (phase == Phase::Preparing)
        watchPreparing();
    else if (phase == Phase::Starless)
        watchStarless();
    else if (phase == Phase::Composing)
        watchComposing();
}

void Make3D::watchPreparing() {
    if (!preparing->done())
        return;
    preparing.reset();
    if (!boxOpen())
        debugLog("plate end");
    if (!boxOpen() || !prepared) {
        end();
        return;
    }
    starless.start();
    phase = Phase::Starless;
}

// StarNet++ is done when it has ended, not when its file appears: it may still be writing.
void Make3D::watchStarless() {
    if (!boxOpen()) {
        debugLog("plate end");
        starless.abort();
        end();
        return;
    }
    if (starless.running())
        return;
    box->setText(QStringLiteral("画像合成中もうしばらくお待ちください"));
    StereoJob::Input input;
    input.source = source;
    input.output = output;
    input.rotation = rotation;
    input.size = size;
    input.data = sourceData;
    input.options.format = settings._3dfor;
    input.options.depth = settings._3ddep;
    input.options.strength = settings._3dstr;
    input.seed = std::random_device()();
    job = std::make_unique<StereoJob>(input);
    phase = Phase::Composing;
    timer.start(progressMs);
}

void Make3D::watchComposing() {
    if (!boxOpen())
        job->stop();
    const StereoJob::Outcome outcome = job->outcome();
    if (outcome == StereoJob::Outcome::Running) {
        if (boxOpen() && job->total() > 0)
            box->setText(QString::asprintf("%d/%d complete", job->done(), job->total()));
        return;
    }
    job.reset();
    if (outcome == StereoJob::Outcome::Written)
        list();
    end();
}

// Listed once, as the current file; only in the folder it was made in.
void Make3D::list() {
    const int slash = output.lastIndexOf('\\');
    if (output.left(slash) != folder.folder())
        return;
    folder.addFileOnce(output.mid(slash + 1));
    if (listed)
        listed();
}

void Make3D::end() {
    timer.stop();
    phase = Phase::Idle;
    if (box)
        delete box.data();
}
