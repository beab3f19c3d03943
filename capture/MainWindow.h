#pragma once

#include <QMainWindow>

struct SettingsRecord;
class QLabel;

// The main window of Vesperix.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(SettingsRecord& settings, QWidget* parent = nullptr);

    void setCameraLabel(const QString& text);

private slots:
    void on_pushButton_clicked();

private:
    SettingsRecord& settings;
    QLabel* labelCamera;
};
