// Figures of the capture on the simulated observatory, one case per run:
//   capture_figures live <camera>    frames per second live view shows, against the frames
//                                    the camera delivered, and the processor it takes
//   capture_figures idle <camera>    the processor the program takes while idle
//   capture_figures goto <camera>    the same with the mount connected and the goto window
//                                    open: its position update every half second
//   capture_figures focuser <camera> the same with the focuser dialog open and polling;
//                                    fails at 1 % of one core or more
//   capture_figures series <camera>  peak memory through a dark, a flat and a corrected
//                                    light series, against six 16-bit frames plus 200 MB
//   capture_figures guide <main>,<guide camera>
//                                    the processor the program takes while it guides on 1 s
//                                    frames, against the same program idle
// Processor shares include the simulated camera's rendering, which runs in the same process.
#include "AutoGuider.h"
#include "CameraDevice.h"
#include "Clock.h"
#include "DataFolder.h"
#include "FocuserService.h"
#include "GuiderService.h"
#include "HostPath.h"
#include "ImageDisplay.h"
#include "MainProgram.h"
#include "MainWindow.h"
#include "ProcessState.h"
#include "SettingsRecord.h"
#include "UserPrompt.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <sys/resource.h>

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The peak resident memory of this process so far, in MB.
double peakMb() {
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

bool runUntil(MainProgram& program, const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (!condition()) {
        if (elapsed.elapsed() > timeoutMs)
            return false;
        program.loop().mainLoopPass();
    }
    return true;
}

void runFor(MainProgram& program, int ms) {
    QElapsedTimer elapsed;
    elapsed.start();
    runUntil(
        program, [&] { return elapsed.elapsed() >= ms; }, ms + 1000);
}

void press(MainProgram& program, const char* name) {
    program.window().findChild<QPushButton*>(name)->click();
}

int liveView(MainProgram& program, const QString& camera) {
    int shown = 0;
    ImageDisplay& display = program.display();
    display.present = [&](const QImage&) { ++shown; };
    program.state().settings->lexposure = 0; // the camera's fastest frames
    press(program, "pushButton_7");
    runFor(program, 1000); // the first frames
    const long readBefore = program.liveFramesRead();
    const int shownBefore = shown;
    const double cpuBefore = cpuSeconds();
    const int ms = 5000;
    runFor(program, ms);
    const double fps = (shown - shownBefore) * 1000.0 / ms;
    const double delivered = (program.liveFramesRead() - readBefore) * 1000.0 / ms;
    const double cpu = 100.0 * (cpuSeconds() - cpuBefore) / (ms / 1000.0);
    std::printf("LiveView %-10s %s %4d x %4d  %6.1f frames/s shown  camera %6.1f frames/s  "
                "ratio %.2f  cpu %5.1f %% of one core\n",
                qPrintable(camera), program.capture().liveViewBinned() ? "binned" : "full  ",
                program.capture().liveWidth(), program.capture().liveHeight(), fps, delivered,
                delivered > 0 ? fps / delivered : 0.0, cpu);
    return fps > 0 ? 0 : 1;
}

// The share of one core the program takes while idle, in percent.
double idle(MainProgram& program, const QString& camera) {
    runFor(program, 1000);
    const double cpuBefore = cpuSeconds();
    const int ms = 10000;
    runFor(program, ms);
    const double cpu = 100.0 * (cpuSeconds() - cpuBefore) / (ms / 1000.0);
    std::printf("Idle     %-10s %5.2f %% of one core over %d s\n", qPrintable(camera), cpu,
                ms / 1000);
    return cpu;
}

// The user at the modal lists: the simulated controller in the port dialog, the first camera
// in a camera chooser.
struct ListAnswers {
    ListAnswers() {
        QObject::connect(&poll, &QTimer::timeout, [] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog)
                return;
            if (auto* ports = dialog->findChild<QListWidget*>("comPortListWidget")) {
                const QList<QListWidgetItem*> mount =
                    ports->findItems("Mount Controller", Qt::MatchContains);
                if (!mount.isEmpty())
                    ports->setCurrentItem(mount.first());
            } else if (auto* cameras = dialog->findChild<QListWidget*>("listWidget")) {
                cameras->setCurrentRow(0);
            } else {
                return;
            }
            dialog->findChild<QPushButton*>("pushButton")->click();
        });
        poll.start(5);
    }
    QTimer poll;
};

// "接続" with the simulated controller chosen in the port dialog, then "導入".
bool openGoto(MainProgram& program) {
    ListAnswers user;
    press(program, "pushButton_72");
    if (!program.state().mount)
        return false;
    press(program, "pushButton_58");
    return program.window().gotoWindowOpen() != nullptr;
}

