#pragma once

#include <QDialog>

struct AxiloSettings;
class QPushButton;

namespace Ui {
class CameraDialog;
}

// The camera's steps: gain, exposure, star gain and gamma, each with a ▼/▲ pair, edited in
// the settings record. The program reopens or resets the camera on the change signals.
// Not modal; it deletes itself when closed.
class CameraDialog : public QDialog {
    Q_OBJECT
public:
    explicit CameraDialog(AxiloSettings& settings, QWidget* parent = nullptr);
    ~CameraDialog() override;

    // The exposure step's label, "1/32" for step 1 up to "1/2" for step 5.
    static QString exposureText(int expo);

signals:
    void gainChanged(int gain);
    void exposureChanged(int expo);
    void gammaChanged(int gamma);

private:
    using Changed = void (CameraDialog::*)(int);
    void connectPair(QPushButton* down, QPushButton* up, int AxiloSettings::*field, int max,
                     Changed changed);
    void showValues();

    Ui::CameraDialog* ui;
    AxiloSettings& settings;
};
