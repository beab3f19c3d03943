// The guider parameter dialog: its ranges, its texts, and that only "設定" stores.
#include "OrlentGuiderParameter.h"
#include "Screenshot.h"
#include "SettingsRecord.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

class TestGuiderParameter : public QObject {
    Q_OBJECT
private slots:
    void steps_data();
    void steps();
    void onlySetStores();
};

void TestGuiderParameter::steps_data() {
    QTest::addColumn<int>("gpower");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("shown");
    QTest::newRow("4 reads 1.00") << 4 << ""
                                  << "1.00";
    QTest::newRow("up from 4") << 4 << "pushButton_5"
                               << "3.00";
    QTest::newRow("up from 8 stays") << 8 << "pushButton_5"
                                     << "100.00";
    QTest::newRow("down from 0 stays") << 0 << "pushButton_6"
                                       << "0.01";
}

void TestGuiderParameter::steps() {
    QFETCH(int, gpower);
    QFETCH(QString, button);
    QFETCH(QString, shown);
    SettingsRecord settings;
    settings.setDefaults();
    settings.gpower = gpower;
    OrlentGuiderParameter dialog(settings);
    if (!button.isEmpty())
        dialog.findChild<QPushButton*>(button)->click();
    QCOMPARE(dialog.findChild<QLabel*>("labelGuidePower")->text(), shown);
    QCOMPARE(settings.gpower, gpower); // nothing stored before "設定"
}

void TestGuiderParameter::onlySetStores() {
    SettingsRecord settings;
    settings.setDefaults();
    settings.movAveN = 5;
    settings.diff = 5;
    settings.gspeed = 9;
    const auto edit = [&](const char* finish) {
        auto* dialog = new OrlentGuiderParameter(settings);
        dialog->show();
        for (const char* button :
             {"pushButton", "pushButton", "pushButton_4", "pushButton_7", "pushButton_7"})
            dialog->findChild<QPushButton*>(button)->click();
        QCOMPARE(dialog->findChild<QLabel*>("labelMoveAvgRatio")->text(), QString("0.4"));
        QCOMPARE(dialog->findChild<QLabel*>("labelGuideSpeed")->text(), QString("10"));
        saveScreenshot(dialog, "OrlentGuiderParameter");
        dialog->findChild<QPushButton*>(finish)->click();
    };
    edit("pushButton_9"); // キャンセル
    QCOMPARE(settings.movAveN, 5);
    QCOMPARE(settings.diff, 5);
    QCOMPARE(settings.gspeed, 9);
    edit("pushButton_10"); // 設定
    QCOMPARE(settings.movAveN, 7);
    QCOMPARE(settings.diff, 4);
    QCOMPARE(settings.gspeed, 10);
}

QTEST_MAIN(TestGuiderParameter)
#include "tst_guiderparameter.moc"
