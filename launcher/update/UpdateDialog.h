#pragma once

#include <QDialog>

namespace Ui {
class UpdateDialog;
}

// "アップデート": leads to the update, either the update web page in the desktop's browser
// or the setup program on a removable drive. Either way the launcher ends at once, so that
// the setup can replace it.
class UpdateDialog : public QDialog {
    Q_OBJECT
public:
    explicit UpdateDialog(QWidget* parent = nullptr);
    ~UpdateDialog() override;

signals:
    // The update is under way: the launcher must end now.
    void launcherEnds();

private:
    void openUpdatePage();
    void startSetupProgram();

    Ui::UpdateDialog* ui;
};
