// The canvas model: objects, connections, move groups, selection, update bracket, extent.
#include "canvas/FlowChart.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <set>

namespace {

// The lines attached to an object, as a list to compare.
std::vector<TFcConnection*> attachedTo(const TFcObject* o) {
    const auto lines = o->AttachedConnections();
    return {lines.begin(), lines.end()};
}

// Records what the model asks to be painted.
struct Recorder : TFcListener {
    std::vector<TFcRect> areas;
    int scrolled = 0;
    int selectionChanges = 0;
    std::vector<const TFcObject*> removing;
    bool removingWasDeselected = true; // every object told of was already out of the selection
    void fcInvalidate(const TFcRect& area) override { areas.push_back(area); }
    void fcScrolled() override { ++scrolled; }
    void fcSelectionChanged() override { ++selectionChanges; }
    void fcRemoving(const TFcObject& object) override {
        removing.push_back(&object);
        removingWasDeselected = removingWasDeselected && !object.Selected();
        // What is told of an object going may still look at it and at its lines.
        for (const TFcConnection* line : object.AttachedConnections())
            linePointsSeen += line->Points().size();
    }
    std::size_t linePointsSeen = 0;
};

// An insertion spot as the chart builds it, placed at (left, top).
struct Spot {
    TFcObject* base;
    TFcObject* marker;
    TFcObject* upper;
    TFcObject* lower;
    TFcConnection* in;
    TFcConnection* out;
};

Spot makeSpot(TFlowChart& fc, int left, int top) {
    Spot s{};
    s.base = fc.AddObject(0, 0, 90, 32, ShapeNone);
    s.marker = fc.AddObject(25, 9, 40, 14, ShapeRectangle);
    s.marker->Kind = 514;
    s.base->AddGroupMember(s.marker);
    s.upper = fc.AddObject(0, 0, 0, 0, ShapeNone);
    s.base->AddGroupMember(s.upper);
    s.lower = fc.AddObject(0, 0, 0, 0, ShapeNone);
    s.base->AddGroupMember(s.lower);
    s.upper->SetBounds(45, -1, 0, 0);
    s.lower->SetBounds(45, 32, 0, 0);
    s.in = fc.AddConnection(s.upper, s.marker, 0, 2);
    s.out = fc.AddConnection(s.marker, s.lower, 10, 0);
    for (TFcObject* o : {s.base, s.marker, s.upper, s.lower})
        o->SetBounds(o->Left() + left, o->Top() + top, o->Width(), o->Height());
    return s;
}

TEST(FcObjectTest, NewObjectCarriesTheDefaults) {
    TFlowChart fc;
    TFcObject* o = fc.AddObject(10, 20, 90, 32, ShapeRectangle);
    EXPECT_EQ(o->Text(), "");
    EXPECT_EQ(o->Font(), fc.Font);
    EXPECT_FALSE(o->Selected());
    EXPECT_EQ(o->BoundsRect(), (TFcRect{10, 20, 100, 52}));
    EXPECT_EQ(o->EdgeFlags(), 0);
    EXPECT_EQ(o->EdgeSides(), 15);
    EXPECT_EQ(o->TextHorz(), 0);
    EXPECT_EQ(o->TextVert(), 0);
    EXPECT_EQ(o->ImageIndex(), -1);
    EXPECT_EQ(o->ImageHorz(), 0);
    EXPECT_EQ(o->ImageVert(), 0);
    EXPECT_FALSE(o->Transparent());
    EXPECT_TRUE(o->Visible());
    EXPECT_EQ(o->FillColor(), fcRgb(166, 202, 240)); // the canvas colour at creation
    EXPECT_EQ(o->OutlineColor(), fcBlack);
    EXPECT_EQ(o->Shape(), ShapeRectangle);
    EXPECT_EQ(o->OutlineWidth(), 1);
    EXPECT_EQ(o->Payload, "");
    EXPECT_EQ(o->Kind, 0);
    EXPECT_EQ(o->GroupMemberCount(), 0);
    EXPECT_TRUE(o->AttachedConnections().empty());
    // Later objects lie on top.
    TFcObject* p = fc.AddObject(0, 0, 1, 1, ShapeNone);
    EXPECT_LT(o->Order(), p->Order());
    EXPECT_EQ(&fc.Objects().back(), p);
}

TEST(FcObjectTest, SizesAreKeptAsSixteenBitUnsigned) {
    TFlowChart fc;
    TFcObject* o = fc.AddObject(0, 0, 70000, -5, ShapeRectangle);
    EXPECT_EQ(o->Width(), 65535);
    EXPECT_EQ(o->Height(), 0);
}

// Items share one copy of each font; a font set on one item, or a new default for the canvas,
// must never show on another.
TEST(FcObjectTest, FontsAreEachItemsOwnThoughShared) {
    TFlowChart c;
    TFcObject* a = c.AddObject(0, 0, 10, 10, ShapeRectangle);
    TFcObject* b = c.AddObject(20, 0, 10, 10, ShapeRectangle);
    TFcFont bold = c.Font;
    bold.Bold = true;
    a->SetFont(bold);
    EXPECT_EQ(a->Font(), bold);
    EXPECT_EQ(b->Font(), TFcFont{});
    c.Font.Face = "Serif";
    TFcObject* d = c.AddObject(40, 0, 10, 10, ShapeRectangle);
    EXPECT_EQ(d->Font().Face, "Serif");
    EXPECT_EQ(b->Font().Face, "Sans Serif");
    TFcConnection* line = c.AddConnection(a, d, 8, 0);
    EXPECT_EQ(line->Font().Face, "Serif");
    b->SetFont(bold);
    a->SetFont(TFcFont{});
    EXPECT_EQ(b->Font(), bold);
    EXPECT_EQ(a->Font(), TFcFont{});
    // Alike fonts are one copy.
    c.Font = TFcFont{};
    EXPECT_EQ(&c.AddObject(60, 0, 10, 10, ShapeRectangle)->Font(), &a->Font());
}

// A shift of many objects at once, or of the band that holds them, ends as moving each with
// SetBounds would: the same bounds, lines, extent, scroll limits and painted area, whether the
// objects move down or up, with a line to an object left where it was, and the bottom object
// taking the extent along.
TEST(ShiftObjectsTest, EndsAsMovingEachObjectWould) {
    enum class How { ShiftObjects, ShiftBand };
    for (const How how : {How::ShiftObjects, How::ShiftBand})
        for (const int dy : {40, -7}) {
            SCOPED_TRACE(testing::Message()
                         << (how == How::ShiftBand ? "band " : "objects ") << dy);
            struct Canvas {
                TFlowChart fc;
                Recorder painted;
                std::vector<Spot> spots;
                TFcObject* block = nullptr;
                TFcObject* fixed = nullptr;
                TFcConnection* across = nullptr;
            };
            auto build = [](Canvas& c) {
                c.fc.setClientSize(200, 100);
                for (int i = 0; i < 3; ++i)
                    c.spots.push_back(makeSpot(c.fc, 70, 16 + 64 * i));
                c.block = c.fc.AddObject(70, 48, 90, 32, ShapeRectangle);
                c.fixed = c.fc.AddObject(300, 20, 20, 20, ShapeRectangle);
                c.across = c.fc.AddConnection(c.spots[2].marker, c.fixed, 10, 0);
            };
            auto moved = [](Canvas& c) {
                std::vector<TFcObject*> list{c.block};
                for (std::size_t i = 1; i < c.spots.size(); ++i)
                    for (TFcObject* o :
                         {c.spots[i].base, c.spots[i].marker, c.spots[i].upper, c.spots[i].lower})
                        list.push_back(o);
                return list;
            };
            Canvas one, each;
            build(one);
            build(each);
            TFcBand* band = nullptr;
            if (how == How::ShiftBand) {
                band = one.fc.AddBand();
                one.fc.MoveToBand(moved(one), band);
                EXPECT_EQ(one.spots[1].marker->Band(), band);
                EXPECT_EQ(one.spots[0].marker->Band(), nullptr);
            }
            one.fc.setListener(&one.painted);
            each.fc.setListener(&each.painted);
            if (how == How::ShiftBand)
                one.fc.ShiftBand(band, dy);
            else
                one.fc.ShiftObjects(moved(one), dy);
            {
                TFcUpdateBracket bracket(each.fc);
                for (TFcObject* o : moved(each))
                    o->SetBounds(o->Left(), o->Top() + dy, o->Width(), o->Height());
            }
            auto objectsOf = [](const Canvas& c) {
                std::vector<TFcRect> r;
                for (const TFcObject& o : c.fc.Objects())
                    r.push_back(o.BoundsRect());
                return r;
            };
            auto linesOf = [](const Canvas& c) {
                std::vector<std::vector<TFcPoint>> r;
                for (const TFcConnection& l : c.fc.Connections())
                    r.push_back(l.Points());
                return r;
            };
            EXPECT_EQ(objectsOf(one), objectsOf(each));
            EXPECT_EQ(linesOf(one), linesOf(each));
            EXPECT_EQ(one.fc.Extent(), each.fc.Extent());
            EXPECT_EQ(one.fc.ScrollLimits(), each.fc.ScrollLimits());
            ASSERT_EQ(one.painted.areas.size(), 1u);
            EXPECT_EQ(one.painted.areas, each.painted.areas);
            EXPECT_EQ(one.spots[2].base->Top(), 16 + 128 + dy);
            EXPECT_EQ(one.across->Points().back(), each.across->Points().back());
            EXPECT_EQ(one.spots[0].base->Top(), 16);
            // Items hit where they now stand, and painting finds them there in creation order.
            EXPECT_EQ(one.fc.HitTest({100, 16 + 128 + dy + 20}).object, one.spots[2].marker);
            const TFcRect all{-1000, -1000, 1000, 1000};
            const auto inOne = one.fc.ObjectsIn(all);
            const auto inEach = each.fc.ObjectsIn(all);
            ASSERT_EQ(inOne.size(), inEach.size());
            for (std::size_t i = 0; i < inOne.size(); ++i)
                EXPECT_EQ(inOne[i]->Order(), inEach[i]->Order()) << i;
            EXPECT_EQ(one.fc.ConnectionsIn(all).size(), each.fc.ConnectionsIn(all).size());
            const TFcRect below{0, 16 + 128 + dy, 400, 16 + 128 + dy + 10};
            EXPECT_EQ(one.fc.ConnectionsIn(below).size(), each.fc.ConnectionsIn(below).size());
        }
}

// Bands keep what they hold where it is: moving objects in and out, removing the band, and
// removing the object on the edge of a shifted band all leave bounds, lines, the extent and hit
// tests as they would be without bands.
TEST(FcBandTest, ObjectsKeepTheirPlaceAsBandsComeAndGo) {
    TFlowChart fc;
    fc.setClientSize(100, 100);
    Spot top = makeSpot(fc, 70, 16);
    Spot low = makeSpot(fc, 70, 300);
    TFcBand* band = fc.AddBand();
    fc.MoveToBand(std::vector<TFcObject*>{low.base, low.marker, low.upper, low.lower}, band);
    EXPECT_EQ(band->ObjectCount(), 4);
    EXPECT_EQ(low.marker->Top(), 309);
    // Moved in after an object made later, they are still painted in the order made.
    TFcObject* later = fc.AddObject(70, 300, 10, 10, ShapeRectangle, band);
    fc.MoveToBand(std::vector<TFcObject*>{top.base}, band);
    auto painted = fc.ObjectsIn({0, 0, 400, 400});
    ASSERT_FALSE(painted.empty());
    EXPECT_TRUE(std::is_sorted(painted.begin(), painted.end(),
                               [](auto* a, auto* b) { return a->Order() < b->Order(); }));
    EXPECT_EQ(painted.back(), later);
    fc.MoveToBand(std::vector<TFcObject*>{top.base}, nullptr);
    fc.RemoveObject(later);
    // A line between the two bands follows either end.
    TFcConnection* across = fc.AddConnection(top.marker, low.marker, 10, 2);
    fc.ShiftBand(band, 100);
    EXPECT_EQ(low.marker->Top(), 409);
    EXPECT_EQ(low.in->Points(), (std::vector<TFcPoint>{{115, 399}, {115, 409}}));
    EXPECT_EQ(across->Points().back(), (TFcPoint{115, 409}));
    EXPECT_EQ(fc.Extent().bottom, 433); // the line down to the lower anchor at 432
    EXPECT_EQ(fc.HitTest({100, 415}).object, low.marker);
    // Two lines pass there, one in the band and one outside: the later one is hit.
    EXPECT_EQ(fc.HitTest({115, 405}).connection, across);
    // A move within the band is a move on the canvas.
    const std::uint64_t revision = band->Revision();
    low.marker->SetTop(420);
    EXPECT_EQ(low.marker->BoundsRect(), (TFcRect{95, 420, 135, 434}));
    EXPECT_EQ(across->Points().back(), (TFcPoint{115, 420}));
    EXPECT_EQ(fc.Extent().bottom, 434);
    EXPECT_GT(band->Revision(), revision);
    // The object on the band's bottom edge goes: the extent shrinks to what is left.
    fc.RemoveObject(low.marker);
    EXPECT_EQ(fc.Extent().bottom, 432);
    fc.ShiftBand(band, -200);
    EXPECT_EQ(fc.Extent().bottom, 232);
    EXPECT_EQ(low.base->BoundsRect(), (TFcRect{70, 200, 160, 232}));
    // Removing the band leaves its objects where they stand, in the canvas's own band.
    fc.RemoveBand(band);
    EXPECT_EQ(low.base->Band(), nullptr);
    EXPECT_EQ(low.base->BoundsRect(), (TFcRect{70, 200, 160, 232}));
    EXPECT_EQ(fc.HitTest({100, 210}).nearObject, low.base);
    EXPECT_EQ(fc.BandCount(), 0);
    // The canvas's own band never moves.
    fc.ShiftBand(nullptr, 10);
    EXPECT_EQ(top.base->Top(), 16);
}

// Dropping a band with everything in it ends as removing each of its objects would: the line to
// an object outside goes, move groups across the band's edge let go, the selection and the extent
// follow, and what was painted there is painted again.
TEST(FcBandTest, DroppingABandEndsAsRemovingEachObject) {
    enum class How { DropBand, RemoveEach };
    struct Canvas {
        TFlowChart fc;
        Recorder painted;
        Spot top, low;
        TFcObject* loose = nullptr;
        TFcBand* band = nullptr;
    };
    const auto build = [](Canvas& c, How how) {
        c.fc.setListener(&c.painted);
        c.fc.Options |= fcoMultiSelect;
        c.top = makeSpot(c.fc, 70, 16);
        c.low = makeSpot(c.fc, 70, 300);
        c.loose = c.fc.AddObject(200, 500, 20, 20, ShapeRectangle);
        c.band = c.fc.AddBand();
        c.fc.MoveToBand(std::vector<TFcObject*>{c.low.base, c.low.marker, c.low.upper, c.low.lower},
                        c.band);
        c.fc.ShiftBand(c.band, 300); // the band now reaches furthest down
        c.fc.AddConnection(c.top.marker, c.low.marker, 10, 2);
        c.top.base->AddGroupMember(c.low.upper); // an owner outside the band
        c.low.base->AddGroupMember(c.loose);     // a member outside the band
        c.fc.SelectItem(*c.low.marker);
        c.fc.SelectItem(*c.top.marker);
        c.painted.areas.clear();
        c.painted.removing.clear();
        if (how == How::DropBand) {
            c.fc.DropBand(c.band);
        } else {
            for (TFcObject* o : {c.low.upper, c.low.lower, c.low.base, c.low.marker})
                c.fc.RemoveObject(o);
            c.fc.RemoveBand(c.band);
        }
    };
    Canvas dropped, each;
    build(dropped, How::DropBand);
    build(each, How::RemoveEach);
    const auto boundsOf = [](const Canvas& c) {
        std::vector<TFcRect> r;
        for (const TFcObject& o : c.fc.Objects())
            r.push_back(o.BoundsRect());
        return r;
    };
    const auto linesOf = [](const Canvas& c) {
        std::vector<std::vector<TFcPoint>> r;
        for (const TFcConnection& l : c.fc.Connections())
            r.push_back(l.Points());
        return r;
    };
    const auto unionOf = [](const std::vector<TFcRect>& areas) {
        TFcRect u = areas.empty() ? TFcRect{} : areas.front();
        for (const TFcRect& a : areas)
            u = u.united(a);
        return u;
    };
    EXPECT_EQ(dropped.fc.ObjectCount(), 5); // the upper spot and the loose object
    EXPECT_EQ(boundsOf(dropped), boundsOf(each));
    EXPECT_EQ(dropped.fc.ConnectionCount(), 2);
    EXPECT_EQ(linesOf(dropped), linesOf(each));
    EXPECT_EQ(attachedTo(dropped.top.marker),
              (std::vector<TFcConnection*>{dropped.top.in, dropped.top.out}));
    EXPECT_EQ(dropped.top.base->GroupMemberCount(), 3);
    EXPECT_EQ(dropped.top.base->GroupMemberCount(), each.top.base->GroupMemberCount());
    EXPECT_TRUE(dropped.loose->ReachesInGroup(dropped.loose));
    EXPECT_EQ(dropped.fc.SelectedObjects(), std::vector<TFcObject*>{dropped.top.marker});
    EXPECT_EQ(dropped.fc.Extent(), each.fc.Extent());
    EXPECT_EQ(dropped.fc.Extent().bottom, 520); // the loose object is now lowest
    EXPECT_EQ(dropped.fc.ScrollLimits(), each.fc.ScrollLimits());
    EXPECT_EQ(unionOf(dropped.painted.areas), unionOf(each.painted.areas));
    // Each canvas told of the four objects of its band (the recorded pointers are not read).
    for (const Canvas* c : {&dropped, &each}) {
        const std::set<const TFcObject*> told(c->painted.removing.begin(),
                                              c->painted.removing.end());
        EXPECT_EQ(told, (std::set<const TFcObject*>{c->low.base, c->low.marker, c->low.upper,
                                                    c->low.lower}));
        EXPECT_EQ(c->painted.removing.size(), 4u);
    }
    EXPECT_TRUE(dropped.painted.removingWasDeselected);
    EXPECT_EQ(dropped.fc.BandCount(), 0);
    EXPECT_EQ(dropped.fc.HitTest({100, 615}).object, nullptr);
    // What stays can still be moved with its group and removed.
    dropped.fc.RemoveObject(dropped.loose);
    dropped.fc.RemoveObject(dropped.top.base);
    EXPECT_EQ(dropped.fc.ObjectCount(), 3);
}

TEST(FcConnectionTest, DefaultsAndEndsOnTheLinkPoints) {
    TFlowChart fc;
    Spot s = makeSpot(fc, 70, 48);
    EXPECT_EQ(s.in->SourceObject(), s.upper);
    EXPECT_EQ(s.in->DestObject(), s.marker);
    EXPECT_EQ(s.in->SourceLink(), 0);
    EXPECT_EQ(s.in->DestLink(), 2);
    EXPECT_EQ(s.in->Style(), 0);
    EXPECT_EQ(s.in->Pen(), TFcPen{});
    // The new chart's lines: (115, 47) to (115, 57) and (115, 70) to (115, 80).
    EXPECT_EQ(s.in->Points(), (std::vector<TFcPoint>{{115, 47}, {115, 57}}));
    EXPECT_EQ(s.out->Points(), (std::vector<TFcPoint>{{115, 70}, {115, 80}}));
    EXPECT_EQ(attachedTo(s.marker), (std::vector<TFcConnection*>{s.in, s.out}));
    EXPECT_EQ(s.marker->LinkedObjects(), (std::vector<TFcObject*>{s.upper, s.lower}));
    EXPECT_EQ(fc.ConnectionCount(), 2);
}

TEST(FcConnectionTest, EndsFollowMovesResizesAndShapeChanges) {
    TFlowChart fc;
    Spot s = makeSpot(fc, 70, 48);
    s.marker->SetTop(100);
    EXPECT_EQ(s.in->Points().back(), (TFcPoint{115, 100}));
    EXPECT_EQ(s.out->Points().front(), (TFcPoint{115, 113}));
    s.marker->SetBounds(0, 0, 20, 20);
    EXPECT_EQ(s.in->Points().back(), (TFcPoint{10, 0}));
    EXPECT_EQ(s.out->Points().front(), (TFcPoint{10, 19}));
    s.upper->SetLeft(300);
    EXPECT_EQ(s.in->Points().front(), (TFcPoint{300, 47}));
    s.marker->SetShape(ShapeRoundRect);
    EXPECT_EQ(s.in->Points().back(), s.marker->LinkPoint(2));
}

TEST(MoveGroupTest, AddsDirectMembersInOrder) {
    TFlowChart fc;
    Spot s = makeSpot(fc, 0, 0);
    ASSERT_EQ(s.base->GroupMemberCount(), 3);
    EXPECT_EQ(s.base->GroupMember(0), s.marker);
    EXPECT_EQ(s.base->GroupMember(1), s.upper);
    EXPECT_EQ(s.base->GroupMember(2), s.lower);
    EXPECT_EQ(s.base->GroupMember(3), nullptr);
    EXPECT_EQ(s.base->GroupMember(-1), nullptr);
}

TEST(MoveGroupTest, RefusesItselfAndMembersAlreadyReachable) {
    TFlowChart fc;
    TFcObject* a = fc.AddObject(0, 0, 1, 1, ShapeNone);
    TFcObject* b = fc.AddObject(0, 0, 1, 1, ShapeNone);
    TFcObject* c = fc.AddObject(0, 0, 1, 1, ShapeNone);
    a->AddGroupMember(a);
    EXPECT_EQ(a->GroupMemberCount(), 0);
    a->AddGroupMember(b);
    b->AddGroupMember(c);
    a->AddGroupMember(b); // direct member already
    a->AddGroupMember(c); // reachable through b
    EXPECT_EQ(a->GroupMemberCount(), 1);
    EXPECT_EQ(b->GroupMemberCount(), 1);
    EXPECT_TRUE(a->ReachesInGroup(c));
    EXPECT_FALSE(c->ReachesInGroup(a));
    // The check looks forward only: c may hold a, which closes a cycle; searches still end.
    c->AddGroupMember(a);
    EXPECT_EQ(c->GroupMemberCount(), 1);
    EXPECT_TRUE(c->ReachesInGroup(b));
    b->AddGroupMember(a); // reachable through c
    EXPECT_EQ(b->GroupMemberCount(), 1);
}

TEST(MoveGroupTest, ReachabilityThroughLongChainsAndCycles) {
    TFlowChart fc;
    std::vector<TFcObject*> chain;
    for (int i = 0; i < 50; ++i)
        chain.push_back(fc.AddObject(i, 0, 1, 1, ShapeNone));
    for (int i = 0; i + 1 < 50; ++i)
        chain[i]->AddGroupMember(chain[i + 1]);
    chain[0]->AddGroupMember(chain[49]);
    EXPECT_EQ(chain[0]->GroupMemberCount(), 1);
    // Close the ring, then fan out so the search meets many objects twice.
    chain[49]->AddGroupMember(chain[0]);
    for (int i = 0; i < 50; i += 5)
        chain[i]->AddGroupMember(chain[(i + 25) % 50]); // already reachable round the ring
    EXPECT_EQ(chain[0]->GroupMemberCount(), 1);
    TFcObject* outsider = fc.AddObject(0, 0, 1, 1, ShapeNone);
    EXPECT_FALSE(chain[10]->ReachesInGroup(outsider));
    EXPECT_TRUE(chain[10]->ReachesInGroup(chain[9]));
}

TEST(RemoveObjectTest, MarkerTakesBothConnectionsAlong) {
    TFlowChart fc;
    Spot s = makeSpot(fc, 70, 48);
    fc.RemoveObject(s.marker);
    EXPECT_EQ(fc.ConnectionCount(), 0);
    EXPECT_TRUE(s.upper->AttachedConnections().empty());
    EXPECT_TRUE(s.lower->AttachedConnections().empty());
    EXPECT_EQ(s.base->GroupMemberCount(), 2);
    EXPECT_EQ(s.base->GroupMember(0), s.upper);
    EXPECT_EQ(fc.ObjectCount(), 3);
}

TEST(RemoveObjectTest, LeavesEveryMoveGroupAndTheSelection) {
    TFlowChart fc;
    TFcObject* a = fc.AddObject(0, 0, 10, 10, ShapeRectangle);
    TFcObject* b = fc.AddObject(0, 0, 10, 10, ShapeRectangle);
    TFcObject* m = fc.AddObject(0, 0, 10, 10, ShapeRectangle);
    TFcObject* child = fc.AddObject(0, 0, 10, 10, ShapeRectangle);
    a->AddGroupMember(m);
    b->AddGroupMember(m);
    m->AddGroupMember(child);
    fc.SelectObject(m);
    fc.RemoveObject(m);
    EXPECT_EQ(a->GroupMemberCount(), 0);
    EXPECT_EQ(b->GroupMemberCount(), 0);
    EXPECT_EQ(fc.SelectedCount(), 0);
    EXPECT_EQ(fc.SelectedObject(), nullptr);
    // The former member can be grouped again and removed without touching freed memory.
    a->AddGroupMember(child);
    fc.RemoveObject(child);
    EXPECT_EQ(a->GroupMemberCount(), 0);
    EXPECT_EQ(fc.ObjectCount(), 2);
}

TEST(RemoveObjectTest, RemovingInAnyOrderEmptiesTheCanvas) {
    TFlowChart fc;
    std::vector<Spot> spots;
    for (int i = 0; i < 5; ++i)
        spots.push_back(makeSpot(fc, 70, 16 + 32 * i));
    // The chart's order: upper anchor, lower anchor, base, marker.
    for (const Spot& s : spots) {
        fc.RemoveObject(s.upper);
        fc.RemoveObject(s.lower);
        fc.RemoveObject(s.base);
        EXPECT_EQ(s.marker->AttachedConnections().size(), 0u);
        fc.RemoveObject(s.marker);
    }
    EXPECT_EQ(fc.ObjectCount(), 0);
    EXPECT_EQ(fc.ConnectionCount(), 0);
    EXPECT_EQ(fc.Extent(), (TFcRect{0, 0, 0, 0}));
}

TEST(RemoveObjectTest, RepaintsTheAreaItCovered) {
    TFlowChart fc;
    Recorder rec;
    fc.setListener(&rec);
    TFcObject* o = fc.AddObject(100, 200, 50, 20, ShapeRectangle);
    rec.areas.clear();
    fc.RemoveObject(o);
    ASSERT_FALSE(rec.areas.empty());
    TFcRect all;
    for (const TFcRect& r : rec.areas)
        all = all.united(r);
    EXPECT_TRUE(all.contains({100, 200}));
    EXPECT_TRUE(all.contains({149, 219}));
}

// ---- selection ----

struct SelectionFixture : ::testing::Test {
    TFlowChart fc;
    std::vector<TFcItem*> asked;
    TFcObject* refused = nullptr;
    TFcObject* a = nullptr;
    TFcObject* b = nullptr;

