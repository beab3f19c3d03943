#include "DigicameSetDialog.h"

#include "DebugLog.h"
#include "DigicamSettings.h"
#include "Goto.h"
#include "NumberInput.h"
#include "ProcessState.h"
#include "SettingsRecord.h"
#include "ShutterControl.h"
#include "TouchFont.h"
#include "ui_DigicameSetDialog.h"

#include <optional>

namespace {

const char* const chosenStyle = "background-color:red;color:white";
const char* const otherStyle = "background-color:rgb(0, 170, 255);color:white";

} // namespace

DigicameSetDialog::DigicameSetDialog(ProcessState& processState, ShutterAdapter& adapter,
                                     std::function<Goto*()> openGoto, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::DigicameSetDialog)
    , state(processState)
    , settings(*processState.settings)
    , shutter(adapter)
    , gotoWindow(std::move(openGoto)) {
    ui->setupUi(this);
    TouchFont::apply(this);
    setFixedSize(size());
    QPushButton* const presetButtons[] = {ui->pushButtonPreset0, ui->pushButtonPreset1,
                                          ui->pushButtonPreset2, ui->pushButtonPreset3};
    for (std::size_t i = 0; i < DigicamSettings::presets().size(); ++i) {
        const DigicamSettings::Preset& preset = DigicamSettings::presets()[i];
        presetButtons[i]->setText(QString::fromUtf8(preset.name));
        connect(presetButtons[i], &QPushButton::clicked, this, [this, &preset] {
            DigicamSettings::setPreset(settings, preset);
            changed();
        });
    }
    showValues();
}

DigicameSetDialog::~DigicameSetDialog() {
    delete ui;
}

void DigicameSetDialog::showSettings() {
    showValues();
    show();
    raise();
    activateWindow();
}

void DigicameSetDialog::showValues() {
    ui->pushButtonFocal->setText(DigicamSettings::focalText(settings.digiFocal));
    ui->pushButtonLong->setText(DigicamSettings::sideText(settings.digiCenLong));
    ui->pushButtonShort->setText(DigicamSettings::sideText(settings.digiCenShort));
    const bool landscape = settings.digiAngle == 0;
    ui->pushButtonLandscape->setStyleSheet(landscape ? chosenStyle : otherStyle);
    ui->pushButtonPortrait->setStyleSheet(landscape ? otherStyle : chosenStyle);
}

void DigicameSetDialog::changed() {
    showValues();
    if (Goto* window = gotoWindow ? gotoWindow() : nullptr)
        window->showFieldFrames();
}

void DigicameSetDialog::on_pushButtonFocal_clicked() {
    const int mm = NumberInput::ask(QStringLiteral("焦点距離(mm)"), this);
    if (mm < 0)
        return;
    debugLog("ret Number = %d", mm);
    if (DigicamSettings::setFocal(settings, mm))
        changed();
}

void DigicameSetDialog::askSide(int SettingsRecord::*side, const QString& caption) {
    const std::optional<double> mm = NumberInput::askDecimal(caption, this);
    if (!mm)
        return;
    debugLog("d ret Number = %f", *mm);
    if (DigicamSettings::setSide(settings, side, *mm))
        changed();
}

void DigicameSetDialog::on_pushButtonLong_clicked() {
    askSide(&SettingsRecord::digiCenLong, QStringLiteral("長辺(mm)"));
}

void DigicameSetDialog::on_pushButtonShort_clicked() {
    askSide(&SettingsRecord::digiCenShort, QStringLiteral("短辺(mm)"));
}

void DigicameSetDialog::setDigiAngle(int digiAngle) {
    settings.digiAngle = digiAngle;
    changed();
}

void DigicameSetDialog::on_pushButtonLandscape_clicked() {
    setDigiAngle(0);
}

void DigicameSetDialog::on_pushButtonPortrait_clicked() {
    setDigiAngle(1);
}

void DigicameSetDialog::on_pushButtonReset_clicked() {
    settings.digiOffRa = 0;
    settings.digiOffDec = 0;
    changed();
}

void DigicameSetDialog::on_pushButtonCentre_clicked() {
    Goto* window = gotoWindow ? gotoWindow() : nullptr;
    std::optional<GotoMath::Position> picked;
    GotoMath::Position scope;
    if (window) {
        const GotoActions& actions = window->actions();
        if (actions.pickedValid)
            picked = GotoMath::Position{actions.pickedRa, actions.pickedDec};
        scope = {actions.scopeRa, actions.scopeDec};
    }
    if (DigicamSettings::centreOnPicked(settings, picked, scope))
        changed();
}

bool DigicameSetDialog::shooting() const {
    const int captureState = state.captureState;
    return captureState == 2 || captureState == 4;
}

void DigicameSetDialog::on_pushButtonShutterTest_clicked() {
    // The shooting owns the shutter now, and closes it when its exposure ends: the test would
    // cut that exposure short.
    if (shooting()) {
        testShutterOpen = false;
        return;
    }
    if (!shutterAdapterReady(shutter))
        return;
    testShutterOpen = !testShutterOpen;
    shutter.setShutter(testShutterOpen);
}

void DigicameSetDialog::on_pushButtonClose_clicked() {
    close();
}

void DigicameSetDialog::done(int result) {
    if (testShutterOpen && !shooting())
        shutter.setShutter(false);
    testShutterOpen = false;
    QDialog::done(result);
}
