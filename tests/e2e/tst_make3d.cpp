// The 3D conversion end to end on the simulated observatory: a stored colour frame made into
// each 3D format by the starless stand-in, the anaglyph's stars shifted by their depth, the
// overwrite question; "中断" while StarNet++ works; and every way the outside program or the
// files can fail, each ending with a log line, no output and a window that answers.
#include "Conv3DDialog.h"
#include "DataFolder.h"
#include "E2eFrames.h"
#include "E2eProgram.h"
#include "FileSizeLimit.h"
#include "HostPath.h"
#include "ImageDisplay.h"
#include "InstallStarless.h"
#include "MainProgram.h"
#include "MainWindow.h"
#include "Make3D.h"
#include "MessageDialog.h"
#include "ProcessState.h"
#include "Screenshot.h"
#include "SettingsRecord.h"
#include "SimObservatory.h"
#include "TiffFile.h"
#include "UserPrompt.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QtTest>
#include <algorithm>
#include <csignal>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <optional>

namespace {

const QString source = "M00001.tif";
const QString starlessFolder = "C:\\StarNetv2CLI_Win";

E2eProgram::Options sv305() {
    E2eProgram::Options options;
    options.cameras = "SV305";
    options.clockScale = 60;
    return options;
}

bool alive(qint64 pid) {
    return ::kill(pid_t(pid), 0) == 0;
}

QByteArray bytesOf(const QString& hostPath) {
    QFile file(hostPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A stand-in for StarNet++ that runs `body` with the input and output paths as $1 and $2.
void installFakeStarless(const QString& driveRoot, const QByteArray& body) {
    const QString folder = driveRoot + "/C/StarNetv2CLI_Win";
    QDir().mkpath(folder);
    QFile file(folder + "/starnet++");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n" + body + "\n");
    file.close();
    file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

// The main program in playback of one stored colour frame, and the conversion's windows.
struct Converting {
    E2eProgram e2e{sv305()};

    DataFolder& folder() { return e2e.program().dataFolder(); }
    Make3D& make3d() { return e2e.program().make3d(); }

    // A frame of the simulated sky, taken as a user takes it: Orion's sword through a 200 mm
    // lens in soft seeing, its nebula for the starless picture to keep and the Trapezium the
    // largest star.
    bool takeFrame() {
        SimOptics& optics = e2e.program().sim()->optics();
        optics.focalLengthMm = 200;
        optics.seeingFwhmArcsec = 6;
        SettingsRecord& settings = e2e.settings();
        shortSeries(settings, 1, 60, 0);
        settings.gain = 25;
        return e2e.press("pushButton_6") &&
               e2e.runUntil([&] { return folder().files().contains(source); }) &&
               e2e.runUntil([&] { return e2e.state().captureState == 3; });
    }
    // A frame written straight into the data folder, shown in playback.
    bool storeFrame(const cv::Mat& raw) {
        ShootingData data;
        data.model = "C0SVBONY SV305";
        if (writeTiff("C:\\VesperixData\\" + source, raw, data) != 1)
            return false;
        folder().scanDataFolder();
        return e2e.press("pushButton_32") && folder().currentName() == source;
    }
    void showFile(const QString& name) {
        for (int i = 0; i < folder().count() && folder().currentName() != name; ++i)
            QVERIFY(e2e.press("pushButton_37"));
        QCOMPARE(folder().currentName(), name);
    }

    template <class Window> static Window* shown() {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* window = qobject_cast<Window*>(widget))
                if (window->isVisible())
                    return window;
        return nullptr;
    }
    Conv3DDialog* dialog() { return shown<Conv3DDialog>(); }
    MessageDialog* box() { return shown<MessageDialog>(); }
    static void click(QWidget* window, const char* button) {
        QTest::mouseClick(window->findChild<QPushButton*>(button), Qt::LeftButton);
    }

    // "3D化", the choices (object names of the dialog's buttons) and "実行"; false when the
    // dialog does not come.
    bool choose(const QStringList& buttons) {
        if (!e2e.press("pushButton_86"))
            return false;
        Conv3DDialog* window = dialog();
        if (!window)
            return false;
        for (const QString& button : buttons)
            click(window, qPrintable(button));
        click(window, "pushButton_7");
        return true;
    }
    bool convert(const QStringList& buttons) {
        return choose(buttons) && e2e.runUntil([&] { return !make3d().inProgress(); });
    }

    QString output(const char* suffix) const { return e2e.dataPath("M00001" + QString(suffix)); }
    QStringList outputs() const {
        return e2e.dataFiles().filter(QRegularExpression("_(sbs|sbsh|ana)\\.tif$"));
    }
    // The window still answers: "情報" turns the info panel over.
    bool answers() {
        const int before = e2e.state().infoPanelOn;
        return e2e.press("pushButton_34") && e2e.state().infoPanelOn != before;
    }
};

// The picture's channels at 8 bits as the conversion sees the stored frame.
cv::Mat colourOf(const QString& hostPath) {
    ShootingData data;
    const cv::Mat raw = readTiff(HostPath::fromHost(hostPath), data, 8);
    if (raw.channels() == 3)
        return raw;
    static const int codes[] = {cv::COLOR_BayerBG2BGR, cv::COLOR_BayerRG2BGR, cv::COLOR_BayerGB2BGR,
                                cv::COLOR_BayerGR2BGR};
    cv::Mat colour;
    cv::cvtColor(raw, colour, codes[data.model.at(1) - '0']);
    return colour;
}

// The largest star of at most 2000 pixels, as a blob of the source less its starless picture
// brighter than 100 in grey.
cv::Rect largestStar(const cv::Mat& stars) {
    cv::Mat grey, mask, labels, stats, centroids;
    cv::cvtColor(stars, grey, cv::COLOR_BGR2GRAY);
    cv::threshold(grey, mask, 100, 255, cv::THRESH_BINARY);
    const int count = cv::connectedComponentsWithStats(mask, labels, stats, centroids, 8);
    int best = 0;
    for (int i = 1; i < count; ++i) {
        const int area = stats.at<int>(i, cv::CC_STAT_AREA);
        if (area <= 2000 && (best == 0 || area > stats.at<int>(best, cv::CC_STAT_AREA)))
            best = i;
    }
    if (best == 0)
        return {};
    return {stats.at<int>(best, cv::CC_STAT_LEFT), stats.at<int>(best, cv::CC_STAT_TOP),
            stats.at<int>(best, cv::CC_STAT_WIDTH), stats.at<int>(best, cv::CC_STAT_HEIGHT)};
}

// The column of the light's centre in one channel over the rows of `box`, within `reach`
// columns either side of it.
double centroidX(const cv::Mat& channel, const cv::Rect& box, int reach) {
    const cv::Rect window = cv::Rect(box.x - reach, box.y, box.width + 2 * reach, box.height) &
                            cv::Rect(0, 0, channel.cols, channel.rows);
    double sum = 0, moment = 0;
    for (int y = window.y; y < window.y + window.height; ++y)
        for (int x = window.x; x < window.x + window.width; ++x) {
            sum += channel.at<uchar>(y, x);
            moment += double(x) * channel.at<uchar>(y, x);
        }
    return sum > 0 ? moment / sum : -1;
}

} // namespace

class TestMake3D : public QObject {
    Q_OBJECT
private slots:
    void formats();
    void abort();
    void faults_data();
    void faults();
};

void TestMake3D::formats() {
    Converting c;
    QVERIFY(installStarless(c.e2e.driveRoot()));
    QVERIFY(c.takeFrame());
    // The sensor's 1920 x 1080, cut to multiples of 16 as the camera is opened.
    cv::Mat frame;
    dataOf(c.e2e.dataPath(source), &frame);
    const int w = frame.cols, h = frame.rows;
    QCOMPARE(w, 1920);

    struct Format {
        const char* button;
        const char* suffix;
        cv::Size size;
    };
    const Format formats[] = {{"pushButton", "_sbs.tif", {2 * w, h}},
                              {"pushButton_2", "_sbsh.tif", {w, h}},
                              {"pushButton_3", "_ana.tif", {w, h}}};
    for (const Format& format : formats) {
        c.showFile(source);
        c.e2e.messages.clear();
        QVERIFY(c.e2e.press("pushButton_86"));
        QVERIFY(c.dialog());
        if (format.suffix == formats[0].suffix)
            saveScreenshot(c.dialog(), "Conv3DDialog in the main window");
        for (const char* button : {format.button, "pushButton_4", "pushButton_9", "pushButton_7"})
            Converting::click(c.dialog(), button);
        QVERIFY(c.e2e.runUntil([&] { return c.box() != nullptr; }));
        if (format.suffix == formats[0].suffix)
            saveScreenshot(c.box(), "Make3D box");
        QVERIFY(c.e2e.runUntil([&] { return !c.make3d().inProgress(); }));
        QVERIFY(!c.box());
        QCOMPARE(c.e2e.messages, QStringList{"3D化します。続行しますか?"});
        const QString name = "M00001" + QString(format.suffix);
        cv::Mat image;
        const ShootingData data = dataOf(c.output(format.suffix), &image);
        QCOMPARE(image.channels(), 3);
        QCOMPARE(image.cols, format.size.width);
        QCOMPARE(image.rows, format.size.height);
        QVERIFY(data.model.startsWith("C"));
        QCOMPARE(c.folder().files().count(name), 1);
        QCOMPARE(c.folder().currentName(), name);
    }
    saveScreenshot(&c.e2e.window(), "MainWindow 3D file");
    const QByteArray settings = bytesOf(HostPath::toHost("C:\\OrlentVesperixIni\\Vesperix.ini"));
    for (const char* line : {"\n_3dfor 2\n", "\n_3ddep 0\n", "\n_3dstr 1\n"})
        QVERIFY2(settings.contains(line), line);

    // In the anaglyph less the starless picture the largest star is in red (the left view)
    // trunc(0.005 W) to the right and in cyan (the right view) as far to the left.
    const cv::Mat colour = colourOf(c.e2e.dataPath(source));
    const cv::Mat starless =
        cv::imread(HostPath::toHost(starlessFolder + "\\make3dfile_bak.tif").toStdString());
    QCOMPARE(starless.size(), colour.size());
    cv::Mat stars, anaglyph, views;
    cv::subtract(colour, starless, stars);
    const cv::Rect star = largestStar(stars);
    QVERIFY(!star.empty());
    cv::subtract(colourOf(c.output("_ana.tif")), starless, views);
    cv::Mat channels[3];
    cv::split(views, channels);
    const int shift = int(0.005 * w);
    const double red = centroidX(channels[2], star, 2 * shift);
    const double cyan = centroidX(channels[1], star, 2 * shift);
    qInfo("largest star %d x %d at (%d, %d): red %.2f, cyan %.2f", star.width, star.height, star.x,
          star.y, red, cyan);
    QVERIFY(std::abs(red - cyan - 2 * shift) < 0.5);

    // One quarter turn of the view: the file is turned the same way. The old file goes for the
    // new one, listed once.
    c.showFile(source);
    QVERIFY(c.e2e.press("pushButton_74"));
    QCOMPARE(c.e2e.program().display().view().displayRotation, 1);
    c.e2e.messages.clear();
    QVERIFY(c.convert({"pushButton"}));
    QCOMPARE(c.e2e.messages, (QStringList{"3D化します。続行しますか?",
                                          "3D化ファイルは既に存在します。上書きしますか?"}));
    cv::Mat turned;
    dataOf(c.output("_sbs.tif"), &turned);
    QCOMPARE(turned.cols, 2 * h);
    QCOMPARE(turned.rows, w);
    QCOMPARE(c.folder().files().count("M00001_sbs.tif"), 1);

    // "いいえ": the file stays as it was, and StarNet++ does not run.
    const QByteArray before = bytesOf(c.output("_sbs.tif"));
    QFile::remove(HostPath::toHost(starlessFolder + "\\make3dfile_org.tif"));
    UserPrompt::setQuestionHandler([&](const QString& question) {
        c.e2e.messages << question;
        return question != QStringLiteral("3D化ファイルは既に存在します。上書きしますか?");
    });
    c.showFile(source);
    QVERIFY(c.convert({"pushButton"}));
    QVERIFY(c.e2e.messages.contains("3D化ファイルは既に存在します。上書きしますか?"));
    QCOMPARE(bytesOf(c.output("_sbs.tif")), before);
    QVERIFY(!QFile::exists(HostPath::toHost(starlessFolder + "\\make3dfile_org.tif")));
    QCOMPARE(c.folder().files().count("M00001_sbs.tif"), 1);
}

// "中断" while StarNet++ works: it and its child go, a process of someone else's lives on, and
// nothing is written; meanwhile the main loop went on.
void TestMake3D::abort() {
    Converting c;
    installFakeStarless(c.e2e.driveRoot(), "sleep 300 &\n"
                                           "printf '%s %s\\n' $$ $! > \"$VESPERIX_DRIVES/pids\"\n"
                                           "wait");
    QVERIFY(c.storeFrame(cv::Mat(48, 64, CV_16UC1, cv::Scalar(20000))));
    QProcess bystander;
    bystander.start("sleep", {"300"});
    QVERIFY(bystander.waitForStarted());
    QVERIFY(c.choose({}));
    QFile pids(c.e2e.driveRoot() + "/pids");
    QVERIFY(c.e2e.runUntil([&] { return pids.size() > 0; }));
    QVERIFY(pids.open(QIODevice::ReadOnly));
    const QList<QByteArray> ids = pids.readAll().simplified().split(' ');
    QCOMPARE(ids.size(), 2);
    c.e2e.runFor(2000);
    MessageDialog* box = c.box();
    QVERIFY(box);
    QCOMPARE(box->text(), QString("解析中"));
    QVERIFY(c.answers());
    Converting::click(box, "pushButton");
    QVERIFY(c.e2e.runUntil(
        [&] { return !alive(ids[0].toLongLong()) && !alive(ids[1].toLongLong()); }, 10000));
    QVERIFY(c.e2e.log.contains("plate end"));
    QCOMPARE(bystander.state(), QProcess::Running);
    bystander.kill();
    bystander.waitForFinished();
    QVERIFY(!c.make3d().inProgress());
    QVERIFY(!c.box());
    QCOMPARE(c.outputs(), QStringList());
}

void TestMake3D::faults_data() {
    QTest::addColumn<QByteArray>("fake");  // the stand-in's body; none: not installed
    QTest::addColumn<QString>("prepared"); // what the case does to the files first
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("log"); // the start of a line the conversion logs
    const QByteArray copy = "cp \"$1\" \"$2\"";
    const QString unreadable = "bak-file read error";
    QTest::newRow("no StarNet++") << QByteArray() << ""
                                  << "StarNet2がインストールされていません"
                                  << "";
    QTest::newRow("ends without output") << QByteArray("exit 0") << ""
                                         << "" << unreadable;
    QTest::newRow("fails") << QByteArray("echo failed >&2; exit 3") << ""
                           << "" << unreadable;
    QTest::newRow("garbage") << QByteArray("printf 'no picture' > \"$2\"") << ""
                             << "" << unreadable;
    QTest::newRow("another size") << QByteArray("cp \"$VESPERIX_DRIVES/small.tif\" \"$2\"")
                                  << "small"
                                  << "" << unreadable;
    // The last run's starless picture is no answer to this one.
    QTest::newRow("last run's output") << QByteArray("exit 0") << "stale"
                                       << "" << unreadable;
    QTest::newRow("input not writable") << copy << "input blocked"
                                        << ""
                                        << "file open error make3d";
    QTest::newRow("source gone") << copy << "source gone"
                                 << ""
                                 << "file cannot open C:\\VesperixData\\M00001.tif";
    QTest::newRow("source unreadable") << copy << "source garbage"
                                       << ""
                                       << "file format error C:\\VesperixData\\M00001.tif";
    // "はい" to overwriting, and the new file cannot be written: the old one stays, listed.
    QTest::newRow("disk full") << copy << "disk full"
                               << ""
                               << "Binary file write error";
    QTest::newRow("rebuild fails") << QByteArray("exit 0") << "old output"
                                   << "" << unreadable;
}

// Each fault: its log line, the box gone, no new file, and a window that answers. A 3D file
// there before stays as it was, listed once.
void TestMake3D::faults() {
    QFETCH(QByteArray, fake);
    QFETCH(QString, prepared);
    QFETCH(QString, message);
    QFETCH(QString, log);
    Converting c;
    if (!fake.isEmpty())
        installFakeStarless(c.e2e.driveRoot(), fake);
    QVERIFY(c.storeFrame(cv::Mat(48, 64, CV_16UC1, cv::Scalar(20000))));
    const QString folder = c.e2e.driveRoot() + "/C/StarNetv2CLI_Win";
    const cv::Mat small(8, 8, CV_8UC3, cv::Scalar(9, 9, 9));
    QStringList before;
    QByteArray old;
    if (prepared == "small") {
        QVERIFY(cv::imwrite((c.e2e.driveRoot() + "/small.tif").toStdString(), small));
    } else if (prepared == "stale") {
        QVERIFY(cv::imwrite((folder + "/make3dfile_bak.tif").toStdString(),
                            cv::Mat(48, 64, CV_8UC3, cv::Scalar(9, 9, 9))));
    } else if (prepared == "input blocked") {
        QVERIFY(QDir().mkpath(folder + "/make3dfile_org.tif/in the way"));
    } else if (prepared == "source gone") {
        QVERIFY(QFile::remove(c.e2e.dataPath(source)));
    } else if (prepared == "source garbage") {
        QVERIFY(QFile(c.e2e.dataPath(source)).open(QIODevice::WriteOnly | QIODevice::Truncate));
    } else if (prepared == "disk full" || prepared == "old output") {
        ShootingData data;
        data.model = "C0SVBONY SV305";
        cv::Mat samples;
        small.convertTo(samples, CV_16U, 257);
        QCOMPARE(writeTiff("C:\\VesperixData\\M00001_sbs.tif", samples, data), 1);
        c.folder().addFile("M00001_sbs.tif");
        c.showFile(source);
        before = QStringList{"M00001_sbs.tif"};
        old = bytesOf(c.output("_sbs.tif"));
    }

    c.e2e.messages.clear();
    if (message.isEmpty()) {
        // The 3D file, a little over 36 KiB, finds the disk full; what comes before is smaller.
        std::optional<FileSizeLimit> full;
        if (prepared == "disk full")
            full.emplace(30000);
        QVERIFY(c.convert({}));
    } else {
        QVERIFY(c.e2e.press("pushButton_86"));
        QCOMPARE(c.e2e.messages, QStringList{message});
        QVERIFY(!c.dialog());
    }
    if (!log.isEmpty()) {
        const QStringList lines = c.e2e.log.lines();
        QVERIFY2(std::any_of(lines.begin(), lines.end(),
                             [&](const QString& line) { return line.startsWith(log); }),
                 qPrintable(lines.join('\n')));
    }
    QVERIFY(!c.make3d().inProgress());
    QVERIFY(!c.box());
    QCOMPARE(c.outputs(), before);
    if (!before.isEmpty()) {
        QCOMPARE(bytesOf(c.output("_sbs.tif")), old);
        QCOMPARE(c.folder().files().count("M00001_sbs.tif"), 1);
    }
    QVERIFY(c.answers());
}

QTEST_MAIN(TestMake3D)
#include "tst_make3d.moc"
