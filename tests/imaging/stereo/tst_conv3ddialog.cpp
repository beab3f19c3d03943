#include "Conv3DDialog.h"
#include "HostPath.h"
#include "LayoutFaults.h"
#include "Screenshot.h"
#include "SettingsFile.h"
#include "SettingsRecord.h"
#include "TestDrives.h"
#include "TouchFont.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {

const char* const chosenStyle = "background-color:red;color:white";
const char* const otherStyle = "background-color:rgb(85, 170, 255);color:white";

// The option buttons group by group, in the order of their values.
const QStringList groups[] = {{"pushButton", "pushButton_2", "pushButton_3"},
                              {"pushButton_4", "pushButton_5"},
                              {"pushButton_8", "pushButton_9", "pushButton_10"}};

// The settings file in a drive root of its own, and the dialog over the record.
struct Bench {
    explicit Bench(const QString& appDir = "C:\\NoProgram") {
        settings.setDefaults();
        ensureSettingsPath(settings);
        dialog = std::make_unique<Conv3DDialog>(settings, appDir);
        dialog->show();
    }
    QPushButton* button(const QString& name) const { return dialog->findChild<QPushButton*>(name); }
    void press(const QString& name) const { QTest::mouseClick(button(name), Qt::LeftButton); }
    // The value each group shows chosen: -1 unless one button is red and the others blue.
    QList<int> shown() const {
        QList<int> values;
        for (const QStringList& group : groups) {
            int value = -1, red = 0, blue = 0;
            for (int i = 0; i < group.size(); ++i) {
                const QString style = button(group[i])->styleSheet();
                if (style == chosenStyle) {
                    value = i;
                    ++red;
                } else if (style == otherStyle) {
                    ++blue;
                }
            }
            values << (red == 1 && red + blue == group.size() ? value : -1);
        }
        return values;
    }
    QList<int> stored() const { return {settings._3dfor, settings._3ddep, settings._3dstr}; }

    TestDrives drives;
    SettingsRecord settings;
    std::unique_ptr<Conv3DDialog> dialog;
};

} // namespace

class TestConv3DDialog : public QObject {
    Q_OBJECT
private slots:
    void showsTheStoredChoices_data();
    void showsTheStoredChoices();
    void eachButtonChooses();
    void executeKeepsAndSaves();
    void cancelKeepsNothing();
    void pictures();
    void layout();
};

void TestConv3DDialog::showsTheStoredChoices_data() {
    QTest::addColumn<QList<int>>("stored");
    QTest::addColumn<QList<int>>("shown");
    QTest::newRow("defaults") << QList<int>{0, 0, 0} << QList<int>{0, 0, 0};
    QTest::newRow("last of each") << QList<int>{2, 1, 2} << QList<int>{2, 1, 2};
    // The settings file allows a third depth method, which the conversion takes as the first.
    QTest::newRow("depth 2") << QList<int>{1, 2, 1} << QList<int>{1, 0, 1};
}

void TestConv3DDialog::showsTheStoredChoices() {
    QFETCH(QList<int>, stored);
    QFETCH(QList<int>, shown);
    Bench bench;
    bench.settings._3dfor = stored[0];
    bench.settings._3ddep = stored[1];
    bench.settings._3dstr = stored[2];
    bench.dialog = std::make_unique<Conv3DDialog>(bench.settings, "C:\\NoProgram");
    QCOMPARE(bench.shown(), shown);
    const Conv3DDialog& dialog = *bench.dialog;
    QCOMPARE((QList<int>{dialog.format(), dialog.depth(), dialog.strength()}), shown);
}

// Each press turns its button red and the others of its group blue, in the dialog only.
void TestConv3DDialog::eachButtonChooses() {
    Bench bench;
    QList<int> expected{0, 0, 0};
    for (int g = 0; g < 3; ++g) {
        for (int i = groups[g].size() - 1; i >= 0; --i) {
            bench.press(groups[g][i]);
            expected[g] = i;
            QCOMPARE(bench.shown(), expected);
        }
        bench.press(groups[g].last());
        expected[g] = groups[g].size() - 1;
    }
    QCOMPARE(bench.stored(), (QList<int>{0, 0, 0}));
    QVERIFY(bench.dialog->isVisible());
}

void TestConv3DDialog::executeKeepsAndSaves() {
    Bench bench;
    for (const char* name : {"pushButton_3", "pushButton_5", "pushButton_9"})
        bench.press(name);
    bench.press("pushButton_7");
    QCOMPARE(bench.dialog->result(), int(QDialog::Accepted));
    QVERIFY(!bench.dialog->isVisible());
    QCOMPARE(bench.stored(), (QList<int>{2, 1, 1}));
    const QByteArray file = bench.drives.readSettingsFile("Vesperix.ini");
    for (const char* line : {"\n_3dfor 2\n", "\n_3ddep 1\n", "\n_3dstr 1\n"})
        QVERIFY2(file.contains(line), line);
}

void TestConv3DDialog::cancelKeepsNothing() {
    Bench bench;
    for (const char* name : {"pushButton_2", "pushButton_5", "pushButton_10"})
        bench.press(name);
    bench.press("pushButton_6");
    QCOMPARE(bench.dialog->result(), int(QDialog::Rejected));
    QVERIFY(!bench.dialog->isVisible());
    QCOMPARE(bench.stored(), (QList<int>{0, 0, 0}));
    QVERIFY(bench.drives.readSettingsFile("Vesperix.ini").isEmpty());
}

// The examples come from the program folder's PNG folder; a missing one leaves its place
// empty.
void TestConv3DDialog::pictures() {
    TestDrives drives;
    const QString appDir = "C:\\Program";
    QDir().mkpath(HostPath::toHost(appDir + "\\PNG"));
    QImage picture(320, 180, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QVERIFY(picture.save(HostPath::toHost(appDir + "\\PNG\\make3d_sbs.png")));
    QVERIFY(picture.save(HostPath::toHost(appDir + "\\PNG\\make3d_ana.png")));
    SettingsRecord settings;
    settings.setDefaults();
    Conv3DDialog dialog(settings, appDir);
    const auto shows = [&](const char* label) {
        const QPixmap pixmap = dialog.findChild<QLabel*>(label)->pixmap(Qt::ReturnByValue);
        return !pixmap.isNull();
    };
    QVERIFY(shows("label_2"));
    QVERIFY(!shows("label_3"));
    QVERIFY(shows("label_4"));
}

void TestConv3DDialog::layout() {
    Bench bench(HostPath::fromHost(qEnvironmentVariable("VESPERIX_BIN_DIR")));
    QCOMPARE(bench.dialog->windowTitle(), QString("画像の3D化"));
    // Group titles are the house's smaller ones, clear of the buttons below them.
    const QStringList faults = layoutFaults(bench.dialog.get(), {TouchFont::titlePx, 48});
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join("\n")));
    saveScreenshot(bench.dialog.get(), "Conv3DDialog");
}

QTEST_MAIN(TestConv3DDialog)
#include "tst_conv3ddialog.moc"
