#include "CameraList.h"

#include "TouchFont.h"
#include "ValueStep.h"
#include "ui_CameraList.h"

CameraList::CameraList(const QStringList& entries, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::CameraList) {
    ui->setupUi(this);
    TouchFont::apply(this);
    setFixedSize(size());
    setModal(true);
    ui->listWidget->addItems(entries);
    ui->listWidget->setCurrentRow(0);
}

CameraList::~CameraList() {
    delete ui;
}

void CameraList::setPrompt(const QString& text) {
    ui->label->setText(text);
}

int CameraList::selectedRow() const {
    return ui->listWidget->currentRow();
}

void CameraList::on_pushButton_clicked() {
    chosen = selectedRow();
    accept();
}

void CameraList::on_pushButton_2_clicked() {
    moveSelection(-1);
}

void CameraList::on_pushButton_3_clicked() {
    moveSelection(1);
}

void CameraList::moveSelection(int step) {
    const int rows = ui->listWidget->count();
    if (rows > 0)
        ui->listWidget->setCurrentRow(ValueStep::wrapped(selectedRow(), step, 0, rows - 1));
}
