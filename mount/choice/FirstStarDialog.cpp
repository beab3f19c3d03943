#include "FirstStarDialog.h"

#include "FirstMagnitudeStars.h"
#include "TouchFont.h"
#include "ui_FirstStarDialog.h"

#include <QGridLayout>
#include <QPushButton>

namespace {
constexpr int columns = 3;
}

FirstStarDialog::FirstStarDialog(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::FirstStarDialog) {
    ui->setupUi(this);
    for (int row = 0; row < FirstMagnitudeStars::count(); ++row) {
        auto* button = new QPushButton(FirstMagnitudeStars::buttonText(row), ui->starGrid);
        button->setObjectName(QString("pushButtonStar%1").arg(row));
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        ui->gridLayout->addWidget(button, row / columns, row % columns);
        connect(button, &QPushButton::clicked, this, [this, row] {
            chosen = row;
            accept();
        });
    }
    TouchFont::apply(this);
    setFixedSize(size());
    connect(ui->pushButtonClose, &QPushButton::clicked, this, &QDialog::reject);
}

FirstStarDialog::~FirstStarDialog() {
    delete ui;
}

int FirstStarDialog::choose(QWidget* parent) {
    FirstStarDialog dialog(parent);
    dialog.exec();
    return dialog.chosenRow();
}
