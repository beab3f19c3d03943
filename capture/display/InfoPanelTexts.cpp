#include "InfoPanelTexts.h"

#include "ShootingData.h"

#include <QDateTime>

InfoPanelTexts infoPanelTexts(const ShootingData& data, const QString& date) {
    InfoPanelTexts texts;
    texts.date = date;
    texts.gain = QString::asprintf("感度:%d", data.gain);
    texts.exposure = data.exposureDenominator == 1
                         ? QString::asprintf("露出:%ds", data.exposureNumerator)
                         : QString::asprintf("露出:1/%ds", data.exposureDenominator);
    texts.darked = data.correctionFlags & ShootingData::DarkSubtracted
                       ? QStringLiteral("ダーク:済み")
                       : QStringLiteral("ダーク:未");
    texts.flated = data.correctionFlags & ShootingData::FlatApplied
                       ? QStringLiteral("フラット:済み")
                       : QStringLiteral("フラット:未");
    return texts;
}

QString infoPanelDate(const QDateTime& time) {
    return time.toString("yyyy/MM/dd hh:mm:ss");
}
