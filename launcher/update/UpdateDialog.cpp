#include "UpdateDialog.h"

#include "Bookmarks.h"
#include "ButtonFit.h"
#include "ChildProcess.h"
#include "DebugLog.h"
#include "LauncherPrompt.h"
#include "SetupProgram.h"
#include "ui_UpdateDialog.h"

#include <QDesktopServices>
#include <QUrl>

namespace {

constexpr int buttonPx = 24;

} // namespace

UpdateDialog::UpdateDialog(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::UpdateDialog) {
    ui->setupUi(this);
    ButtonFit::install(this, buttonPx);
    connect(ui->pushButton, &QPushButton::clicked, this, &UpdateDialog::openUpdatePage);
    connect(ui->pushButton_2, &QPushButton::clicked, this, &UpdateDialog::startSetupProgram);
    connect(ui->pushButton_3, &QPushButton::clicked, this, &QDialog::reject);
}

UpdateDialog::~UpdateDialog() {
    delete ui;
}

void UpdateDialog::openUpdatePage() {
    QDesktopServices::openUrl(QUrl(Bookmarks::updatePage()));
    accept();
    emit launcherEnds();
}

void UpdateDialog::startSetupProgram() {
    const QString setup = SetupProgram::find();
    if (setup.isEmpty()) {
        LauncherPrompt::showMessage(QStringLiteral("アップデートファイルが見つかりません"));
        return;
    }
    debugLog("start %s", qUtf8Printable(setup));
    if (!ChildProcess::startDetached(setup, {})) {
        // Ending now would leave the user with neither the launcher nor the setup.
        debugLog("start error %s", qUtf8Printable(setup));
        LauncherPrompt::showMessage(QStringLiteral("spawnlエラー"));
        return;
    }
    accept();
    emit launcherEnds();
}
