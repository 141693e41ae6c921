#include "ChartTestSupport.h"
#include "records/BlockCatalog.h"

#include <cstdint>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <set>

using ::testing::ElementsAre;

namespace {

TFcRect bounds(const TFcObject* o) {
    return o->BoundsRect();
}

TFcRect rect(int left, int top, int width, int height) {
    return {left, top, left + width, top + height};
}

// Every structural rule of the list: start, spot, (block, spot)*, end; indexes found again.
void expectWellFormed(const TChart& chart) {
    ASSERT_GE(chart.Count(), 3);
    ASSERT_EQ(chart.Count() % 2, 1);
    EXPECT_EQ(chart.Item(0)->Class(), TChartItemClass::StartPanel);
    EXPECT_EQ(chart.Item(chart.Count() - 1)->Class(), TChartItemClass::EndPanel);
    for (int i = 1; i + 1 < chart.Count(); ++i) {
        TChartItem* item = chart.Item(i);
        if (i % 2 == 1) {
            ASSERT_EQ(item->Class(), TChartItemClass::NormalSpot) << i;
            auto* spot = static_cast<TNormalSpot*>(item);
            EXPECT_EQ(chart.IndexOfSpotMarker(spot->Marker), i);
            EXPECT_EQ(chart.IndexOfSpotBase(spot->Base), i);
        } else {
            ASSERT_EQ(item->Class(), TChartItemClass::SeqPanel) << i;
            EXPECT_EQ(chart.IndexOfBlock(static_cast<TSeqPanel*>(item)->Object), i);
        }
    }
}

// Every object and connection of the canvas belongs to a chart item; nothing is left over.
void expectCanvasHoldsOnlyItems(const ChartHarness& h) {
    const int spots = (h.chart.Count() - 1) / 2;
    const int panels = h.chart.Count() - spots;
    EXPECT_EQ(h.canvas.ObjectCount(), panels + 4 * spots);
    EXPECT_EQ(h.canvas.ConnectionCount(), 2 * spots);
    std::set<const TFcObject*> live;
    for (const TFcObject& o : h.canvas.Objects())
        live.insert(&o);
    for (const TFcConnection& c : h.canvas.Connections()) {
        EXPECT_TRUE(live.count(c.SourceObject()));
        EXPECT_TRUE(live.count(c.DestObject()));
    }
}

TEST(ChartGeometry, NewChartPlacesTerminalsSpotMarkerAnchorsAndLines) {
    ChartHarness h;
    ASSERT_EQ(h.chart.Count(), 3);
    expectWellFormed(h.chart);
    auto* spot = static_cast<TNormalSpot*>(h.chart.Item(1));
    EXPECT_EQ(bounds(h.object(0)), rect(70, 16, 90, 32));
    EXPECT_EQ(bounds(spot->Base), rect(70, 48, 90, 32));
    EXPECT_EQ(bounds(spot->Marker), rect(95, 57, 40, 14));
    EXPECT_EQ(bounds(spot->UpperAnchor), rect(115, 47, 0, 0));
    EXPECT_EQ(bounds(spot->LowerAnchor), rect(115, 80, 0, 0));
    EXPECT_EQ(bounds(h.object(2)), rect(70, 80, 90, 32));

    ASSERT_EQ(h.canvas.ConnectionCount(), 2);
    const TFcConnection& upper = h.canvas.Connections().front();
    const TFcConnection& lower = h.canvas.Connections().back();
    EXPECT_THAT(upper.Points(), ElementsAre(TFcPoint{115, 47}, TFcPoint{115, 57}));
    EXPECT_THAT(lower.Points(), ElementsAre(TFcPoint{115, 70}, TFcPoint{115, 80}));

    EXPECT_EQ(h.canvas.SelectedObject(), spot->Marker);
    EXPECT_EQ(h.chart.StartObject(), h.object(0));
    EXPECT_EQ(h.chart.EndObject(), h.object(2));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(h.chart.Item(i)->Left, 70);
        EXPECT_EQ(h.chart.Item(i)->Top(), 16 + 32 * i);
    }
}

