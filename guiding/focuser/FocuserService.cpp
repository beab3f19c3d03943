#include "FocuserService.h"

#include "AccessoryLibraries.h"
#include "MainLoop.h"
#include "UserPrompt.h"
#include "eaf.h"

FocuserService::FocuserService(SettingsRecord& record, MainLoop& mainLoop)
    : settings(record)
    , loop(mainLoop) {}

FocuserService::~FocuserService() {
    loop.focuserStep = nullptr;
    delete focuserDialog;
}

eaf* FocuserService::dialog() const {
    return focuserDialog;
}

void FocuserService::open(QWidget* mainWindow) {
    if (focuserDialog)
        return;
    auto* dialog = new eaf(AccessoryLibraries::eaf(), settings);
    if (!dialog->openFocuser()) {
        delete dialog;
        UserPrompt::showMessage(QStringLiteral("EAFを接続してください"));
        return;
    }
    focuserDialog = dialog;
    // Closing deletes the dialog; the loop stops stepping it at once.
    QObject::connect(dialog, &QDialog::finished, [this] { loop.focuserStep = nullptr; });
    loop.focuserStep = [this] {
        if (focuserDialog)
            focuserDialog->periodicStep();
    };
    dialog->move(mainWindow->pos() + QPoint(860, 100));
    dialog->show();
}
