#include "E2eProgram.h"

#include "Clock.h"
#include "HostPath.h"
#include "MainProgram.h"
#include "MainWindow.h"
#include "ProcessState.h"
#include "SimCamera.h"
#include "SimObservatory.h"
#include "UserPrompt.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace {

void copyTree(const QString& from, const QString& to) {
    QDirIterator it(from, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString target = to + file.mid(from.size());
        QDir().mkpath(QFileInfo(target).path());
        QFile::remove(target);
        QFile::copy(file, target);
    }
}

} // namespace

E2eProgram::E2eProgram(const Options& options) {
    qputenv("VESPERIX_SIM", options.simulator ? "1" : "0");
    if (!options.simulator)
        qputenv("VESPERIX_DEVICE_LIBS", qgetenv("VESPERIX_BIN_DIR") + "/dropin");
    qputenv("VESPERIX_SIM_CAMERAS", options.cameras.toUtf8());
    qputenv("VESPERIX_SIM_ACCESSORIES", options.accessories.toUtf8());
    qputenv("VESPERIX_SIM_SHUTTER", options.shutterAdapter ? "1" : "0");
    Clock::setScale(options.clockScale);
    if (options.clockStart.isValid())
        Clock::setStartDate(options.clockStart);
    UserPrompt::setMessageHandler([this](const QString& text) { messages << text; });
    UserPrompt::setQuestionHandler([this](const QString& question) {
        messages << question;
        return true;
    });
    QStringList arguments{
        HostPath::fromHost(qEnvironmentVariable("VESPERIX_BIN_DIR") + "/Vesperix.exe")};
    if (options.digitalCameraMode)
        arguments << "d";
    renewProcessState(); // each case starts as the program does, whatever ran before it
    mainProgram = std::make_unique<MainProgram>();
    mainProgram->start(arguments);
    // The offscreen screen is 800 x 600; the telescope's computer shows the whole form.
    window().showNormal();
    window().resize(1280, 740);
}

E2eProgram::~E2eProgram() {
    mainProgram.reset();
    UserPrompt::setMessageHandler(nullptr);
    UserPrompt::setQuestionHandler(nullptr);
    const QString keep = qEnvironmentVariable("VESPERIX_TEST_KEEP");
    if (!keep.isEmpty())
        copyTree(drives.root(), keep + '/' + QTest::currentTestFunction());
}

ProcessState& E2eProgram::state() {
    return mainProgram->state();
}

SettingsRecord& E2eProgram::settings() {
    return *mainProgram->state().settings;
}

MainWindow& E2eProgram::window() {
    return mainProgram->window();
}

SimCamera& E2eProgram::camera(int index) {
    return *mainProgram->sim()->cameras().at(index);
}

bool E2eProgram::runUntil(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (!condition()) {
        if (elapsed.elapsed() > timeoutMs)
            return false;
        mainProgram->loop().mainLoopPass();
    }
    return true;
}

void E2eProgram::runFor(int clockMs) {
    const std::int64_t until = Clock::nowMs() + clockMs;
    runUntil([until] { return Clock::nowMs() >= until; });
}

bool E2eProgram::press(const char* objectName) {
    auto* button = window().findChild<QPushButton*>(objectName);
    if (!button || !button->isVisible() || !button->isEnabled())
        return false;
    QTest::mouseClick(button, Qt::LeftButton);
    return true;
}

QString E2eProgram::buttonText(const char* objectName) {
    return window().findChild<QPushButton*>(objectName)->text();
}

QString E2eProgram::labelText(const char* objectName) {
    return window().findChild<QLabel*>(objectName)->text();
}

QString E2eProgram::dataPath(const QString& name) const {
    return HostPath::toHost("C:\\VesperixData\\" + name);
}

QStringList E2eProgram::dataFiles() const {
    return QDir(HostPath::toHost("C:\\VesperixData")).entryList(QDir::Files, QDir::Name);
}
