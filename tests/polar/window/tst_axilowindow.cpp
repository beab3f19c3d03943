#include "AxiloProgram.h"
#include "AxiloPrompt.h"
#include "AxiloSettings.h"
#include "CameraDialog.h"
#include "FocalDialog.h"
#include "LayoutFaults.h"
#include "LocalTimeDialog.h"
#include "LocateDialog.h"
#include "PreviewPicture.h"
#include "PreviewWindow.h"
#include "Screenshot.h"
#include "TestDrives.h"
#include "TimeSetDialog.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

namespace {

const QDateTime startTime(QDate(2026, 12, 15), QTime(21, 0));

// Every value at the end of its range that gives the longest text.
AxiloSettings widestSettings() {
    AxiloSettings settings;
    settings.gain = settings.star = settings.gamma = 10;
    settings.expo = 1;
    settings.long1 = 359;
    settings.long2 = settings.lati2 = 59;
    settings.lati1 = 89;
    settings.longWE = 1;
    for (AxiloSettings::Site& site : settings.sites)
        site = {359, 59, 89, 59, 1};
    settings.time = -24;
    settings.focalI = settings.focalF = 99;
    return settings;
}

int* settingsField(AxiloSettings& settings, const QString& key) {
    const QHash<QString, int AxiloSettings::*> fields = {
        {"long1", &AxiloSettings::long1},   {"long2", &AxiloSettings::long2},
        {"lati1", &AxiloSettings::lati1},   {"lati2", &AxiloSettings::lati2},
        {"longWE", &AxiloSettings::longWE}, {"time", &AxiloSettings::time},
        {"focalF", &AxiloSettings::focalF}};
    return &(settings.*fields.value(key));
}

// The dialogs that the main window keeps while they are open.
QDialog* openDialog(const QString& name, AxiloSettings& settings, const QDateTime& start) {
    QDialog* dialog = nullptr;
    if (name == "CameraDialog")
        dialog = new CameraDialog(settings);
    else if (name == "TimeSetDialog")
        dialog = new TimeSetDialog(settings, start);
    else if (name == "LocalTimeDialog")
        dialog = new LocalTimeDialog(settings);
    else if (name == "FocalDialog")
        dialog = new FocalDialog(settings);
    else
        dialog = new LocateDialog(settings);
    if (name == "TimeSetDialog")
        dialog->showFullScreen();
    else
        dialog->show();
    return dialog;
}

// Runs `show`, which waits in a modal dialog; `look` gets that dialog, which is then left by
// its "OK".
void whileModal(const std::function<void()>& show, const std::function<void(QDialog*)>& look) {
    bool looked = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        look(dialog);
        looked = true;
        const QList<QPushButton*> buttons = dialog->findChildren<QPushButton*>();
        const auto ok = std::find_if(buttons.begin(), buttons.end(),
                                     [](QPushButton* button) { return button->text() == "OK"; });
        QVERIFY(ok != buttons.end());
        (*ok)->click();
    });
    show();
    QVERIFY(looked);
}

} // namespace

class TestAxiloWindow : public QObject {
    Q_OBJECT
private slots:
    void dialogsShowWholeTexts_data();
    void dialogsShowWholeTexts();
    void stepsWrapOrStop_data();
    void stepsWrapOrStop();
    void previewShowsWholeTexts();
    void zoomSteps_data();
    void zoomSteps();
    void everyLevelAtTheEdges_data();
    void everyLevelAtTheEdges();
};

void TestAxiloWindow::dialogsShowWholeTexts_data() {
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<bool>("widest");
    for (const char* dialog : {"OkDialog", "question", "CameraList", "CameraDialog",
                               "TimeSetDialog", "LocalTimeDialog", "FocalDialog", "LocateDialog"}) {
        QTest::addRow("%s defaults", dialog) << QString(dialog) << false;
        QTest::addRow("%s widest", dialog) << QString(dialog) << true;
    }
}

