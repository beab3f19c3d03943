#include "LocateDialog.h"

#include "TouchFont.h"
#include "ValueStep.h"
#include "ui_LocateDialog.h"

namespace {

const char* const chosenSideStyle = "background-color:red;color:white";

void showNumber(QLCDNumber* number, int value) {
    number->display(QStringLiteral("%1").arg(value, number->digitCount(), 10, QLatin1Char('0')));
}

} // namespace

LocateDialog::LocateDialog(AxiloSettings& settings, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::LocateDialog)
    , settings(settings) {
    ui->setupUi(this);
    TouchFont::apply(this);
    setFixedSize(size());
    setAttribute(Qt::WA_DeleteOnClose);
    connectField(ui->longDegreesDownButton, ui->longDegreesUpButton, &AxiloSettings::long1, 359);
    connectField(ui->longMinutesDownButton, ui->longMinutesUpButton, &AxiloSettings::long2, 59);
    connectField(ui->latDegreesDownButton, ui->latDegreesUpButton, &AxiloSettings::lati1, 89);
    connectField(ui->latMinutesDownButton, ui->latMinutesUpButton, &AxiloSettings::lati2, 59);
    connect(ui->eastButton, &QPushButton::clicked, this, [this] { setWest(false); });
    connect(ui->westButton, &QPushButton::clicked, this, [this] { setWest(true); });

    QPushButton* const saveButtons[] = {ui->save1Button, ui->save2Button, ui->save3Button,
                                        ui->save4Button};
    QPushButton* const points[] = {ui->point1Button, ui->point2Button, ui->point3Button,
                                   ui->point4Button};
    for (int slot = 0; slot < AxiloSettings::siteCount; ++slot) {
        pointButtons[slot] = points[slot];
        connect(points[slot], &QPushButton::clicked, this, [this, slot] { takeSite(slot); });
        connect(saveButtons[slot], &QPushButton::clicked, this, [this, slot] { saveSite(slot); });
    }
    connect(ui->closeButton, &QPushButton::clicked, this, &QDialog::close);
    // Also when closed by its title bar: the edits are already in the record.
    connect(this, &QDialog::finished, this, &LocateDialog::siteClosed);
    showSite();
}

LocateDialog::~LocateDialog() {
    delete ui;
}

QString LocateDialog::siteText(const AxiloSettings::Site& site) {
    return QString::asprintf("%c%03d%02d:%02d%02d", site.longWE ? 'W' : 'E', site.long1, site.long2,
                             site.lati1, site.lati2);
}

void LocateDialog::connectField(QPushButton* down, QPushButton* up, int AxiloSettings::*field,
                                int max) {
    const auto press = [this, field, max](int step) {
        settings.*field = ValueStep::wrapped(settings.*field, step, 0, max);
        showSite();
    };
    connect(down, &QPushButton::clicked, this, [press] { press(-1); });
    connect(up, &QPushButton::clicked, this, [press] { press(1); });
}

void LocateDialog::setWest(bool west) {
    settings.longWE = west ? 1 : 0;
    showSite();
}

void LocateDialog::takeSite(int slot) {
    const AxiloSettings::Site& site = settings.sites[slot];
    settings.long1 = site.long1;
    settings.long2 = site.long2;
    settings.lati1 = site.lati1;
    settings.lati2 = site.lati2;
    settings.longWE = site.longWE;
    showSite();
}

void LocateDialog::saveSite(int slot) {
    settings.sites[slot] = {settings.long1, settings.long2, settings.lati1, settings.lati2,
                            settings.longWE};
    showSite();
}

void LocateDialog::showSite() {
    showNumber(ui->longDegreesNumber, settings.long1);
    showNumber(ui->longMinutesNumber, settings.long2);
    showNumber(ui->latDegreesNumber, settings.lati1);
    showNumber(ui->latMinutesNumber, settings.lati2);
    ui->westButton->setStyleSheet(settings.longWE ? chosenSideStyle : "");
    ui->eastButton->setStyleSheet(settings.longWE ? "" : chosenSideStyle);
    for (int slot = 0; slot < AxiloSettings::siteCount; ++slot)
        pointButtons[slot]->setText(siteText(settings.sites[slot]));
}
