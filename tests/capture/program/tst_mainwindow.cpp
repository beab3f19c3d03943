#include "CameraDevice.h"
#include "MainWindow.h"
#include "ProcessState.h"
#include "Screenshot.h"
#include "SettingsFile.h"
#include "SettingsRecord.h"
#include "TestDrives.h"
#include "TestObservatory.h"

#include <QGroupBox>
#include <QLCDNumber>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QtTest>
#include <memory>

namespace {

// A main window over its own process state and default settings.
struct Window {
    Window() {
        settings.setDefaults();
        state.settings = &settings;
    }
    MainWindow& open() {
        window = std::make_unique<MainWindow>(state);
        window->show();
        return *window;
    }
    template <typename T = QPushButton> T* find(const char* name) {
        T* widget = window->findChild<T*>(name);
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }
    void press(const char* name) { QTest::mouseClick(find(name), Qt::LeftButton); }
    bool shown(const char* name) { return find<QWidget>(name)->isVisible(); }
    QString text(const char* name) { return find(name)->text(); }
    // What a value display shows: an LCD's number or a label's text.
    QString display(const QString& name) {
        QWidget* widget = window->findChild<QWidget*>(name);
        if (auto* lcd = qobject_cast<QLCDNumber*>(widget))
            return QString::number(lcd->intValue());
        return qobject_cast<QLabel*>(widget)->text();
    }

