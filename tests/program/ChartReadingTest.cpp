#include "program/ChartReading.h"

#include "RecordText.h"
#include "canvas/FlowChart.h"
#include "chart/Chart.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace program_test;

namespace {

TEST(ChartReading, ReadsTheChainInOrderWithWhatEachItemIs) {
    TFlowChart canvas;
    TChart chart(canvas);
    chart.NewChart();
    chart.AppendBlock(5, record(5, child("wait", "100")));
    chart.AppendBlock(1, record(1, child("mode", "2") + child("wait", "50")));
    TFcObject* label = chart.AppendBlock(11, record(11, child("label", "L1")));
    chart.SetBlockCaption(label, *NamedCaption(BlockType::Label, "L1")); // as the editor does
    chart.AppendBlock(15, record(15, child("led", "5")));
    chart.Relayout();

    const std::vector<std::string> expected{
        "Begin",
        "Insert here, before block 1",
        "Block 1 of 4: Wait, 100", // the value's word repeats the caption: left out
        "Insert here, before block 2",
        "Block 2 of 4: Direct, FD 50",
        "Insert here, before block 3",
        "Block 3 of 4: Label:L1", // the caption names it already
        "Insert here, before block 4",
        "Block 4 of 4: LED, 5",
        "Insert here, after the last block",
        "End"};
    ASSERT_EQ(program::ReadingCount(chart), static_cast<int>(expected.size()));
    for (int i = 0; i < program::ReadingCount(chart); ++i) {
        EXPECT_EQ(program::ReadingName(chart, i), expected[static_cast<std::size_t>(i)]) << i;
        const TFcObject* object = program::ReadingObject(chart, i);
        ASSERT_NE(object, nullptr) << i;
        EXPECT_EQ(program::ReadingIndex(chart, object), i) << "each item's object leads back";
    }
    // A spot reads as its marker; its base and anchors are no items.
    const auto& spot = *static_cast<const TNormalSpot*>(chart.Item(1));
    EXPECT_EQ(program::ReadingObject(chart, 1), spot.Marker);
    for (const TFcObject* other : {spot.Base, spot.UpperAnchor, spot.LowerAnchor})
        EXPECT_EQ(program::ReadingIndex(chart, other), -1);
    EXPECT_EQ(program::ReadingIndex(chart, nullptr), -1);
    EXPECT_EQ(program::ReadingObject(chart, program::ReadingCount(chart)), nullptr);
    EXPECT_EQ(program::ReadingName(chart, -1), "");
}

TEST(ChartReading, AnEmptyChartOffersTheFirstBlock) {
    TFlowChart canvas;
    TChart chart(canvas);
    chart.NewChart();
    ASSERT_EQ(program::ReadingCount(chart), 3);
    EXPECT_EQ(program::ReadingName(chart, 1), "Insert here, the first block");
}

} // namespace
