#include "DataDelete.h"

#include "ButtonFit.h"
#include "Clock.h"
#include "DebugLog.h"
#include "HostPath.h"
#include "ImageSelection.h"
#include "LauncherPrompt.h"
#include "LauncherSettings.h"
#include "ui_DataDelete.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <algorithm>

namespace {

constexpr int optionCount = 8;
constexpr int buttonPx = 24;
const char* const chosenStyle = "color: red;";

} // namespace

DataDelete::DataDelete(LauncherSettings& settings, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::DataDelete)
    , settings(settings)
    , drive(LauncherSettings::dataDrive()) {
    ui->setupUi(this);
    ButtonFit::install(this, buttonPx);
    for (int option = 0; option < optionCount; ++option)
        connect(optionButton(option), &QPushButton::clicked, this,
                [this, option] { chooseOption(option); });
    connect(ui->pushButton_9, &QPushButton::clicked, this, &DataDelete::openDataFolder);
    connect(ui->pushButton_10, &QPushButton::clicked, this, &DataDelete::run);
    connect(ui->pushButton_11, &QPushButton::clicked, this, &DataDelete::stop);
    connect(ui->pushButton_12, &QPushButton::clicked, this, &DataDelete::reject);
    chooseOption(std::clamp(settings.deleteOption, 0, optionCount - 1));
}

DataDelete::~DataDelete() {
    delete ui;
}

void DataDelete::reject() {
    if (running) {
        // The loop is still on the stack: it closes the dialog once it has stopped.
        stopRequested = true;
        closeRequested = true;
        return;
    }
    settings.save();
    QDialog::reject();
}

void DataDelete::chooseOption(int option) {
    settings.deleteOption = option;
    for (int other = 0; other < optionCount; ++other)
        optionButton(other)->setStyleSheet(other == option ? chosenStyle : "");
}

void DataDelete::run() {
    if (running)
        return;
    running = true;
    stopRequested = false;
    const QString folder = dataFolder();
    const QStringList names = ImageSelection::forDelete(
        ImageSelection::list(HostPath::toHost(folder), Clock::currentDateTime()),
        settings.deleteOption);
    debugLog("file no = %d", int(names.size()));
    ui->progressBar->setRange(0, std::max(1, int(names.size())));
    bool allDeleted = true;
    for (int i = 0; i < names.size(); ++i) {
        QCoreApplication::processEvents();
        if (stopRequested) {
            debugLog("Stop Delete");
            break;
        }
        ui->labelFileName->setText(names.at(i));
        ui->progressBar->setValue(i);
        const QString path = folder + '\\' + names.at(i);
        debugLog("delete %s", qUtf8Printable(path));
        allDeleted = deleteFile(path) && allDeleted;
    }
    ui->progressBar->setValue(ui->progressBar->maximum());
    running = false;
    // A file left behind must not be reported as done.
    LauncherPrompt::showMessage(allDeleted ? QStringLiteral("削除完了")
                                           : QStringLiteral("削除できないファイルがあります。"));
    if (closeRequested)
        reject();
}

bool DataDelete::deleteFile(const QString& path) {
    const QString hostPath = HostPath::toHost(path);
    const QFileInfo file(hostPath);
    if (!file.exists() && !file.isSymLink())
        return true;
    if (QFile::remove(hostPath))
        return true;
    debugLog("delete error %s", qUtf8Printable(path));
    return false;
}

void DataDelete::stop() {
    stopRequested = true;
}

void DataDelete::openDataFolder() {
    QDesktopServices::openUrl(QUrl::fromLocalFile(HostPath::toHost(dataFolder())));
}

QPushButton* DataDelete::optionButton(int option) const {
    QPushButton* const buttons[optionCount] = {ui->pushButton,   ui->pushButton_2, ui->pushButton_3,
                                               ui->pushButton_4, ui->pushButton_5, ui->pushButton_6,
                                               ui->pushButton_7, ui->pushButton_8};
    return buttons[option];
}

QString DataDelete::dataFolder() const {
    return QString(drive) + ":\\VesperixData";
}
