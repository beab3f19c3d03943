#include "Recommend.h"

#include "Clock.h"
#include "DebugLog.h"
#include "TouchFont.h"
#include "ui_Recommend.h"

#include <algorithm>

namespace {

// The list of the last choice, for every later opening in this run.
std::optional<RecommendList::List> rememberedList;

} // namespace

Recommend::Recommend(const QString& programFolder, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::Recommend)
    , folder(programFolder) {
    ui->setupUi(this);
    TouchFont::apply(this);
    setFixedSize(size());
    const std::pair<QPushButton*, RecommendList::List> buttons[] = {
        {ui->pushButtonWinter, RecommendList::Winter},
        {ui->pushButtonSummer, RecommendList::Summer},
        {ui->pushButtonAutumn, RecommendList::Autumn},
        {ui->pushButtonGalaxy, RecommendList::Galaxy}};
    for (const auto& [button, list] : buttons)
        connect(button, &QPushButton::clicked, this, [this, list = list] { showList(list); });
    connect(ui->listWidget, &QListWidget::itemClicked, this, &Recommend::take);
    showList(
        rememberedList.value_or(RecommendList::seasonOf(Clock::currentDateTime().date().month())));
}

Recommend::~Recommend() {
    delete ui;
}

void Recommend::showList(RecommendList::List list) {
    shown = list;
    rows = RecommendList::load(folder, list);
    ui->listWidget->clear();
    // Every row as tall as a picture, so a row whose picture is missing can still be taken.
    const QSize rowSize = ui->listWidget->iconSize() + QSize(8, 4);
    for (const RecommendRow& row : rows) {
        auto* item = new QListWidgetItem(ui->listWidget);
        item->setSizeHint(rowSize);
        const QPixmap picture(RecommendList::picturePath(folder, row.picture));
        if (!picture.isNull())
            item->setIcon(picture);
    }
}

void Recommend::take(QListWidgetItem* item) {
    const int row = ui->listWidget->row(item);
    const RecommendRow& object = rows.at(row);
    debugLog("no=%d ra=%.2f dec=%.2f", row, object.ra, object.dec);
    rememberedList = shown;
    chosen = SkyPosition{object.ra, object.dec};
    accept();
}

void Recommend::moveSelection(int steps) {
    const int count = ui->listWidget->count();
    if (steps == 0 || count == 0)
        return;
    const int current = std::max(0, ui->listWidget->currentRow());
    ui->listWidget->setCurrentRow(std::clamp(current + steps, 0, count - 1));
}

void Recommend::switchList(int lists) {
    if (lists == 0)
        return;
    constexpr int listCount = RecommendList::Galaxy + 1;
    showList(RecommendList::List(((shown + lists) % listCount + listCount) % listCount));
    if (ui->listWidget->count() > 0)
        ui->listWidget->setCurrentRow(0);
}

std::optional<SkyPosition> Recommend::choose(const QString& programFolder, QWidget* parent) {
    Recommend dialog(programFolder, parent);
    dialog.exec();
    return dialog.chosenPosition();
}

void Recommend::forgetList() {
    rememberedList.reset();
}
