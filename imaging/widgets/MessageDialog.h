#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The program's message box: a text and one close button; and its question with
// "はい" / "いいえ". These are the only ways the program tells the user something.
class MessageDialog : public QDialog {
    Q_OBJECT
public:
    MessageDialog(const QString& text, const QString& buttonText, QWidget* parent = nullptr);

    QString text() const;
    // A box that stays up while work goes on tells how far it is.
    void setText(const QString& text);

private:
    QLabel* label;
};

// Modal message with the close button "閉じる".
void showMessage(const QString& text);
// The same, not modal, with the caller's button text; it closes itself when pressed.
void showMessageModeless(const QString& text, const QString& buttonText);
// Modal question: sets `*answer` to 1 for "はい", 0 for "いいえ" (or closing it).
void yesNoDialog(const QString& question, int* answer);