TEST(ChartGeometry, ObjectsHaveTheLookOfTheirItem) {
    ChartHarness h;
    h.insertAt(1, 1);
    const TFcObject* start = h.object(0);
    EXPECT_EQ(start->Text(), "BEGIN");
    EXPECT_EQ(start->Kind, 512);
    EXPECT_EQ(start->Shape(), ShapeRoundRect);
    EXPECT_EQ(start->FillColor(), fcRgb(255, 255, 0));
    const TFcObject* block = h.object(2);
    EXPECT_EQ(block->Shape(), ShapeRectangle);
    EXPECT_EQ(block->FillColor(), fcRgb(0, 128, 128));
    EXPECT_EQ(block->EdgeFlags(), 5);
    EXPECT_EQ(block->Font().Color, fcWhite);
    EXPECT_TRUE(block->Font().Bold);
    EXPECT_EQ(block->Font().Height, 16);
    const TFcObject* end = h.object(4);
    EXPECT_EQ(end->Kind, 513);
    EXPECT_EQ(end->Shape(), ShapeNone);
    EXPECT_EQ(end->ImageIndex(), 0);
    EXPECT_EQ(end->OutlineWidth(), 0);
    EXPECT_EQ(h.marker(1)->FillColor(), fcRgb(255, 235, 170));
    EXPECT_EQ(h.marker(1)->Kind, 514);
}

TEST(ChartInsert, OneBlockGivesTheTopsAndIsSelected) {
    ChartHarness h;
    h.insertAt(1, 1);
    expectWellFormed(h.chart);
    EXPECT_THAT(h.tops(), ElementsAre(16, 48, 80, 112, 144));
    TFcObject* block = h.object(2);
    EXPECT_EQ(h.canvas.SelectedObject(), block);
    EXPECT_EQ(block->Text(), "Direct");
    EXPECT_EQ(block->Kind, 577);
    EXPECT_EQ(block->ImageIndex(), 0);
    EXPECT_EQ(block->Payload, DefaultRecord(1));
    expectCanvasHoldsOnlyItems(h);
}

TEST(ChartInsert, AtTheFirstSpotGoesBelowTheStartAndAtTheLastAboveTheEnd) {
    ChartHarness h;
    h.insertAt(1, 1);
    h.insertAt(3, 2);                   // below Direct
    h.insertAt(1, 3);                   // first spot: before everything
    h.insertAt(h.chart.Count() - 2, 4); // last spot: just above the end terminal
    h.insertAt(3, 5);                   // middle: between Motor On and Direct
    expectWellFormed(h.chart);
    EXPECT_THAT(h.blockTypes(), ElementsAre(3, 5, 1, 2, 4));
    std::vector<int> expectedTops;
    for (int i = 0; i < h.chart.Count(); ++i)
        expectedTops.push_back(16 + 32 * i);
    EXPECT_EQ(h.tops(), expectedTops);
    expectCanvasHoldsOnlyItems(h);
}

TEST(ChartInsert, PaletteClickWithoutASelectedMarkerChangesNothing) {
    ChartHarness h;
    h.insertAt(1, 1); // leaves the new block selected
    const int items = h.chart.Count();
    const int objects = h.canvas.ObjectCount();
    h.chart.InsertBlock(2);
    EXPECT_EQ(h.chart.Count(), items);
    h.canvas.SelectObject(nullptr);
    h.chart.InsertBlock(2);
    EXPECT_EQ(h.chart.Count(), items);
    // Types without a block (7, 8, outside 1..26) insert nothing either.
    for (int type : {0, 7, 8, 27, -1}) {
        h.canvas.SelectObject(h.marker(1));
        h.chart.InsertBlock(type);
        EXPECT_EQ(h.chart.Count(), items) << type;
    }
    EXPECT_EQ(h.canvas.ObjectCount(), objects);
}

TEST(ChartInsert, RepaintsOnceAndIndexesStayRightAfterManyInserts) {
    ChartHarness h;
    RepaintCounter counter;
    h.canvas.setListener(&counter);
    h.insertAt(1, 1);
    EXPECT_EQ(counter.calls, 1);
    h.canvas.setListener(nullptr);
    for (int i = 0; i < 20; ++i)
        h.insertAt(1 + 2 * (i % 3), 1 + i % 6);
    expectWellFormed(h.chart);
}

