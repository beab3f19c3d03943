#include "ButtonFit.h"

#include "TextFit.h"
#include "TouchFont.h"

#include <QEvent>
#include <QPushButton>

namespace {

// The room a button leaves its text: its width less the border and the rounded corners.
constexpr int textMargin = 16;

void fitButton(QPushButton* button) {
    TextFit::fit(button, button->text(), TextFit::launcherLength, button->width() - textMargin);
}

} // namespace

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
        fitButton(button);
}

bool ButtonFit::eventFilter(QObject* watched, QEvent* event) {
    // A button is laid out anew when the window is shown, resized or goes full screen.
    if (auto* button = qobject_cast<QPushButton*>(watched)) {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Show)
            fitButton(button);
    }
    return false;
}
