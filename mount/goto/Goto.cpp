#include "Goto.h"

#include "CameraDevice.h"
#include "DebugLog.h"
#include "FirstMagnitudeStars.h"
#include "FirstStarDialog.h"
#include "NumberInput.h"
#include "ObjectSelcter.h"
#include "PlateSolve.h"
#include "ProcessState.h"
#include "Recommend.h"
#include "SettingsRecord.h"
#include "SkyChart.h"
#include "StarCatalog.h"
#include "TelePosDialog.h"
#include "TouchFont.h"
#include "ui_Goto.h"

#include <QPixmap>
#include <QTimer>
#include <cmath>

namespace {

const char* const chosenStyle = "background-color:red;color:white";
const char* const otherStyle = "background-color:rgb(0, 85, 255);color:white";
const char* const switchOnStyle = "background-color:rgb(0, 0, 127);color:red";
const char* const switchOffStyle = "background-color:rgb(0, 0, 127);color:white";
// The layer switches carry longer texts than the other buttons on their narrow row, and the
// declination check's explanation wraps in its narrow column.
constexpr int switchTextPx = 16;
constexpr int explanationPx = 13;
constexpr int longTextPx = 17;
constexpr int plateExpMax = 99;
// How far above the new centre a pan looks to keep the chart's up where it was.
constexpr double upProbePx = 20;
// The controller's polling period, for serving it while a dialog holds up the main loop.
constexpr int gamepadPassMs = 100;

} // namespace

Goto::Goto(ProcessState& processState, PositionUpdate& positions, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::Goto)
    , state(processState)
    , goto_(processState, positions) {
    ui->setupUi(this);
    TouchFont::apply(this);
    for (QLabel* label : {ui->label_decDir1, ui->label_decDir2, ui->label_decDir3}) {
        QFont font = label->font();
        font.setPixelSize(explanationPx);
        label->setFont(font);
    }
    if (state.chartSky)
        skyChart = std::make_unique<SkyChart>(*state.chartSky, *state.settings, state.photoHistory);
    goto_.askPierSide = [this](const QString& sentence, bool east) {
        return TelePosDialog::ask(sentence, east, this);
    };
    solve = std::make_unique<PlateSolve>(state, goto_, *this);
    {
        QFont font = ui->pushButton_26->font();
        font.setPixelSize(longTextPx);
        ui->pushButton_26->setFont(font);
    }
    ui->lcdNumberPlateExp->display(state.settings->plateExp);
    goto_.redraw = [this] { redraw(); };
    goto_.refreshMarks = [this] { showMarks(); };
    connectChartTouch();
    showFieldFrameSwitch();
    ui->pushButtonDigicame->setVisible(state.digitalCameraMode);
    connectLayerSwitches();
    showViewDirection();
    state.gotoOpen = true;
    showDecDir();
    goto_.open();
}

Goto::~Goto() {
    state.gotoOpen = false;
    delete ui;
}

void Goto::connectChartTouch() {
    TouchPanelGoto* chart = ui->chartLabel;
    connect(chart, &TouchPanelGoto::zoomIn, this, &Goto::on_pushButtonZoomIn_clicked);
    connect(chart, &TouchPanelGoto::zoomOut, this, &Goto::on_pushButtonZoomOut_clicked);
    connect(chart, &TouchPanelGoto::pan, this, &Goto::panChart);
    connect(chart, &TouchPanelGoto::tapped, this, &Goto::touchChoice);
}

void Goto::showDecDir() {
    const bool plus = state.settings->decDir == 0;
    ui->pushButton_23->setStyleSheet(plus ? chosenStyle : otherStyle);
    ui->pushButton_24->setStyleSheet(plus ? otherStyle : chosenStyle);
}

