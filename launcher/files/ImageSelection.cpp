#include "ImageSelection.h"

#include "FileTimes.h"

#include <QDir>
#include <algorithm>

namespace ImageSelection {

namespace {

enum Class { Other, Picture, Dark, Flat };
enum Age { AnyAge, Within24Hours, Older };

// What one option takes: which classes, of which age.
struct Rule {
    bool pictures;
    bool darks;
    bool flats;
    Age age;
};

Class classOf(const QString& name) {
    if (!name.endsWith(QLatin1String(".tif")))
        return Other;
    switch (name.at(0).unicode()) {
    case 'M':
    case 'C':
    case 'K':
        return Picture;
    case 'D':
        return Dark;
    case 'F':
        return Flat;
    default:
        return Other;
    }
}

bool takes(const Rule& rule, const ListedFile& file) {
    switch (classOf(file.name)) {
    case Picture:
        if (!rule.pictures)
            return false;
        break;
    case Dark:
        if (!rule.darks)
            return false;
        break;
    case Flat:
        if (!rule.flats)
            return false;
        break;
    case Other:
        return false;
    }
    const bool within = file.ageSeconds <= dayLimitSeconds;
    return rule.age == AnyAge || (rule.age == Within24Hours) == within;
}

// An option outside the table selects nothing, so a stray stored value never deletes files.
QStringList select(const QVector<ListedFile>& listing, const Rule* rules, int ruleCount,
                   int option) {
    QStringList names;
    if (option < 0 || option >= ruleCount)
        return names;
    for (const ListedFile& file : listing) {
        if (takes(rules[option], file))
            names << file.name;
    }
    return names;
}

// By option; pictures, darks, flats, age.
const Rule copyRules[] = {
    {true, true, true, AnyAge},
    {true, false, false, AnyAge},
    {true, true, true, Within24Hours},
    {true, false, false, Within24Hours},
};

const Rule deleteRules[] = {
    {true, true, true, AnyAge},        {true, false, false, AnyAge},
    {true, true, true, Older},         {true, false, false, Older},
    {true, true, true, Within24Hours}, {true, false, false, Within24Hours},
    {false, true, false, AnyAge},      {false, false, true, AnyAge},
};

} // namespace

QVector<ListedFile> list(const QString& folderHostPath, const QDateTime& now) {
    const QDir folder(folderHostPath);
    // The main program writes ".tif" in lower case; nothing else is its image.
    QStringList names =
        folder.entryList({QStringLiteral("*.tif")}, QDir::Files | QDir::CaseSensitive);
    std::sort(names.begin(), names.end());
    QVector<ListedFile> listing;
    for (const QString& name : names) {
        const QDateTime created = FileTimes::creationTime(folder.filePath(name));
        listing.append({name, created.secsTo(now)});
    }
    return listing;
}

QStringList forCopy(const QVector<ListedFile>& listing, int option) {
    return select(listing, copyRules, int(std::size(copyRules)), option);
}

QStringList forDelete(const QVector<ListedFile>& listing, int option) {
    return select(listing, deleteRules, int(std::size(deleteRules)), option);
}

} // namespace ImageSelection