TEST(ChartAppend, AddsBeforeTheEndWithoutLayoutOrSelection) {
    ChartHarness h;
    TFcObject* selected = h.canvas.SelectedObject();
    const int endTop = h.chart.EndObject()->Top();
    TFcObject* block = h.chart.AppendBlock(20);
    ASSERT_NE(block, nullptr);
    ASSERT_EQ(h.chart.Count(), 5);
    expectWellFormed(h.chart);
    EXPECT_EQ(h.object(2), block);
    EXPECT_EQ(h.chart.LastAppendedBlock(), block);
    EXPECT_EQ(h.canvas.SelectedObject(), selected);
    EXPECT_EQ(block->Text(), "Expression");
    EXPECT_EQ(block->Kind, 596);
    EXPECT_EQ(block->ImageIndex(), 19);
    EXPECT_EQ(block->Payload, DefaultRecord(20));
    EXPECT_EQ(h.chart.Item(2)->Left, 70);
    EXPECT_EQ(h.chart.Item(3)->Left, 70);
    // Made where the layout will put them, below the last spot; the end terminal waits for the
    // layout.
    EXPECT_EQ(block->Top(), 16 + 32 + 32);
    EXPECT_EQ(static_cast<TNormalSpot*>(h.chart.Item(3))->Base->Top(), 16 + 32 + 32 + 32);
    EXPECT_EQ(h.chart.EndObject()->Top(), endTop);
    EXPECT_EQ(block->Left(), 70);
}

TEST(ChartAppend, TypesOutsideTheCatalogueAppendNothing) {
    ChartHarness h;
    TFcObject* last = h.chart.AppendBlock(1);
    for (int type : {7, 8, 0, -1, 27, 1000}) {
        EXPECT_EQ(h.chart.AppendBlock(type), nullptr) << type;
        EXPECT_EQ(h.chart.Count(), 5);
        EXPECT_EQ(h.chart.LastAppendedBlock(), last);
    }
}

TEST(ChartAppend, ThenRelayoutEqualsInsertingAtTheLastSpot) {
    ChartHarness appended, inserted;
    for (int type : {1, 11, 26}) {
        appended.chart.AppendBlock(type);
        inserted.insertAt(inserted.chart.Count() - 2, type);
    }
    appended.chart.Relayout();
    ASSERT_EQ(appended.chart.Count(), inserted.chart.Count());
    EXPECT_EQ(appended.blockTypes(), inserted.blockTypes());
    ASSERT_EQ(appended.canvas.ObjectCount(), inserted.canvas.ObjectCount());
    for (int i = 0; i < appended.chart.Count(); ++i) {
        TChartItem* x = appended.chart.Item(i);
        TChartItem* y = inserted.chart.Item(i);
        EXPECT_EQ(x->Left, y->Left);
        EXPECT_EQ(x->Top(), y->Top());
        EXPECT_EQ(bounds(x->MainObject()), bounds(y->MainObject()));
        if (auto* s = dynamic_cast<TNormalSpot*>(x)) {
            auto* t = static_cast<TNormalSpot*>(y);
            EXPECT_EQ(bounds(s->Marker), bounds(t->Marker));
            EXPECT_EQ(bounds(s->UpperAnchor), bounds(t->UpperAnchor));
            EXPECT_EQ(bounds(s->LowerAnchor), bounds(t->LowerAnchor));
        }
    }
}

TEST(ChartHeight, ANamedBlockPushesEverythingBelowDownBy8) {
    ChartHarness h;
    for (int i = 0; i < 3; ++i)
        h.insertAt(h.chart.Count() - 2, 11);
    const std::vector<int> before = h.tops();
    TFcObject* second = h.object(4);
    h.chart.SetBlockHeight(second, 40);
    EXPECT_EQ(second->Height(), 40);
    EXPECT_EQ(h.chart.Item(4)->Height, 40);
    h.chart.Relayout();
    const std::vector<int> after = h.tops();
    for (int i = 0; i < h.chart.Count(); ++i)
        EXPECT_EQ(after[i], before[i] + (i > 4 ? 8 : 0)) << i;
    // The lines still join: the lower anchor of the spot below sits on the next item's top.
    auto* below = static_cast<TNormalSpot*>(h.chart.Item(5));
    EXPECT_EQ(below->UpperAnchor->Top(), second->Top() + 40 - 1);
}

