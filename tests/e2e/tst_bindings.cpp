// The makers' libraries end to end: the simulator off, the program reaches the cameras, the
// focuser and the wheels through its bindings, with the drop-in libraries in their place.
#include "CameraDevice.h"
#include "E2eFrames.h"
#include "E2eProgram.h"
#include "FocuserService.h"
#include "ImageDisplay.h"
#include "MainProgram.h"
#include "MainWindow.h"
#include "ProcessState.h"
#include "Screenshot.h"
#include "SettingsRecord.h"
#include "SimFilterWheel.h"
#include "SimObservatory.h"
#include "TiffFile.h"
#include "eaf.h"

#include <QApplication>
#include <QLCDNumber>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>
#include <dlfcn.h>

namespace {

// Every maker's camera at once, so the list shows what each binding found.
const char* const allCameras = "ASI294MC,POSEIDONC,APOLLOM,SV305,EOS6D";

// A function of a drop-in the program has loaded, called directly: the device's own answer.
template <typename Function> Function* dropInFunction(const char* library, const char* name) {
    const QByteArray path = qgetenv("VESPERIX_BIN_DIR") + "/dropin/" + library;
    void* handle = dlopen(path.constData(), RTLD_NOW | RTLD_NOLOAD);
    return handle ? reinterpret_cast<Function*>(dlsym(handle, name)) : nullptr;
}

E2eProgram::Options throughBindings(const QString& cameras, const QString& accessories) {
    E2eProgram::Options options;
    options.simulator = false;
    options.cameras = cameras;
    options.accessories = accessories;
    options.clockScale = 1; // the drop-ins keep real time
    return options;
}

// The user at the camera list: notes its rows and takes the one given, or the first.
class CameraPicker {
public:
    explicit CameraPicker(const QString& row = QString()) {
        QObject::connect(&timer, &QTimer::timeout, [this, row] {
            QWidget* dialog = QApplication::activeModalWidget();
            QListWidget* list = dialog ? dialog->findChild<QListWidget*>("listWidget") : nullptr;
            if (!list || !listed.isEmpty())
                return;
            for (int i = 0; i < list->count(); ++i)
                listed << list->item(i)->text();
            saveScreenshot(dialog, "CameraListThroughBindings");
            const QList<QListWidgetItem*> found = list->findItems(row, Qt::MatchExactly);
            if (!found.isEmpty())
                list->setCurrentItem(found.first());
            QTest::mouseClick(dialog->findChild<QPushButton*>("pushButton"), Qt::LeftButton);
        });
        timer.start(10);
    }

    QStringList listed;

private:
    QTimer timer;
};

} // namespace

class TestBindingsE2e : public QObject {
    Q_OBJECT
private slots:
    void cameras_data();
    void cameras();
    void accessories();
};

void TestBindingsE2e::cameras_data() {
    QTest::addColumn<QString>("row"); // the camera list's row
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QString>("model");
    QTest::newRow("ASI") << "ZWO(0) ZWO ASI294MC Pro(Color) width=4144 height=2822" << 4144 << 2816
                         << "C0ZWO ASI294MC Pro";
    QTest::newRow("Player One") << "PlayerOne(0) Poseidon-C PRO(Color) width=6252 height=4176"
                                << 6240 << 4176 << "C0Poseidon-C PRO";
    // A mono sensor, whose pattern the library gives as -1: the files keep pattern 0.
    QTest::newRow("Player One mono") << "PlayerOne(1) Apollo-M MAX(Mono) width=1608 height=1104"
                                     << 1600 << 1104 << "M0Apollo-M MAX";
    QTest::newRow("SVBONY") << "SVBONY(1) SVBONY SV305(Color) width=1920 height=1080" << 1920
                            << 1072 << "C";
}

