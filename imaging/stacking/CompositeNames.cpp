#include "CompositeNames.h"

namespace CompositeNames {

namespace {

QString withoutTif(const QString& name) {
    return name.endsWith(".tif", Qt::CaseInsensitive) ? name.chopped(4) : name;
}

} // namespace

QString savedName(const QString& baseName, int frameCount) {
    const int plus = baseName.indexOf('+');
    const QString stem = plus >= 0 ? baseName.left(plus) : withoutTif(baseName);
    return stem + QString::asprintf("+%02d", frameCount) + ".tif";
}

QString processedName(const QString& savedName) {
    return "K" + savedName;
}

QString reportName(const QString& savedName) {
    return "R" + withoutTif(savedName) + ".rpt";
}

QString colourTwin(const QString& name) {
    QString twin = name;
    if (name.startsWith('M'))
        twin[0] = 'C';
    else if (name.startsWith('C'))
        twin[0] = 'M';
    return twin;
}

// Windows file names do not tell case apart.
bool sameFrame(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0 ||
           a.compare(colourTwin(b), Qt::CaseInsensitive) == 0;
}

} // namespace CompositeNames