    void SetUp() override {
        fc.OnSelection = [this](TFlowChart& sender, TFcItem& item, bool& allow) {
            EXPECT_EQ(&sender, &fc);
            EXPECT_TRUE(allow); // enters as fcoCanSelect
            asked.push_back(&item);
            if (item.asConnection() || item.asObject() == refused)
                allow = false;
        };
        a = fc.AddObject(0, 0, 90, 32, ShapeRectangle);
        b = fc.AddObject(0, 40, 90, 32, ShapeRectangle);
    }
};

TEST_F(SelectionFixture, SelectObjectAsksTheHookAndKeepsOneSelected) {
    fc.SelectObject(a);
    EXPECT_EQ(asked, (std::vector<TFcItem*>{a}));
    EXPECT_EQ(fc.SelectedObject(), a);
    EXPECT_TRUE(a->Selected());
    fc.SelectObject(b);
    EXPECT_EQ(fc.SelectedObject(), b);
    EXPECT_FALSE(a->Selected());
    EXPECT_EQ(fc.SelectedCount(), 1);
}

TEST_F(SelectionFixture, SelectingTheSelectedObjectAsksNoHookAndRepaintsNothing) {
    fc.SelectObject(a);
    asked.clear();
    Recorder rec;
    fc.setListener(&rec);
    fc.SelectObject(a);
    EXPECT_TRUE(asked.empty());
    EXPECT_TRUE(rec.areas.empty());
    EXPECT_EQ(fc.SelectedObject(), a);
}

TEST_F(SelectionFixture, RefusedObjectLeavesNothingSelected) {
    fc.SelectObject(a);
    refused = b;
    fc.SelectObject(b);
    EXPECT_EQ(fc.SelectedObject(), nullptr);
    EXPECT_EQ(fc.SelectedCount(), 0);
    EXPECT_FALSE(b->Selected());
    EXPECT_FALSE(a->Selected());
}

TEST_F(SelectionFixture, SelectObjectWithNoneClears) {
    fc.SelectObject(a);
    asked.clear();
    fc.SelectObject(nullptr);
    EXPECT_EQ(fc.SelectedCount(), 0);
    EXPECT_TRUE(asked.empty());
}

TEST_F(SelectionFixture, CanSelectOptionOffMakesTheDefaultAnswerRefuse) {
    fc.OnSelection = nullptr;
    fc.Options &= ~fcoCanSelect;
    fc.SelectObject(a);
    EXPECT_EQ(fc.SelectedObject(), nullptr);
    fc.Options |= fcoCanSelect;
    fc.SelectObject(a);
    EXPECT_EQ(fc.SelectedObject(), a);
}

TEST_F(SelectionFixture, SelectionRepaintsTheItem) {
    Recorder rec;
    fc.setListener(&rec);
    fc.SelectObject(b);
    ASSERT_EQ(rec.areas.size(), 1u);
    EXPECT_TRUE(rec.areas[0].contains({0, 40}));
    EXPECT_TRUE(rec.areas[0].contains({-2, 38})); // the marks reach beyond the bounds
}

TEST_F(SelectionFixture, EveryChangeOfTheSelectionIsTold) {
    Recorder rec;
    fc.setListener(&rec);
    struct Step {
        const char* what;
        std::function<void()> act;
        bool told;
    };
    const Step steps[] = {
        {"select", [&] { fc.SelectObject(a); }, true},
        {"select the selected", [&] { fc.SelectObject(a); }, false},
        {"select another", [&] { fc.SelectObject(b); }, true},
        {"a refused object",
         [&] {
             refused = a;
             fc.SelectItem(*a);
         },
         false},
        {"deselect another", [&] { fc.DeselectItem(*a); }, false},
        {"deselect", [&] { fc.DeselectItem(*b); }, true},
        {"clear an empty selection", [&] { fc.ClearSelection(); }, false},
        {"reselect", [&] { fc.SelectObject(b); }, true},
        {"remove the selected object", [&] { fc.RemoveObject(b); }, true},
    };
    for (const Step& step : steps) {
        rec.selectionChanges = 0;
        step.act();
        EXPECT_EQ(rec.selectionChanges > 0, step.told) << step.what;
    }
    fc.setListener(nullptr);
}

TEST(RemoveObjectTest, TellsTheListenerOfEveryObjectBeforeItGoes) {
    TFlowChart fc;
    Spot spot = makeSpot(fc, 0, 0);
    TFcObject* lone = fc.AddObject(0, 100, 10, 10, ShapeRectangle);
    fc.SelectObject(spot.marker);
    Recorder rec;
    fc.setListener(&rec);
    fc.RemoveObject(spot.marker);
    fc.RemoveObject(lone);
    fc.RemoveObject(nullptr);
    EXPECT_EQ(rec.removing, (std::vector<const TFcObject*>{spot.marker, lone}));
    EXPECT_TRUE(rec.removingWasDeselected);
    fc.setListener(nullptr);
}

// ---- update bracket ----

TEST(UpdateBracketTest, NestedBracketRepaintsOnceAtTheOutermostEnd) {
    TFlowChart fc;
    Recorder rec;
    fc.setListener(&rec);
    fc.BeginUpdate();
    fc.BeginUpdate();
    TFcObject* a = fc.AddObject(10, 10, 20, 20, ShapeRectangle);
    TFcObject* b = fc.AddObject(300, 400, 20, 20, ShapeRectangle);
    a->SetText("x");
    fc.EndUpdate();
    EXPECT_TRUE(rec.areas.empty());
    b->SetTop(500);
    fc.EndUpdate();
    ASSERT_EQ(rec.areas.size(), 1u);
    EXPECT_TRUE(rec.areas[0].contains({10, 10}));
    EXPECT_TRUE(rec.areas[0].contains({319, 519}));
    EXPECT_TRUE(rec.areas[0].contains({300, 400})); // the old place too
    EXPECT_EQ(fc.UpdateDepth(), 0);
}

TEST(UpdateBracketTest, NothingRecordedNothingRepainted) {
    TFlowChart fc;
    TFcObject* a = fc.AddObject(10, 10, 20, 20, ShapeRectangle);
    Recorder rec;
    fc.setListener(&rec);
    fc.BeginUpdate();
    a->SetText("");   // unchanged
    a->SetLeft(10);   // unchanged
    a->Payload = "x"; // plain field
    a->Kind = 3;      // plain field
    fc.EndUpdate();
    EXPECT_TRUE(rec.areas.empty());
    fc.EndUpdate(); // at 0: nothing
    EXPECT_EQ(fc.UpdateDepth(), 0);
    EXPECT_TRUE(rec.areas.empty());
}

TEST(UpdateBracketTest, OutsideABracketEveryChangeRepaints) {
    TFlowChart fc;
    TFcObject* a = fc.AddObject(10, 10, 20, 20, ShapeRectangle);
    Recorder rec;
    fc.setListener(&rec);
    a->SetFillColor(fcWhite);
    EXPECT_EQ(rec.areas.size(), 1u);
    a->SetFillColor(fcWhite);
    EXPECT_EQ(rec.areas.size(), 1u);
    a->SetLeft(100);
    EXPECT_GE(rec.areas.size(), 2u);
}

// ---- extent and scrolling ----

TEST(ExtentTest, HoldsOriginObjectsAndConnections) {
    TFlowChart fc;
    EXPECT_EQ(fc.Extent(), (TFcRect{0, 0, 0, 0}));
    TFcObject* a = fc.AddObject(100, 50, 90, 32, ShapeRectangle);
    EXPECT_EQ(fc.Extent(), (TFcRect{0, 0, 190, 82}));
    TFcObject* b = fc.AddObject(-20, -30, 10, 10, ShapeRectangle);
    EXPECT_EQ(fc.Extent(), (TFcRect{-20, -30, 190, 82}));
    // A line to a free point far away counts.
    fc.AddConnectionTo(a, 0, {500, 600});
    EXPECT_EQ(fc.Extent(), (TFcRect{-20, -30, 501, 601}));
    fc.RemoveObject(a);
    EXPECT_EQ(fc.Extent(), (TFcRect{-20, -30, 0, 0}));
    b->SetBounds(5, 5, 10, 10);
    EXPECT_EQ(fc.Extent(), (TFcRect{0, 0, 15, 15}));
}

TEST(ExtentTest, ShrinksWhenTheOutermostObjectMovesIn) {
    TFlowChart fc;
    TFcObject* a = fc.AddObject(0, 0, 10, 10, ShapeRectangle);
    TFcObject* b = fc.AddObject(0, 1000, 10, 10, ShapeRectangle);
    EXPECT_EQ(fc.Extent().bottom, 1010);
    b->SetTop(20);
    EXPECT_EQ(fc.Extent().bottom, 30);
    a->SetTop(2000);
    EXPECT_EQ(fc.Extent().bottom, 2010);
}

TEST(ExtentTest, ZeroSizeAnchorLinesReachOnePixelOut) {
    TFlowChart fc;
    TFcObject* a = fc.AddObject(50, 50, 0, 0, ShapeNone);
    TFcObject* b = fc.AddObject(50, 80, 0, 0, ShapeNone);
    fc.AddConnection(a, b, 8, 0); // point 8 of an anchor is (x - 1, y - 1)
    EXPECT_EQ(fc.Extent(), (TFcRect{0, 0, 51, 81}));
}

struct ScrollFixture : ::testing::Test {
    TFlowChart fc;
    Recorder rec;
    void SetUp() override {
        fc.setListener(&rec);
        fc.setClientSize(200, 100);
    }
};

TEST_F(ScrollFixture, LimitsFollowTheExtentWithTheLowerLimitWinning) {
    fc.AddObject(0, 0, 1000, 500, ShapeRectangle);
    EXPECT_EQ(fc.ScrollLimits(), (TFcRect{0, 0, 800, 400}));
    fc.ScrollTo(5000, -50);
    EXPECT_EQ(fc.ScrollPos(), (TFcPoint{800, 0}));
    fc.ScrollTo(300, 350);
    EXPECT_EQ(fc.ScrollPos(), (TFcPoint{300, 350}));
    // A smaller extent than the client: the lower limit wins.
    TFlowChart small;
    small.setClientSize(200, 100);
    small.AddObject(-10, -20, 50, 50, ShapeRectangle);
    EXPECT_EQ(small.ScrollLimits(), (TFcRect{-10, -20, -10, -20}));
    small.ScrollTo(100, 100);
    EXPECT_EQ(small.ScrollPos(), (TFcPoint{-10, -20}));
}

TEST_F(ScrollFixture, RemovingTheFarObjectPullsTheScrollPositionBack) {
    fc.AddObject(0, 0, 10, 10, ShapeRectangle);
    TFcObject* far = fc.AddObject(0, 2000, 10, 10, ShapeRectangle);
    fc.ScrollTo(0, 1900);
    EXPECT_EQ(fc.ScrollPos().y, 1900);
    const int scrolledBefore = rec.scrolled;
    fc.RemoveObject(far);
    // The painter learns of the new limits when it reads them.
    EXPECT_EQ(fc.ScrollLimits().bottom, 0);
    EXPECT_EQ(fc.ScrollPos().y, 0);
    EXPECT_EQ(rec.scrolled, scrolledBefore + 1);
    fc.AddObject(0, 0, 10, 3000, ShapeRectangle);
    EXPECT_EQ(fc.ScrollPos().y, 0);
}

TEST_F(ScrollFixture, EndOfAnUpdateBracketPinsTheScrollPosition) {
    fc.AddObject(0, 0, 10, 10, ShapeRectangle);
    TFcObject* far = fc.AddObject(0, 2000, 10, 10, ShapeRectangle);
    fc.ScrollTo(0, 1900);
    fc.BeginUpdate();
    fc.RemoveObject(far);
    fc.EndUpdate();
    EXPECT_EQ(fc.ScrollPos().y, 0);
}

TEST_F(ScrollFixture, ScrollPositionReadsNeverRescanDuringAnEdit) {
    // A painter that maps every damaged area through the scroll position while a column is
    // removed from the bottom up sees a position that stays put until the limits are read.
    std::vector<TFcObject*> column;
    for (int i = 0; i < 100; ++i)
        column.push_back(fc.AddObject(0, i * 50, 10, 50, ShapeRectangle));
    fc.ScrollTo(0, 4900);
    ASSERT_EQ(fc.ScrollPos().y, 4900);
    for (auto it = column.rbegin(); it != column.rend(); ++it) {
        fc.RemoveObject(*it);
        EXPECT_EQ(fc.ScrollPos().y, 4900);
    }
    EXPECT_EQ(fc.Extent(), (TFcRect{0, 0, 0, 0}));
    EXPECT_EQ(fc.ScrollPos().y, 0);
}

TEST_F(ScrollFixture, ClientCoordinatesFollowTheScrollPosition) {
    fc.AddObject(0, 0, 1000, 1000, ShapeRectangle);
    fc.ScrollTo(30, 40);
    EXPECT_EQ(fc.clientToCanvas({1, 2}), (TFcPoint{31, 42}));
    EXPECT_EQ(fc.canvasToClient({31, 42}), (TFcPoint{1, 2}));
    EXPECT_GE(rec.scrolled, 1);
}

struct IntoViewCase {
    const char* name;
    TFcPoint scrollBefore;
    TFcRect object; // left, top, right, bottom
    TFcPoint scrollAfter;
};

class ScrollIntoViewTest : public ::testing::TestWithParam<IntoViewCase> {};

TEST_P(ScrollIntoViewTest, ScrollsAsLittleAsPossible) {
    const IntoViewCase& c = GetParam();
    TFlowChart fc;
    fc.setClientSize(200, 100);
    fc.AddObject(-1000, -1000, 3000, 3000, ShapeNone)->SetVisible(false); // room to scroll
    fc.ScrollTo(c.scrollBefore.x, c.scrollBefore.y);
    ASSERT_EQ(fc.ScrollPos(), c.scrollBefore);
    TFcObject* o = fc.AddObject(c.object.left, c.object.top, c.object.width(), c.object.height(),
                                ShapeRectangle);
    o->SetVisible(false);
    o->ScrollIntoView();
    EXPECT_TRUE(o->Visible());
    EXPECT_EQ(fc.ScrollPos(), c.scrollAfter) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScrollIntoViewTest,
    ::testing::Values(
        IntoViewCase{"already in view", {0, 0}, {10, 10, 100, 42}, {0, 0}},
        IntoViewCase{"below: bottom edge onto the client's", {0, 0}, {10, 150, 100, 182}, {0, 82}},
        IntoViewCase{"right: right edge onto the client's", {0, 0}, {250, 10, 340, 42}, {140, 0}},
        IntoViewCase{"above: top edge onto the client's", {0, 500}, {10, 300, 100, 332}, {0, 300}},
        IntoViewCase{"left", {400, 0}, {100, 10, 190, 42}, {100, 0}},
        IntoViewCase{"exactly touching the bottom", {0, 0}, {10, 68, 100, 100}, {0, 0}},
        // Higher than the client: its inner area is used, and the top wins over the bottom.
        IntoViewCase{"taller than the client", {0, 0}, {10, 300, 100, 600}, {0, 301}},
        // Wider than the client: inner area from L + 1; top-left kept in view.
        IntoViewCase{"wider than the client", {0, 0}, {500, 10, 900, 40}, {501, 0}}));

TEST_F(ScrollFixture, ScrollIntoViewMeasuresFromThePinnedPosition) {
    TFcObject* top = fc.AddObject(0, 0, 10, 10, ShapeRectangle);
    TFcObject* mid = fc.AddObject(0, 950, 10, 10, ShapeRectangle);
    TFcObject* far = fc.AddObject(0, 5000, 10, 10, ShapeRectangle);
    fc.ScrollTo(0, 900);  // mid is in view here
    fc.RemoveObject(far); // limits now end at 960 - 100
    mid->ScrollIntoView();
    EXPECT_EQ(fc.ScrollPos().y, 860);
    fc.ScrollBy(0, -10);
    EXPECT_EQ(fc.ScrollPos().y, 850);
    (void)top;
}

TEST_F(ScrollFixture, ScrollIntoViewRespectsTheScrollLimits) {
    // Only a small canvas: the object at the bottom cannot scroll beyond the extent.
    TFcObject* o = fc.AddObject(0, 90, 50, 20, ShapeRectangle);
    o->ScrollIntoView();
    EXPECT_EQ(fc.ScrollPos(), (TFcPoint{0, 10}));
}

} // namespace

