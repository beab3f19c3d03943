#include "Bookmarks.h"

#include "AtomicFile.h"
#include "DebugLog.h"
#include "HostPath.h"
#include "KeyValueText.h"
#include "LocalText.h"
#include "SettingsFolder.h"

#include <QFile>

namespace {

QString bookmarksPath() {
    return HostPath::toHost(SettingsFolder::file("OrlentLaunchUrl.ini"));
}

// A line of the file without its line end.
QByteArray lineText(const QByteArray& line) {
    int end = 0;
    while (end < line.size() && line.at(end) != '\r' && line.at(end) != '\n')
        ++end;
    return line.left(end);
}

QByteArray fileContent(const QVector<Bookmark>& bookmarks) {
    QByteArray content;
    for (const Bookmark& bookmark : bookmarks)
        content +=
            LocalText::encode(bookmark.name) + '\n' + LocalText::encode(bookmark.address) + '\n';
    return content;
}

} // namespace

QVector<Bookmark> Bookmarks::defaults() {
    return {
        {QStringLiteral("国立天文台 ほしぞら情報"),
         QStringLiteral("https://www.nao.ac.jp/astro/sky/")},
        {QStringLiteral("NASA 今日の天体写真"), QStringLiteral("https://apod.nasa.gov/apod/")},
        {QStringLiteral("SIMBAD 天体データベース"),
         QStringLiteral("https://simbad.cds.unistra.fr/simbad/")},
    };
}

QString Bookmarks::updatePage() {
    return QStringLiteral("https://www.vesperix.example/download/");
}

QVector<Bookmark> Bookmarks::load() {
    QFile file(bookmarksPath());
    if (!file.exists()) {
        const QVector<Bookmark> created = defaults();
        if (AtomicFile::write(bookmarksPath(), fileContent(created)) != AtomicFile::Written)
            debugLog("iniFileURL open error");
        return created;
    }
    QVector<Bookmark> bookmarks(count);
    if (!file.open(QIODevice::ReadOnly)) {
        debugLog("file open error url");
        return bookmarks;
    }
    QByteArray line;
    for (Bookmark& bookmark : bookmarks) {
        if (!KeyValueText::readLine(file, &line))
            break;
        bookmark.name = LocalText::decode(lineText(line));
        if (!KeyValueText::readLine(file, &line))
            break;
        bookmark.address = LocalText::decode(lineText(line)).trimmed();
    }
    return bookmarks;
}
