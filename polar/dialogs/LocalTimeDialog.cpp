#include "LocalTimeDialog.h"

#include "AxiloSettings.h"
#include "TouchFont.h"
#include "ValueStep.h"
#include "ui_LocalTimeDialog.h"

LocalTimeDialog::LocalTimeDialog(AxiloSettings& settings, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::LocalTimeDialog)
    , settings(settings) {
    ui->setupUi(this);
    TouchFont::apply(this);
    QFont large = ui->timeValue->font();
    large.setPixelSize(32);
    ui->timeValue->setFont(large);
    setFixedSize(size());
    setAttribute(Qt::WA_DeleteOnClose);
    connect(ui->timeDownButton, &QPushButton::clicked, this, [this] { step(-1); });
    connect(ui->timeUpButton, &QPushButton::clicked, this, [this] { step(1); });
    connect(ui->closeButton, &QPushButton::clicked, this, &QDialog::close);
    step(0);
}

LocalTimeDialog::~LocalTimeDialog() {
    delete ui;
}

void LocalTimeDialog::step(int hours) {
    settings.time = ValueStep::bounded(settings.time, hours, -24, 24);
    ui->timeValue->setText(QString::asprintf("UTC%+d", settings.time));
}
