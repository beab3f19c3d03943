#pragma once

#include <QObject>

class QWidget;

// The launcher's texts for the touch screen: every text at the touch size, and each button's
// text shrunk by the launcher's count (TextFit::launcherLength) whenever its button is too
// narrow for it, also after the window was laid out anew.
class ButtonFit : public QObject {
    Q_OBJECT
public:
    // Sets the sizes, with `buttonPx` the size a button's text has when it fits, and keeps
    // them fitted for as long as the window lives.
    static void install(QWidget* window, int buttonPx);

    // Fits every button's text now, after texts changed.
    static void fitButtons(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
};