    SettingsRecord settings;
    ProcessState state;
    std::unique_ptr<MainWindow> window;
};

int& field(SettingsRecord& settings, const QString& name) {
    static const QHash<QString, int SettingsRecord::*> fields = {
        {"timRep", &SettingsRecord::timRep},       {"timMin", &SettingsRecord::timMin},
        {"timSec", &SettingsRecord::timSec},       {"timInt", &SettingsRecord::timInt},
        {"gain", &SettingsRecord::gain},           {"lgain", &SettingsRecord::lgain},
        {"lexposure", &SettingsRecord::lexposure}, {"temp", &SettingsRecord::temp},
        {"slowC", &SettingsRecord::slowC},         {"slowW", &SettingsRecord::slowW}};
    return settings.*fields.value(name);
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void constructionShowsTheSettings();
    void stepButtonsKeepTheirLimits_data();
    void stepButtonsKeepTheirLimits();
    void liveSettingsReachTheCamera();
    void brightness();
    void correctionSwitchesMarkTheActiveButton();
    void modes_data();
    void modes();
    void viewingWithStellaImage();
    void digitalCameraModeHidesItsGroups_data();
    void digitalCameraModeHidesItsGroups();
    void withoutCamera_data();
    void withoutCamera();
    void playbackAndBack();
    void infoPanelToggles();
    void exitSavesTheSettings();
    void longTextsShrink_data();
    void longTextsShrink();
};

void TestMainWindow::constructionShowsTheSettings() {
    Window w;
    w.settings.gain = 7;
    w.settings.timSec = 30;
    w.settings.lexposure = 13; // the file allows one index beyond the label's table
    w.settings.temp = -15;
    w.settings.liveBright = 40;
    w.settings.preDark = "D00012.tif";
    w.settings._focal = 530;
    w.state.appDir = "C:\\NoSuchFolder";
    MainWindow& window = w.open();
    QCOMPARE(window.size(), QSize(1280, 740));
    QCOMPARE(w.display("lcdNumberGain"), QString("7"));
    QCOMPARE(w.display("lcdNumberTimSec"), QString("30"));
    QCOMPARE(w.display("lcdNumberTemp"), QString("-15"));
    QCOMPARE(w.display("labelExposure"), QString("4"));
    QCOMPARE(w.find<QSlider>("verticalSlider")->value(), 40);
    QCOMPARE(w.settings.liveBright, 40);
    QCOMPARE(w.find<QLabel>("labelDarkFileName")->text(), QString("D00012.tif"));
    QCOMPARE(w.find<QLabel>("labelFocal")->text(), QString("530mm"));
    QCOMPARE(w.find<QLabel>("labelFileName")->text(), QString("---"));
    QCOMPARE(w.text("pushButton_72"), QString("接続"));
    QCOMPARE(w.text("pushButton"), QString("終了"));
    QVERIFY(!window.statusBar()->isVisible());
    for (const char* hidden :
         {"groupBoxInfo", "label_16", "pushButton_39", "pushButton_46", "pushButton_55"})
        QVERIFY2(!w.shown(hidden), hidden);
    // The drives appear with the drive scan; the button that scans again stays.
    QVERIFY(w.shown("pushButton_45"));
    QCOMPARE(window.mode(), 0);
    // The rotate picture is missing: the button keeps a text.
    QVERIFY(!w.text("pushButton_74").isEmpty());
}

void TestMainWindow::stepButtonsKeepTheirLimits_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("lcd");
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    auto row = [](const char* name, const char* button, const char* setting, const char* lcd,
                  int before, int after) {
        QTest::newRow(name) << button << setting << lcd << before << after;
    };
    row("timRep +1 below", "pushButton_10", "timRep", "lcdNumberTimRep", 98, 99);
    row("timRep +1 at 99", "pushButton_10", "timRep", "lcdNumberTimRep", 99, 99);
    row("timRep -1 at 0", "pushButton_17", "timRep", "lcdNumberTimRep", 0, 0);
    row("timRep +10 at 89", "pushButton_8", "timRep", "lcdNumberTimRep", 89, 99);
    row("timRep +10 at 90", "pushButton_8", "timRep", "lcdNumberTimRep", 90, 90);
    row("timRep -10 at 10", "pushButton_9", "timRep", "lcdNumberTimRep", 10, 0);
    row("timRep -10 at 9", "pushButton_9", "timRep", "lcdNumberTimRep", 9, 9);
    row("timMin +1", "pushButton_12", "timMin", "lcdNumberTimMin", 5, 6);
    row("timMin -1 at 1", "pushButton_19", "timMin", "lcdNumberTimMin", 1, 0);
    row("timMin +10 at 90", "pushButton_11", "timMin", "lcdNumberTimMin", 90, 90);
    row("timMin -10 at 15", "pushButton_18", "timMin", "lcdNumberTimMin", 15, 5);
    row("timSec +1 at 58", "pushButton_14", "timSec", "lcdNumberTimSec", 58, 59);
    row("timSec +1 at 59", "pushButton_14", "timSec", "lcdNumberTimSec", 59, 59);
    row("timSec -1 at 0", "pushButton_21", "timSec", "lcdNumberTimSec", 0, 0);
    row("timSec +10 at 49", "pushButton_13", "timSec", "lcdNumberTimSec", 49, 59);
    row("timSec +10 at 50", "pushButton_13", "timSec", "lcdNumberTimSec", 50, 50);
    row("timSec -10 at 9", "pushButton_20", "timSec", "lcdNumberTimSec", 9, 9);
    row("timInt +1 at 99", "pushButton_16", "timInt", "lcdNumberTimInt", 99, 99);
    row("timInt -1", "pushButton_23", "timInt", "lcdNumberTimInt", 50, 49);
    row("timInt +10", "pushButton_15", "timInt", "lcdNumberTimInt", 3, 13);
    row("timInt -10 at 10", "pushButton_22", "timInt", "lcdNumberTimInt", 10, 0);
    row("gain +1 at 24", "pushButton_24", "gain", "lcdNumberGain", 24, 25);
    row("gain +1 at 25", "pushButton_24", "gain", "lcdNumberGain", 25, 25);
    row("gain -1 at 0", "pushButton_25", "gain", "lcdNumberGain", 0, 0);
    row("lgain +1 at 25", "pushButton_2", "lgain", "lcdNumberLiveGain", 25, 25);
    row("lgain -1", "pushButton_3", "lgain", "lcdNumberLiveGain", 10, 9);
    row("lexposure +1 to 1/60", "pushButton_4", "lexposure", "labelExposure", 3, 4);
    row("lexposure +1 at 12", "pushButton_4", "lexposure", "labelExposure", 12, 12);
    row("lexposure -1 to 1/1000", "pushButton_5", "lexposure", "labelExposure", 1, 0);
    row("lexposure -1 from beyond", "pushButton_5", "lexposure", "labelExposure", 13, 12);
    row("temp +1 at 98", "pushButton_63", "temp", "lcdNumberTemp", 98, 99);
    row("temp +1 at 99", "pushButton_63", "temp", "lcdNumberTemp", 99, 99);
    row("temp -1 at -98", "pushButton_64", "temp", "lcdNumberTemp", -98, -99);
    row("temp -1 at -99", "pushButton_64", "temp", "lcdNumberTemp", -99, -99);
    row("slowC +1 at 99", "pushButton_66", "slowC", "lcdNumberSlowC", 99, 99);
    row("slowC +1 from file's 100", "pushButton_66", "slowC", "lcdNumberSlowC", 100, 100);
    row("slowC -1", "pushButton_65", "slowC", "lcdNumberSlowC", 1, 0);
    row("slowW +1", "pushButton_68", "slowW", "lcdNumberSlowW", 0, 1);
    row("slowW -1 at 0", "pushButton_67", "slowW", "lcdNumberSlowW", 0, 0);
}

