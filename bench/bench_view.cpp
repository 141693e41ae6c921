// One frame of the chart canvas, painted offscreen, on a chart of 10,000 blocks (about 50,000
// canvas objects and 20,000 lines): a viewport-sized frame at the top and one in the middle, at
// 100 % and at 25 % zoom (sixteen times the canvas on screen, the most the view shows).
#include "canvas/view/FlowChartView.h"
#include "chart/Chart.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <memory>
#include <string>

namespace {

constexpr int kBlocks = 10000;
// The canvas of the main window at start: 282 wide, the window's height under the toolbar.
constexpr int kViewWidth = 282;
constexpr int kViewHeight = 700;

QImage robotPicture() {
    QImage image(32, 31, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setBrush(QColor(255, 148, 33));
    p.drawRoundedRect(2, 6, 28, 22, 4, 4);
    return image;
}

struct Scene {
    TFlowChartView view;
    TChart chart{view.chart()};

    Scene() {
        view.setPictures({robotPicture()});
        view.resize(kViewWidth, kViewHeight);
        chart.NewChart();
        view.chart().BeginUpdate();
        // Every block type of the palette, in turn (7 and 8 are not block types).
        int type = 1;
        for (int i = 0; i < kBlocks; ++i) {
            chart.AppendBlock(type);
            type = type % 26 + 1;
            if (type == 7)
                type = 9;
        }
        chart.Relayout();
        view.chart().EndUpdate();
        view.show();
        QApplication::processEvents();
    }
};

// Built on first use, destroyed before the application object.
std::unique_ptr<Scene> g_scene;

Scene& scene() {
    if (!g_scene)
        g_scene = std::make_unique<Scene>();
    return *g_scene;
}

void paintFrame(benchmark::State& state, double where, double zoom) {
    Scene& s = scene();
    s.view.setZoom(zoom);
    const TFcRect lim = s.view.chart().ScrollLimits();
    s.view.chart().ScrollTo(0, lim.top + static_cast<int>((lim.bottom - lim.top) * where));
    QApplication::processEvents();
    QWidget* vp = s.view.viewport();
    QImage frame(vp->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        vp->render(&frame);
        benchmark::DoNotOptimize(frame.constBits());
    }
    state.counters["objects"] = s.view.chart().ObjectCount();
    state.counters["lines"] = s.view.chart().ConnectionCount();
    const TFcPoint top = s.view.chart().ScrollPos();
    const TFcSize client = s.view.chart().ClientSize();
    state.counters["on_screen"] = static_cast<double>(
        s.view.chart()
            .ObjectsIn({top.x, top.y, top.x + client.width, top.y + client.height})
            .size());
}

void BM_PaintFrameTop(benchmark::State& state) {
    paintFrame(state, 0.0, 1.0);
}
BENCHMARK(BM_PaintFrameTop)->Unit(benchmark::kMillisecond);

void BM_PaintFrameMiddle(benchmark::State& state) {
    paintFrame(state, 0.5, 1.0);
}
BENCHMARK(BM_PaintFrameMiddle)->Unit(benchmark::kMillisecond);

void BM_PaintFrameTopAt25Percent(benchmark::State& state) {
    paintFrame(state, 0.0, 0.25);
}
BENCHMARK(BM_PaintFrameTopAt25Percent)->Unit(benchmark::kMillisecond);

void BM_PaintFrameMiddleAt25Percent(benchmark::State& state) {
    paintFrame(state, 0.5, 0.25);
}
BENCHMARK(BM_PaintFrameMiddleAt25Percent)->Unit(benchmark::kMillisecond);

// One frame of a small chart whose one block holds a caption of state.range(0) bytes (a hand-
// edited file can hold any length): the frame should cost the same for any length.
void BM_PaintFrameLongCaption(benchmark::State& state) {
    TFlowChartView view;
    TChart chart{view.chart()};
    view.setPictures({robotPicture()});
    view.resize(kViewWidth, kViewHeight);
    chart.NewChart();
    TFcObject* block = chart.AppendBlock(20);
    std::string caption = "Expression:";
    while (caption.size() < static_cast<std::size_t>(state.range(0)))
        caption += "A=A+1 B=B*2 ";
    chart.SetBlockHeight(block, 40);
    block->SetText(caption);
    chart.Relayout();
    view.show();
    QApplication::processEvents();
    QWidget* vp = view.viewport();
    QImage frame(vp->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        vp->render(&frame);
        benchmark::DoNotOptimize(frame.constBits());
    }
}
BENCHMARK(BM_PaintFrameLongCaption)
    ->Arg(20)
    ->Arg(1000)
    ->Arg(1 << 20)
    ->Arg(10 << 20)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_scene.reset();
    return 0;
}
