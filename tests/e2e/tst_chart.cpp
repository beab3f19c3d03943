// The goto window's chart on the simulated observatory, a January evening at 139 E, 38 N:
// the views a user steps through (zenith, zoom, layers, up directions) and the choice of an
// object by touching it and from the first-magnitude stars.
#include "ChartHits.h"
#include "E2eMount.h"
#include "E2eProgram.h"
#include "FirstStarDialog.h"
#include "Goto.h"
#include "MainWindow.h"
#include "ObjectSelcter.h"
#include "ProcessState.h"
#include "Screenshot.h"
#include "SettingsRecord.h"
#include "SkyChart.h"
#include "StarCatalog.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {

E2eProgram::Options januaryEvening() {
    E2eProgram::Options options;
    options.clockStart = QDateTime(QDate(2026, 1, 15), QTime(21, 0));
    return options;
}

struct Session {
    E2eProgram e2e{januaryEvening()};
    Goto* window = nullptr;

    bool open() {
        if (!connectMount(e2e) || !e2e.press("pushButton_58"))
            return false;
        window = e2e.window().gotoWindowOpen();
        if (!window || !window->chart())
            return false;
        // As on a desktop larger than the window (the test screen is smaller).
        window->showNormal();
        window->resize(1280, 740);
        return true;
    }
    QPushButton* button(const char* name) { return window->findChild<QPushButton*>(name); }
    void press(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    QImage chart() const {
        return window->findChild<QLabel*>("chartLabel")->pixmap(Qt::ReturnByValue).toImage();
    }
    void touch(cv::Point at) {
        QLabel* label = window->findChild<QLabel*>("chartLabel");
        QTest::mousePress(label, Qt::LeftButton, {}, QPoint(at.x, at.y));
        QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(at.x, at.y));
    }
};

// Runs `act` on the modal dialog once its own event loop has started.
template <typename Dialog> void whenShown(const std::function<void(Dialog*)>& act) {
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        act(dialog);
    });
}

void pressText(QWidget* dialog, const QString& text) {
    for (QPushButton* button : dialog->findChildren<QPushButton*>())
        if (button->text() == text)
            return QTest::mouseClick(button, Qt::LeftButton);
    QFAIL(qPrintable("no button " + text));
}

bool isGreen(QRgb p) {
    return qGreen(p) > 200 && qRed(p) < 80 && qBlue(p) < 80;
}

} // namespace

class TestChart : public QObject {
    Q_OBJECT
private slots:
    void views();
    void touchPicksAnObject();
    void firstMagnitudeStar();
};

// Every layer on, the zenith at each zoom level a user steps through, then each up direction.
void TestChart::views() {
    Session s;
    QVERIFY(s.open());
    // "有名IC/NGC" also shows the well-known NGC objects: off, so that "有名NGC" shows its own.
    s.press("pushButtonFamousIcNgc");
    for (const char* layer :
         {"pushButtonMilkyWay", "pushButtonMessier", "pushButtonConstName",
          "pushButtonFamousStarName", "pushButtonAllStarName", "pushButtonFamousNgc",
          "pushButtonAllNgc", "pushButtonFamousIcNgc", "pushButtonAllIcNgc"}) {
        // Off, then on: each change redraws.
        for (int press = 0; press < 2; ++press) {
            const QImage before = s.chart();
            s.press(layer);
            QVERIFY2(s.chart() != before, layer);
        }
        if (!s.button(layer)->styleSheet().contains("color:red"))
            s.press(layer);
        QVERIFY2(s.button(layer)->styleSheet().contains("color:red"), layer);
    }
    s.press("pushButton_12"); // 天頂
    QCOMPARE(s.window->chart()->zoomLevel(), 2);
    saveScreenshot(s.window, "GotoChart level 2");
    while (s.window->chart()->zoomLevel() > 0)
        s.press("pushButtonZoomOut");
    saveScreenshot(s.window, "GotoChart level 0");
    for (int level : {6, 11}) {
        while (s.window->chart()->zoomLevel() < level)
            s.press("pushButtonZoomIn");
        saveScreenshot(s.window, QString("GotoChart level %1").arg(level));
    }
    s.press("pushButtonZoomIn");
    QCOMPARE(s.window->chart()->zoomLevel(), 11);
    while (s.window->chart()->zoomLevel() > 2)
        s.press("pushButtonZoomOut");
    QImage previous = s.chart();
    for (const char* direction : {"pushButtonViewE", "pushButtonViewS", "pushButtonViewW"}) {
        s.press(direction);
        QVERIFY2(s.chart() != previous, direction);
        previous = s.chart();
        saveScreenshot(s.window, QString("GotoChart up %1").arg(direction + 14));
    }
    s.press("pushButtonViewN");
    QCOMPARE(s.window->chart()->viewDirection(), 'N');
}

// M42 drawn off the centre: a touch on it offers the objects there, and the choice of "M42"
// picks it, marked by the green cross around its pixel.
void TestChart::touchPicksAnObject() {
    Session s;
    QVERIFY(s.open());
    s.press("pushButtonMessier");
    if (!s.button("pushButtonMessier")->styleSheet().contains("color:red"))
        s.press("pushButtonMessier");
    const CatalogObject* m42 = s.e2e.state().catalog->messierObject(42);
    QVERIFY(m42);
    GotoActions& actions = s.window->actions();
    actions.centerRa = m42->ra + 5;
    actions.centerDec = m42->dec + 3;
    s.press("pushButtonZoomIn");
    cv::Point2d at;
    QVERIFY(s.window->chart()->projection().project(m42->ra, m42->dec, &at));
    QStringList offered;
    whenShown<ObjectSelcter>([&](ObjectSelcter* dialog) {
        QListWidget* list = dialog->findChild<QListWidget*>();
        for (int row = 0; row < list->count(); ++row)
            offered << list->item(row)->text();
        list->setCurrentRow(int(offered.indexOf("M42")));
        pressText(dialog, "OK");
    });
    s.touch(cv::Point(cvRound(at.x), cvRound(at.y)));
    QVERIFY(offered.contains("M42"));
    QVERIFY(actions.pickedValid);
    QCOMPARE(actions.pickedRa, m42->ra);
    QCOMPARE(actions.pickedDec, m42->dec);
    const QImage chart = s.chart();
    const int x = cvRound(at.x), y = cvRound(at.y);
    for (const QPoint& stroke :
         {QPoint(x + 10, y), QPoint(x - 10, y), QPoint(x, y + 10), QPoint(x, y - 10)})
        QVERIFY(isGreen(chart.pixel(stroke)));
    saveScreenshot(s.window, "GotoChart M42 picked");
}

void TestChart::firstMagnitudeStar() {
    Session s;
    QVERIFY(s.open());
    whenShown<FirstStarDialog>([](FirstStarDialog* dialog) {
        saveScreenshot(dialog, "FirstStarDialog over the chart");
        pressText(dialog, "こと座 ベガ");
    });
    s.press("pushButtonFirstStar");
    const GotoActions& actions = s.window->actions();
    QVERIFY(std::abs(actions.centerRa - 279.225) < 1e-3);
    QVERIFY(std::abs(actions.centerDec - 38.7833) < 1e-3);
    QVERIFY(actions.pickedValid);
    QCOMPARE(actions.pickedRa, actions.centerRa);
}

QTEST_MAIN(TestChart)
#include "tst_chart.moc"
