#include "CompositeWindow.h"

#include "DebugLog.h"
#include "HostPath.h"
#include "SettingsRecord.h"
#include "TextFit.h"
#include "TouchFont.h"
#include "UserPrompt.h"
#include "ui_CompositeWindow.h"

#include <QFileInfo>
#include <QPainter>
#include <QPixmap>
#include <QSignalBlocker>
#include <QTime>
#include <algorithm>
#include <cmath>
#include <opencv2/imgproc.hpp>

namespace {

// Where the window sits over the main window, full and reduced.
const QPoint fullOffset(0, 31);
const QPoint reducedOffset(240, 131);
// The magnified view: this much of the full image around its centre, unscaled.
const cv::Size cropSize(520, 160);

QPixmap pixmapOf(const cv::Mat& image) {
    const QImage::Format format =
        image.channels() == 3 ? QImage::Format_BGR888 : QImage::Format_Grayscale8;
    // The copy owns its pixels; the matrix may go before the pixmap is made.
    return QPixmap::fromImage(
        QImage(image.data, image.cols, image.rows, int(image.step), format).copy());
}

// The main view's size rule: 480 rows high unless wider than 1.875 : 1, then 900 columns wide,
// the width cut to a multiple of 16; both axes scaled alike.
cv::Mat scaledForView(const cv::Mat& image) {
    const int w = image.cols, h = image.rows;
    int width = int64_t(w) * 8 <= int64_t(h) * 15 ? int(int64_t(w) * 480 / h) : 900;
    // A sliver of an image would otherwise be cut to nothing.
    width = std::max(16, width / 16 * 16);
    const int height = std::max(1, int(std::lround(double(h) * width / w)));
    cv::Mat scaled;
    cv::resize(image, scaled, cv::Size(width, height), 0, 0, cv::INTER_LINEAR);
    return scaled;
}

// The retouch's look-up table per channel (blue, green, red), read off a ramp.
cv::Mat retouchTables(const RetouchValues& values) {
    cv::Mat ramp(1, 256, CV_8UC3), tables;
    for (int v = 0; v < 256; ++v)
        ramp.at<cv::Vec3b>(0, v) = cv::Vec3b::all(uchar(v));
    Retouch(values).apply(ramp, tables);
    return tables;
}

} // namespace

CompositeWindow::CompositeWindow(SettingsRecord& settingsRecord, const QString& folder,
                                 QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::CompositeWindow)
    , settings(settingsRecord)
    , programFolder(folder) {
    ui->setupUi(this);
    TouchFont::apply(this);
    // The report's lines are long for its narrow list: a smaller size keeps the usual ones on
    // one line, and a longer one is broken onto a second line rather than cut off.
    QFont report = ui->listWidget->font();
    report.setPixelSize(16);
    ui->listWidget->setFont(report);
    ui->listWidget->setWordWrap(true);
    ui->listWidget->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFixedSize(fullSize);
    if (parent)
        move(parent->window()->pos() + fullOffset);

    // Slider drags and repeated presses come faster than a large composite is drawn: they
    // only mark the view, and it is drawn once when the events of the pass are through.
    redrawTimer.setSingleShot(true);
    redrawTimer.setInterval(0);
    connect(&redrawTimer, &QTimer::timeout, this, &CompositeWindow::redraw);

    loadRetouch();
    showCondition();
    showRotateIcon();
    redraw();
}

CompositeWindow::~CompositeWindow() {
    delete ui;
}

void CompositeWindow::showTimeText(const QString& text) {
    ui->labelTime->setText(text);
}

void CompositeWindow::showComposite(const QString& baseName, int frameCount) {
    const QString text = baseName + QString("(コンポジット枚数%1枚)").arg(frameCount);
    ui->labelFileName->setText(text);
    TextFit::fit(ui->labelFileName, text);
    // When the composite last changed: at the telescope, whether the series still comes in.
    ui->labelTime->setText(QTime::currentTime().toString("hh:mm:ss"));
}

void CompositeWindow::showImage(const cv::Mat& image) {
    if (image.type() != CV_16UC1 && image.type() != CV_16UC3) {
        debugLog("composite view: image type %d not shown", image.type());
        return;
    }
    composite = image;
    imageChanged = true;
    scheduleRedraw();
}

void CompositeWindow::appendReport(const QString& line) {
    ui->listWidget->addItem(line);
    ui->listWidget->setCurrentRow(ui->listWidget->count() - 1);
    ui->listWidget->scrollToItem(ui->listWidget->currentItem());
}

void CompositeWindow::setReport(const QStringList& lines) {
    ui->listWidget->clear();
    ui->listWidget->addItems(lines);
    if (!lines.isEmpty())
        ui->listWidget->scrollToBottom();
}