void TestMainWindow::stepButtonsKeepTheirLimits() {
    QFETCH(QString, button);
    QFETCH(QString, setting);
    QFETCH(QString, lcd);
    QFETCH(int, before);
    QFETCH(int, after);
    static const QStringList exposures = {"1/1000", "1/500", "1/250", "1/125", "1/60",
                                          "1/30",   "1/16",  "1/8",   "1/4",   "1/2",
                                          "1",      "2",     "4"};
    Window w;
    field(w.settings, setting) = before;
    w.open();
    w.press(qPrintable(button));
    QCOMPARE(field(w.settings, setting), after);
    QCOMPARE(w.display(lcd),
             lcd == "labelExposure" ? exposures.value(after) : QString::number(after));
}

void TestMainWindow::liveSettingsReachTheCamera() {
    TestObservatory sky({"ASI294MC"});
    Window w;
    CameraDevice camera(w.state.stateMutex, TestObservatory::programFolder(), w.settings);
    camera.openAsi(0);
    QCOMPARE(camera.gainMax, 570);
    w.state.camera = &camera;
    w.state.noCamera = false;
    w.settings.lgain = 9;
    w.settings.lexposure = 3;
    w.open();
    sky.clearCalls();
    w.press("pushButton_2");
    w.press("pushButton_4");
    QCOMPARE(sky.calls(),
             (QStringList{"ASISetControlValue(0, 228)", "ASISetControlValue(1, 16667)"}));

    // At the limits nothing changes and nothing is sent.
    w.settings.lgain = 25;
    w.settings.lexposure = 0;
    sky.clearCalls();
    w.press("pushButton_2");
    w.press("pushButton_5");
    QVERIFY(sky.calls().isEmpty());

    // Marked as without camera: the settings change, the camera is left alone.
    w.state.noCamera = true;
    w.press("pushButton_3");
    QCOMPARE(w.settings.lgain, 24);
    QVERIFY(sky.calls().isEmpty());
}

void TestMainWindow::brightness() {
    Window w;
    w.settings.liveBright = 250;
    w.open();
    auto* slider = w.find<QSlider>("verticalSlider");
    w.press("pushButton_83");
    QCOMPARE(w.settings.liveBright, 255);
    QCOMPARE(slider->value(), 255);
    w.press("pushButton_85");
    QCOMPARE(w.settings.liveBright, 0);
    w.press("pushButton_84");
    QCOMPARE(w.settings.liveBright, 0);
    slider->setValue(123);
    QCOMPARE(w.settings.liveBright, 123);
    w.press("pushButton_84");
    QCOMPARE(w.settings.liveBright, 113);
    QCOMPARE(slider->value(), 113);
}

