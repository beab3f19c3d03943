#include "Motor.h"

#include "ProcessState.h"
#include "TouchFont.h"
#include "TouchLabel.h"
#include "ui_Motor.h"

#include <QStyle>

namespace {

const char* const chosenStyle = "background-color:red;color:white";
const char* const otherStyle = "background-color:rgb(0, 85, 255);color:white";
// The pads' arrows and letters, large enough to find in the dark.
constexpr int padTextPx = 28;

} // namespace

Motor::Motor(ProcessState& state, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::Motor)
    , manual(state.mount) {
    ui->setupUi(this);
    TouchFont::apply(this);
    setFixedSize(size());
    modeButtons = {ui->pushButtonContinuous, ui->pushButtonStep0_1, ui->pushButtonStep0_5,
                   ui->pushButtonStep1,      ui->pushButtonStep5,   ui->pushButtonStep10};
    speedButtons = {ui->pushButtonSpeedMax, ui->pushButtonSpeed100, ui->pushButtonSpeed30,
                    ui->pushButtonSpeed8};
    for (int mode = 0; mode < modeButtons.size(); ++mode)
        connect(modeButtons[mode], &QPushButton::clicked, this, [this, mode] {
            manual.setStepMode(mode);
            showChoices();
        });
    for (int speed = 0; speed < speedButtons.size(); ++speed)
        connect(speedButtons[speed], &QPushButton::clicked, this, [this, speed] {
            manual.setSpeedIndex(speed);
            showChoices();
        });
    const std::pair<TouchLabel*, ManualMotion::Pad> pads[] = {{ui->labelNorth, ManualMotion::North},
                                                              {ui->labelSouth, ManualMotion::South},
                                                              {ui->labelEast, ManualMotion::East},
                                                              {ui->labelWest, ManualMotion::West}};
    for (const auto& [label, pad] : pads) {
        QFont font = label->font();
        font.setPixelSize(padTextPx);
        font.setBold(true);
        label->setFont(font);
        connect(label, &TouchLabel::pressed, this, [this, label = label, pad = pad] {
            showHeld(label, true);
            manual.press(pad);
        });
        connect(label, &TouchLabel::released, this, [this, label = label, pad = pad] {
            showHeld(label, false);
            manual.release(pad);
        });
    }
    connect(ui->pushButtonClose, &QPushButton::clicked, this, &QWidget::close);
    showChoices();
}

Motor::~Motor() {
    delete ui;
}

void Motor::showChoices() {
    for (int mode = 0; mode < modeButtons.size(); ++mode)
        modeButtons[mode]->setStyleSheet(mode == manual.stepMode() ? chosenStyle : otherStyle);
    for (int speed = 0; speed < speedButtons.size(); ++speed)
        speedButtons[speed]->setStyleSheet(speed == manual.speedIndex() ? chosenStyle : otherStyle);
}

void Motor::showHeld(TouchLabel* pad, bool held) {
    pad->setProperty("held", held);
    pad->style()->unpolish(pad);
    pad->style()->polish(pad);
}

void Motor::done(int result) {
    manual.releaseAll();
    QDialog::done(result);
    deleteLater();
}
