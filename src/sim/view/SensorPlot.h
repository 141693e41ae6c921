#pragma once

// The sensor plot of the simulator panel: the inputs PC0..PC4, MIC, ADC0..ADC7 and the two
// wheel speeds against simulated time, as the run's sensor recorder holds them. The pupil ticks
// the series to show, pauses the plot while the run goes on, zooms with the mouse wheel around
// the time under the pointer, shows the whole record again with Fit or a double-click, and
// saves the record as CSV (the columns of `zolvane run --log`) or the plot as a PNG picture.
//
// The samples stay in the recorder (which keeps its own size bounded); the plot paints the
// span its view (sim::TPlotView) shows, one column of pixels at a time: each column draws the
// least and the most value of the samples that fall in it, so a long span costs no more than
// the pixels it covers and no peak is lost.

#include "files/Result.h"
#include "sim/PlotView.h"
#include "sim/SensorRecorder.h"

#include <QString>
#include <QWidget>
#include <array>

class QCheckBox;
class QPainter;
class QPushButton;

class TSensorPlot : public QWidget {
    Q_OBJECT
public:
    // The series: the inputs TInput::Pc0 .. TInput::Adc7 in order, then the left and the right
    // wheel's speed.
    static constexpr int kSeriesCount = static_cast<int>(sim::kSampledInputs) + 2;
    static constexpr int kLeftWheel = kSeriesCount - 2;
    static constexpr int kRightWheel = kSeriesCount - 1;

    explicit TSensorPlot(const sim::TSensorRecorder& recorder, QWidget* parent = nullptr);

    // New samples may be in the record (or it was cleared): the view follows unless paused.
    void refresh();

    QString seriesName(int series) const;
    bool seriesShown(int series) const;
    void setSeriesShown(int series, bool shown);
    void setPaused(bool paused);
    bool paused() const { return m_view.paused(); }
    void fit();
    // Zooms around the time by factor (below 1 in, above 1 out).
    void zoomAt(std::int64_t atUs, double factor);
    sim::TPlotSpan visibleSpan() const { return m_view.span(); }

    // The widget that paints the plot, and the time at one of its x coordinates.
    QWidget* canvas() const { return m_canvas; }
    std::int64_t timeAt(int x) const;

    // The record as CSV; the plot as a PNG picture of the canvas's size. Each file is written
    // beside its name and put in its place once complete; the error names the file.
    files::TStatus saveCsv(const QString& fileName) const;
    files::TStatus savePng(const QString& fileName) const;

    // Paints the plot into the area (the canvas paints itself with it).
    void paintPlot(QPainter& painter, const QRect& area) const;

private:
    void buildControls();
    // Save: asks for a CSV or PNG file name and saves.
    void SaveButtonClick();
    QRect plotArea(const QRect& area) const;

    const sim::TSensorRecorder& m_recorder;
    sim::TPlotView m_view;
    std::array<bool, kSeriesCount> m_shown{};
    QWidget* m_canvas = nullptr;
    QPushButton* m_pauseButton = nullptr;
    QPushButton* m_fitButton = nullptr;
    QPushButton* m_saveButton = nullptr;
    std::array<QCheckBox*, kSeriesCount> m_boxes{};
};
