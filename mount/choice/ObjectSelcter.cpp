#include "ObjectSelcter.h"

#include "TouchFont.h"
#include "ui_ObjectSelcter.h"

ObjectSelcter::ObjectSelcter(const QStringList& rows, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::ObjectSelcter) {
    ui->setupUi(this);
    TouchFont::apply(this);
    setFixedSize(size());
    ui->listWidget->addItems(rows.mid(0, maxRows));
    ui->listWidget->setCurrentRow(0);
    connect(ui->pushButtonUp, &QPushButton::clicked, this, [this] { step(-1); });
    connect(ui->pushButtonDown, &QPushButton::clicked, this, [this] { step(1); });
    connect(ui->pushButtonOk, &QPushButton::clicked, this, [this] {
        const int row = ui->listWidget->currentRow();
        if (row < 0) {
            reject();
            return;
        }
        chosen = row;
        accept();
    });
    connect(ui->pushButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
}

ObjectSelcter::~ObjectSelcter() {
    delete ui;
}

void ObjectSelcter::step(int by) {
    const int count = ui->listWidget->count();
    if (count == 0)
        return;
    const int row = (ui->listWidget->currentRow() + by + count) % count;
    ui->listWidget->setCurrentRow(row);
    ui->listWidget->scrollToItem(ui->listWidget->item(row));
}

std::optional<int> ObjectSelcter::choose(const QStringList& rows, QWidget* parent) {
    // A dialog with a parent opens centred on the parent's window.
    ObjectSelcter dialog(rows, parent);
    dialog.exec();
    return dialog.chosenRow();
}
