#pragma once

#include <QDialog>

struct AxiloSettings;

namespace Ui {
class LocalTimeDialog;
}

// The offset of local time from UTC ("UTC+9"), one hour a press within -24..24, edited in
// the settings record. Not modal; it deletes itself when closed.
class LocalTimeDialog : public QDialog {
    Q_OBJECT
public:
    explicit LocalTimeDialog(AxiloSettings& settings, QWidget* parent = nullptr);
    ~LocalTimeDialog() override;

private:
    void step(int hours);

    Ui::LocalTimeDialog* ui;
    AxiloSettings& settings;
};
