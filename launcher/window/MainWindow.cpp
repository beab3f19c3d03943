#include "MainWindow.h"

#include "ApplicationStart.h"
#include "ButtonFit.h"
#include "DataCopy.h"
#include "DataDelete.h"
#include "HostPath.h"
#include "LauncherPrompt.h"
#include "LauncherSettings.h"
#include "MainProgramStart.h"
#include "UpdateDialog.h"
#include "ui_MainWindow.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QUrl>

namespace {

constexpr int buttonPx = 28;
constexpr int iconPx = 72;
const char* const modeOnStyle = "color: white;background-color: rgb(0, 170, 127)";
const char* const modeOffStyle = "color: white;background-color: rgb(0, 85, 127)";

// A dialog made anew for each press; it goes when it is closed.
template <typename Dialog> Dialog* opened(Dialog* dialog) {
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
    return dialog;
}

} // namespace

MainWindow::MainWindow(LauncherSettings& settings, const QVector<Bookmark>& bookmarks,
                       const QString& launcherFile, QWidget* parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
    , settings(settings)
    , bookmarks(bookmarks)
    , launcherFile(launcherFile) {
    ui->setupUi(this);
    QPushButton* const pageButtons[] = {ui->pushButton_15, ui->pushButton_16, ui->pushButton_9};
    for (int i = 0; i < Bookmarks::count; ++i) {
        pageButtons[i]->setText(i < bookmarks.size() ? bookmarks.at(i).name : QString());
        connect(pageButtons[i], &QPushButton::clicked, this, [this, i] { openBookmark(i); });
    }
    QPushButton* const registerButtons[] = {ui->pushButton_11, ui->pushButton_12, ui->pushButton_13,
                                            ui->pushButton_14};
    QPushButton* const removeButtons[] = {ui->pushButton_18, ui->pushButton_19, ui->pushButton_20,
                                          ui->pushButton_21};
    for (int slot = 0; slot < LauncherSettings::appCount; ++slot) {
        applicationButton(slot)->setIconSize(QSize(iconPx, iconPx));
        showApplication(slot);
        connect(applicationButton(slot), &QPushButton::clicked, this,
                [this, slot] { startApplication(slot); });
        connect(registerButtons[slot], &QPushButton::clicked, this,
                [this, slot] { chooseApplication(slot); });
        connect(removeButtons[slot], &QPushButton::clicked, this,
                [this, slot] { removeApplication(slot); });
    }
    showMode();
    ButtonFit::install(this, buttonPx);
    connect(ui->pushButton, &QPushButton::clicked, this, &MainWindow::startMainProgram);
    connect(ui->pushButton_17, &QPushButton::clicked, this, &MainWindow::toggleMode);
    connect(ui->pushButton_2, &QPushButton::clicked, this, &MainWindow::openCopy);
    connect(ui->pushButton_3, &QPushButton::clicked, this, &MainWindow::openDelete);
    connect(ui->pushButton_4, &QPushButton::clicked, this, &MainWindow::openUpdate);
    connect(ui->pushButton_10, &QPushButton::clicked, this, &QWidget::close);
}

MainWindow::~MainWindow() {
    delete ui;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    settings.save();
    event->accept();
    emit ended();
}

void MainWindow::startMainProgram() {
    hide();
    const bool started = MainProgramStart::run(launcherFile, settings.mode);
    show();
    if (!started)
        LauncherPrompt::showMessage(QStringLiteral("spawnlエラー"));
}

void MainWindow::toggleMode() {
    settings.mode = settings.mode == 1 ? 0 : 1;
    showMode();
}

void MainWindow::showMode() {
    ui->pushButton_17->setStyleSheet(settings.mode == 1 ? modeOnStyle : modeOffStyle);
}

void MainWindow::openCopy() {
    opened(new DataCopy(settings, this));
}

void MainWindow::openDelete() {
    opened(new DataDelete(settings, this));
}

void MainWindow::openUpdate() {
    auto* dialog = opened(new UpdateDialog(this));
    connect(dialog, &UpdateDialog::launcherEnds, this, &QWidget::close);
}

void MainWindow::chooseApplication(int slot) {
    auto* dialog =
        opened(new QFileDialog(this, QStringLiteral("ファイルを開く"), QStringLiteral("/"),
                               QStringLiteral("すべて(*.*);;実行ファイル(*.exe)")));
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->selectNameFilter(QStringLiteral("実行ファイル(*.exe)"));
    connect(dialog, &QFileDialog::fileSelected, this,
            [this, slot](const QString& file) { registerApplication(slot, file); });
}

void MainWindow::registerApplication(int slot, const QString& hostPath) {
    const QString path = HostPath::fromHost(hostPath);
    // The settings file's code page must hold the path, or it would be stored wrong.
    if (!LauncherSettings::canStore(path)) {
        LauncherPrompt::showMessage(QStringLiteral("このファイルは登録できません。"));
        return;
    }
    settings.appName[slot] = path;
    showApplication(slot);
    settings.save();
}

void MainWindow::removeApplication(int slot) {
    settings.appName[slot].clear();
    showApplication(slot);
    settings.save();
}

void MainWindow::startApplication(int slot) {
    if (!settings.appName[slot].isEmpty())
        ApplicationStart::start(slot + 1, settings.appName[slot]);
}

void MainWindow::showApplication(int slot) {
    QPushButton* button = applicationButton(slot);
    button->setText(QString());
    const QFileInfo file(HostPath::toHost(settings.appName[slot]));
    button->setIcon(!settings.appName[slot].isEmpty() && file.exists()
                        ? QFileIconProvider().icon(file)
                        : QIcon());
}

void MainWindow::openBookmark(int index) {
    if (index < bookmarks.size() && !bookmarks.at(index).address.isEmpty())
        QDesktopServices::openUrl(QUrl(bookmarks.at(index).address));
}

QPushButton* MainWindow::applicationButton(int slot) const {
    QPushButton* const buttons[] = {ui->pushButton_5, ui->pushButton_6, ui->pushButton_7,
                                    ui->pushButton_8};
    return buttons[slot];
}
