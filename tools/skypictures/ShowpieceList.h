#pragma once

#include <QString>
#include <QVector>

struct StarCatalog;

struct Showpiece {
    const char* designation;  // "M42", "NGC7000", "IC434"
    const char* japaneseName; // shown on its picture
};

struct ShowpieceList {
    const char* fileName;
    QVector<Showpiece> objects;
};

// The recommended objects of each season and the planetary nebulae and galaxies.
const QVector<ShowpieceList>& showpieceLists();

// Writes the list file and one 450 x 150 picture per row into the folder; false (with a
// message on stderr) when an object is not in the catalogue.
bool writeShowpieceList(const ShowpieceList& list, const StarCatalog& catalog,
                        const QString& folder);
