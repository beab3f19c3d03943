#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class CompositeSession;
class CompositeWindow;
class DataFolder;
class MainWindow;
struct CaptureHooks;
struct ProcessState;

// The composite's place in the main program: the composite window and its running composite,
// which come and go together. The main window's buttons open it and add to it, and the
// capture hands it each light frame of a series with automatic compositing.
class CompositeService {
public:
    CompositeService(ProcessState& state, DataFolder& folder, MainWindow& mainWindow);
    ~CompositeService();
    CompositeService(const CompositeService&) = delete;
    CompositeService& operator=(const CompositeService&) = delete;

    // "コンポジット": a new window on the data folder's current file as its base, or the open
    // window raised.
    void open();
    // "追加": the current file into the open composite.
    void add();
    void installHooks(CaptureHooks& hooks);

    CompositeWindow* window() const { return compositeWindow; }

private:
    bool openWithBase(const QString& fileName);
    void addFile(const QString& fileName, bool unattended);
    bool save();
    void forget();

    ProcessState& state;
    DataFolder& folder;
    MainWindow& mainWindow;
    CompositeWindow* compositeWindow = nullptr;
    std::unique_ptr<CompositeSession> session;
    bool adding = false;
    QStringList waiting; // frames of a series saved while another was being added
};