TEST(ChartHeight, ObjectsThatAreNoBlockKeepTheirHeight) {
    ChartHarness h;
    h.insertAt(1, 1);
    for (TFcObject* o : {h.object(0), h.marker(1), h.object(4), static_cast<TFcObject*>(nullptr)})
        h.chart.SetBlockHeight(o, 40);
    EXPECT_EQ(h.object(0)->Height(), 32);
    EXPECT_EQ(h.marker(1)->Height(), 14);
    EXPECT_EQ(h.object(4)->Height(), 32);
}

TEST(ChartLayout, RelayoutPutsDraggedObjectsAndMarkersBack) {
    ChartHarness h;
    h.insertAt(1, 1);
    const std::vector<int> tops = h.tops();
    h.object(2)->SetBounds(300, 300, 90, 32);
    h.marker(3)->SetBounds(5, 5, 40, 14);
    h.chart.Relayout();
    EXPECT_EQ(h.tops(), tops);
    EXPECT_EQ(bounds(h.object(2)), rect(70, 80, 90, 32));
    EXPECT_EQ(bounds(h.marker(3)), rect(95, 121, 40, 14));
}

TEST(ChartLayout, MoveGroupMovesMembersDepthFirstEachOnce) {
    TFlowChart canvas;
    TChart chart(canvas);
    TFcObject* a = canvas.AddObject(10, 10, 5, 5, ShapeRectangle);
    TFcObject* b = canvas.AddObject(20, 10, 5, 5, ShapeRectangle);
    TFcObject* c = canvas.AddObject(30, 10, 5, 5, ShapeRectangle);
    a->AddGroupMember(b);
    b->AddGroupMember(c);
    c->AddGroupMember(a); // a cycle back to the start must not move anything twice
    chart.MoveGroup(a, 110, 60);
    EXPECT_EQ(bounds(a), rect(110, 60, 5, 5));
    EXPECT_EQ(bounds(b), rect(120, 60, 5, 5));
    EXPECT_EQ(bounds(c), rect(130, 60, 5, 5));
}

TEST(ChartDelete, TheOnlyBlockLeavesThreeItemsAndSelectsTheFirstMarkerLater) {
    ChartHarness h;
    h.insertAt(1, 1);
    TFcObject* block = h.object(2);
    h.chart.DeleteBlock(block);
    ASSERT_EQ(h.chart.Count(), 3);
    expectWellFormed(h.chart);
    expectCanvasHoldsOnlyItems(h);
    EXPECT_THAT(h.tops(), ElementsAre(16, 48, 80));
    // Nothing is selected until the event that deleted has finished.
    EXPECT_EQ(h.canvas.SelectedObject(), nullptr);
    EXPECT_EQ(h.chart.PendingSelection(), h.marker(1));
    ASSERT_EQ(h.queue.size(), 1u);
    h.drain();
    EXPECT_EQ(h.canvas.SelectedObject(), h.marker(1));
}

TEST(ChartDelete, TheMiddleOfThreeJoinsTheOthersWithOneSpot) {
    ChartHarness h;
    for (int type : {1, 2, 3})
        h.insertAt(h.chart.Count() - 2, type);
    h.chart.DeleteBlock(h.object(4));
    expectWellFormed(h.chart);
    expectCanvasHoldsOnlyItems(h);
    EXPECT_THAT(h.blockTypes(), ElementsAre(1, 3));
    ASSERT_EQ(h.chart.Count(), 7);
    h.drain();
    EXPECT_EQ(h.canvas.SelectedObject(), h.marker(3));
    std::vector<int> expectedTops;
    for (int i = 0; i < 7; ++i)
        expectedTops.push_back(16 + 32 * i);
    EXPECT_EQ(h.tops(), expectedTops);
}

