#pragma once

#include <QByteArray>
#include <QtGlobal>

class QIODevice;

// The line rules shared by the suite's settings files.
class KeyValueText {
public:
    // Lines are read into a buffer of this many bytes; a longer line arrives in pieces.
    static constexpr int lineBufferSize = 99;

    // Reads the next piece: at most bufferSize - 1 bytes, ending after a line feed if one
    // comes first. Like a C string, the piece ends at a NUL byte. False at the end.
    static bool readPiece(QIODevice& in, QByteArray* piece, int bufferSize = lineBufferSize);

    // Reads the next line whole, however long, with its line feed. Like a piece, it ends at a
    // NUL byte. For files that hold paths, which a piece would cut. False at the end.
    static bool readLine(QIODevice& in, QByteArray* line);

    // The integer after the first `skip` characters: blanks and tabs, an optional '-', then
    // decimal digits up to the first non-digit. False when no digit follows. Absurdly long
    // numbers saturate far outside every key's range instead of overflowing.
    static bool integerAfter(const QByteArray& line, int skip, qint64* value);

    // The text after the first `skip` characters and any blanks and tabs, up to a carriage
    // return, a line feed or the end.
    static QByteArray textAfter(const QByteArray& line, int skip);
};