QStringList CompositeWindow::report() const {
    QStringList lines;
    for (int i = 0; i < ui->listWidget->count(); ++i)
        lines << ui->listWidget->item(i)->text();
    return lines;
}

void CompositeWindow::setBusy(bool on) {
    busy = on;
    ui->pushButton_3->setEnabled(!on);
    ui->pushButton_4->setEnabled(!on);
    if (on || !closePending)
        return;
    closePending = false;
    ui->pushButton_2->setEnabled(true);
    reject();
}

// The values of the settings record; a curve out of order there (the file is the user's to
// edit) would fold back on itself, so the straight one stands in for it.
void CompositeWindow::loadRetouch() {
    values.rLevel = std::clamp(settings.rt_rLevel, 0, 99);
    values.gLevel = std::clamp(settings.rt_gLevel, 0, 99);
    values.bLevel = std::clamp(settings.rt_bLevel, 0, 99);
    values.lowX = settings.rt_lowX;
    values.lowY = settings.rt_lowY;
    values.highX = settings.rt_highX;
    values.highY = settings.rt_highY;
    const auto onScale = [](int v) { return v >= 0 && v <= 255; };
    if (!onScale(values.lowX) || !onScale(values.lowY) || !onScale(values.highX) ||
        !onScale(values.highY) || !curveAccepts(values)) {
        const RetouchValues straight;
        values.lowX = straight.lowX;
        values.lowY = straight.lowY;
        values.highX = straight.highX;
        values.highY = straight.highY;
    }
    showRetouch();
}

bool CompositeWindow::curveAccepts(const RetouchValues& candidate) const {
    return candidate.lowX < candidate.highX && candidate.lowY < candidate.highY;
}

// The sliders follow the values without reporting back.
void CompositeWindow::showRetouch() {
    const std::pair<QSlider*, int> positions[] = {
        {ui->rSlider, values.rLevel}, {ui->gSlider, values.gLevel}, {ui->bSlider, values.bLevel},
        {ui->lXSlider, values.lowX},  {ui->lYSlider, values.lowY},  {ui->hXSlider, values.highX},
        {ui->hYSlider, values.highY}};
    for (const auto& [slider, value] : positions) {
        const QSignalBlocker blocker(slider);
        slider->setValue(value);
    }
}

void CompositeWindow::stepLevel(int& level, int delta) {
    level = std::clamp(level + delta, 0, 99);
    showRetouch();
    scheduleRedraw();
}

// A point steps only where the curve keeps its order; the order is judged before the step is
// held to the scale.
void CompositeWindow::stepCurve(int RetouchValues::*point, int delta) {
    RetouchValues candidate = values;
    candidate.*point += delta;
    if (!curveAccepts(candidate))
        return;
    values.*point = std::clamp(candidate.*point, 0, 255);
    showRetouch();
    scheduleRedraw();
}

// A slider value that would put the points out of order is refused and the slider goes back.
void CompositeWindow::takeCurvePoint(int RetouchValues::*point, int value, QSlider* slider) {
    RetouchValues candidate = values;
    candidate.*point = value;
    if (!curveAccepts(candidate)) {
        const QSignalBlocker blocker(slider);
        slider->setValue(values.*point);
        return;
    }
    values.*point = value;
    scheduleRedraw();
}

void CompositeWindow::on_rSlider_valueChanged(int value) {
    values.rLevel = value;
    scheduleRedraw();
}

void CompositeWindow::on_gSlider_valueChanged(int value) {
    values.gLevel = value;
    scheduleRedraw();
}

void CompositeWindow::on_bSlider_valueChanged(int value) {
    values.bLevel = value;
    scheduleRedraw();
}

void CompositeWindow::on_lXSlider_valueChanged(int value) {
    takeCurvePoint(&RetouchValues::lowX, value, ui->lXSlider);
}

void CompositeWindow::on_lYSlider_valueChanged(int value) {
    takeCurvePoint(&RetouchValues::lowY, value, ui->lYSlider);
}

void CompositeWindow::on_hXSlider_valueChanged(int value) {
    takeCurvePoint(&RetouchValues::highX, value, ui->hXSlider);
}

void CompositeWindow::on_hYSlider_valueChanged(int value) {
    takeCurvePoint(&RetouchValues::highY, value, ui->hYSlider);
}

void CompositeWindow::on_pushButton_10_clicked() {
    stepLevel(values.rLevel, -3);
}

void CompositeWindow::on_pushButton_11_clicked() {
    stepLevel(values.rLevel, 3);
}

void CompositeWindow::on_pushButton_12_clicked() {
    stepLevel(values.gLevel, -3);
}

