#include "CameraEntryList.h"
#include "CameraList.h"
#include "LogRecorder.h"
#include "Screenshot.h"

#include <QListWidget>
#include <QPushButton>
#include <QtTest>

namespace {

CameraEntry entry(const char* name, int vendor, int id, int isColor) {
    return {name, vendor, id, 4144, 2822, isColor};
}

void press(CameraList& dialog, const char* button) {
    QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);
}

} // namespace

class TestCameraList : public QObject {
    Q_OBJECT
private slots:
    void rowsAndSelectionWrapAround();
    void takeFirstChoosesWithoutAsking();
};

void TestCameraList::rowsAndSelectionWrapAround() {
    CameraEntryList entries;
    entries.addCamera(entry("Poseidon-C PRO", 0, 0, 1));
    entries.addCamera(entry("ZWO ASI294MM Pro", 1, 0, 0));
    entries.addCamera(entry("SVBONY SV605CC", 2, 1, 1));
    CameraList dialog(entries);
    CameraEntry chosen;
    dialog.showList(&chosen);
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("カメラの選択"));
    QCOMPARE(dialog.size(), QSize(708, 287));
    auto* rows = dialog.findChild<QListWidget*>("listWidget");
    QCOMPARE(rows->count(), 3);
    QCOMPARE(rows->item(1)->text(),
             QString("ZWO(0) ZWO ASI294MM Pro(Mono) width=4144 height=2822"));
    QCOMPARE(dialog.selectedRow(), 0);
    saveScreenshot(&dialog, "CameraList");

    press(dialog, "pushButton_2"); // up from the first row: the last
    QCOMPARE(dialog.selectedRow(), 2);
    press(dialog, "pushButton_3"); // down from the last: the first
    QCOMPARE(dialog.selectedRow(), 0);
    press(dialog, "pushButton_3");
    press(dialog, "pushButton");
    QCOMPARE(chosen.name, QString("ZWO ASI294MM Pro"));
    QCOMPARE(chosen.vendor, 1);
    QVERIFY(!dialog.isVisible());
}

void TestCameraList::takeFirstChoosesWithoutAsking() {
    LogRecorder log;
    CameraEntryList entries;
    entries.addCamera(entry("ZWO ASI120MM Mini", 1, 3, 0));
    QCOMPARE(log.lines(), QStringList{"ZWO(3) ZWO ASI120MM Mini(Mono) width=4144 height=2822"});
    CameraList dialog(entries);
    CameraEntry chosen;
    dialog.showList(&chosen);
    dialog.takeFirst();
    QCOMPARE(chosen.cameraId, 3);
    QCOMPARE(entries.count(), 0);
}

QTEST_MAIN(TestCameraList)
#include "tst_cameralist.moc"
