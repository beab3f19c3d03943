#include "OkDialog.h"

#include "TouchFont.h"
#include "ui_OkDialog.h"

OkDialog::OkDialog(const QString& text, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::OkDialog) {
    ui->setupUi(this);
    TouchFont::apply(this);
    setFixedSize(size());
    setModal(true);
    ui->labelText->setText(text);
    connect(ui->pushButton, &QPushButton::clicked, this, &QDialog::accept);
    if (parent) {
        // The inner areas, so that window frames do not shift it.
        QRect area(QPoint(), size());
        area.moveCenter(parent->window()->geometry().center());
        setGeometry(area);
    }
}

OkDialog::~OkDialog() {
    delete ui;
}

QString OkDialog::text() const {
    return ui->labelText->text();
}
