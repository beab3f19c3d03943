#include "LayoutFaults.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>

QStringList layoutFaults(QWidget* window, const LayoutRules& rules) {
    QStringList found;
    QList<QWidget*> controls;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(window))
            continue;
        const QString name = widget->objectName();
        if (!name.isEmpty() && !name.startsWith("qt_"))
            controls << widget;
        QString text;
        int room = widget->width();
        auto* label = qobject_cast<QLabel*>(widget);
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            text = button->text();
            room -= 8;
            if (widget->height() < rules.minButtonHeight)
                found << name + " is too low to press";
        } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            text = group->title();
            room -= 24;
        } else if (label) {
            text = label->text();
        }
        if (text.isEmpty())
            continue;
        const QFontMetrics metrics = widget->fontMetrics();
        const bool fits =
            label && label->wordWrap()
                ? label->heightForWidth(label->width()) <= label->height()
                : metrics.horizontalAdvance(text) <= room && metrics.height() <= widget->height();
        if (!fits || widget->fontInfo().pixelSize() < rules.minTextPx)
            found << name + " cuts \"" + text + "\"";
    }
    for (QWidget* a : controls) {
        if (!a->parentWidget()->rect().contains(a->geometry()))
            found << a->objectName() + " reaches out";
        for (QWidget* b : controls)
            if (a < b && a->parentWidget() == b->parentWidget() &&
                a->geometry().intersects(b->geometry()))
                found << a->objectName() + " overlaps " + b->objectName();
    }
    for (QListWidget* list : window->findChildren<QListWidget*>()) {
        list->doItemsLayout();
        for (int row = 0; row < list->count(); ++row)
            if (list->visualItemRect(list->item(row)).right() > list->viewport()->width())
                found << list->item(row)->text() + " is cut";
    }
    return found;
}
