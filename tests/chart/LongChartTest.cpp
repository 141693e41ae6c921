// Long charts: the list is kept in chunks with canvas bands of their own. Whatever the edits,
// every item must stand where laying the chart out from scratch would put it, with its lines,
// lookups, the canvas extent and hit tests following.
#include "ChartTestSupport.h"
#include "records/BlockCatalog.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

TBlockCopy copyNamed(const std::string& record, int height = BlockHeight) {
    TBlockCopy copy = NewBlockCopy(BlockType::Wait);
    copy.record = record;
    copy.caption.height = height;
    return copy;
}

struct AreaRecorder : TFcListener {
    bool any = false;
    TFcRect area;
    void fcInvalidate(const TFcRect& r) override {
        area = any ? area.united(r) : r;
        any = true;
    }
};

struct LongChart : ChartHarness {
    std::vector<std::string> model; // the blocks' records, top to bottom
    int made = 0;

    explicit LongChart(int blocks) {
        for (int i = 0; i < blocks; ++i)
            chart.AppendBlock(copyNamed(next()));
        chart.Relayout();
    }
    std::string next() {
        model.push_back("block " + std::to_string(made++));
        return model.back();
    }
    std::vector<TBlockCopy> fresh(int count) {
        std::vector<TBlockCopy> copies;
        for (int i = 0; i < count; ++i)
            copies.push_back(copyNamed("block " + std::to_string(made++)));
        return copies;
    }
    void insert(int spot, int count) {
        const std::vector<TBlockCopy> copies = fresh(count);
        std::vector<std::string> records;
        for (const TBlockCopy& c : copies)
            records.push_back(c.record);
        const int at = std::clamp(spot, 0, chart.BlockCount());
        model.insert(model.begin() + at, records.begin(), records.end());
        chart.InsertBlocks(spot, copies);
    }
    void remove(int first, int count) {
        model.erase(model.begin() + (first - 1), model.begin() + (first - 1 + count));
        chart.RemoveBlocks(first, count);
    }
};

// Every item stacked from the top as a fresh layout would place it, each spot's marker, anchors
// and lines on it; every lookup finds every item again; the extent holds exactly everything.
void expectAsLaidOutFromScratch(const LongChart& h) {
    const TChart& chart = h.chart;
    ASSERT_TRUE(chart.InvariantHolds());
    ASSERT_EQ(chart.BlockCount(), static_cast<int>(h.model.size()));
    int y = TChart::LayoutTop;
    for (int i = 0; i < chart.Count(); ++i) {
        SCOPED_TRACE(i);
        const TChartItem* item = chart.Item(i);
        const TFcObject* main = item->MainObject();
        ASSERT_EQ(main->Top(), y);
        ASSERT_EQ(item->Top(), y);
        ASSERT_EQ(main->Left(), TChart::LayoutLeft);
        if (item->Class() == TChartItemClass::NormalSpot) {
            const auto* spot = static_cast<const TNormalSpot*>(item);
            ASSERT_EQ(chart.IndexOfSpotMarker(spot->Marker), i);
            ASSERT_EQ(chart.SpotNumberOf(spot->Marker), (i - 1) / 2);
            ASSERT_EQ(spot->Marker->BoundsRect(), (TFcRect{95, y + 9, 135, y + 23}));
            ASSERT_EQ(spot->UpperAnchor->BoundsRect(), (TFcRect{115, y - 1, 115, y - 1}));
            ASSERT_EQ(spot->LowerAnchor->BoundsRect(), (TFcRect{115, y + 32, 115, y + 32}));
            const auto& lines = spot->Marker->AttachedConnections();
            ASSERT_EQ(lines.size(), 2u);
            ASSERT_EQ(lines[0]->Points(), (std::vector<TFcPoint>{{115, y - 1}, {115, y + 9}}));
            ASSERT_EQ(lines[1]->Points(), (std::vector<TFcPoint>{{115, y + 22}, {115, y + 32}}));
        } else if (item->Class() == TChartItemClass::SeqPanel) {
            ASSERT_EQ(chart.IndexOfBlock(main), i);
            ASSERT_EQ(chart.BlockNumberOf(main), i / 2);
            ASSERT_EQ(chart.BlockAt(i / 2), main);
            ASSERT_EQ(main->Payload, h.model[static_cast<std::size_t>(i / 2 - 1)]);
        }
        y += main->Height();
    }
    TFcRect all{0, 0, 0, 0};
    for (const TFcObject& o : h.canvas.Objects())
        all = TFcRect{std::min(all.left, o.Left()), std::min(all.top, o.Top()),
                      std::max(all.right, o.BoundsRect().right),
                      std::max(all.bottom, o.BoundsRect().bottom)};
    for (const TFcConnection& c : h.canvas.Connections()) {
        const TFcRect b = c.BoundsRect();
        all = TFcRect{std::min(all.left, b.left), std::min(all.top, b.top),
                      std::max(all.right, b.right), std::max(all.bottom, b.bottom)};
    }
    EXPECT_EQ(h.canvas.Extent(), all);
    // The middle block is hit, and painted, where it stands.
    const TFcObject* middle = chart.BlockAt((chart.BlockCount() + 1) / 2);
    if (middle) {
        const TFcRect r = middle->BoundsRect();
        EXPECT_EQ(h.canvas.HitTest({r.left + 45, r.top + 16}).object, middle);
        const auto painted = h.canvas.ObjectsIn(r);
        EXPECT_NE(std::find(painted.begin(), painted.end(), middle), painted.end());
        EXPECT_TRUE(std::is_sorted(painted.begin(), painted.end(),
                                   [](auto* a, auto* b) { return a->Order() < b->Order(); }));
    }
}