TEST(ChartDelete, TheFirstAndTheLastBlock) {
    ChartHarness h;
    for (int type : {1, 2, 3})
        h.insertAt(h.chart.Count() - 2, type);
    h.chart.DeleteBlock(h.object(2));
    h.drain();
    EXPECT_EQ(h.canvas.SelectedObject(), h.marker(1));
    h.chart.DeleteBlock(h.object(h.chart.Count() - 3));
    h.drain();
    EXPECT_EQ(h.canvas.SelectedObject(), h.marker(h.chart.Count() - 2));
    EXPECT_THAT(h.blockTypes(), ElementsAre(2));
    expectWellFormed(h.chart);
    expectCanvasHoldsOnlyItems(h);
}

TEST(ChartDelete, ObjectsThatAreNoBlockDeleteNothing) {
    ChartHarness h;
    h.insertAt(1, 1);
    auto* spot = static_cast<TNormalSpot*>(h.chart.Item(1));
    for (TFcObject* o : {h.object(0), h.object(4), spot->Marker, spot->Base, spot->UpperAnchor,
                         static_cast<TFcObject*>(nullptr)}) {
        h.chart.DeleteBlock(o);
        EXPECT_EQ(h.chart.Count(), 5);
    }
    EXPECT_TRUE(h.queue.empty());
}

TEST(ChartDelete, PendingSelectionOfADestroyedSpotIsDropped) {
    ChartHarness h;
    for (int type : {1, 2})
        h.insertAt(h.chart.Count() - 2, type);
    h.chart.DeleteBlock(h.object(4)); // pending: the marker between the two blocks
    h.chart.DeleteBlock(h.object(2)); // removes that very spot in the same event
    h.drain();
    EXPECT_EQ(h.canvas.SelectedObject(), h.marker(1));

    h.insertAt(1, 1);
    h.chart.DeleteBlock(h.object(2));
    h.chart.ClearChart(); // a new chart before the queue runs
    h.chart.NewChart();
    h.canvas.SelectObject(nullptr);
    h.drain();
    EXPECT_EQ(h.canvas.SelectedObject(), nullptr);
}

TEST(ChartDelete, APostedSelectionOutlivingTheChartDoesNothing) {
    std::vector<std::function<void()>> queue;
    TFlowChart canvas;
    {
        TChart chart(canvas, [&](std::function<void()> task) { queue.push_back(task); });
        chart.NewChart();
        canvas.SelectObject(static_cast<TNormalSpot*>(chart.Item(1))->Marker);
        chart.InsertBlock(1);
        chart.DeleteBlock(chart.Blocks().front());
    }
    ASSERT_EQ(queue.size(), 1u);
    queue.front()();
    EXPECT_EQ(canvas.ObjectCount(), 0);
}

TEST(ChartDelete, RemovingASpotTakesItsConnections) {
    ChartHarness h;
    h.insertAt(1, 1);
    EXPECT_EQ(h.canvas.ConnectionCount(), 4);
    h.chart.DeleteBlock(h.object(2));
    EXPECT_EQ(h.canvas.ConnectionCount(), 2);
    h.chart.ClearChart();
    EXPECT_EQ(h.chart.Count(), 0);
    EXPECT_EQ(h.canvas.ObjectCount(), 0);
    EXPECT_EQ(h.canvas.ConnectionCount(), 0);
}

TEST(ChartClear, ThenNewChartLeavesOnlyTheThreeItems) {
    ChartHarness h;
    for (int type : {1, 6, 19})
        h.insertAt(1, type);
    h.chart.ClearChart();
    h.chart.NewChart();
    ASSERT_EQ(h.chart.Count(), 3);
    expectCanvasHoldsOnlyItems(h);
    EXPECT_EQ(h.canvas.SelectedObject(), h.marker(1));
    // NewChart on a full list destroys the old items rather than leaving them on the canvas.
    h.insertAt(1, 1);
    h.chart.NewChart();
    ASSERT_EQ(h.chart.Count(), 3);
    expectCanvasHoldsOnlyItems(h);
}

TEST(ChartClear, RepaintsOnce) {
    ChartHarness h;
    for (int i = 0; i < 5; ++i)
        h.insertAt(1, 1);
    RepaintCounter counter;
    h.canvas.setListener(&counter);
    h.chart.ClearChart();
    EXPECT_EQ(counter.calls, 1);
    h.canvas.setListener(nullptr);
}

