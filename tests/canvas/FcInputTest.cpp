// Input logic of the canvas: hit test, arrow-key rule, keyboard and mouse operations.
#include "canvas/FlowChart.h"

#include <gtest/gtest.h>

namespace {

// A chart-like canvas: start terminal, spot, block, spot, end terminal stacked from (70, 16),
// with the chart's selection rule (no lines, terminals or spot bases).
struct ChartCanvas : ::testing::Test {
    struct Spot {
        TFcObject *base, *marker, *upper, *lower;
    };

    TFlowChart fc;
    TFcObject* start = nullptr;
    TFcObject* end = nullptr;
    TFcObject* block = nullptr;
    Spot spot1{}, spot2{};
    int asked = 0;
    bool allowAll = false;

    Spot makeSpot(int top) {
        Spot s{};
        s.base = fc.AddObject(70, top, 90, 32, ShapeNone);
        s.marker = fc.AddObject(95, top + 9, 40, 14, ShapeRectangle);
        s.marker->SetEdgeFlags(5);
        s.marker->Kind = 514;
        s.base->AddGroupMember(s.marker);
        s.upper = fc.AddObject(115, top - 1, 0, 0, ShapeNone);
        s.base->AddGroupMember(s.upper);
        s.lower = fc.AddObject(115, top + 32, 0, 0, ShapeNone);
        s.base->AddGroupMember(s.lower);
        fc.AddConnection(s.upper, s.marker, 0, 2);
        fc.AddConnection(s.marker, s.lower, 10, 0);
        return s;
    }

