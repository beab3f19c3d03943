#pragma once

#include <QString>
#include <QVector>

// The three web pages the launcher's browser buttons open, kept in
// "C:\OrlentVesperixIni\OrlentLaunchUrl.ini": a display name (in the local code page) and an
// address, line by line. A missing file is created with the defaults.
struct Bookmark {
    QString name;
    QString address;
};

class Bookmarks {
public:
    static constexpr int count = 3;

    // The bookmarks of the file, created with the defaults when it does not exist. Lines the
    // file lacks give bookmarks with an empty name and address.
    static QVector<Bookmark> load();
    static QVector<Bookmark> defaults();

    // The page the update dialog leads to.
    static QString updatePage();
};