void CompositeWindow::on_pushButton_14_clicked() {
    stepLevel(values.gLevel, 3);
}

void CompositeWindow::on_pushButton_13_clicked() {
    stepLevel(values.bLevel, -3);
}

void CompositeWindow::on_pushButton_15_clicked() {
    stepLevel(values.bLevel, 3);
}

void CompositeWindow::on_pushButton_16_clicked() {
    stepCurve(&RetouchValues::highX, -10);
}

void CompositeWindow::on_pushButton_17_clicked() {
    stepCurve(&RetouchValues::highX, 10);
}

void CompositeWindow::on_pushButton_18_clicked() {
    stepCurve(&RetouchValues::lowX, -10);
}

void CompositeWindow::on_pushButton_19_clicked() {
    stepCurve(&RetouchValues::lowX, 10);
}

void CompositeWindow::on_pushButton_20_clicked() {
    stepCurve(&RetouchValues::lowY, 10);
}

void CompositeWindow::on_pushButton_21_clicked() {
    stepCurve(&RetouchValues::lowY, -10);
}

void CompositeWindow::on_pushButton_22_clicked() {
    stepCurve(&RetouchValues::highY, 10);
}

void CompositeWindow::on_pushButton_23_clicked() {
    stepCurve(&RetouchValues::highY, -10);
}

void CompositeWindow::on_pushButton_8_clicked() {
    loadRetouch();
    scheduleRedraw();
}

void CompositeWindow::on_pushButton_9_clicked() {
    values = RetouchValues();
    showRetouch();
    scheduleRedraw();
}

void CompositeWindow::showCondition() {
    QPushButton* const buttons[] = {ui->pushButton_5, ui->pushButton_6, ui->pushButton_7};
    for (int i = 0; i < 3; ++i)
        buttons[i]->setStyleSheet(QString("background-color: rgb(85, 170, 255); color: %1;")
                                      .arg(i == settings.compCond ? "red" : "white"));
}

void CompositeWindow::on_pushButton_5_clicked() {
    settings.compCond = 0;
    showCondition();
}

void CompositeWindow::on_pushButton_6_clicked() {
    settings.compCond = 1;
    showCondition();
}

void CompositeWindow::on_pushButton_7_clicked() {
    settings.compCond = 2;
    showCondition();
}

void CompositeWindow::on_pushButton_clicked() {
    reduced = !reduced;
    setFixedSize(reduced ? reducedSize : fullSize);
    ui->pushButton->setText(reduced ? "全画面表示" : "縮小表示");
    if (parentWidget())
        move(parentWidget()->window()->pos() + (reduced ? reducedOffset : fullOffset));
}

void CompositeWindow::showRotateIcon() {
    const QString icon =
        HostPath::toHost(programFolder + QString("\\PNG\\rotate%1.png").arg(rotation + 1));
    if (!QFileInfo::exists(icon))
        debugLog("rotate icon not found: %s", icon.toUtf8().constData());
    ui->pushButton_74->setIcon(QIcon(icon));
    ui->pushButton_74->setIconSize(QSize(40, 40));
}

void CompositeWindow::on_pushButton_74_clicked() {
    rotation = (rotation + 1) % 4;
    showRotateIcon();
    scheduleRedraw();
}

bool CompositeWindow::save() {
    if (!saveRequested || !saveRequested())
        return false;
    unsavedFrames = false;
    UserPrompt::showMessage("保存しました");
    return true;
}

void CompositeWindow::on_pushButton_3_clicked() {
    if (!busy)
        save();
}

void CompositeWindow::on_pushButton_4_clicked() {
    if (!busy && takeBackRequested)
        takeBackRequested();
}

void CompositeWindow::on_pushButton_2_clicked() {
    reject();
}

// "閉じる", the title bar's close and Escape all end here.
void CompositeWindow::reject() {
    if (closing)
        return;
    if (busy) {
        closePending = true;
        ui->pushButton_2->setEnabled(false);
        return;
    }
    // The question and the saving let events in, among them another close.
    closing = true;
    const bool notWritten =
        unsavedFrames && UserPrompt::askYesNo("現在の状態を保存しますか?") && !save();
    closing = false;
    // A composite the user wanted kept but that could not be written keeps the window open.
    if (notWritten)
        return;
    settings.rt_rLevel = values.rLevel;
    settings.rt_gLevel = values.gLevel;
    settings.rt_bLevel = values.bLevel;
    settings.rt_lowX = values.lowX;
    settings.rt_lowY = values.lowY;
    settings.rt_highX = values.highX;
    settings.rt_highY = values.highY;
    hide();
    if (closed)
        closed();
}

void CompositeWindow::scheduleRedraw() {
    if (!redrawTimer.isActive())
        redrawTimer.start();
}

