#pragma once

#include <QByteArray>

// Reads the fields of one catalogue line in order. A real number is an optional '-', the
// integer digits, exactly one character (the decimal point), the fraction digits and one
// separator character; an integer is an optional '-', digits and one separator. A field
// without any digit, or one too long to be finite, is not a number.
class CatalogLine {
public:
    explicit CatalogLine(const QByteArray& line)
        : text(line) {}

    bool real(double* value);
    bool integer(int* value);
    // The characters up to `stop` (which is consumed) or the line end.
    QByteArray upTo(char stop);
    // Letters and spaces from here on.
    QByteArray lettersAndSpaces();
    // Everything up to a carriage return, a line feed or the end.
    QByteArray rest();

private:
    bool digits(double* value, double* scale, bool fraction);
    void skipOne();

    QByteArray text;
    int at = 0;
};
