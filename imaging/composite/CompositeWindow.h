#pragma once

#include "CompositeView.h"

#include <QDialog>
#include <QSize>
#include <QTimer>
#include <array>
#include <functional>
#include <opencv2/core.hpp>

class QSlider;
struct SettingsRecord;

namespace Ui {
class CompositeWindow;
}

// The composite window: the running composite as retouched, its magnified centre, the report,
// the colour balance and tone curve, and how strictly frames are excluded. The stacking is the
// owner's: saving, taking back a frame and closing go to the hooks it sets.
class CompositeWindow : public QDialog, public CompositeView {
    Q_OBJECT
public:
    static constexpr QSize fullSize{1280, 740};
    static constexpr QSize reducedSize{800, 260};

    // Retouch values and exclusion condition from the settings record; full size, 31 pixels
    // below the parent window. The rotation icons come from the program folder's PNG folder.
    CompositeWindow(SettingsRecord& settings, const QString& programFolder,
                    QWidget* parent = nullptr);
    ~CompositeWindow() override;

    void showComposite(const QString& baseName, int frameCount) override;
    // Holds the image, without copying it, until it is drawn: once the events of the current
    // pass are through, like every retouch change, however many came in it. The composite's
    // owner writes a new mean only into a buffer nobody else holds.
    void showImage(const cv::Mat& composite) override;
    void appendReport(const QString& line) override;
    void setReport(const QStringList& lines) override;
    QStringList report() const override;
    RetouchValues retouch() const override { return values; }
    void setUnsaved(bool unsaved) override { unsavedFrames = unsaved; }

    // "保存": saves the composite; true when it was written.
    std::function<bool()> saveRequested;
    // "1枚キャンセル": takes the last frame back out of the composite.
    std::function<void()> takeBackRequested;
    // The window is done with (the retouch values are in the settings record): the owner
    // forgets it and deletes it later (deleteLater, since this is called from its own slot).
    std::function<void()> closed;

    // While the owner adds a frame (and lets events in meanwhile), saving and taking back are
    // held, and a close waits until the frame is in.
    void setBusy(bool busy);

    // The capture's status during a series (the time left of the exposure or interval).
    void showTimeText(const QString& text);
    int rotationStep() const { return rotation; }
    // The 8-bit picture in the main view: retouched, turned and scaled.
    const cv::Mat& retouchedView() const { return view; }

public slots:
    // "閉じる"; the title bar's close and Escape come here too.
    void reject() override;

private slots:
    void on_pushButton_2_clicked();
    void on_pushButton_clicked();
    void on_pushButton_3_clicked();
    void on_rSlider_valueChanged(int value);
    void on_gSlider_valueChanged(int value);
    void on_bSlider_valueChanged(int value);
    void on_lXSlider_valueChanged(int value);
    void on_lYSlider_valueChanged(int value);
    void on_hXSlider_valueChanged(int value);
    void on_hYSlider_valueChanged(int value);
    void on_pushButton_4_clicked();
    void on_pushButton_8_clicked();
    void on_pushButton_9_clicked();
    void on_pushButton_5_clicked();
    void on_pushButton_6_clicked();
    void on_pushButton_7_clicked();
    void on_pushButton_10_clicked();
    void on_pushButton_11_clicked();
    void on_pushButton_12_clicked();
    void on_pushButton_13_clicked();
    void on_pushButton_14_clicked();
    void on_pushButton_15_clicked();
    void on_pushButton_16_clicked();
    void on_pushButton_17_clicked();
    void on_pushButton_18_clicked();
    void on_pushButton_19_clicked();
    void on_pushButton_20_clicked();
    void on_pushButton_21_clicked();
    void on_pushButton_22_clicked();
    void on_pushButton_23_clicked();
    void on_pushButton_74_clicked();

private:
    using Histograms = std::array<std::array<int, 256>, 3>; // blue, green, red

    void loadRetouch();
    void stepLevel(int& level, int delta);
    void stepCurve(int RetouchValues::*point, int delta);
    bool curveAccepts(const RetouchValues& candidate) const;
    void takeCurvePoint(int RetouchValues::*point, int value, QSlider* slider);
    void showRetouch();
    void showCondition();
    void showRotateIcon();
    bool save();
    void scheduleRedraw();
    void makeHighBytes();
    void redraw();
    void drawToneCurve(const Histograms& histograms);

    Ui::CompositeWindow* ui;
    SettingsRecord& settings;
    const QString programFolder;
    RetouchValues values;
    bool unsavedFrames = false;
    bool reduced = false;
    int rotation = 0;
    bool busy = false;
    bool closePending = false;
    bool closing = false;

    QTimer redrawTimer;
    cv::Mat composite;               // until it is drawn
    cv::Mat highByte;                // the composite's high bytes, made again only for a new image
    Histograms highByteHistograms{}; // a one-channel image counts into the first
    bool imageChanged = false;
    cv::Mat view;
};