// Guiding on the stored directions of the simulated guide scope, without calibrating.
int guide(MainProgram& program, const QString& cameras) {
    runFor(program, 1000);
    double cpuBefore = cpuSeconds();
    const int ms = 20000;
    runFor(program, ms);
    const double idleCpu = 100.0 * (cpuSeconds() - cpuBefore) / (ms / 1000.0);

    SettingsRecord& settings = *program.state().settings;
    settings.gexposure = 10; // 1 s
    settings.dirRight = 'E';
    settings.dirLeft = 'W';
    settings.dirUpper = 'N';
    settings.dirLower = 'S';
    {
        ListAnswers user;
        press(program, "pushButton_59");
    }
    AutoGuider* window = program.guider().window();
    if (!window)
        return 1;
    window->findChild<QPushButton*>("pushButton_2")->click(); // "ガイド"
    if (!runUntil(
            program, [&] { return window->session().state() == GuideSession::Choosing; }, 20000))
        return 1;
    window->findChild<QPushButton*>("pushButton_32")->click(); // "選択"
    runFor(program, 5000);
    cpuBefore = cpuSeconds();
    runFor(program, ms);
    const double guideCpu = 100.0 * (cpuSeconds() - cpuBefore) / (ms / 1000.0);
    const bool guiding = window->session().state() == GuideSession::Running;
    std::printf("Guiding  %-18s 1 s frames %5.2f %% of one core, idle %5.2f %%, above idle "
                "%5.2f %% (goal 3)%s\n",
                qPrintable(cameras), guideCpu, idleCpu, guideCpu - idleCpu,
                guiding ? "" : "  NOT GUIDING");
    return guiding ? 0 : 1;
}

int series(MainProgram& program, const QString& camera) {
    ProcessState& state = program.state();
    SettingsRecord& settings = *state.settings;
    settings.timRep = 2;
    settings.timMin = 0;
    settings.timSec = 1;
    settings.timInt = 0;
    const double startUp = peakMb();
    auto seriesDone = [&] {
        return runUntil(
                   program, [&] { return state.captureState == 3; }, 120000) &&
               runUntil(
                   program, [&] { return !state.darkCaptureMode && !state.flatCaptureMode; },
                   60000);
    };
    press(program, "pushButton_33"); // a master dark
    if (!seriesDone())
        return 1;
    press(program, "pushButton_32");
    press(program, "pushButton_34"); // a master flat
    if (!seriesDone())
        return 1;
    press(program, "pushButton_32");
    press(program, "pushButton_26"); // light frames with both corrections
    press(program, "pushButton_28");
    settings.timRep = 3;
    press(program, "pushButton_6");
    if (!runUntil(
            program, [&] { return program.dataFolder().count() == 3; }, 120000))
        return 1;
    const CameraDevice& device = *state.camera;
    const double frameMb = double(device.width) * device.height * 2 / (1024.0 * 1024.0);
    const double limit = 6 * frameMb + 200;
    const double peak = peakMb();
    std::printf("SeriesMemory %-10s %d x %d  peak %6.0f MB (after start-up %4.0f MB)  limit "
                "%6.0f MB (6 x %.0f MB + 200)  ratio %.2f\n",
                qPrintable(camera), device.width, device.height, peak, startUp, limit, frameMb,
                peak / limit);
    return peak <= limit ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 3) {
        std::printf("usage: capture_figures live|idle|goto|focuser|series <camera>\n"
                    "       capture_figures guide <main camera>,<guide camera>\n");
        return 2;
    }
    QTemporaryDir drives;
    qputenv("VESPERIX_DRIVES", drives.path().toUtf8());
    qputenv("VESPERIX_SIM", "1");
    qputenv("VESPERIX_SIM_CAMERAS", arguments[2].toUtf8());
    qputenv("VESPERIX_SIM_ACCESSORIES", arguments[1] == "focuser" ? "EAF" : "");
    const bool series = arguments[1] == "series";
    Clock::setScale(series ? 10 : 1);
    UserPrompt::setMessageHandler(
        [](const QString& text) { std::printf("message: %s\n", qPrintable(text)); });
    MainProgram program;
    {
        ListAnswers user; // the main camera, when there are several
        program.start(
            {HostPath::fromHost(QCoreApplication::applicationDirPath() + "/../bin/Vesperix")});
    }
    if (arguments[1] == "live")
        return liveView(program, arguments[2]);
    if (arguments[1] == "idle") {
        idle(program, arguments[2]);
        return 0;
    }
    if (arguments[1] == "focuser") {
        program.focuser().open(&program.window());
        if (!program.focuser().dialog())
            return 1;
        return idle(program, arguments[2] + "+EAF") < 1.0 ? 0 : 1;
    }
    if (arguments[1] == "guide")
        return guide(program, arguments[2]);
    if (arguments[1] == "goto") {
        if (!openGoto(program))
            return 1;
        idle(program, arguments[2] + "+goto");
        return 0;
    }
    return ::series(program, arguments[2]);
}
