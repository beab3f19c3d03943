#pragma once

#include <QDialog>
#include <QStringList>
#include <optional>

namespace Ui {
class ObjectSelcter;
}

// The choice among the objects under one touch of the chart: a list of their names, row 0
// selected first, "▲"/"▼" moving the selection round the list.
class ObjectSelcter : public QDialog {
    Q_OBJECT
public:
    static constexpr int maxRows = 100;

    // Keeps the first maxRows rows.
    explicit ObjectSelcter(const QStringList& rows, QWidget* parent = nullptr);
    ~ObjectSelcter() override;

    // The row taken with OK; nothing after "キャンセル" or closing.
    std::optional<int> chosenRow() const { return chosen; }

    // Shows the dialog centred on the parent's window and waits for the answer.
    static std::optional<int> choose(const QStringList& rows, QWidget* parent);

private:
    void step(int by);

    Ui::ObjectSelcter* ui;
    std::optional<int> chosen;
};
