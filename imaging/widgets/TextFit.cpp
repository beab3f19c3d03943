#include "TextFit.h"

#include <QFontInfo>
#include <QStringList>
#include <QVariant>
#include <QWidget>
#include <algorithm>

double TextFit::fullWidthLength(const QString& text) {
    // A Latin letter takes about half the room of a kana or kanji; counting it whole would
    // shrink Latin text to half the size it needs.
    double longest = 0;
    for (const QString& line : text.split('\n')) {
        double length = 0;
        for (QChar ch : line) {
            const ushort code = ch.unicode();
            length += code < 0x80 || (code >= 0xff61 && code <= 0xff9f) ? 0.5 : 1.0;
        }
        longest = std::max(longest, length);
    }
    return longest;
}

double TextFit::launcherLength(const QString& text) {
    double length = 0;
    for (QChar ch : text)
        length += ch.unicode() < 0x80 ? 0.5 : 1.0;
    return length;
}

void TextFit::fit(QWidget* widget, const QString& text, Length length, int room) {
    // The size from the form is kept, so a shorter text later gets the full size again.
    QVariant base = widget->property("vxBasePixelSize");
    if (!base.isValid()) {
        base = QFontInfo(widget->font()).pixelSize();
        widget->setProperty("vxBasePixelSize", base);
    }
    int pixelSize = base.toInt();
    const double count = length(text);
    const int width = room < 0 ? widget->width() : room;
    if (count > 0 && width < count * pixelSize)
        pixelSize = std::max(1, int(width / count));
    QFont font = widget->font();
    if (QFontInfo(font).pixelSize() == pixelSize)
        return;
    font.setPixelSize(pixelSize);
    widget->setFont(font);
}
