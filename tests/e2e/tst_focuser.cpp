// Focusing end to end: the focuser dialog moves the simulated focuser through best focus
// while live view's focus aid measures a star, and the focuser is unplugged while it is open.
#include "E2eProgram.h"
#include "FocuserService.h"
#include "ImageDisplay.h"
#include "MainProgram.h"
#include "MainWindow.h"
#include "SettingsRecord.h"
#include "SimFocuser.h"
#include "SimObservatory.h"
#include "eaf.h"

#include <QLCDNumber>
#include <QPushButton>
#include <QtTest>
#include <algorithm>
#include <vector>

class TestFocuserE2e : public QObject {
    Q_OBJECT
private slots:
    void focusAid();
    void focuserRemoved();
};

void TestFocuserE2e::focusAid() {
    E2eProgram::Options options;
    options.cameras = "ASI183MM";
    options.accessories = "EAF";
    E2eProgram e2e(options);
    SimFocuser& focuser = *e2e.program().sim()->focuser();
    const int bestFocus = focuser.physicalPosition() + 150;
    focuser.setBestFocus(bestFocus);
    // The telescope on ι Orionis, so a bright star sits in the middle of the frame.
    SimOptics& optics = e2e.program().sim()->optics();
    optics.pointingRa = 83.8583;
    optics.pointingDec = -5.9099;
    optics.seeingFwhmArcsec = 5;

    ImageDisplay& display = e2e.program().display();
    std::vector<int> sizes; // the focus aid's size of each frame shown
    int frames = 0;
    const auto present = display.present;
    display.present = [&](const QImage& image) {
        ++frames;
        if (display.lastStarSize() > 0)
            sizes.push_back(display.lastStarSize());
        if (present)
            present(image);
    };
    e2e.settings().lexposure = 12; // 4 s
    e2e.settings().lgain = 25;
    QVERIFY(e2e.press("pushButton_7"));
    QVERIFY(e2e.runUntil([&] { return frames >= 2; }));
    while (display.view().zoom < 2)
        QVERIFY(e2e.press("pushButton_33"));
    const int zoomed = frames;
    QVERIFY(e2e.runUntil([&] { return frames >= zoomed + 2; }));
    // The user touches the star in the middle of the zoomed picture.
    display.setFocusPoint(display.canvas().cols / 2, display.canvas().rows / 2);
    QVERIFY(e2e.runUntil([&] { return !sizes.empty(); }, 30000));

    QVERIFY(e2e.press("pushButton_57"));
    eaf* dialog = e2e.program().focuser().dialog();
    QVERIFY(dialog);
    const auto click = [&](const char* name) {
        QTest::mouseClick(dialog->findChild<QPushButton*>(name), Qt::LeftButton);
    };
    const auto counter = [&] { return dialog->findChild<QLCDNumber*>("lcdNumber")->intValue(); };
    click("pushButton_6"); // 50

    const int clicks = 7; // from 150 steps inside best focus to 150 steps past it
    std::vector<int> medians;
    for (int position = 0; position < clicks; ++position) {
        if (position > 0)
            click("pushButton_2"); // OUT
        QVERIFY(e2e.runUntil([&] { return counter() == 50 * position; }, 20000));
        // The first frame may have been exposed while the focuser moved.
        const size_t measured = sizes.size() + 1;
        QVERIFY(e2e.runUntil([&] { return sizes.size() >= measured + 3; }, 60000));
        std::vector<int> three(sizes.begin() + measured, sizes.begin() + measured + 3);
        std::nth_element(three.begin(), three.begin() + 1, three.end());
        medians.push_back(three[1]);
    }
    QStringList shown;
    for (int size : medians)
        shown << QString::number(size);
    const QString seen = "sizes by position: " + shown.join(' ');
    const int best = int(std::min_element(medians.begin(), medians.end()) - medians.begin());
    QVERIFY2(std::abs(best - 3) <= 1, qPrintable(seen));
    QVERIFY2(medians[0] > medians[best] && medians[6] > medians[best], qPrintable(seen));
    QCOMPARE(display.view().minStarSize, *std::min_element(sizes.begin(), sizes.end()));
    QCOMPARE(counter(), 300);
    QCOMPARE(focuser.physicalPosition(), bestFocus + 150);
}

// The focuser unplugged while its dialog is open in the running program: one log line, not
// one a poll, the counter kept, and the dialog still closes.
void TestFocuserE2e::focuserRemoved() {
    E2eProgram::Options options;
    options.cameras = "ASI183MM";
    options.accessories = "EAF";
    E2eProgram e2e(options);
    QVERIFY(e2e.press("pushButton_57"));
    eaf* dialog = e2e.program().focuser().dialog();
    QVERIFY(dialog);
    QTest::mouseClick(dialog->findChild<QPushButton*>("pushButton_2"), Qt::LeftButton);
    e2e.runFor(1000);
    const int counter = dialog->findChild<QLCDNumber*>("lcdNumber")->intValue();
    e2e.program().sim()->focuser()->setRemoved(true);
    e2e.runFor(3000);
    QCOMPARE(e2e.log.lines().count("EAFGetPosition error 4"), 1);
    QCOMPARE(dialog->findChild<QLCDNumber*>("lcdNumber")->intValue(), counter);
    QTest::mouseClick(dialog->findChild<QPushButton*>("pushButton_3"), Qt::LeftButton);
    QVERIFY(e2e.runUntil([&] { return !e2e.program().focuser().dialog(); }, 5000));
    QVERIFY(e2e.messages.isEmpty());
}

QTEST_MAIN(TestFocuserE2e)
#include "tst_focuser.moc"
