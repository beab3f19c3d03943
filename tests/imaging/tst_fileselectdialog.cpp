#include "FileSelectDialog.h"
#include "LogRecorder.h"
#include "MainWindow.h"
#include "ProcessState.h"
#include "Screenshot.h"
#include "SettingsRecord.h"
#include "ShootingData.h"
#include "TestDrives.h"
#include "TiffFile.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextCodec>
#include <QtTest>
#include <memory>

namespace {

struct Master {
    int gain = 10;
    int numerator = 60;
    int denominator = 1;
    int frames = 16;
    QByteArray model = "M0SimCam";
    QDateTime taken; // none: the file's own time is shown
};

void writeMaster(const QString& name, const Master& m = Master()) {
    ShootingData data;
    data.gain = m.gain;
    data.exposureNumerator = m.numerator;
    data.exposureDenominator = m.denominator;
    data.frameCount = m.frames;
    data.model = m.model;
    data.setCapturedAt(m.taken);
    QCOMPARE(writeTiff("C:\\VesperixData\\" + name, cv::Mat(8, 8, CV_16UC1, cv::Scalar(100)), data),
             1);
}

// A data folder on drive C of its own test drive root, and the dialog over it.
struct Folder {
    Folder() {
        QDir().mkpath(path());
        settings.setDefaults();
        settings.preDark = "D00001.tif";
        settings.preFlat = "F00001.tif";
    }
    QString path() const { return drives.root() + "/C/VesperixData"; }
    FileSelectDialog& open(int mode, const QString& current) {
        dialog = std::make_unique<FileSelectDialog>(settings, mode, current);
        dialog->show();
        return *dialog;
    }
    QString text(const char* label) const { return dialog->findChild<QLabel*>(label)->text(); }
    void press(const char* button) const {
        QTest::mouseClick(dialog->findChild<QPushButton*>(button), Qt::LeftButton);
    }
    QStringList listed() const {
        QStringList names;
        auto* list = dialog->findChild<QListWidget*>("listWidget");
        for (int i = 0; i < list->count(); ++i)
            names << list->item(i)->text();
        return names;
    }
    int listRow() const { return dialog->findChild<QListWidget*>("listWidget")->currentRow(); }

    TestDrives drives;
    SettingsRecord settings;
    std::unique_ptr<FileSelectDialog> dialog;
};

// The local code page of the files, for as long as it lives.
struct LocalCodePage {
    explicit LocalCodePage(const QByteArray& name) { qputenv("VESPERIX_CODEPAGE", name); }
    ~LocalCodePage() { qunsetenv("VESPERIX_CODEPAGE"); }
};

const char* const detailLabels[] = {"labelFileName",  "labelDate",     "labelTime",
                                    "labelGain",      "labelExposure", "labelCompNumber",
                                    "labelCameraName"};

} // namespace

class TestFileSelectDialog : public QObject {
    Q_OBJECT
private slots:
    void listsTheMastersInOrder_data();
    void listsTheMastersInOrder();
    void upAndDownWrapAround();
    void showsTheShootingData();
    void localCameraName_data();
    void localCameraName();
    void exposureForms_data();
    void exposureForms();
    void okMakesTheFileTheMaster_data();
    void okMakesTheFileTheMaster();
    void cancelChangesNothing();
    void emptyFolder();
    void unreadableFile();
    void mainWindowButtonsOpenTheDialog();
};

void TestFileSelectDialog::listsTheMastersInOrder_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<int>("row");
    const QStringList darks = {"D00003.tif", "D00007.tif", "D00010.tif", "D00020_M09.tif"};
    QTest::newRow("darks, current in the middle") << 0 << "D00007.tif" << darks << 1;
    QTest::newRow("darks, no such name: last row") << 0 << "D00099.tif" << darks << 3;
    QTest::newRow("darks, no name: last row") << 0 << "" << darks << 3;
    QTest::newRow("flats") << 1 << "F00004.tif" << QStringList{"F00004.tif", "F00012.tif"} << 0;
}