void Goto::connectLayerSwitches() {
    SettingsRecord& s = *state.settings;
    const std::pair<QPushButton*, int*> switches[] = {
        {ui->pushButtonConstName, &s.enaConstName},
        {ui->pushButtonFamousStarName, &s.enaFamusStarName},
        {ui->pushButtonAllStarName, &s.enaAllStarName},
        {ui->pushButtonMessier, &s.enaMessie},
        {ui->pushButtonFamousIcNgc, &s.enaFamusIc},
        {ui->pushButtonAllIcNgc, &s.enaAllIc},
        {ui->pushButtonFamousNgc, &s.enaFamusNgc},
        {ui->pushButtonAllNgc, &s.enaAllNgc},
        {ui->pushButtonMilkyWay, &s.enaMilky}};
    for (const auto& [button, value] : switches) {
        QFont font = button->font();
        font.setPixelSize(switchTextPx);
        button->setFont(font);
        button->setProperty("switchOn", *value != 0);
        connect(button, &QPushButton::clicked, this, [this, button = button, value = value] {
            *value = *value ? 0 : 1;
            button->setProperty("switchOn", *value != 0);
            showLayerSwitches();
            redraw();
        });
    }
    showLayerSwitches();
    const std::pair<QPushButton*, char> directions[] = {{ui->pushButtonViewN, 'N'},
                                                        {ui->pushButtonViewE, 'E'},
                                                        {ui->pushButtonViewS, 'S'},
                                                        {ui->pushButtonViewW, 'W'}};
    for (const auto& [button, letter] : directions)
        connect(button, &QPushButton::clicked, this, [this, letter = letter] {
            if (!skyChart)
                return;
            skyChart->setViewDirection(letter);
            showViewDirection();
            redraw();
        });
}

void Goto::showLayerSwitches() {
    for (QPushButton* button : findChildren<QPushButton*>())
        if (button->property("switchOn").isValid())
            button->setStyleSheet(button->property("switchOn").toBool() ? switchOnStyle
                                                                        : switchOffStyle);
}

void Goto::showViewDirection() {
    const char direction = skyChart ? skyChart->viewDirection() : 'N';
    const std::pair<QPushButton*, char> buttons[] = {{ui->pushButtonViewN, 'N'},
                                                     {ui->pushButtonViewE, 'E'},
                                                     {ui->pushButtonViewS, 'S'},
                                                     {ui->pushButtonViewW, 'W'}};
    for (const auto& [button, letter] : buttons)
        button->setStyleSheet(letter == direction ? switchOnStyle : switchOffStyle);
}

void Goto::redraw() {
    if (!skyChart)
        return;
    goto_.computeLst();
    skyChart->drawSky(
        {goto_.centerRa, goto_.centerDec, goto_.pickedValid, goto_.pickedRa, goto_.pickedDec});
    showMarks();
}

void Goto::showMarks() {
    if (!skyChart)
        return;
    SkyChart::Marks marks;
    marks.target = goto_.targetRa != 0 || goto_.targetDec != 0;
    marks.targetRa = goto_.targetRa;
    marks.targetDec = goto_.targetDec;
    marks.scopeRa = goto_.scopeRa;
    marks.scopeDec = goto_.scopeDec;
    // The whole sensor, whatever binning the live view uses.
    if (state.camera && !state.noCamera)
        marks.sensor = {state.camera->width, state.camera->height, state.camera->pixelSizeUm};
    marks.digitalCameraMode = state.digitalCameraMode;
    ui->chartLabel->setPixmap(QPixmap::fromImage(skyChart->withMarks(marks)));
}

void Goto::showFieldFrameSwitch() {
    ui->pushButtonFieldFrame->setStyleSheet(state.settings->angle != 0 ? switchOnStyle
                                                                       : switchOffStyle);
}

void Goto::on_pushButtonFieldFrame_clicked() {
    int& angle = state.settings->angle;
    angle = (angle + 1) % 3;
    showFieldFrameSwitch();
    showMarks();
}

void Goto::on_pushButtonDigicame_clicked() {
    if (state.digitalCameraMode && digicamAction)
        digicamAction();
}

void Goto::touchChoice(QPoint at) {
    if (!skyChart)
        return;
    const std::vector<ChartHits::Choice> choices = skyChart->hits().choicesAt(at.x(), at.y());
    if (choices.empty())
        return;
    int chosen = 0;
    if (choices.size() > 1) {
        QStringList rows;
        for (const ChartHits::Choice& choice : choices)
            rows << choice.text;
        const std::optional<int> row = ObjectSelcter::choose(rows, this);
        if (!row)
            return;
        chosen = *row;
    }
    goto_.pickedRa = choices[std::size_t(chosen)].ra;
    goto_.pickedDec = choices[std::size_t(chosen)].dec;
    goto_.pickedValid = true;
    redraw();
}

void Goto::centreOn(double ra, double dec) {
    goto_.centerRa = goto_.pickedRa = ra;
    goto_.centerDec = goto_.pickedDec = dec;
    goto_.pickedValid = true;
    redraw();
}

void Goto::on_pushButtonFirstStar_clicked() {
    const int row = FirstStarDialog::choose(this);
    if (row < 0 || row >= FirstMagnitudeStars::count())
        return;
    const SkyPosition star = FirstMagnitudeStars::position(row);
    centreOn(star.ra, star.dec);
}

