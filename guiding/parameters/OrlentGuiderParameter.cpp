#include "OrlentGuiderParameter.h"

#include "GuideLaw.h"
#include "SettingsRecord.h"
#include "ui_OrlentGuiderParameter.h"

namespace {

// A step beyond either end does nothing.
void step(int& value, int delta, int low, int high) {
    const int next = value + delta;
    if (next >= low && next <= high)
        value = next;
}

} // namespace

OrlentGuiderParameter::OrlentGuiderParameter(SettingsRecord& record, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowStaysOnTopHint)
    , ui(new Ui::OrlentGuiderParameter)
    , settings(record)
    , movAveN(record.movAveN)
    , diff(record.diff)
    , gpower(record.gpower)
    , gspeed(record.gspeed) {
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    showValues();
}

OrlentGuiderParameter::~OrlentGuiderParameter() {
    delete ui;
}

void OrlentGuiderParameter::showValues() {
    ui->labelMoveAvgCount->setText(QString::number(movAveN));
    ui->labelMoveAvgRatio->setText(QString::number(diff / 10.0, 'f', 1));
    ui->labelGuidePower->setText(QString::number(GuideLaw::pulseScale(gpower), 'f', 2));
    ui->labelGuideSpeed->setText(QString::number(gspeed));
}

void OrlentGuiderParameter::on_pushButton_clicked() {
    step(movAveN, 1, 1, 99);
    showValues();
}

void OrlentGuiderParameter::on_pushButton_2_clicked() {
    step(movAveN, -1, 1, 99);
    showValues();
}

void OrlentGuiderParameter::on_pushButton_3_clicked() {
    step(diff, 1, 1, 10);
    showValues();
}

void OrlentGuiderParameter::on_pushButton_4_clicked() {
    step(diff, -1, 1, 10);
    showValues();
}

void OrlentGuiderParameter::on_pushButton_5_clicked() {
    step(gpower, 1, 0, 8);
    showValues();
}

void OrlentGuiderParameter::on_pushButton_6_clicked() {
    step(gpower, -1, 0, 8);
    showValues();
}

void OrlentGuiderParameter::on_pushButton_7_clicked() {
    step(gspeed, 1, 0, 10);
    showValues();
}

void OrlentGuiderParameter::on_pushButton_8_clicked() {
    step(gspeed, -1, 0, 10);
    showValues();
}

void OrlentGuiderParameter::on_pushButton_9_clicked() {
    close();
}

void OrlentGuiderParameter::on_pushButton_10_clicked() {
    settings.movAveN = movAveN;
    settings.diff = diff;
    settings.gpower = gpower;
    settings.gspeed = gspeed;
    close();
}
