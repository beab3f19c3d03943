#include "LocalText.h"

#include <QTextCodec>

QTextCodec* LocalText::codec() {
    const QByteArray name = qgetenv("VESPERIX_CODEPAGE");
    if (!name.isEmpty()) {
        if (QTextCodec* named = QTextCodec::codecForName(name))
            return named;
    }
    return QTextCodec::codecForLocale();
}

QString LocalText::decode(const QByteArray& bytes) {
    return codec()->toUnicode(bytes);
}

QByteArray LocalText::encode(const QString& text) {
    return codec()->fromUnicode(text);
}
