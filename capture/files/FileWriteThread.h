#pragma once

#include "FrameFiles.h"

#include <QMutex>
#include <QThread>
#include <optional>

class DataFolder;

// Writes the files of one frame (or one master) while the next exposure runs. The result is
// registered on the UI thread (data folder list, master names, labels): writeBusy holds
// from the start of the write until that registration, so a series never starts its next
// exposure before the last file is listed.
class FileWriteThread : public QThread {
public:
    explicit FileWriteThread(DataFolder& folder);
    ~FileWriteThread() override;

    // Starts writing; the job's frame is the writer's until the thread ends.
    void startWriting(FrameWriteJob job);
    bool writeBusy() const;
    // The result of a finished write, once; empty while writing or when nothing was written.
    std::optional<WrittenFiles> takeResult();
    // After the result has been registered.
    void clearBusy();

protected:
    void run() override;

private:
    DataFolder& folder;
    FrameWriteJob job;
    mutable QMutex busyMutex;
    bool busy = false;
    std::optional<WrittenFiles> result;
};
