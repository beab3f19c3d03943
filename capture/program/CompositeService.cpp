#include "CompositeService.h"

#include "CaptureHooks.h"
#include "CompositeSession.h"
#include "CompositeWindow.h"
#include "DataFolder.h"
#include "MainWindow.h"
#include "ProcessState.h"
#include "UserPrompt.h"

#include <QPushButton>

namespace {

QString fileNameOf(const QString& windowsPath) {
    return windowsPath.section('\\', -1);
}

} // namespace

CompositeService::CompositeService(ProcessState& processState, DataFolder& dataFolder,
                                   MainWindow& window)
    : state(processState)
    , folder(dataFolder)
    , mainWindow(window) {}

CompositeService::~CompositeService() {
    delete compositeWindow;
}

void CompositeService::open() {
    if (compositeWindow) {
        compositeWindow->show();
        compositeWindow->raise();
        return;
    }
    openWithBase(folder.currentName());
}

bool CompositeService::openWithBase(const QString& fileName) {
    if (fileName.isEmpty())
        return false;
    compositeWindow = new CompositeWindow(*state.settings, state.appDir, &mainWindow);
    session = std::make_unique<CompositeSession>(*compositeWindow, *state.settings,
                                                 folder.folder() + '\\');
    compositeWindow->saveRequested = [this] { return save(); };
    compositeWindow->takeBackRequested = [this] { session->takeBack(); };
    compositeWindow->closed = [this] {
        compositeWindow->deleteLater();
        forget();
    };
    if (!session->setCompositeBase(fileName)) {
        delete compositeWindow;
        forget();
        return false;
    }
    mainWindow.showCompositeLabel(session->baseName());
    state.compositeOpen = true;
    compositeWindow->show();
    return true;
}

void CompositeService::forget() {
    state.compositeOpen = false;
    compositeWindow = nullptr;
    session.reset();
    mainWindow.showCompositeLabel(QStringLiteral("新規"));
}

void CompositeService::add() {
    if (compositeWindow)
        addFile(folder.currentName(), false);
}

// Stacking a large frame takes a while, and the window answers meanwhile: its buttons and
// "追加" are held, and a frame the series saves in the meantime waits its turn.
void CompositeService::addFile(const QString& fileName, bool unattended) {
    if (adding) {
        if (unattended)
            waiting << fileName;
        return;
    }
    adding = true;
    compositeWindow->setBusy(true);
    auto* addButton = mainWindow.findChild<QPushButton*>("pushButton_80");
    if (addButton)
        addButton->setEnabled(false);
    session->addToComposite(fileName, unattended);
    while (!waiting.isEmpty())
        session->addToComposite(waiting.takeFirst(), true);
    if (addButton)
        addButton->setEnabled(true);
    adding = false;
    compositeWindow->setBusy(false); // a close pressed meanwhile happens here
}

bool CompositeService::save() {
    const CompositeSession::Saved saved = session->saveComposite();
    if (saved.composite.isEmpty())
        return false;
    // Saved again under the same count, the files are already listed.
    for (const QString& name : {saved.composite, saved.processed}) {
        if (!folder.files().contains(name))
            folder.addFile(name);
    }
    const QString path = folder.folder() + '\\' + saved.composite;
    mainWindow.showFileName(path);
    mainWindow.showCompositeLabel(path);
    return true;
}

void CompositeService::installHooks(CaptureHooks& hooks) {
    hooks.compositeExists = [this] { return compositeWindow != nullptr; };
    hooks.compositeLoadFirst = [this](const QString& path) {
        return openWithBase(fileNameOf(path));
    };
    hooks.compositeAddFrame = [this](const QString& path) {
        if (compositeWindow)
            addFile(fileNameOf(path), true);
    };
    hooks.compositeTimeText = [this](const QString& text) {
        if (compositeWindow)
            compositeWindow->showTimeText(text);
    };
}
