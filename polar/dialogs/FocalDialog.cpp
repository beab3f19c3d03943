#include "FocalDialog.h"

#include "AxiloSettings.h"
#include "TouchFont.h"
#include "ValueStep.h"
#include "ui_FocalDialog.h"

FocalDialog::FocalDialog(AxiloSettings& settings, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::FocalDialog)
    , settings(settings)
    , whole(settings.focalI)
    , hundredths(settings.focalF) {
    ui->setupUi(this);
    TouchFont::apply(this);
    setFixedSize(size());
    setAttribute(Qt::WA_DeleteOnClose);
    connect(ui->wholeDownButton, &QPushButton::clicked, this, [this] { stepWhole(-1); });
    connect(ui->wholeUpButton, &QPushButton::clicked, this, [this] { stepWhole(1); });
    connect(ui->tensDownButton, &QPushButton::clicked, this, [this] { stepHundredths(-10); });
    connect(ui->tensUpButton, &QPushButton::clicked, this, [this] { stepHundredths(10); });
    connect(ui->unitsDownButton, &QPushButton::clicked, this, [this] { stepHundredths(-1); });
    connect(ui->unitsUpButton, &QPushButton::clicked, this, [this] { stepHundredths(1); });
    connect(ui->downButton, &QPushButton::clicked, this, [this] {
        this->settings.focalI = whole;
        this->settings.focalF = hundredths;
        accept();
    });
    connect(ui->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    showFocal();
}

FocalDialog::~FocalDialog() {
    delete ui;
}

void FocalDialog::stepWhole(int step) {
    whole = ValueStep::wrapped(whole, step, 0, 99);
    showFocal();
}

void FocalDialog::stepHundredths(int step) {
    hundredths = ValueStep::wrapped(hundredths, step, 0, 99);
    showFocal();
}

void FocalDialog::showFocal() {
    ui->focalNumber->display(QString::asprintf("%02d.%02d", whole, hundredths));
}
