#include "TotalDarkFlat.h"

#include "DarkFlatBatch.h"
#include "SettingsRecord.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace {

const char* const chosenStyle = "background-color: rgb(0, 0, 127); color: red;";
const char* const otherStyle = "background-color: rgb(0, 0, 127); color: white;";

} // namespace

TotalDarkFlat::TotalDarkFlat(SettingsRecord& settingsRecord, QStringList frameFiles,
                             QWidget* parent)
    : QDialog(parent)
    , settings(settingsRecord)
    , files(std::move(frameFiles))
    , progress(new QProgressBar)
    , fileLabel(new QLabel) {
    setWindowTitle(QStringLiteral("一括ダーク・フラット"));
    setStyleSheet("QDialog { background-color: black; } QLabel { color: white; }"
                  "QPushButton { min-height: 44px; min-width: 96px; }");
    QFont big = font();
    big.setPixelSize(18);
    setFont(big);
    auto* grid = new QGridLayout(this);
    addChoice(QStringLiteral("ダーク減算"), &SettingsRecord::totalDark, 0);
    addChoice(QStringLiteral("ゲインが違っても"), &SettingsRecord::tdarkOpt1, 1);
    addChoice(QStringLiteral("露出が違っても"), &SettingsRecord::tdarkOpt2, 2);
    addChoice(QStringLiteral("フラット補正"), &SettingsRecord::totalFlat, 3);
    addChoice(QStringLiteral("24時間以内に撮影\nされたファイルに限定"), &SettingsRecord::dfIn24h,
              4);
    progress->setObjectName("progressBar");
    progress->setRange(0, std::max(1, int(files.size())));
    progress->setValue(0);
    fileLabel->setObjectName("labelFileName");
    auto* startButton = new QPushButton(QStringLiteral("開始"));
    startButton->setObjectName("pushButtonStart");
    auto* closeButton = new QPushButton(QStringLiteral("閉じる"));
    closeButton->setObjectName("pushButtonClose");
    connect(startButton, &QPushButton::clicked, this, &TotalDarkFlat::start);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
    grid->addWidget(progress, 5, 0, 1, 3);
    grid->addWidget(fileLabel, 6, 0, 1, 3);
    grid->addWidget(startButton, 7, 1);
    grid->addWidget(closeButton, 7, 2);
}

void TotalDarkFlat::addChoice(const QString& label, int SettingsRecord::*field, int row) {
    auto* grid = static_cast<QGridLayout*>(layout());
    auto* text = new QLabel(label);
    auto* yes = new QPushButton(QStringLiteral("する"));
    auto* no = new QPushButton(QStringLiteral("しない"));
    yes->setObjectName(QString("pushButtonYes%1").arg(row));
    no->setObjectName(QString("pushButtonNo%1").arg(row));
    grid->addWidget(text, row, 0);
    grid->addWidget(yes, row, 1);
    grid->addWidget(no, row, 2);
    const Choice choice{field, yes, no};
    choices << choice;
    connect(yes, &QPushButton::clicked, this, [this, choice] {
        settings.*choice.field = 1;
        showChoice(choice);
    });
    connect(no, &QPushButton::clicked, this, [this, choice] {
        settings.*choice.field = 0;
        showChoice(choice);
    });
    showChoice(choice);
}

void TotalDarkFlat::showChoice(const Choice& choice) {
    const bool on = settings.*choice.field == 1;
    choice.yes->setStyleSheet(on ? chosenStyle : otherStyle);
    choice.no->setStyleSheet(on ? otherStyle : chosenStyle);
}

void TotalDarkFlat::start() {
    if (running)
        return;
    DarkFlatBatch batch(settings);
    if (!batch.prepare())
        return;
    running = true;
    progress->setRange(0, std::max(1, int(files.size())));
    batch.run(files, [this](int index, const QString& name) {
        // The dialog stays live: a press of "閉じる" ends the run before the next file.
        QCoreApplication::processEvents();
        if (closed)
            return false;
        progress->setValue(index);
        fileLabel->setText(name);
        return true;
    });
    running = false;
    if (!closed)
        accept();
}

void TotalDarkFlat::closeEvent(QCloseEvent* event) {
    closed = true;
    QDialog::closeEvent(event);
}
