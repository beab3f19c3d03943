#include "CameraDialog.h"

#include "AxiloSettings.h"
#include "TouchFont.h"
#include "ValueStep.h"
#include "ui_CameraDialog.h"

CameraDialog::CameraDialog(AxiloSettings& settings, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::CameraDialog)
    , settings(settings) {
    ui->setupUi(this);
    TouchFont::apply(this);
    setFixedSize(size());
    setAttribute(Qt::WA_DeleteOnClose);
    connectPair(ui->gainDownButton, ui->gainUpButton, &AxiloSettings::gain, 10,
                &CameraDialog::gainChanged);
    connectPair(ui->exposureDownButton, ui->exposureUpButton, &AxiloSettings::expo, 5,
                &CameraDialog::exposureChanged);
    connectPair(ui->starDownButton, ui->starUpButton, &AxiloSettings::star, 10, nullptr);
    connectPair(ui->gammaDownButton, ui->gammaUpButton, &AxiloSettings::gamma, 10,
                &CameraDialog::gammaChanged);
    connect(ui->closeButton, &QPushButton::clicked, this, &QDialog::close);
    showValues();
}

CameraDialog::~CameraDialog() {
    delete ui;
}

QString CameraDialog::exposureText(int expo) {
    return QStringLiteral("1/%1").arg(64 >> expo);
}

void CameraDialog::connectPair(QPushButton* down, QPushButton* up, int AxiloSettings::*field,
                               int max, Changed changed) {
    const auto press = [this, field, max, changed](int step) {
        const int next = ValueStep::bounded(settings.*field, step, 1, max);
        if (next == settings.*field)
            return;
        settings.*field = next;
        showValues();
        if (changed)
            emit(this->*changed)(next);
    };
    connect(down, &QPushButton::clicked, this, [press] { press(-1); });
    connect(up, &QPushButton::clicked, this, [press] { press(1); });
}

void CameraDialog::showValues() {
    ui->gainValue->setNum(settings.gain);
    ui->exposureValue->setText(exposureText(settings.expo));
    ui->starValue->setNum(settings.star);
    ui->gammaValue->setNum(settings.gamma);
}