void CompositeWindow::makeHighBytes() {
    const int channels = composite.channels();
    highByte.create(composite.size(), CV_8UC(channels));
    highByteHistograms = {};
    for (int y = 0; y < composite.rows; ++y) {
        const uint16_t* in = composite.ptr<uint16_t>(y);
        uint8_t* out = highByte.ptr<uint8_t>(y);
        for (int i = 0; i < composite.cols * channels; ++i)
            out[i] = uint8_t(in[i] >> 8);
        if (channels == 1) {
            for (int x = 0; x < composite.cols; ++x)
                ++highByteHistograms[0][out[x]];
            continue;
        }
        for (int x = 0; x < composite.cols * 3; x += 3)
            for (int c = 0; c < 3; ++c)
                ++highByteHistograms[c][out[x + c]];
    }
    // The high bytes are all the view needs; letting go of the composite leaves its owner
    // free to reuse the buffer for the next frame's mean.
    composite.release();
    imageChanged = false;
}

void CompositeWindow::redraw() {
    redrawTimer.stop();
    if (imageChanged)
        makeHighBytes();
    // The histograms of the retouched image follow from those of the high bytes through the
    // retouch's tables, without counting the image again. One channel takes the red table.
    const cv::Mat tables = retouchTables(values);
    const bool mono = highByte.channels() == 1;
    Histograms histograms{};
    if (!highByte.empty())
        for (int c = 0; c < 3; ++c)
            for (int v = 0; v < 256; ++v)
                histograms[c][tables.at<cv::Vec3b>(0, v)[mono ? 2 : c]] +=
                    highByteHistograms[mono ? 0 : c][v];
    drawToneCurve(histograms);
    if (highByte.empty())
        return;

    cv::Mat retouched;
    Retouch(values).apply(highByte, retouched);
    // An image smaller than the magnified view shows whole.
    const cv::Rect crop = cv::Rect(cv::Point(retouched.cols / 2 - cropSize.width / 2,
                                             retouched.rows / 2 - cropSize.height / 2),
                                   cropSize) &
                          cv::Rect(0, 0, retouched.cols, retouched.rows);
    ui->labelCrop->setPixmap(pixmapOf(retouched(crop)));

    static const cv::RotateFlags turns[] = {cv::ROTATE_90_CLOCKWISE, cv::ROTATE_180,
                                            cv::ROTATE_90_COUNTERCLOCKWISE};
    if (rotation > 0)
        cv::rotate(retouched, retouched, turns[rotation - 1]);
    view = scaledForView(retouched);
    ui->labelMainView->setPixmap(pixmapOf(view));
}

// The histograms of blue, green and red added up in their colours on a 256 x 256 field, scaled
// to the label, with the curve and its two points over them.
void CompositeWindow::drawToneCurve(const Histograms& histograms) {
    QImage field(256, 256, QImage::Format_RGB32);
    field.fill(Qt::black);
    int peak = 1;
    for (const auto& histogram : histograms)
        peak = std::max(peak, *std::max_element(histogram.begin(), histogram.end()));
    const QRgb shades[3] = {qRgb(0, 0, 230), qRgb(0, 190, 0), qRgb(210, 0, 0)};
    for (int c = 0; c < 3; ++c)
        for (int v = 0; v < 256; ++v) {
            // On a square-root scale the faint parts still show beside the sky's peak.
            const int bar = int(std::sqrt(double(histograms[c][v]) / peak) * 255);
            for (int y = 255; y > 255 - bar; --y)
                reinterpret_cast<QRgb*>(field.scanLine(y))[v] |= shades[c];
        }

    const QSize size = ui->labelToneCurve->size();
    QImage picture = field.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                         .convertToFormat(QImage::Format_RGB32);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const double sx = (size.width() - 1) / 255.0, sy = (size.height() - 1) / 255.0;
    const auto at = [&](int x, int y) { return QPointF(x * sx, (255 - y) * sy); };
    // The curve alone: the same tables with the colour balance neutral.
    RetouchValues curveOnly = values;
    curveOnly.rLevel = curveOnly.gLevel = curveOnly.bLevel = 50;
    const cv::Mat curve = retouchTables(curveOnly);
    QPolygonF line;
    for (int v = 0; v < 256; ++v)
        line << at(v, curve.at<cv::Vec3b>(0, v)[0]);
    painter.setPen(QPen(Qt::white, 2));
    painter.drawPolyline(line);
    painter.setBrush(Qt::yellow);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(at(values.lowX, values.lowY), 5, 5);
    painter.drawEllipse(at(values.highX, values.highY), 5, 5);
    painter.end();
    ui->labelToneCurve->setPixmap(QPixmap::fromImage(picture));
}
