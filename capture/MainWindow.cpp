#include "MainWindow.h"

#include "SettingsFile.h"
#include "SettingsRecord.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

MainWindow::MainWindow(SettingsRecord& settingsRecord, QWidget* parent)
    : QMainWindow(parent)
    , settings(settingsRecord) {
    setWindowTitle("Vesperix");
    resize(1280, 740);
    setStyleSheet("QMainWindow { background: black; }");
    auto* exitButton = new QPushButton("終了", this);
    exitButton->setObjectName("pushButton");
    exitButton->setGeometry(1160, 660, 100, 60);
    labelCamera = new QLabel("No Camera", this);
    labelCamera->setObjectName("labelCamera");
    labelCamera->setStyleSheet("color: white;");
    labelCamera->setGeometry(20, 690, 1100, 30);
    QMetaObject::connectSlotsByName(this);
}

void MainWindow::setCameraLabel(const QString& text) {
    labelCamera->setText(text);
}

void MainWindow::on_pushButton_clicked() {
    saveSettings(settings);
    QApplication::exit(0);
}
