#include "PreviewWindow.h"

#include "AxiloSettings.h"
#include "CameraDialog.h"
#include "Clock.h"
#include "FocalDialog.h"
#include "LocateDialog.h"
#include "TimeSetDialog.h"
#include "ui_preview.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QImage>
#include <QPixmap>

namespace {

constexpr int buttonTextPx = 18;
constexpr int labelTextPx = 16;
constexpr int minimumTextPx = 10;

QPixmap pixmapOf(const cv::Mat& bgr) {
    const QImage image(bgr.data, bgr.cols, bgr.rows, int(bgr.step), QImage::Format_BGR888);
    return QPixmap::fromImage(image); // a copy: the picture's buffer is reused
}

template <typename Dialog> bool raised(const QPointer<Dialog>& dialog) {
    if (!dialog)
        return false;
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return true;
}

} // namespace

PreviewWindow::PreviewWindow(AxiloSettings& settings, QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::preview)
    , settings(settings) {
    ui->setupUi(this);
    setFixedSize(size());
    fitTexts();
    // Kept from the form for a two-point alignment that was never written.
    ui->pushButton_11->setEnabled(false);
    ui->weightXLabel->hide();
    ui->weightYLabel->hide();
    connect(ui->pushButton, &QPushButton::clicked, this, &PreviewWindow::openCameraDialog);
    connect(ui->pushButton_2, &QPushButton::clicked, this, &PreviewWindow::openTimeDialog);
    connect(ui->pushButton_3, &QPushButton::clicked, this, &PreviewWindow::openLocateDialog);
    connect(ui->pushButton_4, &QPushButton::clicked, this, &PreviewWindow::quitPressed);
    connect(ui->pushButton_5, &QPushButton::clicked, this, &PreviewWindow::zoomPressed);
    connect(ui->pushButton_6, &QPushButton::clicked, this, &PreviewWindow::widePressed);
    connect(ui->pushButton_7, &QPushButton::clicked, this, &PreviewWindow::toggleDayNight);
    connect(ui->pushButton_8, &QPushButton::clicked, this, &PreviewWindow::pointPressed);
    connect(ui->pushButton_9, &QPushButton::clicked, this, &PreviewWindow::clearPressed);
    connect(ui->pushButton_10, &QPushButton::clicked, this, &PreviewWindow::centreClearPressed);
    connect(ui->pushButton_12, &QPushButton::clicked, this, &PreviewWindow::openFocalDialog);
    showSite();
}

PreviewWindow::~PreviewWindow() {
    delete ui;
}

void PreviewWindow::fitTexts() {
    for (QWidget* widget : findChildren<QWidget*>()) {
        QFont font = widget->font();
        font.setPixelSize(labelTextPx);
        widget->setFont(font);
    }
    // The side column is narrow: a long caption gets a smaller font rather than being cut.
    for (QPushButton* button : findChildren<QPushButton*>()) {
        QFont font = button->font();
        int pixelSize = buttonTextPx;
        do {
            font.setPixelSize(pixelSize--);
        } while (pixelSize > minimumTextPx &&
                 QFontMetrics(font).horizontalAdvance(button->text()) > button->width() - 10);
        button->setFont(font);
    }
}

void PreviewWindow::showPicture(const cv::Mat& bgr) {
    ui->previewLabel->setPixmap(pixmapOf(bgr));
}

void PreviewWindow::showPatch(const cv::Mat& bgr) {
    ui->guideWindowLabel->setPixmap(pixmapOf(bgr));
}

void PreviewWindow::showDateTime(const QDateTime& local) {
    const QDate date = local.date();
    const QTime time = local.time();
    ui->dateLabel->setText(
        QString::asprintf("%02d/%02d/%02d", date.year() % 100, date.month(), date.day()));
    ui->timeLabel->setText(
        QString::asprintf("%02d:%02d:%02d", time.hour(), time.minute(), time.second()));
}

void PreviewWindow::showSite() {
    ui->longitudeLabel->setText(QString::asprintf("%03d %02d", settings.long1, settings.long2));
    ui->latitudeLabel->setText(QString::asprintf("%02d %02d", settings.lati1, settings.lati2));
}

void PreviewWindow::showStarOffset(const std::optional<QPointF>& offset) {
    ui->weightXLabel->setVisible(offset.has_value());
    ui->weightYLabel->setVisible(offset.has_value());
    if (!offset)
        return;
    ui->weightXLabel->setText(QString::asprintf("%.2f", offset->x()));
    ui->weightYLabel->setText(QString::asprintf("%.2f", offset->y()));
}

void PreviewWindow::closeEvent(QCloseEvent* event) {
    // The program has no life without its window: closing it is "Quit".
    event->ignore();
    emit quitPressed();
}

void PreviewWindow::toggleDayNight() {
    const bool night = ui->pushButton_7->text() == "Day";
    ui->pushButton_7->setText(night ? "Night" : "Day");
}

void PreviewWindow::openCameraDialog() {
    if (raised(cameraDialog))
        return;
    cameraDialog = new CameraDialog(settings, this);
    cameraDialog->move(mapToGlobal(QPoint(0, 110)));
    connect(cameraDialog, &CameraDialog::gainChanged, this, &PreviewWindow::gainChanged);
    cameraDialog->show();
}

void PreviewWindow::openTimeDialog() {
    if (raised(timeDialog))
        return;
    timeDialog = new TimeSetDialog(settings, Clock::currentDateTime(), this);
    connect(timeDialog, &TimeSetDialog::chosen, this,
            [this](const QDate& date, const QTime& time) { showDateTime(QDateTime(date, time)); });
    timeDialog->showFullScreen();
}

void PreviewWindow::openLocateDialog() {
    if (raised(locateDialog))
        return;
    locateDialog = new LocateDialog(settings, this);
    locateDialog->move(pos());
    connect(locateDialog, &LocateDialog::siteClosed, this, &PreviewWindow::showSite);
    locateDialog->show();
}

void PreviewWindow::openFocalDialog() {
    if (raised(focalDialog))
        return;
    focalDialog = new FocalDialog(settings, this);
    focalDialog->showFullScreen();
}
