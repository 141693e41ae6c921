// The editor window as a user meets it: start-up to the first painted window,
// and a palette insert at the first spot of a 10,000-block chart with layout
// and repaint. Also reports the process's peak memory holding that chart.
#include "app/NavBar.h"
#include "app/Unit1.h"
#include "canvas/view/FlowChartView.h"
#include "chart/Chart.h"
#include "records/BlockCatalog.h"

#include <QApplication>
#include <QPlainTextEdit>
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

// A palette click at the first spot of a 10,000-block chart, with layout and a
// painted frame; the block is deleted again outside the timing.
void BM_PaletteInsertFirstSpot(benchmark::State& state) {
    TForm1 form;
    form.show();
    TChart& chart = form.chart();
    for (int i = 0; i < 10000; ++i)
        chart.AppendBlock(1 + i % 6);
    chart.Relayout();
    QApplication::processEvents();
    TFlowChart& canvas = form.flowChart()->chart();
    TFcObject* firstMarker = canvas.SelectedObject();
    for (auto _ : state) {
        emit form.palette()->itemClicked(5);
        form.flowChart()->viewport()->repaint();
        state.PauseTiming();
        chart.DeleteBlock(canvas.SelectedObject());
        chart.RunPendingSelection();
        canvas.SelectObject(firstMarker);
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["peak_MiB"] = static_cast<double>(peakMemoryKiB()) / 1024.0;
}
BENCHMARK(BM_PaletteInsertFirstSpot)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