// Each dialog with the defaults and with the longest values it can show; the screenshots go to
// $VESPERIX_SCREENSHOTS.
void TestAxiloWindow::dialogsShowWholeTexts() {
    QFETCH(QString, dialog);
    QFETCH(bool, widest);
    const QString shot = "Axilo " + dialog + (widest ? " widest" : " defaults");
    QWidget mainWindow;
    mainWindow.setGeometry(40, 30, 830, 480);
    mainWindow.show();
    QApplication::setActiveWindow(&mainWindow);
    const auto look = [&](QDialog* shown) {
        saveScreenshot(shown, shot);
        const QStringList found = layoutFaults(shown);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(", ")));
    };

    if (dialog == "OkDialog") {
        const QString text = widest ? "C:\\OrlentVesperixIni\\camera.txt" : "spawnlエラー";
        AxiloPrompt::showMessage(text); // shown without waiting for its "OK"
        QPointer<QDialog> shown = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(shown);
        QCOMPARE(shown->windowTitle(), QString("エラー"));
        QCOMPARE(shown->size(), QSize(780, 210));
        QCOMPARE(shown->geometry().center(), mainWindow.geometry().center());
        look(shown);
        shown->findChild<QPushButton*>()->click();
        QTRY_VERIFY(!shown);
    } else if (dialog == "question") {
        bool answer = false;
        whileModal([&] { answer = AxiloPrompt::ask("Warnning", "Clear Origin"); }, look);
        QVERIFY(answer);
    } else if (dialog == "CameraList") {
        QStringList entries = {"[0] UVC Camera width=640 height=480"};
        if (widest)
            entries = QStringList{"[8] UVC Camera width=1280 height=960",
                                  "[9] UVC Camera width=1280 height=960",
                                  "[10] UVC Camera width=1280 height=960"};
        int chosen = -1;
        whileModal([&] { chosen = AxiloPrompt::chooseCamera(entries); }, look);
        QCOMPARE(chosen, 0);
    } else {
        AxiloSettings settings = widest ? widestSettings() : AxiloSettings();
        const QDateTime start = widest ? QDateTime(QDate(9999, 12, 31), QTime(23, 59)) : startTime;
        QPointer<QDialog> shown = openDialog(dialog, settings, start);
        look(shown);
        delete shown;
    }
}

void TestAxiloWindow::stepsWrapOrStop_data() {
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QStringList>("start"); // settings key=value
    QTest::addColumn<QStringList>("presses");
    QTest::addColumn<QString>("probe"); // a settings key, a button's text or the chosen date
    QTest::addColumn<QString>("expected");
    QTest::newRow("latitude 89 up wraps to 0")
        << "LocateDialog" << QStringList{"lati1=89"} << QStringList{"latDegreesUpButton"} << "lati1"
        << "0";
    QTest::newRow("latitude 0 down wraps to 89") << "LocateDialog" << QStringList{"lati1=0"}
                                                 << QStringList{"latDegreesDownButton"} << "lati1"
                                                 << "89";
    QTest::newRow("stored site, west, every field at its top")
        << "LocateDialog"
        << QStringList{"long1=359", "long2=59", "lati1=89", "lati2=59", "longWE=1"}
        << QStringList{"save1Button"} << "point1Button"
        << "W35959:8959";
    QTest::newRow("stored site taken back as the current one")
        << "LocateDialog" << QStringList{"long1=5", "longWE=1"}
        << QStringList{"save2Button", "eastButton", "longDegreesUpButton", "point2Button"}
        << "long1"
        << "5";
    QTest::newRow("time zone stops at +24")
        << "LocalTimeDialog" << QStringList{"time=24"} << QStringList{"timeUpButton"} << "time"
        << "24";
    QTest::newRow("time zone stops at -24")
        << "LocalTimeDialog" << QStringList{"time=-24"} << QStringList{"timeDownButton"} << "time"
        << "-24";
    QTest::newRow("hundredths' tens wrap without a carry")
        << "FocalDialog" << QStringList{"focalF=95"} << QStringList{"tensUpButton", "downButton"}
        << "focalF"
        << "5";
    QTest::newRow("31 January, month up: the end of February")
        << "TimeSetDialog" << QStringList{}
        << QStringList{"dayDownButton", "dayDownButton", "monthUpButton", "downButton"} << "chosen"
        << "2027-02-28";
}

// Where a ▲/▼ press comes round, where it stops, and what a stored site is.
void TestAxiloWindow::stepsWrapOrStop() {
    QFETCH(QString, dialog);
    QFETCH(QStringList, start);
    QFETCH(QStringList, presses);
    QFETCH(QString, probe);
    QFETCH(QString, expected);
    AxiloSettings settings;
    for (const QString& assignment : start)
        *settingsField(settings, assignment.section('=', 0, 0)) =
            assignment.section('=', 1).toInt();
    // 2 January 2027, so that two days down is the 31st of the month before.
    QPointer<QDialog> shown = openDialog(dialog, settings, QDateTime(QDate(2027, 1, 2), {}));
    QString chosen;
    if (auto* timeSet = qobject_cast<TimeSetDialog*>(shown))
        connect(timeSet, &TimeSetDialog::chosen, this,
                [&](const QDate& date) { chosen = date.toString(Qt::ISODate); });
    QString text;
    for (const QString& press : presses) {
        auto* button = shown->findChild<QPushButton*>(press);
        QVERIFY2(button, qPrintable(press));
        button->click();
    }
    if (probe == "chosen")
        text = chosen;
    else if (probe.endsWith("Button"))
        text = shown->findChild<QPushButton*>(probe)->text();
    else
        text = QString::number(*settingsField(settings, probe));
    QCOMPARE(text, expected);
    delete shown;
}

