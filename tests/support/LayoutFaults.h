#pragma once

#include <QStringList>

class QWidget;

// What a finger or an eye would miss on a window: a text wider or taller than its widget or
// below the touch size, a button too small to press, a list entry cut at the right, controls
// overlapping or reaching out of their parent. Only what is visible counts.
struct LayoutRules {
    int minTextPx = 20;
    int minButtonHeight = 48;
};

// A line for each fault found; empty when there is none.
QStringList layoutFaults(QWidget* window, const LayoutRules& rules = LayoutRules());
