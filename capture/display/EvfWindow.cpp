#include "EvfWindow.h"

#include "DebugLog.h"
#include "ProcessState.h"
#include "ShownFile.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>

EvfWindow::EvfWindow(ProcessState& processState, const QString& path, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , state(processState)
    , evfLabel(new QLabel(this))
    , sideBySide(path.contains("_sbs")) {
    setAttribute(Qt::WA_DeleteOnClose);
    state.evfOpen = true;
    evfLabel->setObjectName("evfLabel");
    evfLabel->setAlignment(Qt::AlignCenter);
    evfLabel->setStyleSheet("background-color: black;");
    evfLabel->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(evfLabel);

    debugLog("EVF Window作成中");
    const ShownFile shown = readShownFile(path, state.previewStretch);
    if (!shown.ok) {
        debugLog("Data Empty");
        close();
        return;
    }
    evfView.setImage(shown.image8, shown.isColor, shown.bayer);
    QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    setGeometry(screen->geometry());
    evfView.setScreenSize(cv::Size(screen->geometry().width(), screen->geometry().height()));
    redraw();
    showFullScreen();
}

void EvfWindow::rotate() {
    evfView.rotate();
    redraw();
}

void EvfWindow::zoomIn() {
    evfView.zoomIn();
    redraw();
}

void EvfWindow::zoomOut() {
    evfView.zoomOut();
    redraw();
}

void EvfWindow::moveCenter(int dx, int dy) {
    evfView.moveCenter(dx, dy);
    redraw();
}

void EvfWindow::redraw() {
    const cv::Mat picture = evfView.picture();
    if (picture.empty())
        return;
    const QImage::Format format =
        picture.channels() == 3 ? QImage::Format_BGR888 : QImage::Format_Grayscale8;
    const QImage image(picture.data, picture.cols, picture.rows, int(picture.step), format);
    evfLabel->setPixmap(QPixmap::fromImage(image));
}

bool EvfWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == evfLabel && event->type() == QEvent::MouseButtonPress) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void EvfWindow::closeEvent(QCloseEvent* event) {
    // However it closes, the gamepad goes back to the main window.
    state.evfOpen = false;
    QWidget::closeEvent(event);
}
