#include "CameraList.h"

#include "CameraEntryList.h"
#include "ui_CameraList.h"

CameraList::CameraList(CameraEntryList& cameraEntries, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::CameraList)
    , entries(cameraEntries) {
    ui->setupUi(this);
    setFixedSize(708, 287);
}

CameraList::~CameraList() {
    delete ui;
}

void CameraList::showList(CameraEntry* chosen) {
    result = chosen;
    ui->listWidget->clear();
    for (int i = 0; i < entries.count(); ++i)
        ui->listWidget->addItem(CameraEntryList::rowText(entries.at(i)));
    ui->listWidget->setCurrentRow(0);
}

void CameraList::takeFirst() {
    if (result && entries.count() > 0)
        *result = entries.at(0);
    entries.clear();
    ui->listWidget->clear();
    accept();
}

void CameraList::setPrompt(const QString& text) {
    ui->label->setText(text);
}

int CameraList::selectedRow() const {
    return ui->listWidget->currentRow();
}

void CameraList::on_pushButton_clicked() {
    const int row = selectedRow();
    if (result && row >= 0 && row < entries.count())
        *result = entries.at(row);
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
    if (rows == 0)
        return;
    ui->listWidget->setCurrentRow((selectedRow() + step + rows) % rows);
}