void TestMainWindow::correctionSwitchesMarkTheActiveButton() {
    Window w;
    w.open();
    auto red = [&](const char* name) { return w.find(name)->styleSheet().contains("red"); };
    const char* const pairs[][2] = {{"pushButton_26", "pushButton_27"},
                                    {"pushButton_28", "pushButton_29"},
                                    {"pushButton_81", "pushButton_82"}};
    int* const flags[] = {&w.state.darkOn, &w.state.flatOn, &w.state.autoComposite};
    for (int i = 0; i < 3; ++i) {
        const char* on = pairs[i][0];
        const char* off = pairs[i][1];
        QVERIFY2(red(off) && !red(on), on); // off at start
        w.press(on);
        QCOMPARE(*flags[i], 1);
        QVERIFY2(red(on) && !red(off), on);
        w.press(off);
        QCOMPARE(*flags[i], 0);
        QVERIFY2(red(off) && !red(on), on);
    }
}

void TestMainWindow::modes_data() {
    QTest::addColumn<int>("mode");
    // Texts of pushButton_7, 38, 6, 32, 33, 34, 35, 36, 37 ("" where hidden).
    QTest::addColumn<QStringList>("texts");
    // Disabled buttons, shown panels.
    QTest::addColumn<QStringList>("disabled");
    QTest::addColumn<QStringList>("panels");
    QTest::newRow("idle") << 0
                          << QStringList{"ライブビュー", "1枚撮影", "撮影", "再生", "ダーク撮影",
                                         "フラット撮影", "一括",    "",     ""}
                          << QStringList{} << QStringList{"groupBoxMain"};
    QTest::newRow("live view") << 1 << QStringList{"停止", "1枚撮影", "撮影", "再生",      "拡大",
                                                   "情報", "ワイド",  "星図", "星図合わせ"}
                               << QStringList{"pushButton_6", "pushButton_32"}
                               << QStringList{"groupBoxLiveView"};
    QTest::newRow("capturing") << 2
                               << QStringList{"ライブビュー", "1枚撮影", "停止", "再生", "拡大",
                                              "情報",         "ワイド",  "前へ", "次へ"}
                               << QStringList{"pushButton_7", "pushButton_38", "pushButton_32"}
                               << QStringList{"labelTimeCount", "labelFileName", "pushButton_73",
                                              "pushButton_74",  "pushButton_75", "pushButton_76"};
    QTest::newRow("viewing") << 3 << QStringList{"ライブビュー", "1枚撮影", "撮影", "戻る", "拡大",
                                                 "情報",         "ワイド",  "前へ", "次へ"}
                             << QStringList{}
                             << QStringList{"labelFileName", "pushButton_73", "pushButton_74",
                                            "pushButton_75", "pushButton_76", "pushButton_77",
                                            "pushButton_86"};
}

void TestMainWindow::modes() {
    QFETCH(int, mode);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, disabled);
    QFETCH(QStringList, panels);
    Window w;
    MainWindow& window = w.open();
    // Through another mode first, so that nothing is left over from construction.
    window.setMode((mode + 2) % 4);
    window.setMode(mode);
    const char* const buttons[] = {"pushButton_7",  "pushButton_38", "pushButton_6",
                                   "pushButton_32", "pushButton_33", "pushButton_34",
                                   "pushButton_35", "pushButton_36", "pushButton_37"};
    for (int i = 0; i < 9; ++i)
        QCOMPARE(w.shown(buttons[i]) ? w.text(buttons[i]) : QString(), texts[i]);
    for (const char* button : buttons)
        QCOMPARE(w.find(button)->isEnabled(), !disabled.contains(button));
    const QStringList optional = {"groupBoxMain",  "groupBoxLiveView", "labelTimeCount",
                                  "labelFileName", "pushButton_73",    "pushButton_74",
                                  "pushButton_75", "pushButton_76",    "pushButton_77",
                                  "pushButton_78", "pushButton_86",    "groupBoxInfo"};
    for (const QString& name : optional)
        QVERIFY2(w.shown(qPrintable(name)) == panels.contains(name), qPrintable(name));
    if (mode == 3)
        QCOMPARE(w.text("pushButton_73"), QString("削除"));
    if (mode == 3)
        QCOMPARE(w.text("pushButton_77"), QString("EVF"));
    // Shown in every mode outside digital-camera mode.
    for (const char* group : {"groupBoxDarkFlat", "groupBoxCooler", "groupBoxComposite"})
        QVERIFY2(w.shown(group), group);
    saveScreenshot(&window, QString("MainWindow-mode%1").arg(mode));
}

