#include "Conv3DDialog.h"

#include "HostPath.h"
#include "SettingsFile.h"
#include "SettingsRecord.h"
#include "TouchFont.h"
#include "ui_Conv3DDialog.h"

#include <QPixmap>

namespace {

const char* const chosenStyle = "background-color:red;color:white";
const char* const otherStyle = "background-color:rgb(85, 170, 255);color:white";

// A stored value out of a group's range shows its first choice, as the conversion takes it.
int within(int value, int count) {
    return value >= 0 && value < count ? value : 0;
}

} // namespace

Conv3DDialog::Conv3DDialog(SettingsRecord& settingsRecord, const QString& appDir, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::Conv3DDialog)
    , settings(settingsRecord) {
    ui->setupUi(this);
    TouchFont::apply(this);
    setFixedSize(size());
    choices[Format].buttons = {ui->pushButton, ui->pushButton_2, ui->pushButton_3};
    choices[Depth].buttons = {ui->pushButton_4, ui->pushButton_5};
    choices[Strength].buttons = {ui->pushButton_8, ui->pushButton_9, ui->pushButton_10};
    const int stored[] = {settings._3dfor, settings._3ddep, settings._3dstr};
    for (Group group : {Format, Depth, Strength}) {
        const QList<QPushButton*>& buttons = choices[group].buttons;
        for (int value = 0; value < buttons.size(); ++value)
            connect(buttons[value], &QPushButton::clicked, this,
                    [this, group, value] { choose(group, value); });
        choose(group, within(stored[group], buttons.size()));
    }
    connect(ui->pushButton_6, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->pushButton_7, &QPushButton::clicked, this, &Conv3DDialog::execute);
    showPictures(appDir);
}

Conv3DDialog::~Conv3DDialog() {
    delete ui;
}

void Conv3DDialog::choose(Group group, int value) {
    Choice& choice = choices[group];
    choice.chosen = value;
    for (int other = 0; other < choice.buttons.size(); ++other)
        choice.buttons[other]->setStyleSheet(other == value ? chosenStyle : otherStyle);
}

// A picture that is missing leaves its place empty.
void Conv3DDialog::showPictures(const QString& appDir) {
    const std::pair<QLabel*, const char*> pictures[] = {{ui->label_2, "make3d_sbs.png"},
                                                        {ui->label_3, "make3d_hsbs.png"},
                                                        {ui->label_4, "make3d_ana.png"}};
    for (const auto& [label, name] : pictures) {
        const QPixmap picture(HostPath::toHost(appDir + "\\PNG\\" + name));
        if (!picture.isNull())
            label->setPixmap(
                picture.scaled(label->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
}

void Conv3DDialog::execute() {
    settings._3dfor = format();
    settings._3ddep = depth();
    settings._3dstr = strength();
    saveSettings(settings);
    accept();
}
