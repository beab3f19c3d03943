#pragma once

#include "CompositeAccumulator.h"
#include "ShootingData.h"
#include "StarEntry.h"

#include <QString>
#include <QStringList>
#include <vector>

class CompositeView;
struct SettingsRecord;

// The running composite of frames from the data folder: a base, each further frame aligned on
// its stars and averaged in, one frame taken back, and the result saved with its processed
// copy and its report. Runs on the thread that owns the view.
//
// Refusals the user must see (a processed file, a frame already in, another size or kind of
// image) are messages; frames that do not align only go into the report, so an unattended
// series goes on. During a series (`unattended`) even the refusals are notices that do not
// wait for the user.
class CompositeSession {
public:
    // `dataFolder` in its Windows form, ending in a backslash.
    CompositeSession(CompositeView& view, const SettingsRecord& settings,
                     const QString& dataFolder);

    // The data folder's current file (name only) becomes the base; false when it cannot.
    bool setCompositeBase(const QString& fileName);

    enum class Addition { Stacked, NotAligned, Refused };
    Addition addToComposite(const QString& fileName, bool unattended = false);

    // Restores the composite from before the last stacked frame; false when there is none.
    bool takeBack();

    // The composite, its processed copy and its report, written to the data folder. The names
    // are those of the files written (empty when the save failed or there is no composite).
    struct Saved {
        QString composite;
        QString processed;
    };
    Saved saveComposite();

    bool hasBase() const { return accumulator.isStarted(); }
    const QString& baseName() const { return base; }
    int count() const { return accumulator.count(); }

private:
    void refuse(const QString& message, bool unattended) const;
    void loadReport(const QString& compositeName);
    bool writeReport(const QString& compositeName) const;

    CompositeView& view;
    const SettingsRecord& settings;
    QString folder;

    QString base;
    int width = 0;
    int height = 0;
    bool colour = false;
    ShootingData baseData;
    std::vector<StarEntry> baseStars;
    CompositeAccumulator accumulator;
    QStringList names; // in the composite, the base first
    QString lastName;  // the frame stacked last, until it is taken back
};
