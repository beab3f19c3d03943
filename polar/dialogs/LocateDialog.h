#pragma once

#include "AxiloSettings.h"

#include <QDialog>

class QLCDNumber;
class QPushButton;

namespace Ui {
class LocateDialog;
}

// The observing site: the current site's longitude and latitude with ▲/▼ and east or west,
// and four stored sites, each taken with its own button and saved with its "Save". Edits go
// straight into the settings record, which is written when the program quits. Not modal; it
// deletes itself when closed.
class LocateDialog : public QDialog {
    Q_OBJECT
public:
    explicit LocateDialog(AxiloSettings& settings, QWidget* parent = nullptr);
    ~LocateDialog() override;

    // A stored site's button text: "E13900:3800".
    static QString siteText(const AxiloSettings::Site& site);

signals:
    // The dialog was closed; the main window shows the site again.
    void siteClosed();

private:
    void connectField(QPushButton* down, QPushButton* up, int AxiloSettings::*field, int max);
    void setWest(bool west);
    void takeSite(int slot);
    void saveSite(int slot);
    void showSite();

    Ui::LocateDialog* ui;
    AxiloSettings& settings;
    QPushButton* pointButtons[AxiloSettings::siteCount] = {};
};
