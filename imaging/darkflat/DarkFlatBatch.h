#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

struct SettingsRecord;

// The batch correction over the stored frames: dark subtraction and/or flat correction of
// every "M" frame that matches the masters, as the batch options in the settings say.
class DarkFlatBatch {
public:
    // Before each file: lets pending events run and says whether to go on (false when the
    // dialog was closed), and shows the file's index and name.
    using BeforeFile = std::function<bool(int index, const QString& fileName)>;

    explicit DarkFlatBatch(const SettingsRecord& settings);

    // Reads the masters the options ask for; false (with the message shown) when the run
    // cannot start, or when no correction is chosen.
    bool prepare();

    // Works through the files (Windows-form paths, in list order).
    void run(const QStringList& files, const BeforeFile& beforeFile);

private:
    void process(const QString& path);

    const SettingsRecord& settings;
    bool useDark = false;
    bool useFlat = false;
    int width = 0, height = 0;
    int darkGain = 0;
    int darkExposure = 0;
    struct Masters;
    std::shared_ptr<Masters> masters;
};
