// A canvas and a chart for tests, with the user-interface event queue played by hand.
#pragma once

#include "canvas/FlowChart.h"
#include "chart/Chart.h"

#include <functional>
#include <gtest/gtest.h>
#include <vector>

// Counts what the canvas asks to have painted.
struct RepaintCounter : TFcListener {
    int calls = 0;
    void fcInvalidate(const TFcRect&) override { ++calls; }
};

struct ChartHarness {
    std::vector<std::function<void()>> queue; // tasks posted to the "event loop"
    TFlowChart canvas;
    TChart chart{canvas, [this](std::function<void()> task) { queue.push_back(std::move(task)); }};

    ChartHarness() { chart.NewChart(); }
    // Whatever a test did, the chain keeps its shape (checked here in every build, not only
    // where assertions are compiled in).
    ~ChartHarness() { EXPECT_TRUE(chart.InvariantHolds()) << "the chart's chain lost its shape"; }

    // Runs the tasks posted so far, as the event loop does once the current event has ended.
    void drain() {
        auto tasks = std::move(queue);
        queue.clear();
        for (auto& task : tasks)
            task();
    }

    TFcObject* marker(int index) const {
        auto* spot = dynamic_cast<TNormalSpot*>(chart.Item(index));
        return spot ? spot->Marker : nullptr;
    }
    TFcObject* object(int index) const {
        auto* panel = dynamic_cast<TPanelItem*>(chart.Item(index));
        return panel ? panel->Object : nullptr;
    }
    // Selects the marker of the spot at index and inserts a block of that type there.
    void insertAt(int spotIndex, int blockType) {
        canvas.SelectObject(marker(spotIndex));
        chart.InsertBlock(blockType);
    }
    std::vector<int> tops() const {
        std::vector<int> result;
        for (int i = 0; i < chart.Count(); ++i)
            result.push_back(chart.Item(i)->MainObject()->Top());
        return result;
    }
    // Block types from top to bottom.
    std::vector<int> blockTypes() const {
        std::vector<int> result;
        for (TFcObject* block : chart.Blocks())
            result.push_back(block->Kind - 576);
        return result;
    }
};
