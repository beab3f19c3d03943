#include "E2eMount.h"

#include "Clock.h"
#include "E2eProgram.h"
#include "MainProgram.h"
#include "MountControl.h"
#include "ProcessState.h"
#include "Screenshot.h"
#include "SimMountController.h"
#include "SimObservatory.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>

PortChoice::PortChoice(bool chooseController)
    : choose(chooseController) {
    connect(&poll, &QTimer::timeout, this, [this] { answer(); });
    poll.start(5);
}

void PortChoice::answer() {
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog || !dialog->findChild<QListWidget*>("comPortListWidget"))
        return;
    ++dialogs;
    auto* rows = dialog->findChild<QListWidget*>("comPortListWidget");
    const QList<QListWidgetItem*> mount = rows->findItems("Mount Controller", Qt::MatchContains);
    if (choose && !mount.isEmpty())
        rows->setCurrentItem(mount.first());
    saveScreenshot(dialog, "MountPortDialog");
    dialog->findChild<QPushButton*>(choose ? "pushButton" : "pushButton_2")->click();
}

SimMountController& controller(E2eProgram& e2e) {
    return *e2e.program().sim()->mountController();
}

bool connectMount(E2eProgram& e2e) {
    PortChoice user(true);
    return e2e.press("pushButton_72") && e2e.state().mount;
}

bool settleMount(E2eProgram& e2e) {
    SimMountCore& motors = controller(e2e).core();
    MountControl& mount = *e2e.state().mount;
    const bool still = e2e.runUntil([&] {
        const std::int64_t now = Clock::nowMs();
        return mount.raState == MountControl::Idle && mount.decState == MountControl::Idle &&
               motors.running(0, now) && !motors.running(1, now);
    });
    e2e.runFor(1500);
    return still;
}
