#pragma once

#include <QDialog>

struct SettingsRecord;

namespace Ui {
class OrlentGuiderParameter;
}

// The guider's adjustment dialog: the moving average's length and weight, the guide pulse's
// scale and the guide rate, edited on a copy and written back only by "設定". It stays on top
// and does not block the autoguider, which reads the settings afresh on every frame.
class OrlentGuiderParameter : public QDialog {
    Q_OBJECT
public:
    explicit OrlentGuiderParameter(SettingsRecord& settings, QWidget* parent = nullptr);
    ~OrlentGuiderParameter() override;

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_4_clicked();
    void on_pushButton_5_clicked();
    void on_pushButton_6_clicked();
    void on_pushButton_7_clicked();
    void on_pushButton_8_clicked();
    void on_pushButton_9_clicked();
    void on_pushButton_10_clicked();

private:
    void showValues();

    Ui::OrlentGuiderParameter* ui;
    SettingsRecord& settings;
    int movAveN;
    int diff;
    int gpower;
    int gspeed;
};