void TestFileSelectDialog::listsTheMastersInOrder() {
    QFETCH(int, mode);
    QFETCH(QString, current);
    QFETCH(QStringList, listed);
    QFETCH(int, row);
    Folder folder;
    for (const char* name : {"D00010.tif", "D00003.tif", "D00020_M09.tif", "D00007.tif",
                             "F00012.tif", "F00004.tif", "M00005.tif"})
        writeMaster(name);
    // Not masters: other files and a folder beginning with the same letters.
    for (const char* name : {"D00008.jpg", "Flat notes.txt", "solve.jpg"}) {
        QFile file(folder.path() + '/' + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY(QDir().mkpath(folder.path() + "/D00009.tif"));

    FileSelectDialog& dialog = folder.open(mode, current);
    QCOMPARE(folder.listed(), listed);
    QCOMPARE(dialog.currentRow(), row);
    QCOMPARE(folder.listRow(), row);
    QCOMPARE(folder.text("labelFileName"), listed.at(row));
}

void TestFileSelectDialog::upAndDownWrapAround() {
    Folder folder;
    for (const char* name : {"D00001.tif", "D00002.tif", "D00003.tif"})
        writeMaster(name);
    folder.open(0, "D00001.tif");
    folder.press("pushButton_3");
    QCOMPARE(folder.listRow(), 2);
    QCOMPARE(folder.text("labelFileName"), QString("D00003.tif"));
    folder.press("pushButton_3");
    QCOMPARE(folder.listRow(), 1);
    folder.press("pushButton_4");
    folder.press("pushButton_4");
    QCOMPARE(folder.listRow(), 0);
    QCOMPARE(folder.text("labelFileName"), QString("D00001.tif"));
    // The buttons hand the focus back to the list.
    auto* list = folder.dialog->findChild<QListWidget*>("listWidget");
    QCOMPARE(folder.dialog->focusWidget(), list);

    // A row chosen with the finger shows its data as well.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1)).center());
    QCOMPARE(folder.dialog->currentRow(), 1);
    QCOMPARE(folder.text("labelFileName"), QString("D00002.tif"));
}

void TestFileSelectDialog::showsTheShootingData() {
    Folder folder;
    Master m;
    m.gain = 250;
    m.frames = 32;
    m.model = "C2ZWO ASI294MC Pro";
    writeMaster("F00042.tif", m);
    QFile file(folder.path() + "/F00042.tif");
    QVERIFY(file.open(QIODevice::ReadWrite));
    const QDateTime made(QDate(2024, 1, 2), QTime(3, 4, 5));
    QVERIFY(file.setFileTime(made, QFileDevice::FileModificationTime));
    file.close();

    folder.open(1, "F00042.tif");
    QCOMPARE(folder.text("labelFileName"), QString("F00042.tif"));
    QCOMPARE(folder.text("labelDate"), QString("2024/01/02"));
    QCOMPARE(folder.text("labelTime"), QString("03:04:05"));
    QCOMPARE(folder.text("labelGain"), QString("ゲイン:250"));
    QCOMPARE(folder.text("labelExposure"), QString("露出:60s"));
    QCOMPARE(folder.text("labelCompNumber"), QString("コンポ枚数:32"));
    QCOMPARE(folder.text("labelCameraName"), QString("ZWO ASI294MC Pro"));
    saveScreenshot(folder.dialog.get(), "fileselect-flats");

    // A name longer than its label gets a smaller font, a short one the form's size back.
    m.model = "M0" + QByteArray(60, 'x');
    writeMaster("F00043.tif", m);
    folder.open(1, "F00043.tif");
    auto* camera = folder.dialog->findChild<QLabel*>("labelCameraName");
    QCOMPARE(QFontInfo(camera->font()).pixelSize(), camera->width() / 30);
    folder.press("pushButton_3");
    QCOMPARE(QFontInfo(camera->font()).pixelSize(), 20);

    // A file that knows when it was taken shows that time, not when it was copied.
    m.taken = QDateTime(QDate(2024, 3, 5), QTime(21, 7, 9));
    writeMaster("F00044.tif", m);
    folder.open(1, "F00044.tif");
    QCOMPARE(folder.text("labelDate"), QString("2024/03/05"));
    QCOMPARE(folder.text("labelTime"), QString("21:07:09"));
}

void TestFileSelectDialog::localCameraName_data() {
    QTest::addColumn<QByteArray>("codePage");
    QTest::addColumn<QString>("camera");
    QTest::newRow("Shift-JIS") << QByteArray("Shift-JIS") << QStringLiteral("星見カメラ 294");
    QTest::newRow("UTF-8") << QByteArray("UTF-8") << QStringLiteral("天体用カメラ");
}

// The writer stores the camera name in the local code page.
void TestFileSelectDialog::localCameraName() {
    QFETCH(QByteArray, codePage);
    QFETCH(QString, camera);
    const LocalCodePage local(codePage);
    Folder folder;
    Master m;
    m.model = "C2" + QTextCodec::codecForName(codePage)->fromUnicode(camera);
    writeMaster("F00042.tif", m);
    folder.open(1, "F00042.tif");
    QCOMPARE(folder.text("labelCameraName"), camera);
    saveScreenshot(folder.dialog.get(), "fileselect-" + codePage);
}

void TestFileSelectDialog::exposureForms_data() {
    QTest::addColumn<int>("numerator");
    QTest::addColumn<int>("denominator");
    QTest::addColumn<QString>("shown");
    QTest::newRow("1/125 s") << 1 << 125 << "露出:1/125s";
    QTest::newRow("180 s") << 180 << 1 << "露出:180s";
    QTest::newRow("1 s") << 1 << 1 << "露出:1s";
    // No form for 2/3 s: the label keeps what the file before it showed.
    QTest::newRow("2/3 s") << 2 << 3 << "露出:300s";
}

void TestFileSelectDialog::exposureForms() {
    QFETCH(int, numerator);
    QFETCH(int, denominator);
    QFETCH(QString, shown);
    Folder folder;
    Master before;
    before.numerator = 300;
    writeMaster("D00001.tif", before);
    Master m;
    m.numerator = numerator;
    m.denominator = denominator;
    writeMaster("D00002.tif", m);
    folder.open(0, "D00001.tif");
    QCOMPARE(folder.text("labelExposure"), QString("露出:300s"));
    folder.press("pushButton_4");
    QCOMPARE(folder.text("labelFileName"), QString("D00002.tif"));
    QCOMPARE(folder.text("labelExposure"), shown);
}

void TestFileSelectDialog::okMakesTheFileTheMaster_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("preDark");
    QTest::addColumn<QString>("preFlat");
    QTest::newRow("dark") << 0 << "D00002.tif"
                          << "D00002.tif"
                          << "F00001.tif";
    QTest::newRow("flat") << 1 << "F00003.tif"
                          << "D00001.tif"
                          << "F00003.tif";
}

void TestFileSelectDialog::okMakesTheFileTheMaster() {
    QFETCH(int, mode);
    QFETCH(QString, chosen);
    QFETCH(QString, preDark);
    QFETCH(QString, preFlat);
    Folder folder;
    for (const char* name : {"D00001.tif", "D00002.tif", "F00001.tif", "F00003.tif"})
        writeMaster(name);
    FileSelectDialog& dialog = folder.open(mode, mode == 0 ? "D00001.tif" : "F00001.tif");
    QSignalSpy chosenSpy(&dialog, &FileSelectDialog::fileChosen);
    LogRecorder log;
    folder.press("pushButton_4");
    folder.press("pushButton");
    QCOMPARE(folder.settings.preDark, preDark);
    QCOMPARE(folder.settings.preFlat, preFlat);
    QCOMPARE(chosenSpy.count(), 1);
    QCOMPARE(chosenSpy.at(0).at(0).toString(), chosen);
    QVERIFY(log.contains(chosen));
    QVERIFY(!dialog.isVisible());
}

void TestFileSelectDialog::cancelChangesNothing() {
    Folder folder;
    writeMaster("D00001.tif");
    writeMaster("D00002.tif");
    FileSelectDialog& dialog = folder.open(0, "D00001.tif");
    QSignalSpy chosenSpy(&dialog, &FileSelectDialog::fileChosen);
    folder.press("pushButton_4");
    folder.press("pushButton_2");
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(chosenSpy.count(), 0);
    QCOMPARE(folder.settings.preDark, QString("D00001.tif"));
    QCOMPARE(folder.settings.preFlat, QString("F00001.tif"));
}

void TestFileSelectDialog::emptyFolder() {
    Folder folder;
    writeMaster("F00001.tif"); // a flat, while darks are listed
    FileSelectDialog& dialog = folder.open(0, "D00001.tif");
    QSignalSpy chosenSpy(&dialog, &FileSelectDialog::fileChosen);
    QVERIFY(folder.listed().isEmpty());
    for (const char* label : detailLabels)
        QVERIFY2(folder.text(label).isEmpty(), label);
    folder.press("pushButton_3");
    folder.press("pushButton_4");
    folder.press("pushButton");
    QVERIFY(!dialog.isVisible());
    QCOMPARE(chosenSpy.count(), 0);
    QCOMPARE(folder.settings.preDark, QString("D00001.tif"));

    // No data folder at all.
    QVERIFY(QDir(folder.path()).removeRecursively());
    folder.open(1, "F00001.tif");
    QVERIFY(folder.listed().isEmpty());
}

void TestFileSelectDialog::unreadableFile() {
    Folder folder;
    writeMaster("D00001.tif");
    QFile broken(folder.path() + "/D00002.tif");
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("II*\0 not one of ours");
    broken.close();

    folder.open(0, "D00001.tif");
    QCOMPARE(folder.text("labelGain"), QString("ゲイン:10"));
    folder.press("pushButton_4");
    QCOMPARE(folder.text("labelFileName"), QString("D00002.tif"));
    const QDateTime made = QFileInfo(folder.path() + "/D00002.tif").lastModified();
    QCOMPARE(folder.text("labelDate"), made.toString("yyyy/MM/dd"));
    QCOMPARE(folder.text("labelTime"), made.toString("hh:mm:ss"));
    for (const char* label : {"labelGain", "labelExposure", "labelCompNumber", "labelCameraName"})
        QVERIFY2(folder.text(label).isEmpty(), label);
}

void TestFileSelectDialog::mainWindowButtonsOpenTheDialog() {
    Folder folder;
    for (const char* name : {"D00005.tif", "D00006.tif", "F00007.tif"})
        writeMaster(name);
    folder.settings.preDark = "D00005.tif";
    ProcessState state;
    state.settings = &folder.settings;
    MainWindow window(state);
    window.show();
    window.move(30, 20);

    QTest::mouseClick(window.findChild<QPushButton*>("pushButton_60"), Qt::LeftButton);
    auto* dialog = window.findChild<FileSelectDialog*>();
    QVERIFY(dialog);
    QTRY_VERIFY(dialog->isVisible());
    QCOMPARE(dialog->mode(), 0);
    QCOMPARE(dialog->currentRow(), 0); // the row of the name the dark label shows
    QCOMPARE(dialog->pos(), window.pos() + QPoint(100, 100));
    QCOMPARE(dialog->size(), QSize(650, 540));
    QCOMPARE(dialog->windowTitle(), QString("ファイル選択"));
    saveScreenshot(dialog, "fileselect-darks");
    QTest::mouseClick(dialog->findChild<QPushButton*>("pushButton_4"), Qt::LeftButton);
    QPointer<FileSelectDialog> closing(dialog);
    QTest::mouseClick(dialog->findChild<QPushButton*>("pushButton"), Qt::LeftButton);
    QCOMPARE(folder.settings.preDark, QString("D00006.tif"));
    QCOMPARE(window.findChild<QLabel*>("labelDarkFileName")->text(), QString("D00006.tif"));
    QTRY_VERIFY(closing.isNull());

    QTest::mouseClick(window.findChild<QPushButton*>("pushButton_61"), Qt::LeftButton);
    dialog = window.findChild<FileSelectDialog*>();
    QVERIFY(dialog);
    QCOMPARE(dialog->mode(), 1);
    QTest::mouseClick(dialog->findChild<QPushButton*>("pushButton"), Qt::LeftButton);
    QCOMPARE(folder.settings.preFlat, QString("F00007.tif"));
    QCOMPARE(window.findChild<QLabel*>("labelFlatFileName")->text(), QString("F00007.tif"));
    QCOMPARE(folder.settings.preDark, QString("D00006.tif"));
}

QTEST_MAIN(TestFileSelectDialog)
#include "tst_fileselectdialog.moc"
