// The bindings to the makers' libraries when a library is missing, broken or answers nonsense:
// that maker's devices are not listed, a log line says why, and nothing else is hurt.
#include "AsiBinding.h"
#include "CameraEntryList.h"
#include "CameraEnumeration.h"
#include "CameraLibraries.h"
#include "CanonBinding.h"
#include "EafBinding.h"
#include "EfwBinding.h"
#include "LogRecorder.h"
#include "PlayerOneBinding.h"
#include "PlayerOneWheelBinding.h"
#include "SvbonyBinding.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString dropIns = qEnvironmentVariable("VESPERIX_BIN_DIR") + "/dropin/";
const QStringList allLibraries = {"libASICamera2.so", "libPlayerOneCamera.so", "libSVBCameraSDK.so",
                                  "libEDSDK.so",      "libEAFFocuser.so",      "libEFWFilter.so",
                                  "libPlayerOnePW.so"};

// Which of the seven bindings found their library, in the order of allLibraries.
QVector<bool> presentBindings() {
    return {AsiBinding().present(),           PlayerOneBinding().present(),
            SvbonyBinding().present(),        CanonBinding().present(),
            EafBinding().present(),           EfwBinding().present(),
            PlayerOneWheelBinding().present()};
}

} // namespace

class TestBindingsAbsent : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void libraries_data();
    void libraries();
    void refusedValues_data();
    void refusedValues();
};

void TestBindingsAbsent::initTestCase() {
    qputenv("VESPERIX_SIM_CAMERAS", "ASI294MC");
    qputenv("VESPERIX_SIM_ACCESSORIES", "EAF,EFW,PW");
}

void TestBindingsAbsent::libraries_data() {
    QTest::addColumn<QString>("asiLibrary"); // what stands in the folder as libASICamera2.so
    QTest::addColumn<bool>("othersThere");   // the other six drop-ins beside it
    QTest::addColumn<QString>("logLine");    // a line the log must hold
    QTest::addColumn<bool>("asiPresent");
    // A library once loaded stays for the process, and the system finds it again by its name:
    // the rows without a working camera library come first.
    QTest::newRow("none there") << QString() << false << "libASICamera2.so not loaded: " << false;
    QTest::newRow("one function missing")
        << qEnvironmentVariable("VESPERIX_BIN_DIR") + "/dropin-broken/libASICamera2.so" << true
        << "libASICamera2.so: ASIGetVideoData not found" << false;
    QTest::newRow("not a library") << "text" << true << "libASICamera2.so not loaded: " << false;
    QTest::newRow("all there") << dropIns + "libASICamera2.so" << true << QString() << true;
}

void TestBindingsAbsent::libraries() {
    QFETCH(QString, asiLibrary);
    QFETCH(bool, othersThere);
    QFETCH(QString, logLine);
    QFETCH(bool, asiPresent);
    QTemporaryDir folder;
    const QString asiFile = folder.filePath("libASICamera2.so");
    if (asiLibrary == "text") {
        QFile text(asiFile);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write(QByteArray("These are notes about the camera, not its library.\n").repeated(4));
    } else if (!asiLibrary.isEmpty()) {
        QVERIFY(QFile::link(asiLibrary, asiFile));
    }
    for (const QString& library : allLibraries.mid(1)) {
        if (othersThere)
            QVERIFY(QFile::link(dropIns + library, folder.filePath(library)));
    }
    qputenv("VESPERIX_DEVICE_LIBS", QFile::encodeName(folder.path()));
    LogRecorder log;
    const QVector<bool> present = presentBindings();

    QCOMPARE(present.first(), asiPresent);
    QCOMPARE(present.mid(1), QVector<bool>(6, othersThere));
    if (!logLine.isEmpty())
        QVERIFY2(!log.lines().filter(logLine).isEmpty(), qPrintable(log.lines().join('\n')));
    // A file that is there but no library is named with the reason, not only the last place.
    if (asiLibrary == "text")
        QVERIFY(!log.lines().filter(QRegularExpression("not loaded: .*" + asiFile)).isEmpty());
}

void TestBindingsAbsent::refusedValues_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("logLine");
    QTest::addColumn<int>("listed");
    QTest::newRow("none") << ""
                          << "" << 1;
    QTest::newRow("0 x 0") << "zero-size"
                           << "libASICamera2.so: size 0x0 refused" << 0;
    QTest::newRow("100000 wide") << "wide"
                                 << "libASICamera2.so: size 100000x2822 refused" << 0;
    QTest::newRow("negative count") << "negative-count"
                                    << "libASICamera2.so: device count -3 refused" << 0;
    QTest::newRow("name without its end") << "unterminated-name"
                                          << "libASICamera2.so: name without its end refused" << 0;
}

void TestBindingsAbsent::refusedValues() {
    QFETCH(QString, fault);
    QFETCH(QString, logLine);
    QFETCH(int, listed);
    qputenv("VESPERIX_DEVICE_LIBS", QFile::encodeName(dropIns));
    qputenv("VESPERIX_DROPIN_FAULT", fault.toUtf8());
    AsiBinding asi;
    QVERIFY(asi.present());
    CameraLibraries::install(nullptr, &asi, nullptr, nullptr, {});
    LogRecorder log;
    CameraEntryList list;
    enumerateAsi(list, -1);
    CameraLibraries::reset();
    qunsetenv("VESPERIX_DROPIN_FAULT");

    QCOMPARE(list.count(), listed);
    if (!logLine.isEmpty())
        QVERIFY2(log.contains(logLine), qPrintable(log.lines().join('\n')));
}

QTEST_MAIN(TestBindingsAbsent)
#include "tst_bindings_absent.moc"
