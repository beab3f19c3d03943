// The simulated focuser's and filter wheels' motion, and their libraries' answers to faults.
#include "SimEafLibrary.h"
#include "SimEfwLibrary.h"
#include "SimFilterWheel.h"
#include "SimFocuser.h"
#include "SimPlayerOneWheelLibrary.h"

#include <QtTest>

class TestSimAccessories : public QObject {
    Q_OBJECT
private slots:
    void focuserFromPhysical30000() {
        const struct {
            const char* name;
            int relabelTo, target, stopAtMs, atMs, accepted, reported, physical, moving;
        } cases[] = {
            {"800 steps/s", 30000, 31600, -1, 1000, 1, 30800, 30800, 1},
            {"relabelled scale", 0, 800, -1, 2000, 1, 800, 30800, 0},
            {"stop halts", 30000, 31600, 500, 3000, 1, 30400, 30400, 0},
            {"above MaxStep", 30000, 80000, -1, 0, 0, 30000, 30000, 0},
            {"below 0", 30000, -20000, -1, 0, 0, 30000, 30000, 0},
        };
        for (const auto& c : cases) {
            SimFocuser focuser;
            focuser.relabel(c.relabelTo, 0);
            const int accepted = focuser.moveTo(c.target, 0);
            if (c.stopAtMs >= 0)
                focuser.stop(c.stopAtMs);
            QVERIFY2(accepted == c.accepted && focuser.reportedPosition(c.atMs) == c.reported &&
                         focuser.physicalPositionAt(c.atMs) == c.physical &&
                         focuser.isMoving(c.atMs) == c.moving,
                     c.name);
        }
    }

    void wheelTurnsHalfASecondASlotTheShortestWay() {
        const struct {
            const char* name;
            int positions, from, to, turningMs;
        } cases[] = {
            {"EFW one back", 8, 0, 7, 500},
            {"PW three back", 7, 1, 5, 1500},
        };
        for (const auto& c : cases) {
            SimFilterWheel wheel(c.positions);
            wheel.turnTo(c.from, -100000);
            QVERIFY2(wheel.turnTo(c.to, 0) == SimFilterWheel::Turn::Started &&
                         wheel.position(c.turningMs - 1) == -1 &&
                         wheel.turnTo(c.from, c.turningMs - 1) == SimFilterWheel::Turn::Busy &&
                         wheel.position(c.turningMs) == c.to,
                     c.name);
        }
    }

    void faults() {
        SimFocuser focuser;
        SimEafLibrary eaf(&focuser);
        QCOMPARE(eaf.move(0, 60001), int(EafLibrary::InvalidValue));
        focuser.setRemoved(true);
        QVERIFY(eaf.getNum() == 0 && eaf.move(0, 100) == EafLibrary::Removed &&
                focuser.callCount() == 3);
        SimFilterWheel efwWheel(8), pwWheel(7);
        SimEfwLibrary efw(&efwWheel);
        SimPlayerOneWheelLibrary pw(&pwWheel);
        EfwInfo info;
        int position = 0;
        efwWheel.setStuck(true);
        pwWheel.setStuck(true);
        QVERIFY(efw.getProperty(0, &info) == EfwLibrary::Moving &&
                efw.getPosition(0, &position) == EfwLibrary::Success && position == -1);
        QCOMPARE(pw.getCurrentPosition(0, &position), int(PlayerOneWheelLibrary::IsMoving));
        efwWheel.setRemoved(true);
        pwWheel.setRemoved(true);
        QVERIFY(efw.setPosition(0, 1) == EfwLibrary::Removed &&
                pw.gotoPosition(0, 1) == PlayerOneWheelLibrary::NotFound);
    }
};
QTEST_GUILESS_MAIN(TestSimAccessories)
#include "tst_simaccessories.moc"