void TestMainWindow::viewingWithStellaImage() {
    Window w;
    w.state.launcherApps.hasStellaImage = true;
    w.state.launcherApps.stellaImagePath = "C:\\Program Files\\stlimg\\stlimg.exe";
    MainWindow& window = w.open();
    window.setMode(3);
    QVERIFY(w.text("pushButton_77").isEmpty());
    QCOMPARE(w.find("pushButton_77")->iconSize(), QSize(45, 45));
    QVERIFY(w.shown("pushButton_78"));
    QCOMPARE(w.text("pushButton_78"), QString("EVF"));
    // The stretch switch moves out of the row that the second button fills.
    QVERIFY(w.shown("pushButtonStretch"));
    for (const char* other : {"pushButton_78", "pushButton_86"})
        QVERIFY2(!w.find("pushButtonStretch")->geometry().intersects(w.find(other)->geometry()),
                 other);
    saveScreenshot(&window, "MainWindow-mode3-StellaImage");
    window.setMode(0);
    QVERIFY(!w.shown("pushButton_77"));
    QVERIFY(!w.shown("pushButton_78"));
}

void TestMainWindow::digitalCameraModeHidesItsGroups_data() {
    QTest::addColumn<int>("mode");
    for (int mode = 0; mode < 4; ++mode)
        QTest::addRow("mode %d", mode) << mode;
}

void TestMainWindow::digitalCameraModeHidesItsGroups() {
    QFETCH(int, mode);
    Window w;
    w.state.digitalCameraMode = true;
    MainWindow& window = w.open();
    window.setMode(mode);
    window.showCoolingPanel(true);
    for (QPushButton* button :
         window.findChildren<QPushButton*>(QRegularExpression("^pushButton_(39|4[0-9]|5[0-5])$")))
        button->show(); // as a drive scan or a filter wheel would
    for (const char* group :
         {"groupBoxDarkFlat", "groupBoxCooler", "filterWheelButtons", "driveButtons",
          "groupBoxComposite", "pushButton_39", "pushButton_46", "pushButton_26", "pushButton_79"})
        QVERIFY2(!w.shown(group), group);
    QVERIFY(w.shown("pushButton_6"));
    QVERIFY(w.shown("pushButton_90"));
}

void TestMainWindow::withoutCamera_data() {
    QTest::addColumn<bool>("digitalCameraMode");
    QTest::addColumn<bool>("captureShown");
    QTest::newRow("normal") << false << false;
    QTest::newRow("digital camera") << true << true;
}

void TestMainWindow::withoutCamera() {
    QFETCH(bool, digitalCameraMode);
    QFETCH(bool, captureShown);
    TestDrives drives;
    Window w;
    ensureSettingsPath(w.settings);
    w.state.digitalCameraMode = digitalCameraMode;
    w.state.noCamera = true;
    MainWindow& window = w.open();
    window.hideControlsWithoutCamera();
    window.setCameraLabel("No Camera");
    for (const char* name : {"pushButton_7", "pushButton_33", "pushButton_34", "pushButton_35"})
        QVERIFY2(!w.shown(name), name);
    QCOMPARE(w.shown("pushButton_6"), captureShown);
    QCOMPARE(w.shown("pushButton_38"), captureShown);
    QVERIFY(w.shown("pushButton_32"));
    saveScreenshot(&window,
                   digitalCameraMode ? "MainWindow-digitalNoCamera" : "MainWindow-noCamera");
    // Playback of the data folder still works, and with it zoom, wide and info.
    w.press("pushButton_32");
    QCOMPARE(window.mode(), 3);
    for (const char* name : {"pushButton_33", "pushButton_34", "pushButton_35"})
        QVERIFY2(w.shown(name), name);
    w.press("pushButton_32");
    QVERIFY(!w.shown("pushButton_33"));
    QVERIFY(!w.shown("pushButton_7"));
}

