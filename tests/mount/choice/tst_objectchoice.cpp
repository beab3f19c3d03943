// The chart's object-choice dialogs driven through their buttons: the touch choice, the
// number keypad, the first-magnitude stars and the showpiece lists; and the goto window's
// chart choosing through them from a hand-made catalogue around M42.
#include "ChartSky.h"
#include "Clock.h"
#include "FirstMagnitudeStars.h"
#include "FirstStarDialog.h"
#include "Goto.h"
#include "LogRecorder.h"
#include "NumberInput.h"
#include "ObjectSelcter.h"
#include "PositionUpdate.h"
#include "ProcessState.h"
#include "Recommend.h"
#include "Screenshot.h"
#include "SettingsFile.h"
#include "SettingsRecord.h"
#include "StarCatalog.h"
#include "TestDrives.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {

QString programFolder() {
    return qEnvironmentVariable("VESPERIX_BIN_DIR");
}

void press(QWidget* dialog, const QString& text) {
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
        if (button->text() == text) {
            QTest::mouseClick(button, Qt::LeftButton);
            return;
        }
    }
    QFAIL(qPrintable("no button " + text));
}

// Runs `act` on the modal dialog once its own event loop has started.
template <typename Dialog> void whenShown(const std::function<void(Dialog*)>& act) {
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        act(dialog);
    });
}

void clickRow(QListWidget* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
}

int lineCount(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    int lines = 0;
    while (!file.atEnd())
        lines += file.readLine().trimmed().isEmpty() ? 0 : 1;
    return lines;
}

constexpr double m42Ra = 83.82, m42Dec = -5.39;

// The goto window without a mount, its chart centred on M42 (at pixel 600, 320) in a sky of
// M42, NGC 1976 at the same place and two stars 3 and 8 pixels east of it at level 2.
struct GotoOnM42 {
    TestDrives drives;
    SettingsRecord settings;
    StarCatalog catalog;
    std::unique_ptr<ChartSky> sky;
    ProcessState state;
    PositionUpdate positions{state.syncPointRa, state.syncPointDec};
    std::unique_ptr<Goto> window;

    explicit GotoOnM42(bool crowded) {
        settings.setDefaults();
        settings.enaAllNgc = 1;
        ensureSettingsPath(settings);
        catalog.messier.resize(StarCatalog::messierCount);
        catalog.ngc.resize(StarCatalog::ngcCount);
        catalog.messier[41] = {m42Ra, m42Dec, true};
        if (crowded) {
            catalog.ngc[1975] = {m42Ra, m42Dec, true};
            const double pixel = 180 / M_PI / 550 / std::cos(m42Dec * M_PI / 180);
            catalog.stars = {{1, m42Ra - 3 * pixel, m42Dec, 3, 0},
                             {2, m42Ra - 8 * pixel, m42Dec, 3, 0}};
        }
        sky = std::make_unique<ChartSky>(catalog);
        state.settings = &settings;
        state.catalog = &catalog;
        state.chartSky = sky.get();
        state.syncPointRa = m42Ra;
        state.syncPointDec = m42Dec;
        window = std::make_unique<Goto>(state, positions);
    }
    GotoActions& actions() { return window->actions(); }
    void touch(QPoint press, QPoint release) {
        QLabel* chart = window->findChild<QLabel*>("chartLabel");
        QTest::mousePress(chart, Qt::LeftButton, {}, press);
        QTest::mouseRelease(chart, Qt::LeftButton, {}, release);
    }
    QRgb chartPixel(int x, int y) const {
        return window->findChild<QLabel*>("chartLabel")
            ->pixmap(Qt::ReturnByValue)
            .toImage()
            .pixel(x, y);
    }
};

QDateTime date(int month) {
    return QDateTime(QDate(2024, month, 15), QTime(21, 0));
}

} // namespace

class TestObjectChoice : public QObject {
    Q_OBJECT
private slots:
    void objectSelcter_data();
    void objectSelcter();
    void numberInput_data();
    void numberInput();
    void firstMagnitudeStar_data();
    void firstMagnitudeStar();
    void recommendOpensOnTheSeason_data();
    void recommendOpensOnTheSeason();
    void recommendChoosesARow();
    void recommendWithMissingFiles();
    void chartTouch_data();
    void chartTouch();
    void chartNumber_data();
    void chartNumber();
};

void TestObjectChoice::objectSelcter_data() {
    QTest::addColumn<QStringList>("presses");
    QTest::addColumn<int>("chosen"); // -1: nothing
    QTest::newRow("down from the last row wraps") << QStringList{"▼", "▼", "▼", "OK"} << 0;
    QTest::newRow("up from the first row wraps") << QStringList{"▲", "OK"} << 2;
    QTest::newRow("OK takes the selected row") << QStringList{"▼", "OK"} << 1;
    QTest::newRow("cancel takes nothing") << QStringList{"▼", "キャンセル"} << -1;
}