TEST(ChartSelection, OnlyBlocksAndMarkersCanBeSelected) {
    ChartHarness h;
    h.insertAt(1, 1);
    auto* spot = static_cast<TNormalSpot*>(h.chart.Item(1));
    struct Case {
        const char* what;
        TFcObject* object;
        bool allowed;
    };
    const Case cases[] = {
        {"start terminal", h.object(0), false},
        {"end terminal", h.object(4), false},
        {"spot base", spot->Base, false},
        {"marker", spot->Marker, true},
        {"block", h.object(2), true},
        {"upper anchor", spot->UpperAnchor, false},
        {"lower anchor", spot->LowerAnchor, false},
    };
    for (const Case& c : cases) {
        h.canvas.SelectObject(nullptr);
        h.canvas.SelectObject(c.object);
        EXPECT_EQ(h.canvas.SelectedObject() == c.object, c.allowed) << c.what;
    }
    h.canvas.SelectObject(nullptr);
    TFcConnection& line = *spot->Marker->AttachedConnections().front();
    EXPECT_FALSE(h.canvas.SelectItem(line));
    EXPECT_TRUE(h.canvas.SelectedConnections().empty());
}

TEST(ChartLookup, IndexesOfEveryRoleAndOfStrangers) {
    ChartHarness h;
    h.insertAt(1, 1);
    h.insertAt(1, 2);
    auto* spot = static_cast<TNormalSpot*>(h.chart.Item(3));
    EXPECT_EQ(h.chart.IndexOfBlock(h.object(2)), 2);
    EXPECT_EQ(h.chart.IndexOfBlock(h.object(4)), 4);
    EXPECT_EQ(h.chart.IndexOfSpotMarker(spot->Marker), 3);
    EXPECT_EQ(h.chart.IndexOfSpotBase(spot->Base), 3);
    // An object in another role, or not the chart's, is not found.
    EXPECT_EQ(h.chart.IndexOfBlock(spot->Marker), -1);
    EXPECT_EQ(h.chart.IndexOfSpotMarker(spot->Base), -1);
    EXPECT_EQ(h.chart.IndexOfSpotBase(h.object(2)), -1);
    EXPECT_EQ(h.chart.IndexOfBlock(h.object(0)), -1);
    EXPECT_EQ(h.chart.IndexOfSpotMarker(spot->UpperAnchor), -1);
    TFcObject* stranger = h.canvas.AddObject(0, 0, 1, 1, ShapeRectangle);
    EXPECT_EQ(h.chart.IndexOfBlock(stranger), -1);
    EXPECT_EQ(h.chart.IndexOfBlock(nullptr), -1);
    // Another chart's block and spot, at the same places, are not this chart's.
    ChartHarness other;
    other.insertAt(1, 1);
    other.insertAt(1, 2);
    EXPECT_EQ(h.chart.IndexOfBlock(other.object(2)), -1);
    EXPECT_EQ(h.chart.IndexOfSpotMarker(static_cast<TNormalSpot*>(other.chart.Item(3))->Marker),
              -1);
    EXPECT_EQ(other.chart.IndexOfBlock(other.object(2)), 2);
}

TEST(ChartRecords, BlockRecordsFollowChartOrder) {
    ChartHarness h;
    for (int type : {14, 1, 9})
        h.insertAt(h.chart.Count() - 2, type);
    const std::vector<std::string_view> records = h.chart.BlockRecords();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0], DefaultRecord(14));
    EXPECT_EQ(records[1], DefaultRecord(1));
    EXPECT_EQ(records[2], DefaultRecord(9));
}

