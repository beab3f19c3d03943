#include "MasterFileList.h"

#include "DarkFlat.h"
#include "HostPath.h"

#include <QDir>
#include <algorithm>

QStringList MasterFileList::names(const SettingsRecord& settings, int mode) {
    const QChar letter = mode == Flats ? 'F' : 'D';
    const QDir folder(HostPath::toHost(DarkFlat::dataFolder(settings)));
    QStringList found;
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden)) {
        if (name.startsWith(letter) && name.endsWith(".tif", Qt::CaseInsensitive))
            found << name;
    }
    std::sort(found.begin(), found.end());
    return found;
}

int MasterFileList::rowOf(const QStringList& names, const QString& name) {
    const int row = names.indexOf(name);
    return row >= 0 ? row : int(names.size()) - 1;
}