void TestMainWindow::playbackAndBack() {
    TestDrives drives;
    Window w;
    ensureSettingsPath(w.settings);
    MainWindow& window = w.open();
    w.press("pushButton_12");
    w.press("pushButton_32");
    QCOMPARE(w.state.captureState.load(), 3);
    QCOMPARE(window.mode(), 3);
    // Playback saves the settings first.
    QVERIFY(drives.readSettingsFile("Vesperix.ini")
                .contains(QByteArray("\ntimMin ") + QByteArray::number(w.settings.timMin) + '\n'));
    w.press("pushButton_32");
    QCOMPARE(w.state.captureState.load(), 0);
    QCOMPARE(window.mode(), 0);
    QCOMPARE(w.text("pushButton_32"), QString("再生"));
}

void TestMainWindow::infoPanelToggles() {
    Window w;
    MainWindow& window = w.open();
    w.press("pushButton_34"); // idle: a flat series, not the panel
    QCOMPARE(w.state.infoPanelOn, 0);
    QVERIFY(!w.shown("groupBoxInfo"));
    window.setMode(1);
    w.press("pushButton_34");
    QCOMPARE(w.state.infoPanelOn, 1);
    QVERIFY(w.shown("groupBoxInfo"));
    QVERIFY(w.shown("groupBoxLiveView"));
    saveScreenshot(&window, "MainWindow-mode1-info");
    window.setMode(0);
    QVERIFY(!w.shown("groupBoxInfo"));
    window.setMode(3);
    QVERIFY(w.shown("groupBoxInfo"));
    w.press("pushButton_34");
    QCOMPARE(w.state.infoPanelOn, 0);
    QVERIFY(!w.shown("groupBoxInfo"));
}

void TestMainWindow::exitSavesTheSettings() {
    TestDrives drives;
    drives.writeSettingsFile("Vesperix.ini", "gain 7\ntimRep 12\n");
    Window w;
    ensureSettingsPath(w.settings);
    loadSettings(w.settings);
    w.state.syncPointRa = 123.4567; // stored back in thousandths of a degree
    MainWindow& window = w.open();
    int exits = 0;
    window.exitAction = [&] {
        ++exits;
        // Everything is on disc before the program ends.
        QVERIFY(drives.readSettingsFile("Vesperix.ini").contains("\ntimRep 13\n"));
    };
    w.press("pushButton_10");
    w.press("pushButton");
    QCOMPARE(exits, 1);
    const QByteArray saved = drives.readSettingsFile("Vesperix.ini");
    QVERIFY(saved.startsWith("gain 7\n"));
    QVERIFY(saved.contains("\nraBase1000 123456\n"));

    window.exitAction = nullptr;
    w.press("pushButton"); // not set: saves and returns
}

void TestMainWindow::longTextsShrink_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pixelSize");
    // labelCameraName is 430 pixels wide; the form's font is 16 pixels.
    QTest::newRow("fits") << "No Camera" << 16;
    QTest::newRow("camera label in Latin letters")
        << "ZWO ASI294MC Pro(Color) width=4144 height=2816, bayer=0" << 15;
    QTest::newRow("43 full-width characters") << QString(43, QChar(0x3042)) << 10;
    QTest::newRow("100 Latin characters") << QString(100, 'x') << 8;
    QTest::newRow("empty") << "" << 16;
}

void TestMainWindow::longTextsShrink() {
    QFETCH(QString, text);
    QFETCH(int, pixelSize);
    Window w;
    w.open();
    auto* label = w.find<QLabel>("labelCameraName");
    QCOMPARE(label->width(), 430);
    w.window->setCameraLabel(QString(200, QChar(0x3042))); // a long text before
    w.window->setCameraLabel(text);
    QCOMPARE(QFontInfo(label->font()).pixelSize(), pixelSize);

    // Buttons follow the same rule.
    auto* button = w.find("pushButton_85");
    button->setText(QString(10, QChar(0x30ab)));
    MainWindow::fitText(button);
    QCOMPARE(QFontInfo(button->font()).pixelSize(), button->width() / 10);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