TEST(ChartLookup, BlockNumbersCountTheBlocksFromTheTop) {
    ChartHarness h;
    for (int type : {1, 2, 3})
        h.insertAt(h.chart.Count() - 2, type);
    const std::vector<TFcObject*> blocks = h.chart.Blocks();
    for (int n = 1; n <= 3; ++n) {
        EXPECT_EQ(h.chart.BlockNumberOf(blocks[static_cast<std::size_t>(n - 1)]), n);
        EXPECT_EQ(h.chart.BlockAt(n), blocks[static_cast<std::size_t>(n - 1)]);
    }
    // Anything that is not a block has no number, and no number outside 1..3 has a block.
    const TFcObject* others[] = {h.object(0), h.marker(1), h.object(h.chart.Count() - 1), nullptr};
    for (const TFcObject* other : others)
        EXPECT_EQ(h.chart.BlockNumberOf(other), 0);
    for (int n : {-1, 0, 4})
        EXPECT_EQ(h.chart.BlockAt(n), nullptr) << n;
    // Deleting the first block moves the others up by one.
    h.chart.DeleteBlock(blocks[0]);
    EXPECT_EQ(h.chart.BlockNumberOf(blocks[2]), 2);
    EXPECT_EQ(h.chart.BlockAt(1), blocks[1]);
}

// What a change is: every operation that alters the blocks or their records counts once and is
// told to the listener at once; layout, heights, selection and an unchanged record do not.
TEST(ChartRevision, EveryChangeOfTheBlocksCountsAndIsTold) {
    ChartHarness h;
    h.insertAt(1, 1);
    h.insertAt(3, 5);
    int told = 0;
    std::uint64_t revisionWhenTold = 0;
    h.chart.OnChange = [&] {
        ++told;
        revisionWhenTold = h.chart.Revision();
    };
    struct Case {
        const char* what;
        std::function<void()> step;
        int changes;
    };
    const Case cases[] = {
        {"insert", [&] { h.insertAt(1, 2); }, 1},
        {"append", [&] { h.chart.AppendBlock(6); }, 1},
        {"append with a record", [&] { h.chart.AppendBlock(5, DefaultRecord(5)); }, 1},
        {"a type outside the catalogue", [&] { h.chart.AppendBlock(7); }, 0},
        {"a palette click without a marker",
         [&] {
             h.canvas.SelectObject(nullptr);
             h.chart.InsertBlock(1);
         },
         0},
        {"delete", [&] { h.chart.DeleteBlock(h.chart.BlockAt(1)); }, 1},
        {"delete of a marker", [&] { h.chart.DeleteBlock(h.marker(1)); }, 0},
        {"a different record",
         [&] { EXPECT_TRUE(h.chart.SetBlockRecord(h.chart.BlockAt(1), "<CtrlNode type=\"1\"/>")); },
         1},
        {"the same record",
         [&] {
             EXPECT_FALSE(h.chart.SetBlockRecord(h.chart.BlockAt(1), "<CtrlNode type=\"1\"/>"));
         },
         0},
        {"a record for a marker", [&] { EXPECT_FALSE(h.chart.SetBlockRecord(h.marker(1), "x")); },
         0},
        {"height", [&] { h.chart.SetBlockHeight(h.chart.BlockAt(1), 40); }, 0},
        {"layout", [&] { h.chart.Relayout(); }, 0},
        {"selection", [&] { h.canvas.SelectObject(h.chart.BlockAt(2)); }, 0},
        {"the deferred selection", [&] { h.drain(); }, 0},
        {"clear", [&] { h.chart.ClearChart(); }, 1},
        {"new chart on an empty list", [&] { h.chart.NewChart(); }, 1},
        {"new chart on a full list (cleared first)",
         [&] {
             h.chart.AppendBlock(1);
             h.chart.NewChart();
         },
         3},
    };
    for (const Case& c : cases) {
        const std::uint64_t before = h.chart.Revision();
        told = 0;
        c.step();
        EXPECT_EQ(h.chart.Revision(), before + static_cast<std::uint64_t>(c.changes)) << c.what;
        EXPECT_EQ(told, c.changes) << c.what;
        if (c.changes > 0) {
            EXPECT_EQ(revisionWhenTold, h.chart.Revision()) << c.what << ": told before counting";
        }
    }
}

TEST(ChartRevision, ADestroyedChartTellsNobody) {
    TFlowChart canvas;
    int told = 0;
    {
        TChart chart(canvas);
        chart.NewChart();
        chart.AppendBlock(1);
        chart.OnChange = [&] { ++told; };
    }
    EXPECT_EQ(told, 0);
    EXPECT_EQ(canvas.ObjectCount(), 0);
}

} // namespace