// The main window with the longest texts its labels take.
void TestAxiloWindow::previewShowsWholeTexts() {
    AxiloSettings settings = widestSettings();
    PreviewWindow window(settings);
    window.show();
    window.showDateTime(QDateTime(QDate(2099, 12, 31), QTime(23, 59, 59)));
    window.showSite();
    window.showStarOffset(QPointF(-16, -16));
    saveScreenshot(&window, "Axilo preview widest");
    // The side column holds twelve buttons and six readings in 190 x 480 pixels: the readings
    // are smaller than the dialogs' texts, and "センタークリア" is fitted to its button.
    const QStringList found = layoutFaults(&window, {13, 48});
    QVERIFY2(found.isEmpty(), qPrintable(found.join(", ")));
}

void TestAxiloWindow::zoomSteps_data() {
    QTest::addColumn<int>("cenX");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QList<int>>("levels");
    QTest::newRow("centre, Zoom") << 640 << "pushButton_5" << QList<int>{2, 3, 1};
    QTest::newRow("centre, Wide") << 640 << "pushButton_6" << QList<int>{3, 2, 1};
    QTest::newRow("near the left, Zoom") << 200 << "pushButton_5" << QList<int>{3, 1};
    QTest::newRow("near the left, Wide") << 200 << "pushButton_6" << QList<int>{3, 1};
}

// Level 2 is passed over when its rectangle would begin left of the picture.
void TestAxiloWindow::zoomSteps() {
    QFETCH(int, cenX);
    QFETCH(QString, button);
    QFETCH(QList<int>, levels);
    TestDrives drives;
    drives.writeSettingsFile("Axilo.ini", "cenX " + QByteArray::number(cenX) + "\n");
    AxiloPrompt::setMessageHandler([](const QString&) {});
    QTemporaryDir noPrograms;
    AxiloProgram axilo(noPrograms.path());
    axilo.start();
    QList<int> seen;
    for (int i = 0; i < levels.size(); ++i) {
        QTest::mouseClick(axilo.window().findChild<QPushButton*>(button), Qt::LeftButton);
        seen << axilo.zoomLevel();
    }
    QCOMPARE(seen, levels);
    AxiloPrompt::setMessageHandler(nullptr);
}

void TestAxiloWindow::everyLevelAtTheEdges_data() {
    QTest::addColumn<QPoint>("axisCentre"); // display pixels
    QTest::newRow("left") << QPoint(0, 240);
    QTest::newRow("right") << QPoint(639, 240);
    QTest::newRow("top left") << QPoint(0, 0);
    QTest::newRow("bottom right") << QPoint(639, 479);
}

// Near an edge the magnified rectangle reaches past the picture: that part is black, the rest
// the image's own pixels.
void TestAxiloWindow::everyLevelAtTheEdges() {
    QFETCH(QPoint, axisCentre);
    cv::Mat grey(PreviewPicture::height, PreviewPicture::width, CV_8UC1, cv::Scalar(90));
    PreviewPicture::Reticle reticle;
    reticle.axisCentre = axisCentre;
    reticle.ringRadius = 40;
    reticle.target = QPointF(axisCentre) + QPointF(1.3, -40);
    for (int level = 1; level <= 3; ++level) {
        reticle.zoomLevel = level;
        const cv::Mat picture = PreviewPicture::draw(grey, reticle);
        QCOMPARE(picture.cols, PreviewPicture::width);
        QCOMPARE(picture.rows, PreviewPicture::height);
        const int l = PreviewPicture::factor(level);
        // A corner of the picture on each side of the image's edge, clear of the reticle.
        const QPoint corner(axisCentre.x() < 320 ? 2 : 637, axisCentre.y() < 240 ? 2 : 477);
        const QPoint shown = l == 1 ? corner : axisCentre + (corner - QPoint(320, 240)) / l;
        const bool inside = QRect(0, 0, 640, 480).contains(shown);
        QCOMPARE(int(picture.at<cv::Vec3b>(corner.y(), corner.x())[1]), inside ? 90 : 0);
        saveScreenshot(QImage(picture.data, picture.cols, picture.rows, int(picture.step),
                              QImage::Format_BGR888),
                       QString("Axilo edge %1 level %2").arg(QTest::currentDataTag()).arg(level));
    }
}

QTEST_MAIN(TestAxiloWindow)
#include "tst_axilowindow.moc"
