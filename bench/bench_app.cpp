// The editor window as a user meets it: start-up to the first painted window,
// and a palette insert at the first spot of a 10,000-block chart with layout
// and repaint. Also reports the process's peak memory holding that chart.
#include "app/ChartEditing.h"
#include "app/NavBar.h"
#include "app/Unit1.h"
#include "canvas/view/FlowChartView.h"
#include "chart/Chart.h"
#include "records/BlockCatalog.h"

#include <QAction>
#include <QApplication>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QWidget>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

long peakMemoryKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Construct the window, show it and paint it once.
void BM_StartupToFirstPaint(benchmark::State& state) {
    for (auto _ : state) {
        TForm1 form;
        form.show();
        form.repaint();
        QApplication::processEvents();
        benchmark::DoNotOptimize(form.grab());
        state.PauseTiming();
        form.hide();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupToFirstPaint)->Unit(benchmark::kMillisecond)->UseRealTime();

// A window holding a 10,000-block chart with the first spot selected.
struct LargeChartWindow {
    TForm1 form;
    TChart& chart = form.chart();
    TFlowChart& canvas = form.flowChart()->chart();
    TFcObject* firstMarker = nullptr;
    LargeChartWindow() {
        form.show();
        for (int i = 0; i < 10000; ++i)
            chart.AppendBlock(1 + i % 6);
        chart.Relayout();
        QApplication::processEvents();
        firstMarker = canvas.SelectedObject();
    }
    void paint() { form.flowChart()->viewport()->repaint(); }
    void undo() { form.editing().undoAction()->trigger(); }
    void redo() { form.editing().redoAction()->trigger(); }
};

// A palette click at the first spot of a 10,000-block chart, with layout and a
// painted frame; the insert is undone again outside the timing.
void BM_PaletteInsertFirstSpot(benchmark::State& state) {
    LargeChartWindow w;
    for (auto _ : state) {
        emit w.form.palette()->itemClicked(5);
        w.paint();
        state.PauseTiming();
        w.undo();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["peak_MiB"] = static_cast<double>(peakMemoryKiB()) / 1024.0;
}
BENCHMARK(BM_PaletteInsertFirstSpot)->Unit(benchmark::kMillisecond)->UseRealTime();

// Undo of an insert at the first spot of a 10,000-block chart, with a painted frame.
void BM_UndoInsertFirstSpot(benchmark::State& state) {
    LargeChartWindow w;
    emit w.form.palette()->itemClicked(5);
    for (auto _ : state) {
        w.undo();
        w.paint();
        state.PauseTiming();
        w.redo();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_UndoInsertFirstSpot)->Unit(benchmark::kMillisecond)->UseRealTime();

// Redo of the same insert, with a painted frame.
void BM_RedoInsertFirstSpot(benchmark::State& state) {
    LargeChartWindow w;
    emit w.form.palette()->itemClicked(5);
    w.undo();
    for (auto _ : state) {
        w.redo();
        w.paint();
        state.PauseTiming();
        w.undo();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RedoInsertFirstSpot)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    // The windows' autosaves stay out of the user's data folder.
    QTemporaryDir data;
    if (data.isValid())
        qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
