#pragma once

#include <QString>

class QImage;
class QWidget;

// Saves a grab of the widget as <name>.png in $VESPERIX_SCREENSHOTS, when that is set, so a
// developer can look at what a test drove.
void saveScreenshot(QWidget* widget, const QString& name);

// The same for a picture drawn without a widget.
void saveScreenshot(const QImage& image, const QString& name);
