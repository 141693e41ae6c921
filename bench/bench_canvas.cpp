// Canvas model on a chart-sized canvas: 10,000 blocks, each with its insertion spot (a base, a
// marker, two anchors, two lines), 50,000 objects and 20,000 lines in all.
#include "canvas/FlowChart.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace {

constexpr int kBlocks = 10000;

// Behaves like the painter: maps every damaged area through the scroll position.
struct NullListener : TFcListener {
    const TFlowChart* chart = nullptr;
    long long sum = 0;
    void fcInvalidate(const TFcRect& area) override {
        if (chart)
            sum += area.left - chart->ScrollPos().x;
    }
};

// Builds the column as the chart does, block and spot per step, each 32 high.
std::vector<TFcObject*> buildColumn(TFlowChart& fc) {
    std::vector<TFcObject*> objects;
    objects.reserve(kBlocks * 5);
    int top = 16;
    for (int i = 0; i < kBlocks; ++i) {
        TFcObject* block = fc.AddObject(70, top, 90, 32, ShapeRectangle);
        block->SetEdgeFlags(5);
        objects.push_back(block);
        top += 32;
        TFcObject* base = fc.AddObject(70, top, 90, 32, ShapeNone);
        TFcObject* marker = fc.AddObject(95, top + 9, 40, 14, ShapeRectangle);
        TFcObject* upper = fc.AddObject(115, top - 1, 0, 0, ShapeNone);
        TFcObject* lower = fc.AddObject(115, top + 32, 0, 0, ShapeNone);
        base->AddGroupMember(marker);
        base->AddGroupMember(upper);
        base->AddGroupMember(lower);
        fc.AddConnection(upper, marker, 0, 2);
        fc.AddConnection(marker, lower, 10, 0);
        objects.insert(objects.end(), {base, marker, upper, lower});
        top += 32;
    }
    return objects;
}

void BM_AddObjectsTimed(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto fc = std::make_unique<TFlowChart>();
        NullListener listener;
        listener.chart = fc.get();
        fc->setListener(&listener);
        fc->setClientSize(800, 600);
        state.ResumeTiming();
        benchmark::DoNotOptimize(buildColumn(*fc));
        state.PauseTiming();
        fc.reset();
        state.ResumeTiming();
    }
    state.counters["objects"] = kBlocks * 5;
}
BENCHMARK(BM_AddObjectsTimed)->Unit(benchmark::kMillisecond);

// Removes every object, outside any update bracket, in the given order; the canvas scrolled to
// the bottom so the scroll limits are in play.
void removeAll(benchmark::State& state, bool reverse) {
    for (auto _ : state) {
        state.PauseTiming();
        auto fc = std::make_unique<TFlowChart>();
        NullListener listener;
        listener.chart = fc.get();
        fc->setListener(&listener);
        fc->setClientSize(800, 600);
        std::vector<TFcObject*> objects = buildColumn(*fc);
        fc->ScrollTo(0, 1 << 30);
        fc->SelectObject(objects[objects.size() / 2]);
        if (reverse)
            std::reverse(objects.begin(), objects.end());
        state.ResumeTiming();
        for (TFcObject* o : objects)
            fc->RemoveObject(o);
        benchmark::DoNotOptimize(fc->ScrollPos());
        state.PauseTiming();
        fc.reset();
        state.ResumeTiming();
    }
}
void BM_RemoveReverse(benchmark::State& state) {
    removeAll(state, true);
}
void BM_RemoveForward(benchmark::State& state) {
    removeAll(state, false);
}
BENCHMARK(BM_RemoveReverse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RemoveForward)->Unit(benchmark::kMillisecond);

// What a layout after inserting at the first spot does: every object below moves down by 64,
// one SetTop each, without an update bracket.
void BM_ShiftAllDown(benchmark::State& state) {
    TFlowChart fc;
    NullListener listener;
    listener.chart = &fc;
    fc.setListener(&listener);
    fc.setClientSize(800, 600);
    const std::vector<TFcObject*> objects = buildColumn(fc);
    int delta = 64;
    for (auto _ : state) {
        for (auto it = objects.rbegin(); it != objects.rend(); ++it)
            (*it)->SetTop((*it)->Top() + delta);
        delta = -delta;
    }
    state.counters["objects"] = static_cast<double>(objects.size());
}
BENCHMARK(BM_ShiftAllDown)->Unit(benchmark::kMillisecond);

void BM_ScrollIntoView(benchmark::State& state) {
    TFlowChart fc;
    fc.setClientSize(800, 600);
    const std::vector<TFcObject*> objects = buildColumn(fc);
    std::size_t i = 0;
    for (auto _ : state) {
        // Jump between far apart blocks so every call scrolls.
        fc.ScrollIntoView(objects[(i * 7919 * 5) % objects.size()]);
        ++i;
        benchmark::DoNotOptimize(fc.ScrollPos());
    }
}
BENCHMARK(BM_ScrollIntoView)->Unit(benchmark::kMicrosecond);

// Hit tests walk from the topmost object down: the first object is the worst case.
void BM_HitTest(benchmark::State& state) {
    TFlowChart fc;
    fc.setClientSize(800, 600);
    const std::vector<TFcObject*> objects = buildColumn(fc);
    const TFcPoint p = state.range(0) == 0 ? TFcPoint{100, 30} : TFcPoint{100, 16 + 64 * 5000 + 10};
    for (auto _ : state)
        benchmark::DoNotOptimize(fc.HitTest(p));
}
BENCHMARK(BM_HitTest)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_NearestObject(benchmark::State& state) {
    TFlowChart fc;
    fc.setClientSize(800, 600);
    const std::vector<TFcObject*> objects = buildColumn(fc);
    fc.SelectObject(objects[objects.size() / 2]);
    for (auto _ : state)
        benchmark::DoNotOptimize(fc.NearestObject(TFcKey::Down));
}
BENCHMARK(BM_NearestObject)->Unit(benchmark::kMicrosecond);

// The objects a paint of one screenful has to look at.
void BM_ObjectsInScreen(benchmark::State& state) {
    TFlowChart fc;
    fc.setClientSize(800, 600);
    buildColumn(fc);
    for (auto _ : state) {
        benchmark::DoNotOptimize(fc.ObjectsIn({0, 320000, 800, 320600}));
        benchmark::DoNotOptimize(fc.ConnectionsIn({0, 320000, 800, 320600}));
    }
}
BENCHMARK(BM_ObjectsInScreen)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
