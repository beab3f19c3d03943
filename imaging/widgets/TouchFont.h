#pragma once

class QWidget;

// Text sizes for the touch screen, in pixels whatever the screen's dots per inch.
namespace TouchFont {

constexpr int textPx = 20;
constexpr int titlePx = 14; // group titles, clear of the lines below them

// Every widget of the window at the text size and its group titles smaller. Set widget by
// widget, since under a style sheet a parent's font does not reach its children.
void apply(QWidget* window);

} // namespace TouchFont
