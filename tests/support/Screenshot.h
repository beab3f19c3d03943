#pragma once

#include <QString>

class QWidget;

// Saves a grab of the widget as <name>.png in $VESPERIX_SCREENSHOTS, when that is set, so a
// developer can look at what a test drove.
void saveScreenshot(QWidget* widget, const QString& name);
