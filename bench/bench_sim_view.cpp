// One frame of the simulator panel with a program running, as the panel's timer drives it at
// about 60 frames a second: the simulation advanced by the frame's simulated time (16 ms at
// x1, 256 ms at x16), the panel's labels and the plot's view brought up to date, then the floor
// and the sensor plot painted into offscreen images of their size on screen. A frame must take
// well under 16.7 ms for 60 frames a second to fit in one core.
//
// The program follows the line of the line track without waiting, a statement every simulated
// millisecond, for ever. Fresh: the record is short. After an hour: the recorder is full (it
// has thinned to its capacity) and the plot, fitted, paints every sample it holds; zoomed, a
// few seconds of them.
#include "sim/view/FloorView.h"
#include "sim/view/SensorPlot.h"
#include "sim/view/SimulatorPanel.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

std::vector<std::string> lineFollower() {
    const char* statements[] = {"ZOLVANE",       "IF PC0=1 THEN 60", "IF PC2=1 THEN 80",
                                "MOTOR 150,150", "GOTO 20",          "MOTOR 40,150",
                                "GOTO 20",       "MOTOR 150,40",     "GOTO 20"};
    std::vector<std::string> lines;
    int number = 10;
    for (const char* s : statements) {
        lines.push_back(std::to_string(number) + " REM \"" + s + "\"");
        number += 10;
    }
    return lines;
}

struct TScene {
    std::unique_ptr<TSimulatorPanel> panel;
    TSensorPlot* plot = nullptr;
    QImage floor;
    QImage chart;

    TScene() {
        TSimulatorPanel::THooks hooks;
        hooks.programLines = lineFollower;
        hooks.textIsStale = [] { return false; };
        hooks.showLine = [](std::optional<std::size_t>) {};
        panel = std::make_unique<TSimulatorPanel>(nullptr, std::move(hooks),
                                                  std::vector<std::string>{});
        panel->findChild<QComboBox*>("SimFloorList")->setCurrentIndex(1); // the line track
        panel->resize(1000, 760);
        panel->show();
        QApplication::processEvents();
        plot = panel->sensorPlot();
        floor = QImage(panel->floorView()->size(), QImage::Format_RGB32);
        chart = QImage(plot->canvas()->size(), QImage::Format_RGB32);
    }

    // Starts the program over, at the speed, run on for the simulated time first.
    void start(double speed, std::int64_t beforeUs) {
        panel->setSpeed(speed);
        panel->reset();
        panel->simulator().runFor(beforeUs);
        plot->fit();
    }
    void frame() {
        panel->advanceFrame();
        panel->floorView()->render(&floor);
        plot->canvas()->render(&chart);
    }
};

std::unique_ptr<TScene> g_scene;

TScene& scene() {
    if (!g_scene)
        g_scene = std::make_unique<TScene>();
    return *g_scene;
}

constexpr std::int64_t kHour = 3600LL * 1'000'000;

void runFrames(benchmark::State& state, double speed, std::int64_t beforeUs, double zoom) {
    TScene& s = scene();
    s.start(speed, beforeUs);
    if (zoom != 1)
        s.plot->zoomAt(s.panel->simulator().timeUs(), zoom);
    for (auto _ : state) {
        s.frame();
        if (s.panel->simulator().finished())
            state.SkipWithError("the program ended");
    }
    state.counters["samples"] = static_cast<double>(s.panel->sensorRecorder().samples().size());
    state.counters["sim_s"] = static_cast<double>(s.panel->simulator().timeUs()) / 1e6;
}

// A run just begun, at real time.
void BM_PanelFrameFresh(benchmark::State& state) {
    runFrames(state, 1, 0, 1);
}
BENCHMARK(BM_PanelFrameFresh)->Unit(benchmark::kMillisecond);

// After an hour of simulated time: the record full, the whole of it in view.
void BM_PanelFrameAfterAnHour(benchmark::State& state) {
    runFrames(state, 1, kHour, 1);
}
BENCHMARK(BM_PanelFrameAfterAnHour)->Unit(benchmark::kMillisecond);

// The same, zoomed in on the last ten seconds or so.
void BM_PanelFrameAfterAnHourZoomed(benchmark::State& state) {
    runFrames(state, 1, kHour, 10.0 / 3600);
}
BENCHMARK(BM_PanelFrameAfterAnHourZoomed)->Unit(benchmark::kMillisecond);

// Sixteen times real time: 256 ms of simulated time a frame.
void BM_PanelFrameAtX16(benchmark::State& state) {
    runFrames(state, 16, kHour, 1);
}
BENCHMARK(BM_PanelFrameAtX16)->Unit(benchmark::kMillisecond);

// The parts of a frame after an hour, on their own.
void BM_PanelAdvanceOnlyAfterAnHour(benchmark::State& state) {
    TScene& s = scene();
    s.start(1, kHour);
    for (auto _ : state)
        s.panel->advanceFrame();
}
BENCHMARK(BM_PanelAdvanceOnlyAfterAnHour)->Unit(benchmark::kMillisecond);

void BM_FloorPaintOnlyAfterAnHour(benchmark::State& state) {
    TScene& s = scene();
    s.start(1, kHour);
    s.panel->advanceFrame();
    for (auto _ : state)
        s.panel->floorView()->render(&s.floor);
}
BENCHMARK(BM_FloorPaintOnlyAfterAnHour)->Unit(benchmark::kMillisecond);

void BM_PlotPaintOnlyAfterAnHour(benchmark::State& state) {
    TScene& s = scene();
    s.start(1, kHour);
    s.panel->advanceFrame();
    for (auto _ : state)
        s.plot->canvas()->render(&s.chart);
}
BENCHMARK(BM_PlotPaintOnlyAfterAnHour)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_scene.reset();
    return 0;
}