void TestObjectChoice::objectSelcter() {
    QFETCH(QStringList, presses);
    QFETCH(int, chosen);
    whenShown<ObjectSelcter>([presses](ObjectSelcter* dialog) {
        saveScreenshot(dialog, "ObjectSelcter");
        for (const QString& text : presses)
            press(dialog, text);
    });
    const std::optional<int> row = ObjectSelcter::choose({"M42", "NGC1976", "IC434"}, nullptr);
    QCOMPARE(row.value_or(-1), chosen);
}

void TestObjectChoice::numberInput_data() {
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<int>("number");
    QTest::newRow("leading-zero") << QStringList{"0", "4", "2", "OK"} << 42;
    QTest::newRow("cancel") << QStringList{"4", "2", "キャンセル"} << -1;
    QTest::newRow("ten-digits") << QStringList{"1", "2", "3", "4", "5", "6",
                                               "7", "8", "9", "0", "OK"}
                                << 123456789;
}

void TestObjectChoice::numberInput() {
    QFETCH(QStringList, keys);
    QFETCH(int, number);
    whenShown<NumberInput>([keys](NumberInput* dialog) {
        for (const QString& key : keys.mid(0, keys.size() - 1))
            press(dialog, key);
        if (QByteArray(QTest::currentDataTag()) == "leading-zero")
            saveScreenshot(dialog, "NumberInput");
        press(dialog, keys.last());
    });
    QCOMPARE(NumberInput::ask("M", nullptr), number);
}

void TestObjectChoice::firstMagnitudeStar_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<double>("ra");
    QTest::addColumn<double>("dec");
    QTest::newRow("north") << "こと座 ベガ" << 279.225 << 38.7833;
    QTest::newRow("south") << "おおいぬ座 シリウス" << 101.275 << -16.7167;
}

void TestObjectChoice::firstMagnitudeStar() {
    QFETCH(QString, button);
    QFETCH(double, ra);
    QFETCH(double, dec);
    FirstStarDialog dialog;
    dialog.show();
    saveScreenshot(&dialog, "FirstStarDialog");
    press(&dialog, button);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(FirstMagnitudeStars::buttonText(dialog.chosenRow()), button);
    const SkyPosition star = FirstMagnitudeStars::position(dialog.chosenRow());
    QVERIFY2(qAbs(star.ra - ra) < 1e-3, qPrintable(QString::number(star.ra)));
    QVERIFY2(qAbs(star.dec - dec) < 1e-3, qPrintable(QString::number(star.dec)));
}

void TestObjectChoice::recommendOpensOnTheSeason_data() {
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("list");
    QTest::newRow("January") << 1 << int(RecommendList::Winter);
    QTest::newRow("October") << 10 << int(RecommendList::Autumn);
}

void TestObjectChoice::recommendOpensOnTheSeason() {
    QFETCH(int, month);
    QFETCH(int, list);
    Recommend::forgetList();
    Clock::setStartDate(date(month));
    Recommend dialog(programFolder());
    QCOMPARE(int(dialog.shownList()), list);
    const QString file =
        programFolder() + "/PNG/" + RecommendList::fileName(RecommendList::List(list));
    QVERIFY(lineCount(file) > 0);
    QCOMPARE(dialog.findChild<QListWidget*>()->count(), lineCount(file));
    if (list == RecommendList::Winter) {
        dialog.show();
        saveScreenshot(&dialog, "Recommend");
    }
}

void TestObjectChoice::recommendChoosesARow() {
    Recommend::forgetList();
    Clock::setStartDate(date(1));
    LogRecorder log;
    whenShown<Recommend>([](Recommend* dialog) { clickRow(dialog->findChild<QListWidget*>(), 0); });
    const std::optional<SkyPosition> m42 = Recommend::choose(programFolder(), nullptr);
    QVERIFY(m42);
    QVERIFY(qAbs(m42->ra - 83.85) < 1e-9);
    QVERIFY(qAbs(m42->dec - -5.45) < 1e-9);
    QVERIFY(log.contains("no=0 ra=83.85 dec=-5.45"));
    // The list of the choice comes back in another season.
    Clock::setStartDate(date(7));
    QCOMPARE(Recommend(programFolder()).shownList(), RecommendList::Winter);
    Recommend::forgetList();
}

