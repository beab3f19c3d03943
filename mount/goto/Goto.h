#pragma once

#include "GotoActions.h"
#include "GotoPad.h"

#include <QDialog>
#include <QPoint>
#include <functional>
#include <memory>

class QPushButton;
class Recommend;
class PlateSolve;
class SkyChart;
struct CatalogObject;
struct StarCatalog;
struct ProcessState;
class PositionUpdate;

namespace Ui {
class Goto;
}

// The goto window: the sky chart about a centre, the choice of an object on it (by touch, a
// first-magnitude star, a catalogue number or a showpiece list), and sync, goto, stop, HOME
// and the declination-direction check on that object.
class Goto : public QDialog {
    Q_OBJECT
public:
    Goto(ProcessState& state, PositionUpdate& positions, QWidget* parent = nullptr);
    ~Goto() override;

    GotoActions& actions() { return goto_; }
    PlateSolve& plateSolve() { return *solve; }
    // The chart, when the catalogues are loaded.
    const SkyChart* chart() const { return skyChart.get(); }

    // The controller's presses for this window: the chart pans a tenth of itself for each
    // D-pad press or left-stick poll, or, while the showpiece list is open, the D-pad moves
    // through that list instead.
    void serveGamepad(const GotoPad& pad);
    // Serves the controller while a dialog of this window runs its own loop; set by the
    // program.
    std::function<void()> gamepadPass;
    // "デジカメ" (digital-camera mode only): the program opens the digital camera's settings.
    std::function<void()> digicamAction;
    // The settings changed what the frames look like: the marks are drawn again.
    void showFieldFrames() { showMarks(); }

    // However the window is left (終了, Esc, the title bar): the scope position is kept, and
    // the window goes.
    void done(int result) override;

private slots:
    void on_pushButton_18_clicked();
    void on_pushButton_19_clicked();
    void on_pushButton_20_clicked();
    void on_pushButton_22_clicked();
    void on_pushButton_23_clicked();
    void on_pushButton_24_clicked();
    void on_pushButton_30_clicked();
    void on_pushButton_31_clicked();
    void on_pushButton_12_clicked();
    void on_pushButton_clicked();
    void on_pushButton_26_clicked();
    void on_pushButtonPlateExpUp_clicked();
    void on_pushButtonPlateExpDown_clicked();
    void on_pushButtonZoomIn_clicked();
    void on_pushButtonZoomOut_clicked();
    void on_pushButtonFirstStar_clicked();
    void on_pushButtonMessierNumber_clicked();
    void on_pushButtonIcNumber_clicked();
    void on_pushButtonNgcNumber_clicked();
    void on_pushButtonRecommend_clicked();
    void on_pushButtonFieldFrame_clicked();
    void on_pushButtonDigicame_clicked();

private:
    void showDecDir();
    void connectLayerSwitches();
    void connectChartTouch();
    void showLayerSwitches();
    void showViewDirection();
    void showFieldFrameSwitch();
    // The whole chart, then its marks.
    void redraw();
    // The marks over the kept chart: the half-second refresh.
    void showMarks();
    void touchChoice(QPoint at);
    // The chart's centre moves to the sky under the centre's pixel plus the offset, so that
    // a pan goes over the pole and across RA 0 as the sky does.
    void panChart(double dx, double dy);
    // The object becomes the chart's centre and the picked object.
    void centreOn(double ra, double dec);
    // The object of the number typed on the keypad, when the catalogue holds it.
    void centreOnNumber(const QString& caption,
                        const CatalogObject* (StarCatalog::*find)(int) const);

    Ui::Goto* ui;
    ProcessState& state;
    GotoActions goto_;
    std::unique_ptr<SkyChart> skyChart;
    std::unique_ptr<PlateSolve> solve;
    Recommend* openRecommend = nullptr; // the showpiece list while its loop runs
};
