// The sensor plot in the simulator panel: the panel records the run it shows and the plot
// follows it; a new run starts the record over.
#include "sim/view/SensorPlot.h"
#include "sim/view/SimulatorPanel.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

std::vector<std::string> listing(const std::vector<std::string>& statements) {
    std::vector<std::string> lines{"10 REM \"ZOLVANE\""};
    int number = 20;
    for (const std::string& s : statements) {
        lines.push_back(std::to_string(number) + " REM \"" + s + "\"");
        number += 10;
    }
    return lines;
}

TEST(SensorPlotInPanel, FollowsTheRunAndStartsOverOnReset) {
    TSimulatorPanel::THooks hooks;
    hooks.programLines = [] { return listing({"FD 100", "WAIT 5"}); };
    hooks.textIsStale = [] { return false; };
    hooks.showLine = [](std::optional<std::size_t>) {};
    TSimulatorPanel panel(nullptr, std::move(hooks), {});
    panel.show();
    auto* plot = panel.findChild<TSensorPlot*>("SensorPlot");
    ASSERT_NE(plot, nullptr);
    panel.setSpeed(0);
    panel.run();
    for (int i = 0; i < 200 && panel.running(); ++i)
        QTest::qWait(20);
    ASSERT_TRUE(panel.simulator().finished());
    const sim::TSensorRecorder& recorder = panel.sensorRecorder();
    // 0 to 550 ms every 10 ms and the end at 553.
    ASSERT_EQ(recorder.samples().size(), 57u);
    EXPECT_EQ(recorder.lastUs(), panel.simulator().timeUs());
    EXPECT_EQ(recorder.samples()[25].leftMmS, 200) << "driving at 250 ms";
    EXPECT_EQ(plot->visibleSpan().endUs, panel.simulator().timeUs());
    panel.reset();
    EXPECT_EQ(recorder.samples().size(), 1u) << "the start of the new run only";
    EXPECT_EQ(plot->visibleSpan().endUs, sim::kLeastPlotSpanUs);
}

} // namespace