TEST(LongChart, EditsAnywhereLeaveItAsAFreshLayoutWould) {
    LongChart h(300);
    EXPECT_GT(h.canvas.BandCount(), 3) << "a chart this long is kept in several chunks";
    expectAsLaidOutFromScratch(h);
    struct Edit {
        const char* what;
        std::function<void(LongChart&)> run;
    };
    const std::vector<Edit> edits = {
        {"insert at the first spot", [](LongChart& c) { c.insert(0, 1); }},
        {"insert three in the middle", [](LongChart& c) { c.insert(150, 3); }},
        {"insert above the end", [](LongChart& c) { c.insert(c.chart.BlockCount(), 1); }},
        {"remove the first block", [](LongChart& c) { c.remove(1, 1); }},
        {"remove a run across chunks", [](LongChart& c) { c.remove(40, 120); }},
        {"a block grows in place",
         [](LongChart& c) { c.chart.RestoreBlock(5, copyNamed(c.model[4], NamedBlockHeight)); }},
        {"a block's height set, then laid out",
         [](LongChart& c) {
             c.chart.SetBlockHeight(c.chart.BlockAt(100), NamedBlockHeight);
             c.chart.Relayout();
         }},
        {"insert many at once", [](LongChart& c) { c.insert(10, 250); }},
        {"delete one block as the user does",
         [](LongChart& c) {
             c.model.erase(c.model.begin() + 20);
             c.chart.DeleteBlock(c.chart.BlockAt(21));
         }},
        {"remove nearly all", [](LongChart& c) { c.remove(2, c.chart.BlockCount() - 3); }},
        {"grow again from the top", [](LongChart& c) { c.insert(0, 200); }},
    };
    for (const Edit& edit : edits) {
        SCOPED_TRACE(edit.what);
        edit.run(h);
        expectAsLaidOutFromScratch(h);
    }
}

TEST(LongChart, RemovalsLeaveFewChunksAndClearingLeavesOne) {
    LongChart h(400);
    const int many = h.canvas.BandCount();
    h.remove(1, 390);
    expectAsLaidOutFromScratch(h);
    EXPECT_LT(h.canvas.BandCount(), many);
    EXPECT_LE(h.canvas.BandCount(), 2);
    h.chart.ClearChart();
    EXPECT_EQ(h.canvas.BandCount(), 0);
    EXPECT_EQ(h.canvas.ObjectCount(), 0);
    h.chart.NewChart();
    EXPECT_EQ(h.canvas.BandCount(), 1);
}

// An insert at the top repaints everything that moved, old places and new, in one area.
TEST(LongChart, AnInsertAtTheTopRepaintsFromThereToTheNewBottom) {
    LongChart h(300);
    AreaRecorder painted;
    h.canvas.setListener(&painted);
    const int oldBottom = h.chart.EndObject()->BoundsRect().bottom;
    h.insert(0, 1);
    h.canvas.setListener(nullptr);
    ASSERT_TRUE(painted.any);
    const TFcRect newBlock = h.chart.BlockAt(1)->BoundsRect();
    EXPECT_LE(painted.area.top, newBlock.top - 3);
    EXPECT_GE(painted.area.bottom, h.chart.EndObject()->BoundsRect().bottom + 3);
    EXPECT_GT(h.chart.EndObject()->BoundsRect().bottom, oldBottom);
    EXPECT_LE(painted.area.left, newBlock.left - 3);
    EXPECT_GE(painted.area.right, newBlock.right + 3);
    expectAsLaidOutFromScratch(h);
}

} // namespace