namespace {

// Many removals squeeze the canvas's internal scan index; queries must still see exactly the
// objects and lines that are left, in list order.
TEST(ScanIndexTest, QueriesStayRightAfterManyRemovals) {
    TFlowChart fc;
    std::vector<TFcObject*> objects;
    std::vector<TFcConnection*> lines;
    for (int i = 0; i < 300; ++i) {
        objects.push_back(fc.AddObject(0, i * 10, 50, 10, ShapeRectangle));
        if (i > 0)
            lines.push_back(fc.AddConnection(objects[i - 1], objects[i], 14, 14));
    }
    // Remove every object but each seventh, front to back.
    std::vector<TFcObject*> kept;
    for (int i = 0; i < 300; ++i) {
        if (i % 7 == 0)
            kept.push_back(objects[i]);
        else
            fc.RemoveObject(objects[i]);
    }
    ASSERT_EQ(fc.ObjectCount(), static_cast<int>(kept.size()));
    EXPECT_EQ(fc.ConnectionCount(), 0);
    EXPECT_EQ(fc.ObjectsIn({-10, -10, 100, 4000}), kept);
    EXPECT_EQ(fc.ObjectsIn({0, 70, 1, 71}), (std::vector<TFcObject*>{kept[1]}));
    kept[1]->SetVisible(false);
    EXPECT_TRUE(fc.ObjectsIn({0, 70, 1, 71}).empty()); // hidden objects are not painted
    kept[1]->SetVisible(true);
    for (TFcObject* o : kept) {
        EXPECT_EQ(fc.HitTest({25, o->Top() + 5}).object, o);
        o->SetLeft(100); // moves must reach the index entry of a squeezed object
        EXPECT_EQ(fc.HitTest({125, o->Top() + 5}).object, o);
        EXPECT_EQ(fc.HitTest({25, o->Top() + 5}).object, nullptr);
    }
    EXPECT_EQ(fc.HitTest({125, 15}).object, nullptr); // a removed object's place
    fc.SelectObject(kept[3]);
    EXPECT_EQ(fc.NearestObject(TFcKey::Down), kept[4]);
    EXPECT_EQ(fc.NearestObject(TFcKey::Up), kept[2]);
    // Lines between the kept objects are found again after their own index squeezes.
    std::vector<TFcConnection*> newLines;
    for (std::size_t i = 1; i < kept.size(); ++i)
        newLines.push_back(fc.AddConnection(kept[i - 1], kept[i], 6, 6));
    for (std::size_t i = 0; i < newLines.size(); i += 2)
        fc.RemoveConnection(newLines[i]);
    std::vector<TFcConnection*> odd;
    for (std::size_t i = 1; i < newLines.size(); i += 2)
        odd.push_back(newLines[i]);
    EXPECT_EQ(fc.ConnectionsIn({0, 0, 1000, 4000}), odd);
    // A line from row 70 to row 140 meets a strip at row 100; its neighbours do not.
    EXPECT_EQ(fc.ConnectionsIn({0, 100, 1000, 101}), (std::vector<TFcConnection*>{newLines[1]}));
    for (std::size_t i = 1; i < newLines.size(); i += 2) {
        const TFcPoint a = newLines[i]->Points().front();
        EXPECT_EQ(fc.HitTest({a.x, a.y + 3}).connection, newLines[i]) << i;
    }
    EXPECT_EQ(fc.Extent(), (TFcRect{0, 0, 150, kept.back()->Top() + 10}));
}

} // namespace
