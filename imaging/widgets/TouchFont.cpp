#include "TouchFont.h"

#include <QGroupBox>

namespace TouchFont {

void apply(QWidget* window) {
    QFont text = window->font();
    text.setPixelSize(textPx);
    for (QWidget* widget : window->findChildren<QWidget*>())
        widget->setFont(text);
    QFont title = text;
    title.setPixelSize(titlePx);
    for (QGroupBox* group : window->findChildren<QGroupBox*>())
        group->setFont(title);
}

} // namespace TouchFont