void TestBindingsE2e::cameras() {
    QFETCH(QString, row);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QString, model);
    CameraPicker user(row);
    E2eProgram e2e(throughBindings(allCameras, "EAF,EFW,PW"));
    QVERIFY(e2e.program().sim() == nullptr);
    QCOMPARE(user.listed.size(), 5);
    QVERIFY2(user.listed.contains(row), qPrintable(user.listed.join('\n')));
    QVERIFY(user.listed.filter(QRegularExpression("^CANON\\(0\\) Canon EOS 6D")).size() == 1);
    const CameraDevice& camera = *e2e.state().camera;
    QCOMPARE(camera.width, width);
    QCOMPARE(camera.height, height);

    // A light series of two frames.
    shortSeries(e2e.settings(), 2, 1, 0);
    e2e.settings().gain = 10;
    QVERIFY(e2e.press("pushButton_6"));
    QVERIFY(e2e.runUntil([&] { return e2e.state().captureState == 3; }, 30000));
    // A mono camera's frames carry the filter wheel's position, "M00001_1.tif".
    const auto frames = [&] { return e2e.dataFiles().filter(QRegularExpression("^M0000[12]")); };
    QVERIFY(e2e.runUntil([&] { return frames().size() == 2; }, 30000));
    for (const QString& file : frames()) {
        cv::Mat raw;
        const ShootingData data = dataOf(e2e.dataPath(file), &raw);
        QCOMPARE(raw.cols, width);
        QCOMPARE(raw.rows, height);
        QCOMPARE(data.exposureNumerator, 1);
        QCOMPARE(data.gain, 10);
        QVERIFY2(data.model.startsWith(model.toUtf8()), data.model.constData());
        QVERIFY(data.capturedAt().isValid());
        // The sky, not an empty buffer.
        double low = 0, high = 0;
        cv::minMaxLoc(raw, &low, &high);
        QVERIFY(high > low);
    }

    // Live view delivers frames.
    int shown = 0;
    ImageDisplay& display = e2e.program().display();
    display.present = [&](const QImage&) { ++shown; };
    QVERIFY(e2e.press("pushButton_7"));
    QVERIFY(e2e.runUntil([&] { return shown >= 3; }, 30000));
    QVERIFY(e2e.press("pushButton_7"));
    QCOMPARE(e2e.state().captureState.load(), 0);
}

void TestBindingsE2e::accessories() {
    CameraPicker user;
    E2eProgram e2e(throughBindings(allCameras, "EAF,EFW,PW"));
    // The focuser dialog moves the focuser by the chosen step.
    using GetPosition = int(int id, int* position);
    GetPosition* focuserPosition =
        dropInFunction<GetPosition>("libEAFFocuser.so", "EAFGetPosition");
    QVERIFY(focuserPosition);
    QVERIFY(e2e.press("pushButton_57"));
    eaf* dialog = e2e.program().focuser().dialog();
    QVERIFY(dialog);
    const auto click = [&](const char* name) {
        QTest::mouseClick(dialog->findChild<QPushButton*>(name), Qt::LeftButton);
    };
    const auto counter = [&] { return dialog->findChild<QLCDNumber*>("lcdNumber")->intValue(); };
    const auto position = [&] {
        int steps = -1;
        focuserPosition(0, &steps);
        return steps;
    };
    QCOMPARE(position(), 30000);
    click("pushButton_7"); // 100
    click("pushButton_2"); // OUT
    QVERIFY(e2e.runUntil([&] { return counter() == 100; }, 10000));
    QCOMPARE(position(), 30100);
    click("pushButton"); // IN
    QVERIFY(e2e.runUntil([&] { return counter() == 0; }, 10000));
    // A press while it moves stops it where it is: 50 × 100 steps take over six seconds.
    click("pushButton_6"); // 50
    click("pushButton_9"); // 100倍
    click("pushButton");   // IN
    QVERIFY(e2e.runUntil([&] { return position() < 30000; }, 10000));
    click("pushButton");
    QVERIFY(e2e.runUntil([&] { return counter() == position() - 30000; }, 10000));
    const int stopped = position();
    e2e.runFor(500);
    QVERIFY(stopped > 25000);
    QCOMPARE(position(), stopped);
    click("pushButton_3");

    // The Player One wheel is preferred; its buttons turn it.
    using GetSlot = int(int handle, int* slot);
    GetSlot* wheelSlot = dropInFunction<GetSlot>("libPlayerOnePW.so", "POAGetCurrentPosition");
    QVERIFY(wheelSlot);
    const auto slot = [&] {
        int at = -2;
        return wheelSlot(0, &at) == 0 ? at : -2;
    };
    QVERIFY(e2e.press("pushButton_49"));
    QVERIFY(e2e.runUntil([&] { return slot() == 3; }, 10000));
    QVERIFY(e2e.press("pushButton_47"));
    QVERIFY(e2e.runUntil([&] { return slot() == 1; }, 10000));
    QVERIFY(!e2e.press("pushButton_53")); // a seven-slot wheel has no eighth button

    // The Player One wheel unplugged: looking again finds the EFW, and the same buttons turn it.
    using Observatory = SimObservatory*();
    Observatory* observatory =
        dropInFunction<Observatory>("libvxdropinobservatory.so", "vxDropInObservatory");
    QVERIFY(observatory);
    observatory()->playerOneWheel()->setRemoved(true);
    GetSlot* efwSlot = dropInFunction<GetSlot>("libEFWFilter.so", "EFWGetPosition");
    QVERIFY(efwSlot);
    QVERIFY(e2e.press("pushButton_55"));
    QVERIFY(e2e.press("pushButton_53")); // eight slots
    QVERIFY(e2e.runUntil(
        [&] {
            int at = -2;
            return efwSlot(0, &at) == 0 && at == 7;
        },
        10000));
}

QTEST_MAIN(TestBindingsE2e)
#include "tst_bindings.moc"
