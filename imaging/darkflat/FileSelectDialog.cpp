#include "FileSelectDialog.h"

#include "DarkFlat.h"
#include "DebugLog.h"
#include "FileTimes.h"
#include "HostPath.h"
#include "LocalText.h"
#include "MasterFileList.h"
#include "SettingsRecord.h"
#include "ShootingData.h"
#include "TextFit.h"
#include "TiffFile.h"
#include "TouchFont.h"
#include "ui_FileSelectDialog.h"

FileSelectDialog::FileSelectDialog(SettingsRecord& settingsRecord, int mode,
                                   const QString& currentName, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::FileSelectDialog)
    , settings(settingsRecord)
    , selectMode(mode) {
    ui->setupUi(this);
    TouchFont::apply(this);
    setFixedSize(650, 540);
    if (parent)
        move(parent->window()->pos() + QPoint(100, 100));

    for (QLabel* label : ui->groupBox->findChildren<QLabel*>())
        label->clear();
    names = MasterFileList::names(settings, selectMode);
    ui->listWidget->addItems(names);
    if (!names.isEmpty())
        selectRow(MasterFileList::rowOf(names, currentName));
}

FileSelectDialog::~FileSelectDialog() {
    delete ui;
}

void FileSelectDialog::selectRow(int newRow) {
    ui->listWidget->setCurrentRow(newRow);
    ui->listWidget->setFocus();
}

void FileSelectDialog::on_listWidget_currentRowChanged(int currentRow) {
    if (currentRow < 0 || currentRow >= names.size())
        return;
    row = currentRow;
    showDetails();
}

void FileSelectDialog::on_pushButton_3_clicked() {
    if (!names.isEmpty())
        selectRow(row > 0 ? row - 1 : int(names.size()) - 1);
}

void FileSelectDialog::on_pushButton_4_clicked() {
    if (!names.isEmpty())
        selectRow(row < names.size() - 1 ? row + 1 : 0);
}

void FileSelectDialog::setLabel(QLabel* label, const QString& text) {
    label->setText(text);
    TextFit::fit(label, text);
}

void FileSelectDialog::showDetails() {
    const QString& name = names.at(row);
    const QString path = DarkFlat::dataFolder(settings) + name;
    ShootingData data;
    const cv::Mat image = readTiff(path, data, 16);
    // The reader gives an empty or a 1 x 1 image for a file it refuses.
    const bool readable = !image.empty() && image.total() > 1;
    // When it was taken; files without that time of their own give their creation time.
    QDateTime made = readable ? data.capturedAt() : QDateTime();
    if (!made.isValid())
        made = FileTimes::creationTime(HostPath::toHost(path));

    setLabel(ui->labelFileName, name);
    setLabel(ui->labelDate, made.toString("yyyy/MM/dd"));
    setLabel(ui->labelTime, made.toString("hh:mm:ss"));
    if (!readable) {
        for (QLabel* label :
             {ui->labelGain, ui->labelExposure, ui->labelCompNumber, ui->labelCameraName})
            label->clear();
        return;
    }
    setLabel(ui->labelGain, QString("ゲイン:%1").arg(data.gain));
    // Exposures that are neither whole seconds nor 1/n seconds have no form of their own.
    if (data.exposureDenominator == 1)
        setLabel(ui->labelExposure, QString("露出:%1s").arg(data.exposureNumerator));
    else if (data.exposureNumerator == 1)
        setLabel(ui->labelExposure, QString("露出:1/%1s").arg(data.exposureDenominator));
    setLabel(ui->labelCompNumber, QString("コンポ枚数:%1").arg(data.frameCount));
    setLabel(ui->labelCameraName, LocalText::decode(data.model.mid(2)));
}

void FileSelectDialog::on_pushButton_clicked() {
    if (row < 0 || row >= names.size()) {
        reject();
        return;
    }
    const QString& name = names.at(row);
    debugLog("%s", name.toUtf8().constData());
    if (selectMode == MasterFileList::Flats)
        settings.preFlat = name;
    else
        settings.preDark = name;
    emit fileChosen(name);
    accept();
}

void FileSelectDialog::on_pushButton_2_clicked() {
    reject();
}
