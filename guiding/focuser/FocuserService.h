#pragma once

#include <QPointer>

class MainLoop;
class QWidget;
class eaf;
struct SettingsRecord;

// The focuser dialog's place in the main program: the main window's button opens it when it
// is not open, and the main loop steps it while it exists.
class FocuserService {
public:
    FocuserService(SettingsRecord& settings, MainLoop& loop);
    ~FocuserService();
    FocuserService(const FocuserService&) = delete;
    FocuserService& operator=(const FocuserService&) = delete;

    // The main window's "フォーカス" button. Without a focuser the user is asked to attach one
    // and no dialog opens.
    void open(QWidget* mainWindow);

    // The open dialog, or null.
    eaf* dialog() const;

private:
    void closeDialog();

    SettingsRecord& settings;
    MainLoop& loop;
    QPointer<eaf> focuserDialog;
};
