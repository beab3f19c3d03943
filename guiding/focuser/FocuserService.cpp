#include "FocuserService.h"

#include "AccessoryLibraries.h"
#include "MainLoop.h"
#include "UserPrompt.h"
#include "eaf.h"

#include <QTimer>

FocuserService::FocuserService(SettingsRecord& record, MainLoop& mainLoop)
    : settings(record)
    , loop(mainLoop) {}

FocuserService::~FocuserService() {
    loop.focuserStep = nullptr;
    delete focuserDialog;
}

void FocuserService::closeDialog() {
    loop.focuserStep = nullptr;
    // The dialog is still in its own slot; it goes on the next pass of the loop. (The main
    // loop never runs Qt's event loop, so a deferred deletion would never come.)
    QPointer<eaf> closed = focuserDialog;
    focuserDialog = nullptr;
    QTimer::singleShot(0, [closed] { delete closed; });
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
    QObject::connect(dialog, &QDialog::finished, [this] { closeDialog(); });
    loop.focuserStep = [this] {
        if (focuserDialog)
            focuserDialog->periodicStep();
    };
    dialog->move(mainWindow->pos() + QPoint(860, 100));
    dialog->show();
}