void TestObjectChoice::recommendWithMissingFiles() {
    QTemporaryDir folder;
    QVERIFY(QDir(folder.path()).mkdir("PNG"));
    QVERIFY(QFile::copy(programFolder() + "/PNG/M42.png", folder.path() + "/PNG/M42.png"));
    const QString unknown = "AnObjectWhosePictureNameIsLongerThanThirty.png";
    QFile list(folder.path() + "/PNG/winterList.txt");
    QVERIFY(list.open(QIODevice::WriteOnly));
    list.write("M42.png, 05 35 24.0 -05 27 00\n" + unknown.toUtf8() + ",\t05 40 48.0 -02 30 00\n");
    list.close();
    Recommend::forgetList();
    Clock::setStartDate(date(1));
    LogRecorder log;
    Recommend dialog(folder.path());
    auto* rows = dialog.findChild<QListWidget*>();
    QCOMPARE(rows->count(), 2);
    QVERIFY(!rows->item(0)->icon().isNull());
    QVERIFY(rows->item(1)->icon().isNull());
    QCOMPARE(RecommendList::load(folder.path(), RecommendList::Winter).at(1).picture, unknown);
    QVERIFY(log.lines().isEmpty());
    press(&dialog, "夏の定番天体");
    QCOMPARE(rows->count(), 0);
    QCOMPARE(log.lines(), QStringList{"file open error 1"});
}

void TestObjectChoice::chartTouch_data() {
    QTest::addColumn<bool>("crowded");
    QTest::addColumn<int>("slack");        // pixels between press and release
    QTest::addColumn<QStringList>("rows"); // offered by the dialog; empty: none shown
    QTest::addColumn<bool>("picked");
    QTest::newRow("M42 alone: taken directly") << false << 5 << QStringList{} << true;
    QTest::newRow("a drag of 6 pixels") << false << 6 << QStringList{} << false;
    QTest::newRow("M42, NGC 1976 and two stars: cancelled")
        << true << 0 << QStringList{"M42", "NGC1976", "星"} << false;
}

void TestObjectChoice::chartTouch() {
    QFETCH(bool, crowded);
    QFETCH(int, slack);
    QFETCH(QStringList, rows);
    QFETCH(bool, picked);
    GotoOnM42 w(crowded);
    QStringList offered;
    QTimer::singleShot(0, [&offered] {
        if (auto* dialog = qobject_cast<ObjectSelcter*>(QApplication::activeModalWidget())) {
            for (int row = 0; row < dialog->findChild<QListWidget*>()->count(); ++row)
                offered << dialog->findChild<QListWidget*>()->item(row)->text();
            press(dialog, "キャンセル");
        }
    });
    w.touch({600, 320}, {600 + slack, 320});
    QCOMPARE(offered, rows);
    QCOMPARE(w.actions().pickedValid, picked);
    if (picked) {
        QCOMPARE(w.actions().pickedRa, m42Ra);
        QCOMPARE(w.actions().pickedDec, m42Dec);
    }
    // Nothing waits for an answer any more.
    QApplication::processEvents();
    QVERIFY(!QApplication::activeModalWidget());
}

void TestObjectChoice::chartNumber_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<bool>("centred");
    QTest::newRow("M 0 4 2") << "pushButtonMessierNumber" << QStringList{"0", "4", "2"} << true;
    QTest::newRow("NGC 7841, past the catalogue")
        << "pushButtonNgcNumber" << QStringList{"7", "8", "4", "1"} << false;
    QTest::newRow("NGC 1977, absent")
        << "pushButtonNgcNumber" << QStringList{"1", "9", "7", "7"} << false;
}

void TestObjectChoice::chartNumber() {
    QFETCH(QString, button);
    QFETCH(QStringList, keys);
    QFETCH(bool, centred);
    GotoOnM42 w(false);
    w.actions().centerRa = 10;
    w.actions().centerDec = 20;
    whenShown<NumberInput>([keys](NumberInput* dialog) {
        for (const QString& key : keys)
            press(dialog, key);
        press(dialog, "OK");
    });
    QTest::mouseClick(w.window->findChild<QPushButton*>(button), Qt::LeftButton);
    QCOMPARE(w.actions().pickedValid, centred);
    QCOMPARE(w.actions().centerRa, centred ? m42Ra : 10);
    QCOMPARE(w.actions().centerDec, centred ? m42Dec : 20);
    if (centred) // the green cross, its strokes 5 to 15 pixels from the object
        for (const QPoint& stroke : {QPoint(610, 320), QPoint(590, 320), QPoint(600, 330)})
            QVERIFY(qGreen(w.chartPixel(stroke.x(), stroke.y())) > 200 &&
                    qRed(w.chartPixel(stroke.x(), stroke.y())) < 80);
}

QTEST_MAIN(TestObjectChoice)
#include "tst_objectchoice.moc"
