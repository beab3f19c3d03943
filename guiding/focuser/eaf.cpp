#include "eaf.h"

#include "SettingsRecord.h"
#include "ui_eaf.h"

namespace {

void showSelected(QPushButton* button, bool selected) {
    button->setStyleSheet(selected ? QStringLiteral("background-color:red;color:white")
                                   : QStringLiteral("background-color:blue;color:white"));
}

} // namespace

eaf::eaf(EafLibrary& library, SettingsRecord& record, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowStaysOnTopHint)
    , ui(new Ui::eaf)
    , settings(record)
    , focuser(library, record) {
    ui->setupUi(this);
    showChoices();
}

eaf::~eaf() {
    delete ui;
}

bool eaf::openFocuser() {
    if (!focuser.open())
        return false;
    showCounter();
    return true;
}

void eaf::periodicStep() {
    focuser.step();
    showCounter();
}

void eaf::on_pushButton_clicked() {
    focuser.in();
    showCounter();
}

void eaf::on_pushButton_2_clicked() {
    focuser.out();
    showCounter();
}

void eaf::on_pushButton_3_clicked() {
    close();
}

void eaf::on_pushButton_4_clicked() {
    chooseStep(0);
}

void eaf::on_pushButton_5_clicked() {
    chooseStep(1);
}

void eaf::on_pushButton_6_clicked() {
    chooseStep(2);
}

void eaf::on_pushButton_7_clicked() {
    chooseStep(3);
}

void eaf::on_pushButton_8_clicked() {
    chooseStep(4);
}

void eaf::on_pushButton_9_clicked() {
    settings.eafx100 = settings.eafx100 == 1 ? 0 : 1;
    showChoices();
}

void eaf::on_pushButton_10_clicked() {
    focuser.reset();
    showCounter();
}

void eaf::on_pushButton_11_clicked() {
    chooseDirection(0);
}

void eaf::on_pushButton_12_clicked() {
    chooseDirection(1);
}

void eaf::chooseStep(int choice) {
    settings.eafPos = choice;
    showChoices();
}

void eaf::chooseDirection(int rev) {
    settings.eafRev = rev;
    showChoices();
}

void eaf::showChoices() {
    QPushButton* const steps[] = {ui->pushButton_4, ui->pushButton_5, ui->pushButton_6,
                                  ui->pushButton_7, ui->pushButton_8};
    for (int choice = 0; choice < 5; ++choice)
        showSelected(steps[choice], settings.eafPos == choice);
    showSelected(ui->pushButton_9, settings.eafx100 == 1);
    showSelected(ui->pushButton_11, settings.eafRev == 0);
    showSelected(ui->pushButton_12, settings.eafRev == 1);
}

void eaf::showCounter() {
    ui->lcdNumber->display(focuser.counter());
}
