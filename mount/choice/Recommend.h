#pragma once

#include "RecommendList.h"
#include "StarCatalog.h"

#include <QDialog>
#include <optional>

class QListWidgetItem;

namespace Ui {
class Recommend;
}

// The showpiece objects of a season, or the planetary nebulae and galaxies, as a list of
// their pictures. Opens on the list of the last choice, or the season of the current month.
class Recommend : public QDialog {
    Q_OBJECT
public:
    explicit Recommend(const QString& programFolder, QWidget* parent = nullptr);
    ~Recommend() override;

    RecommendList::List shownList() const { return shown; }
    // Where the row taken points; nothing when the dialog was closed without a choice.
    std::optional<SkyPosition> chosenPosition() const { return chosen; }

    // The controller's way through the dialog: the highlighted row moves by `rows` (down is
    // positive, held at the ends), the shown list by `lists` in the buttons' order, round.
    void moveSelection(int rows);
    void switchList(int lists);

    static std::optional<SkyPosition> choose(const QString& programFolder, QWidget* parent);
    // The next opening goes by the month again.
    static void forgetList();

private:
    void showList(RecommendList::List list);
    void take(QListWidgetItem* item);

    Ui::Recommend* ui;
    const QString folder;
    RecommendList::List shown = RecommendList::Winter;
    QVector<RecommendRow> rows;
    std::optional<SkyPosition> chosen;
};
