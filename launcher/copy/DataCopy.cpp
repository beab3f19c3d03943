#include "DataCopy.h"

#include "Clock.h"
#include "DebugLog.h"
#include "FileCopier.h"
#include "HostPath.h"
#include "ImageSelection.h"
#include "LauncherPrompt.h"
#include "LauncherSettings.h"
#include "ui_DataCopy.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

namespace {

constexpr int driveButtonCount = 6;
constexpr int optionCount = 4;
const char* const destinationStyle = "background-color:rgb(0, 0, 127);color:red";
const char* const chosenOptionStyle = "color:red";

QString dataFolder(QChar drive) {
    return QString(drive) + ":\\VesperixData";
}

} // namespace

DataCopy::DataCopy(LauncherSettings& settings, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::DataCopy)
    , settings(settings)
    , source(LauncherSettings::dataDrive())
    , destination(ushort(settings.destDrive)) {
    ui->setupUi(this);
    ui->labelSource->setText(QStringLiteral("コピー元ドライブ  %1:\\").arg(source));
    for (int index = 0; index < driveButtonCount; ++index)
        connect(driveButton(index), &QPushButton::clicked, this,
                [this, index] { chooseDestination(drives.value(index)); });
    for (int option = 0; option < optionCount; ++option)
        connect(optionButton(option), &QPushButton::clicked, this,
                [this, option] { chooseOption(option); });
    connect(ui->pushButton_12, &QPushButton::clicked, this, &DataCopy::listDrives);
    connect(ui->pushButton_4, &QPushButton::clicked, this, &DataCopy::run);
    connect(ui->pushButton_13, &QPushButton::clicked, this, [this] { stopRequested = true; });
    connect(ui->pushButton_14, &QPushButton::clicked, this, &DataCopy::openDataFolder);
    connect(ui->pushButton_5, &QPushButton::clicked, this, &DataCopy::reject);
    listDrives();
    chooseOption(settings.copyOption);
}

DataCopy::~DataCopy() {
    delete ui;
}

void DataCopy::reject() {
    // A running copy has this dialog on its stack: it stops, and the dialog closes after it.
    if (running) {
        stopRequested = true;
        closeRequested = true;
        return;
    }
    settings.destDrive = destination.unicode();
    debugLog("destDrive=%c", destination.toLatin1());
    settings.save();
    QDialog::reject();
}

// Drives past the sixth get no button, but a destination stored on one is kept.
void DataCopy::listDrives() {
    drives = HostPath::existingDrives('C', 'M');
    if (!drives.contains(destination))
        destination = 'C';
    for (int index = 0; index < driveButtonCount; ++index) {
        QPushButton* button = driveButton(index);
        button->setVisible(index < drives.size());
        button->setText(index < drives.size() ? QString(drives[index]) + ":\\" : QString());
    }
    showDestination();
}

void DataCopy::chooseDestination(QChar letter) {
    if (letter.isNull())
        return;
    destination = letter;
    showDestination();
}

void DataCopy::showDestination() {
    for (int index = 0; index < driveButtonCount; ++index)
        driveButton(index)->setStyleSheet(
            index < drives.size() && drives[index] == destination ? destinationStyle : "");
}

void DataCopy::chooseOption(int option) {
    settings.copyOption = option;
    for (int other = 0; other < optionCount; ++other)
        optionButton(other)->setStyleSheet(other == option ? chosenOptionStyle : "");
}

void DataCopy::run() {
    // Events are processed while copying, so a second press must not start a second run.
    if (running)
        return;
    stopRequested = false;
    if (destination.isNull()) {
        LauncherPrompt::showMessage(QStringLiteral("コピー先ドライブを選んでください。"));
        return;
    }
    if (destination == source) {
        LauncherPrompt::showMessage(QStringLiteral("コピー元とコピー先が同じドライブです。"));
        return;
    }
    const QStringList names = ImageSelection::forCopy(
        ImageSelection::list(HostPath::toHost(dataFolder(source)), Clock::currentDateTime()),
        settings.copyOption);
    debugLog("file no = %d", names.size());
    // Making the folder on a drive that is gone would make the drive itself here.
    const QString target = HostPath::toHost(dataFolder(destination));
    bool ready = HostPath::driveExists(destination);
    if (ready && !QDir(target).exists()) {
        debugLog("Make Dir VesperixData");
        ready = QDir().mkpath(target);
    }
    if (!ready) {
        LauncherPrompt::showMessage(QStringLiteral("コピーできないドライブです。"));
        return;
    }
    running = true;
    const bool completed = copyFiles(names);
    running = false;
    if (completed)
        ui->progressBar->setValue(ui->progressBar->maximum());
    LauncherPrompt::showMessage(completed ? QStringLiteral("コピー完了")
                                          : QStringLiteral("コピーできません。"));
    if (closeRequested)
        reject();
}

bool DataCopy::copyFiles(const QStringList& names) {
    const int count = names.size();
    // A range of 0 to 0 would show a busy bar.
    ui->progressBar->setRange(0, qMax(count, 1));
    const FileCopier copier([this] {
        QCoreApplication::processEvents();
        return !stopRequested;
    });
    for (int index = 0; index < count; ++index) {
        QCoreApplication::processEvents();
        if (stopRequested) {
            debugLog("Stop Copy");
            break;
        }
        ui->labelFile->setText(names[index]);
        ui->progressBar->setValue(qMax(index, count / 100));
        const QString from = dataFolder(source) + '\\' + names[index];
        const QString to = dataFolder(destination) + '\\' + names[index];
        debugLog("%s->%s", from.toUtf8().constData(), to.toUtf8().constData());
        // A stopped file keeps its old copy; the loop then ends at the next file.
        if (copier.copy(HostPath::toHost(from), HostPath::toHost(to)) == FileCopier::Failed)
            return false;
    }
    return true;
}

void DataCopy::openDataFolder() {
    QDesktopServices::openUrl(QUrl::fromLocalFile(HostPath::toHost(dataFolder(source))));
}

QPushButton* DataCopy::driveButton(int index) const {
    QPushButton* const buttons[driveButtonCount] = {ui->pushButton_6,  ui->pushButton_7,
                                                    ui->pushButton_8,  ui->pushButton_9,
                                                    ui->pushButton_10, ui->pushButton_11};
    return buttons[index];
}

QPushButton* DataCopy::optionButton(int option) const {
    QPushButton* const buttons[optionCount] = {ui->pushButton, ui->pushButton_2, ui->pushButton_3,
                                               ui->pushButton_15};
    return buttons[option];
}
