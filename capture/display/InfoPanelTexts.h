#pragma once

#include <QString>

class QDateTime;
struct ShootingData;

// The texts of the info panel for the frame on screen.
struct InfoPanelTexts {
    QString date;     // labelInfoDate
    QString gain;     // labelInfoGain
    QString exposure; // labelInfoExposure
    QString darked;   // labelInfoDarked
    QString flated;   // labelInfoFlated
};

InfoPanelTexts infoPanelTexts(const ShootingData& data, const QString& date);

// The date of a frame taken at `time`, as the panel shows it; empty for an invalid time.
QString infoPanelDate(const QDateTime& time);
