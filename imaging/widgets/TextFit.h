#pragma once

#include <QString>

class QWidget;

// The house rule for texts that do not fit their widget on the small screen: the font's
// pixel size becomes the widget's width divided by the text's length in full-width
// characters. A shorter text later gets the widget's own size back.
class TextFit {
public:
    using Length = double (*)(const QString& text);

    // `room`: the width the text may take, the widget's width when negative.
    static void fit(QWidget* widget, const QString& text, Length length = fullWidthLength,
                    int room = -1);

    // Length of the longest line in full-width characters; a Latin letter, a digit or a
    // half-width kana counts half.
    static double fullWidthLength(const QString& text);

    // The launcher's count: every ASCII character half, any other character whole.
    static double launcherLength(const QString& text);
};