    void SetUp() override {
        start = fc.AddObject(70, 16, 90, 32, ShapeRoundRect);
        start->SetEdgeFlags(5);
        spot1 = makeSpot(48);
        end = fc.AddObject(70, 144, 90, 32, ShapeNone);
        end->SetOutlineWidth(0);
        block = fc.AddObject(70, 80, 90, 32, ShapeRectangle);
        block->SetEdgeFlags(5);
        spot2 = makeSpot(112);
        fc.OnSelection = [this](TFlowChart&, TFcItem& item, bool& allow) {
            ++asked;
            if (allowAll)
                return;
            TFcObject* o = item.asObject();
            allow = o && o != start && o != end && o != spot1.base && o != spot2.base;
        };
        fc.setClientSize(400, 300);
    }
};

// ---- hit test ----

TEST_F(ChartCanvas, HitTestFindsTheInteriorAndTheNearObject) {
    TFcHit h = fc.HitTest({100, 95});
    EXPECT_EQ(h.object, block);
    EXPECT_EQ(h.nearObject, block);
    // On the bevel of the block: near it, but not inside.
    h = fc.HitTest({71, 95});
    EXPECT_EQ(h.object, nullptr);
    EXPECT_EQ(h.nearObject, block);
    // Just outside: still near (bounds grown by one).
    h = fc.HitTest({69, 95});
    EXPECT_EQ(h.nearObject, block);
    // The empty part of a spot hits its base; the anchors (0 x 0) are never hit.
    EXPECT_EQ(fc.HitTest({80, 60}).object, spot1.base);
    EXPECT_EQ(fc.HitTest({115, 121 + 5}).object, spot2.marker); // marker lies above its base
    // Far away: nothing.
    h = fc.HitTest({300, 300});
    EXPECT_EQ(h.object, nullptr);
    EXPECT_EQ(h.nearObject, nullptr);
    EXPECT_EQ(h.connection, nullptr);
}

TEST_F(ChartCanvas, HitTestSeesTheLinesAndSkipsHiddenObjects) {
    // The line from the upper anchor (115, 111) to the marker top (115, 121).
    TFcHit h = fc.HitTest({116, 116});
    ASSERT_NE(h.connection, nullptr);
    EXPECT_EQ(h.connection->DestObject(), spot2.marker);
    EXPECT_EQ(h.object, spot2.base);
    EXPECT_EQ(fc.HitTest({119, 116}).connection, nullptr);
    block->SetVisible(false);
    EXPECT_EQ(fc.HitTest({100, 95}).object, nullptr);
}

TEST_F(ChartCanvas, HitTestReportsTheMarkOfTheSingleSelectedObject) {
    EXPECT_EQ(fc.HitTest({159, 111}).selectionMark, -1); // nothing selected
    fc.SelectObject(block);
    EXPECT_EQ(fc.HitTest({159, 111}).selectionMark, 4);
    EXPECT_EQ(fc.HitTest({115, 80}).selectionMark, 1);
    EXPECT_EQ(fc.HitTest({100, 95}).selectionMark, -1);
}

// ---- arrow keys ----

TEST_F(ChartCanvas, DownFromTheBlockPicksTheSpotBaseWhichIsRefused) {
    fc.SelectObject(block);
    // Base below: d = 32, e = 0 -> 40, lowest of all.
    EXPECT_EQ(fc.NearestObject(TFcKey::Down), spot2.base);
    asked = 0;
    EXPECT_TRUE(fc.KeyDown(TFcKey::Down, 0));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(fc.SelectedObject(), nullptr);
    EXPECT_EQ(fc.SelectedCount(), 0);
}

TEST_F(ChartCanvas, DownFromAMarkerReachesTheNextMarkerAndScrollsToIt) {
    fc.setClientSize(300, 60);
    fc.SelectObject(spot1.marker);
    // marker2 at (95, 121): d = 64, e = 0 -> 80; the lower anchor scores 188, the block 228.
    EXPECT_EQ(fc.NearestObject(TFcKey::Down), spot2.marker);
    EXPECT_TRUE(fc.KeyDown(TFcKey::Down, 0));
    EXPECT_EQ(fc.SelectedObject(), spot2.marker);
    EXPECT_EQ(fc.ScrollPos(), (TFcPoint{0, 135 - 60}));
    EXPECT_EQ(fc.NearestObject(TFcKey::Up), spot1.marker);
}

TEST(NearestObjectTest, TieGoesToTheEarlierObjectAndLimitsApply) {
    TFlowChart fc;
    TFcObject* s = fc.AddObject(0, 0, 10, 10, ShapeRectangle);
    TFcObject* a = fc.AddObject(40, 5, 10, 10, ShapeRectangle);  // 40 + 40 + 10 = 90
    TFcObject* b = fc.AddObject(40, -5, 10, 10, ShapeRectangle); // same score, later
    TFcObject* far = fc.AddObject(1 << 29, 0, 10, 10, ShapeRectangle);
    fc.SelectObject(s);
    EXPECT_EQ(fc.NearestObject(TFcKey::Right), a);
    a->SetVisible(false);
    EXPECT_EQ(fc.NearestObject(TFcKey::Right), b);
    b->SetVisible(false);
    EXPECT_EQ(fc.NearestObject(TFcKey::Right), nullptr); // score of `far` is over the limit
    EXPECT_EQ(fc.NearestObject(TFcKey::Left), nullptr);
    fc.SelectObject(nullptr);
    EXPECT_EQ(fc.NearestObject(TFcKey::Right), nullptr); // needs exactly one selected
    EXPECT_FALSE(fc.KeyDown(TFcKey::Right, 0));
    (void)far;
}

// ---- keyboard: resize, move, scroll, delete ----

struct ResizeCase {
    TFcKey key;
    int width, height;
};

class ShiftResizeTest : public ::testing::TestWithParam<ResizeCase> {};

TEST_P(ShiftResizeTest, ChangesTheSizeByOnePixel) {
    TFlowChart fc;
    TFcObject* o = fc.AddObject(10, 10, 90, 32, ShapeRectangle);
    fc.SelectObject(o);
    EXPECT_TRUE(fc.KeyDown(GetParam().key, ssShift));
    EXPECT_EQ(o->Width(), GetParam().width);
    EXPECT_EQ(o->Height(), GetParam().height);
    EXPECT_EQ(o->Left(), 10);
    EXPECT_EQ(o->Top(), 10);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ShiftResizeTest,
    ::testing::Values(ResizeCase{TFcKey::Left, 89, 32}, ResizeCase{TFcKey::Right, 91, 32},
                      ResizeCase{TFcKey::Up, 90, 31}, ResizeCase{TFcKey::Down, 90, 33},
                      ResizeCase{TFcKey::PageUp, 91, 31}, ResizeCase{TFcKey::PageDown, 91, 33},
                      ResizeCase{TFcKey::End, 89, 33}, ResizeCase{TFcKey::Home, 89, 31}));

TEST(KeyboardTest, ResizeToZeroIsIgnoredAndNeedsASelection) {
    TFlowChart fc;
    TFcObject* o = fc.AddObject(10, 10, 1, 5, ShapeRectangle);
    EXPECT_FALSE(fc.KeyDown(TFcKey::Left, ssShift)); // nothing selected
    fc.SelectObject(o);
    fc.KeyDown(TFcKey::Left, ssShift);
    EXPECT_EQ(o->Width(), 1);
    fc.KeyDown(TFcKey::Home, ssShift); // would make the width 0: the whole step is ignored
    EXPECT_EQ(o->Width(), 1);
    EXPECT_EQ(o->Height(), 5);
    fc.Options &= ~fcoCanDrag;
    EXPECT_FALSE(fc.KeyDown(TFcKey::Right, ssShift));
    EXPECT_EQ(o->Width(), 1);
}

TEST_F(ChartCanvas, AltMovesTheSelectionWithItsMoveGroup) {
    allowAll = true;
    fc.SelectObject(spot2.base);
    EXPECT_TRUE(fc.KeyDown(TFcKey::Home, ssAlt)); // left-up
    EXPECT_EQ(spot2.base->Left(), 69);
    EXPECT_EQ(spot2.base->Top(), 111);
    EXPECT_EQ(spot2.marker->Left(), 94);
    EXPECT_EQ(spot2.upper->Top(), 110);
    EXPECT_EQ(spot2.lower->Left(), 114);
    EXPECT_EQ(block->Left(), 70);                     // not in the group
    EXPECT_TRUE(fc.KeyDown(TFcKey::PageDown, ssAlt)); // right-down
    EXPECT_EQ(spot2.marker->Left(), 95);
    EXPECT_EQ(spot2.marker->Top(), 121);
}

TEST_F(ChartCanvas, AltMoveRepaintsOnce) {
    allowAll = true;
    fc.SelectObject(spot2.base);
    struct Count : TFcListener {
        int n = 0;
        void fcInvalidate(const TFcRect&) override { ++n; }
    } count;
    fc.setListener(&count);
    fc.KeyDown(TFcKey::Down, ssAlt);
    EXPECT_EQ(count.n, 1);
}

TEST(KeyboardTest, PageKeysScrollByTheClientLessSixteen) {
    TFlowChart fc;
    fc.AddObject(0, 0, 5000, 5000, ShapeRectangle);
    fc.setClientSize(300, 200);
    EXPECT_TRUE(fc.KeyDown(TFcKey::PageDown, 0));
    EXPECT_EQ(fc.ScrollPos(), (TFcPoint{0, 184}));
    EXPECT_TRUE(fc.KeyDown(TFcKey::PageUp, 0));
    EXPECT_EQ(fc.ScrollPos(), (TFcPoint{0, 0}));
    EXPECT_TRUE(fc.KeyDown(TFcKey::Right, ssCtrl));
    EXPECT_EQ(fc.ScrollPos(), (TFcPoint{284, 0}));
    EXPECT_TRUE(fc.KeyDown(TFcKey::Left, ssCtrl));
    EXPECT_EQ(fc.ScrollPos(), (TFcPoint{0, 0}));
    EXPECT_TRUE(fc.KeyDown(TFcKey::End, ssCtrl));
    EXPECT_EQ(fc.ScrollPos(), (TFcPoint{4700, 4800}));
    EXPECT_TRUE(fc.KeyDown(TFcKey::Home, 0));
    EXPECT_EQ(fc.ScrollPos(), (TFcPoint{0, 4800}));
    EXPECT_TRUE(fc.KeyDown(TFcKey::PageUp, ssCtrl));
    EXPECT_EQ(fc.ScrollPos(), (TFcPoint{0, 0}));
    EXPECT_TRUE(fc.KeyDown(TFcKey::End, 0));
    EXPECT_EQ(fc.ScrollPos(), (TFcPoint{4700, 0}));
    EXPECT_TRUE(fc.KeyDown(TFcKey::PageDown, ssCtrl));
    EXPECT_EQ(fc.ScrollPos(), (TFcPoint{4700, 4800}));
    EXPECT_TRUE(fc.KeyDown(TFcKey::Home, ssCtrl));
    EXPECT_EQ(fc.ScrollPos(), (TFcPoint{0, 0}));
}

TEST_F(ChartCanvas, DeleteRemovesNothingUnlessTheOptionAllowsIt) {
    fc.SelectObject(block);
    const int before = fc.ObjectCount();
    EXPECT_FALSE(fc.KeyDown(TFcKey::Delete, 0));
    EXPECT_EQ(fc.ObjectCount(), before);
    EXPECT_EQ(fc.SelectedObject(), block);
    fc.Options |= fcoCanDelete;
    EXPECT_TRUE(fc.KeyDown(TFcKey::Delete, 0));
    EXPECT_EQ(fc.ObjectCount(), before - 1);
    EXPECT_EQ(fc.SelectedCount(), 0);
}

// ---- mouse ----

TEST_F(ChartCanvas, ClickSelectsABlockAndAClickOnItAgainAsksNoHook) {
    fc.MouseDown({100, 95}, 0);
    fc.MouseUp({100, 95});
    EXPECT_EQ(fc.SelectedObject(), block);
    asked = 0;
    fc.MouseDown({101, 96}, 0);
    fc.MouseUp({101, 96});
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(fc.SelectedObject(), block);
}

TEST_F(ChartCanvas, ShiftClickOnTheSelectedObjectDeselectsIt) {
    fc.SelectObject(block);
    fc.MouseDown({100, 95}, ssShift);
    fc.MouseUp({100, 95});
    EXPECT_EQ(fc.SelectedCount(), 0);
}

struct ClickCase {
    const char* what;
    TFcPoint at;
    bool keepsBlockSelected;
};

TEST_F(ChartCanvas, ClicksOnRefusedItemsClearButEmptyCanvasKeeps) {
    const ClickCase cases[] = {
        {"start terminal", {100, 30}, false},      {"end terminal", {100, 160}, false},
        {"empty part of a spot", {80, 60}, false}, {"line", {115, 116}, false},
        {"empty canvas", {300, 300}, true},        {"only near the block", {69, 95}, true},
    };
    for (const ClickCase& c : cases) {
        fc.SelectObject(block);
        ASSERT_EQ(fc.SelectedObject(), block);
        fc.MouseDown(c.at, 0);
        fc.MouseUp(c.at);
        EXPECT_EQ(fc.SelectedObject() == block, c.keepsBlockSelected) << c.what;
        if (!c.keepsBlockSelected) {
            EXPECT_EQ(fc.SelectedCount(), 0) << c.what;
        }
    }
}

TEST_F(ChartCanvas, CtrlOrAltClickDoesNothing) {
    fc.MouseDown({100, 95}, ssCtrl);
    fc.MouseUp({100, 95});
    fc.MouseDown({100, 95}, ssAlt);
    fc.MouseUp({100, 95});
    EXPECT_EQ(fc.SelectedCount(), 0);
}

TEST_F(ChartCanvas, DragMovesOnlyBeyondFourPixels) {
    fc.MouseDown({100, 95}, 0);
    fc.MouseMove({102, 97}); // |2| + |2| = 4: no drag
    EXPECT_EQ(fc.Drag().kind, TFcDrag::Pressed);
    fc.MouseUp({102, 97});
    EXPECT_EQ(block->Left(), 70);
    EXPECT_EQ(block->Top(), 80);
    EXPECT_EQ(fc.SelectedObject(), block);

    fc.MouseDown({100, 95}, 0);
    fc.MouseMove({103, 97}); // 5: the drag starts
    ASSERT_EQ(fc.Drag().kind, TFcDrag::Moving);
    ASSERT_EQ(fc.Drag().outlines.size(), 1u);
    EXPECT_EQ(fc.Drag().outlines[0], (TFcRect{73, 82, 163, 114}));
    EXPECT_EQ(block->Left(), 70); // only the outline moves until release
    fc.MouseUp({110, 100});
    EXPECT_EQ(block->Left(), 80);
    EXPECT_EQ(block->Top(), 85);
    EXPECT_EQ(fc.Drag().kind, TFcDrag::None);
}

TEST_F(ChartCanvas, DragUsesClientCoordinatesAndMovesTheGroup) {
    allowAll = true;
    fc.AddObject(0, 0, 2000, 2000, ShapeNone)->SetVisible(false);
    fc.ScrollTo(50, 100);
    // The spot base's empty area at canvas (80, 125) is client (30, 25).
    fc.MouseDown({30, 25}, 0);
    EXPECT_EQ(fc.SelectedObject(), spot2.base);
    fc.MouseMove({30, 45});
    EXPECT_EQ(fc.Drag().outlines.size(), 4u);
    fc.MouseUp({30, 45});
    EXPECT_EQ(spot2.base->Top(), 132);
    EXPECT_EQ(spot2.marker->Top(), 141);
    EXPECT_EQ(spot2.lower->Top(), 164);
}

TEST_F(ChartCanvas, PressOnASelectionMarkResizesAtOnce) {
    fc.SelectObject(block);
    fc.MouseDown({159, 111}, 0); // bottom-right mark
    EXPECT_EQ(fc.Drag().kind, TFcDrag::Resizing);
    fc.MouseMove({161, 112});
    ASSERT_EQ(fc.Drag().outlines.size(), 1u);
    EXPECT_EQ(fc.Drag().outlines[0], (TFcRect{70, 80, 162, 113}));
    fc.MouseUp({169, 121});
    EXPECT_EQ(block->BoundsRect(), (TFcRect{70, 80, 170, 122}));
    // The top-left mark moves the top-left corner; dragging past the far edge flips.
    fc.MouseDown({70, 80}, 0);
    fc.MouseUp({60, 75});
    EXPECT_EQ(block->BoundsRect(), (TFcRect{60, 75, 170, 122}));
    fc.MouseDown({60, 75}, 0);
    fc.MouseUp({200, 75});
    EXPECT_EQ(block->BoundsRect(), (TFcRect{170, 75, 200, 122}));
}

TEST_F(ChartCanvas, DragFromNearTheSelectedObjectDrawsAConnection) {
    fc.SelectObject(block);
    const int lines = fc.ConnectionCount();
    fc.MouseDown({71, 89}, 0); // on the bevel: near, not inside
    EXPECT_EQ(fc.SelectedObject(), block);
    fc.MouseMove({71, 120});
    ASSERT_EQ(fc.Drag().kind, TFcDrag::Connecting);
    EXPECT_EQ(fc.Drag().lineFrom, block->LinkPoint(15)); // (70, 88)
    fc.MouseUp({100, 150});                              // inside the end terminal
    ASSERT_EQ(fc.ConnectionCount(), lines + 1);
    const TFcConnection* c = &fc.Connections().back();
    EXPECT_EQ(c->SourceObject(), block);
    EXPECT_EQ(c->DestObject(), end);
    EXPECT_EQ(c->Points().front(), block->LinkPoint(15));
    EXPECT_EQ(c->Points().back(), end->LinkPoint(c->DestLink()));
    // From the right bevel, released over empty canvas: the end stays at the pointer.
    fc.MouseDown({158, 103}, 0);
    fc.MouseUp({300, 250});
    ASSERT_EQ(fc.ConnectionCount(), lines + 2);
    EXPECT_EQ(fc.Connections().back().DestObject(), nullptr);
    EXPECT_EQ(fc.Connections().back().Points().front(), block->LinkPoint(7));
    EXPECT_EQ(fc.Connections().back().Points().back(), (TFcPoint{300, 250}));
    // The connection goes with the block.
    fc.RemoveObject(block);
    EXPECT_EQ(fc.ConnectionCount(), lines);
}

TEST_F(ChartCanvas, DoubleClickRaisesTheEventWithTheSelectionUnchanged) {
    int raised = 0;
    fc.OnDblClick = [&](TFlowChart& sender) {
        EXPECT_EQ(&sender, &fc);
        EXPECT_EQ(sender.SelectedObject(), block);
        ++raised;
    };
    fc.SelectObject(block);
    fc.MouseDown({300, 300}, 0);
    fc.MouseUp({300, 300});
    fc.DblClick();
    EXPECT_EQ(raised, 1);
}

TEST_F(ChartCanvas, RemovingTheObjectBeingResizedEndsTheDrag) {
    fc.SelectObject(block);
    fc.MouseDown({159, 111}, 0);
    fc.RemoveObject(block);
    EXPECT_EQ(fc.Drag().kind, TFcDrag::None);
    fc.MouseUp({200, 200}); // nothing to resize, no crash
    EXPECT_EQ(fc.SelectedCount(), 0);
}

} // namespace