void Goto::centreOnNumber(const QString& caption,
                          const CatalogObject* (StarCatalog::*find)(int) const) {
    const int number = NumberInput::ask(caption, this);
    // An absent object or a number outside the catalogue changes nothing.
    const CatalogObject* object = state.catalog ? (state.catalog->*find)(number) : nullptr;
    if (object)
        centreOn(object->ra, object->dec);
}

void Goto::on_pushButtonMessierNumber_clicked() {
    centreOnNumber("M", &StarCatalog::messierObject);
}

void Goto::on_pushButtonIcNumber_clicked() {
    centreOnNumber("IC", &StarCatalog::icObject);
}

void Goto::on_pushButtonNgcNumber_clicked() {
    centreOnNumber("NGC", &StarCatalog::ngcObject);
}

void Goto::on_pushButtonRecommend_clicked() {
    Recommend dialog(state.appDir, this);
    // The dialog's own loop holds up the main loop: the controller is served from here.
    QTimer pad;
    pad.setInterval(gamepadPassMs);
    connect(&pad, &QTimer::timeout, this, [this] {
        if (gamepadPass)
            gamepadPass();
    });
    pad.start();
    openRecommend = &dialog;
    dialog.exec();
    openRecommend = nullptr;
    const std::optional<SkyPosition> chosen = dialog.chosenPosition();
    if (!chosen)
        return;
    goto_.centerRa = chosen->ra;
    goto_.centerDec = chosen->dec;
    redraw();
}

void Goto::serveGamepad(const GotoPad& pad) {
    if (openRecommend) {
        // Its loop runs inside this window's slot: the window must not go or start more.
        openRecommend->moveSelection(pad.dpadY);
        openRecommend->switchList(pad.dpadX);
        return;
    }
    if (pad.close) {
        close();
        return;
    }
    bool changed = false;
    for (int i = 0; i < pad.zoomSteps; ++i)
        changed |= skyChart && skyChart->zoomIn();
    for (int i = 0; i < -pad.zoomSteps; ++i)
        changed |= skyChart && skyChart->zoomOut();
    const int stepsX = pad.dpadX + pad.stickX, stepsY = pad.dpadY + pad.stickY;
    if (stepsX || stepsY)
        panChart(stepsX * SkyChart::width / 10.0, stepsY * SkyChart::height / 10.0);
    else if (changed)
        redraw();
    if (pad.plateSolve)
        solve->start();
}

void Goto::panChart(double dx, double dy) {
    if (!skyChart || (dx == 0 && dy == 0))
        return;
    const ChartProjection& projection = skyChart->projection();
    const cv::Point2d to = projection.pixelOfCentre() + cv::Point2d(dx, dy);
    const SkyPosition moved = projection.skyAt(to);
    const SkyPosition above = projection.skyAt(to - cv::Point2d(0, upProbePx));
    if (!std::isfinite(moved.ra) || !std::isfinite(moved.dec)) {
        const double r = std::atan(projection.scale() / std::hypot(dx, dy)) * 180 / M_PI;
        const double shita = std::atan2(dx, dy) * 180 / M_PI;
        debugLog("Error r=%.2f shita=%.2f dec=%.2f", r, shita, goto_.centerDec);
        debugLog("Error cos(r)=%.2f sin(shita)=%.2f cos(dec)=%.2f", std::cos(r * M_PI / 180),
                 std::sin(shita * M_PI / 180), std::cos(goto_.centerDec * M_PI / 180));
        return;
    }
    goto_.centerRa = moved.ra;
    goto_.centerDec = moved.dec;
    const int turns = quarterTurnsFacing(moved.ra, moved.dec, above.ra, above.dec);
    if ("NESW"[turns] != skyChart->viewDirection()) {
        skyChart->setViewDirection("NESW"[turns]);
        showViewDirection();
    }
    redraw();
}

void Goto::on_pushButton_26_clicked() {
    solve->start();
}

void Goto::on_pushButtonPlateExpUp_clicked() {
    int& seconds = state.settings->plateExp;
    seconds = std::min(seconds + 1, plateExpMax);
    ui->lcdNumberPlateExp->display(seconds);
}

void Goto::on_pushButtonPlateExpDown_clicked() {
    int& seconds = state.settings->plateExp;
    seconds = std::max(seconds - 1, 1);
    ui->lcdNumberPlateExp->display(seconds);
}

void Goto::on_pushButtonZoomIn_clicked() {
    if (skyChart && skyChart->zoomIn())
        redraw();
}

void Goto::on_pushButtonZoomOut_clicked() {
    if (skyChart && skyChart->zoomOut())
        redraw();
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
