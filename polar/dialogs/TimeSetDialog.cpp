#include "TimeSetDialog.h"

#include "LocalTimeDialog.h"
#include "TouchFont.h"
#include "ValueStep.h"
#include "ui_TimeSetDialog.h"

TimeSetDialog::TimeSetDialog(AxiloSettings& settings, const QDateTime& start, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::TimeSetDialog)
    , settings(settings) {
    ui->setupUi(this);
    TouchFont::apply(this);
    // The group titles are read like the other texts, so they keep the full size.
    QFont title = ui->dateGroup->font();
    title.setPixelSize(TouchFont::textPx);
    ui->dateGroup->setFont(title);
    ui->timeGroup->setFont(title);
    setAttribute(Qt::WA_DeleteOnClose);

    const QDate date = start.date();
    const QTime time = start.time();
    fields[Year] = {ui->yearNumber, 0, 9999, false, qBound(0, date.year(), 9999)};
    fields[Month] = {ui->monthNumber, 1, 12, true, date.month()};
    fields[Day] = {ui->dayNumber, 1, 31, true, date.day()};
    fields[Hour] = {ui->hourNumber, 0, 23, true, time.hour()};
    fields[Minute] = {ui->minuteNumber, 0, 59, true, time.minute()};
    connectField(Year, ui->yearDownButton, ui->yearUpButton);
    connectField(Month, ui->monthDownButton, ui->monthUpButton);
    connectField(Day, ui->dayDownButton, ui->dayUpButton);
    connectField(Hour, ui->hourDownButton, ui->hourUpButton);
    connectField(Minute, ui->minuteDownButton, ui->minuteUpButton);
    for (const Field& field : fields)
        showField(field);

    connect(ui->localTimeButton, &QPushButton::clicked, this, &TimeSetDialog::openLocalTime);
    connect(ui->downButton, &QPushButton::clicked, this, [this] {
        emit chosen(chosenDate(), chosenTime());
        close();
    });
    connect(ui->cancelButton, &QPushButton::clicked, this, &QDialog::close);
}

TimeSetDialog::~TimeSetDialog() {
    delete ui;
}

QDate TimeSetDialog::chosenDate() const {
    // Qt has no year 0: the year before 1 is -1.
    const int year = fields[Year].value == 0 ? -1 : fields[Year].value;
    const int month = fields[Month].value;
    const int lastDay = QDate(year, month, 1).daysInMonth();
    return QDate(year, month, qMin(fields[Day].value, lastDay));
}

QTime TimeSetDialog::chosenTime() const {
    return QTime(fields[Hour].value, fields[Minute].value);
}

void TimeSetDialog::connectField(FieldIndex index, QPushButton* down, QPushButton* up) {
    const auto press = [this, index](int step) {
        Field& field = fields[index];
        field.value = field.wraps ? ValueStep::wrapped(field.value, step, field.min, field.max)
                                  : ValueStep::bounded(field.value, step, field.min, field.max);
        showField(field);
    };
    connect(down, &QPushButton::clicked, this, [press] { press(-1); });
    connect(up, &QPushButton::clicked, this, [press] { press(1); });
}

void TimeSetDialog::showField(const Field& field) {
    const int digits = field.number->digitCount();
    field.number->display(QStringLiteral("%1").arg(field.value, digits, 10, QLatin1Char('0')));
}

void TimeSetDialog::openLocalTime() {
    if (!localTime)
        localTime = new LocalTimeDialog(settings, this);
    localTime->show();
    localTime->raise();
    localTime->activateWindow();
}
