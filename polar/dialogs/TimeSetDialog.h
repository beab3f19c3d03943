#pragma once

#include <QDate>
#include <QDialog>
#include <QPointer>
#include <QTime>

struct AxiloSettings;
class LocalTimeDialog;
class QLCDNumber;
class QPushButton;

namespace Ui {
class TimeSetDialog;
}

// A date and time to show in place of the clock's: year, month, day, hour and minute on
// seven-segment fields with ▲/▼, and the way to the time-zone offset. Shown full screen;
// not modal; it deletes itself when closed.
class TimeSetDialog : public QDialog {
    Q_OBJECT
public:
    TimeSetDialog(AxiloSettings& settings, const QDateTime& start, QWidget* parent = nullptr);
    ~TimeSetDialog() override;

    // The fields' date; a day past the end of the month is the month's last day.
    QDate chosenDate() const;
    QTime chosenTime() const;

signals:
    // "Down" was pressed; the dialog closes.
    void chosen(const QDate& date, const QTime& time);

private:
    enum FieldIndex { Year, Month, Day, Hour, Minute, FieldCount };
    struct Field {
        QLCDNumber* number;
        int min;
        int max;
        bool wraps;
        int value;
    };

    void connectField(FieldIndex index, QPushButton* down, QPushButton* up);
    void showField(const Field& field);
    void openLocalTime();

    Ui::TimeSetDialog* ui;
    AxiloSettings& settings;
    Field fields[FieldCount];
    QPointer<LocalTimeDialog> localTime;
};
