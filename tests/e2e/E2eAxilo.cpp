#include "E2eAxilo.h"

#include "AxiloProgram.h"
#include "AxiloPrompt.h"
#include "CameraLibraries.h"
#include "Clock.h"
#include "HostPath.h"
#include "PreviewWindow.h"
#include "SimObservatory.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

E2eAxilo::E2eAxilo(const Options& options) {
    qputenv("VESPERIX_SIM", "1");
    qputenv("VESPERIX_SIM_CAMERAS", options.cameras.toUtf8());
    Clock::setScale(options.clockScale);
    if (options.clockStart.isValid())
        Clock::setStartDate(options.clockStart);
    if (!options.settings.isEmpty())
        drives.writeSettingsFile("Axilo.ini", options.settings);
    AxiloPrompt::setMessageHandler([this](const QString& text) { messages << text; });
    AxiloPrompt::setQuestionHandler([this](const QString&, const QString& text) {
        messages << text;
        return true;
    });
    const QString binDir = qEnvironmentVariable("VESPERIX_BIN_DIR");
    const QString folder =
        HostPath::fromHost(options.programFolder.isEmpty() ? binDir : options.programFolder);
    observatory =
        std::make_unique<SimObservatory>(HostPath::fromHost(binDir), SimCameraModel::connected());
    observatory->installCameraLibraries();
    axilo = std::make_unique<AxiloProgram>(folder);
    axilo->start();
}

E2eAxilo::~E2eAxilo() {
    axilo.reset();
    CameraLibraries::reset();
    AxiloPrompt::setMessageHandler(nullptr);
    AxiloPrompt::setQuestionHandler(nullptr);
}

bool E2eAxilo::runUntil(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (!condition()) {
        if (elapsed.elapsed() > timeoutMs)
            return false;
        axilo->mainLoopPass();
    }
    return true;
}

void E2eAxilo::runFor(int clockMs) {
    const std::int64_t until = Clock::nowMs() + clockMs;
    runUntil([until] { return Clock::nowMs() >= until; });
}

bool E2eAxilo::press(const char* objectName) {
    auto* button = axilo->window().findChild<QPushButton*>(objectName);
    if (!button || !button->isVisible() || !button->isEnabled())
        return false;
    QTest::mouseClick(button, Qt::LeftButton);
    return true;
}

QString E2eAxilo::shownText(const char* objectName) {
    auto* label = axilo->window().findChild<QLabel*>(objectName);
    return label && label->isVisible() ? label->text() : QString();
}

QByteArray E2eAxilo::settingsFile() const {
    return drives.readSettingsFile("Axilo.ini");
}
