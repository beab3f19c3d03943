#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

// Which files of the data folder a copy or a delete takes. Only ".tif" files whose name
// begins with the main program's letters count: M, C and K pictures, D darks, F flats.
namespace ImageSelection {

// One file of the data folder: its name and its age in whole seconds.
struct ListedFile {
    QString name;
    qint64 ageSeconds = 0;
};

// A file is within 24 hours when its age is at most this.
constexpr qint64 dayLimitSeconds = 86400;

// The files of the folder (a host path), sorted by name, aged from `now` by their creation
// time (FileTimes). A missing folder lists nothing.
QVector<ListedFile> list(const QString& folderHostPath, const QDateTime& now);

// The names, in listing order, that the copy option (0 to 3) copies.
QStringList forCopy(const QVector<ListedFile>& listing, int option);

// The names, in listing order, that the delete option (0 to 7) deletes.
QStringList forDelete(const QVector<ListedFile>& listing, int option);

} // namespace ImageSelection
