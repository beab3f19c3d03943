#include "ButtonFit.h"

#include "TextFit.h"
#include "TouchFont.h"

#include <QEvent>
#include <QPushButton>

void ButtonFit::install(QWidget* window, int buttonPx) {
    TouchFont::apply(window);
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        QFont font = button->font();
        font.setPixelSize(buttonPx);
        button->setFont(font);
    }
    auto* fit = new ButtonFit(window);
    for (QPushButton* button : window->findChildren<QPushButton*>())
        button->installEventFilter(fit);
}

void ButtonFit::fitButtons(QWidget* window) {
    for (QPushButton* button : window->findChildren<QPushButton*>())
        TextFit::fit(button, button->text(), TextFit::launcherLength);
}

bool ButtonFit::eventFilter(QObject* watched, QEvent* event) {
    // A button is laid out anew when the window is shown, resized or goes full screen.
    if (auto* button = qobject_cast<QPushButton*>(watched)) {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Show)
            TextFit::fit(button, button->text(), TextFit::launcherLength);
    }
    return false;
}
