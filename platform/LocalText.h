#pragma once

#include <QByteArray>
#include <QString>

class QTextCodec;

// Texts kept in files of the local 8-bit code page (Shift-JIS on the users' machines). The
// code page is the system's own unless VESPERIX_CODEPAGE names another (e.g. "Shift-JIS").
class LocalText {
public:
    static QString decode(const QByteArray& bytes);
    static QByteArray encode(const QString& text);

private:
    static QTextCodec* codec();
};
