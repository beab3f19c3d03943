#pragma once

#include "EvfView.h"

#include <QWidget>

class QLabel;
struct ProcessState;

// The full-screen view of one stored image: a frameless window over the whole screen with
// the picture in `evfLabel`. It opens itself on creation and sets `evfOpen` while it is
// open; a press on the picture closes it. It deletes itself when closed.
class EvfWindow : public QWidget {
    Q_OBJECT
public:
    // `path` is the Windows form of the file to show, normally the data folder's current one.
    EvfWindow(ProcessState& state, const QString& path, QWidget* parent = nullptr);

    // A side-by-side 3D image ("_sbs" in its name).
    bool isSideBySide() const { return sideBySide; }
    const EvfView& view() const { return evfView; }

    // What the gamepad asks for while the view is open.
    void rotate();
    void zoomIn();
    void zoomOut();
    void moveCenter(int dx, int dy);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void redraw();

    ProcessState& state;
    QLabel* evfLabel;
    EvfView evfView;
    bool sideBySide;
};
