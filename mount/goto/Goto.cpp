#include "Goto.h"

#include "ProcessState.h"
#include "SettingsRecord.h"
#include "TelePosDialog.h"
#include "TouchFont.h"
#include "ui_Goto.h"


namespace {

const char* const chosenStyle = "background-color:red;color:white";
const char* const otherStyle = "background-color:rgb(0, 85, 255);color:white";

} // namespace

Goto::Goto(ProcessState& processState, PositionUpdate& positions, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::Goto)
    , state(processState)
    , goto_(processState, positions) {
    ui->setupUi(this);
    TouchFont::apply(this);
    goto_.askPierSide = [this](const QString& sentence, bool east) {
        return TelePosDialog::ask(sentence, east, this);
    };
    state.gotoOpen = true;
    showDecDir();
    goto_.open();
}

Goto::~Goto() {
    state.gotoOpen = false;
    delete ui;
}

void Goto::showDecDir() {
    const bool plus = state.settings->decDir == 0;
    ui->pushButton_23->setStyleSheet(plus ? chosenStyle : otherStyle);
    ui->pushButton_24->setStyleSheet(plus ? otherStyle : chosenStyle);
}

void Goto::on_pushButton_18_clicked() {
    goto_.sync();
}

void Goto::on_pushButton_19_clicked() {
    goto_.gotoObject();
}

void Goto::on_pushButton_20_clicked() {
    goto_.stop();
}

void Goto::on_pushButton_22_clicked() {
    goto_.northCheck();
}

void Goto::on_pushButton_23_clicked() {
    goto_.setDecDir(0);
    showDecDir();
}

void Goto::on_pushButton_24_clicked() {
    goto_.setDecDir(1);
    showDecDir();
}

void Goto::on_pushButton_30_clicked() {
    goto_.homeGoto();
}

void Goto::on_pushButton_31_clicked() {
    goto_.toHome();
}

void Goto::on_pushButton_12_clicked() {
    goto_.zenith();
}

void Goto::on_pushButton_clicked() {
    close();
}

void Goto::done(int result) {
    goto_.close();
    QDialog::done(result);
    deleteLater();
}
