#include "ShootingData.h"

namespace {

const QString storedForm = QStringLiteral("yyyy:MM:dd HH:mm:ss");
constexpr int storedLength = ShootingData::dateTimeLength - 1; // the text before its NUL

} // namespace

void ShootingData::setCapturedAt(const QDateTime& time) {
    QByteArray text = time.isValid() ? time.toString(storedForm).toLatin1() : QByteArray();
    if (text.size() != storedLength) // no time, or a year of other than four digits
        text.clear();
    dateTime = text.leftJustified(dateTimeLength, '\0');
}

QDateTime ShootingData::capturedAt() const {
    // The text ends at the first NUL or with the field: a full field without one is too
    // long to be a time.
    const int end = dateTime.indexOf('\0');
    const QString text = QString::fromLatin1(end < 0 ? dateTime : dateTime.left(end));
    if (text.size() != storedLength)
        return QDateTime();
    const QDateTime time = QDateTime::fromString(text, storedForm);
    // The parser forgives more than the stored form allows; only that form is a time.
    return time.toString(storedForm) == text ? time : QDateTime();
}
