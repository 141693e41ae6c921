// Pure geometry of the canvas: link points, inner areas, placement, shapes, marks, arrow scores.
#include "canvas/FcGeometry.h"

#include <gtest/gtest.h>

namespace {

struct LinkCase {
    int left, top, width, height, index;
    TFcPoint expected;
};

class LinkPointTest : public ::testing::TestWithParam<LinkCase> {};

TEST_P(LinkPointTest, LiesWhereTheTableSays) {
    const LinkCase& c = GetParam();
    EXPECT_EQ(fcLinkPoint(c.left, c.top, c.width, c.height, c.index), c.expected)
        << "point " << c.index << " of " << c.width << " x " << c.height;
}

// A 90 x 32 block at (70, 80): R = 159, B = 111.
INSTANTIATE_TEST_SUITE_P(
    Block90x32, LinkPointTest,
    ::testing::Values(
        LinkCase{70, 80, 90, 32, 0, {70, 80}}, LinkCase{70, 80, 90, 32, 1, {92, 80}},
        LinkCase{70, 80, 90, 32, 2, {115, 80}}, LinkCase{70, 80, 90, 32, 3, {138, 80}},
        LinkCase{70, 80, 90, 32, 4, {159, 80}}, LinkCase{70, 80, 90, 32, 5, {159, 88}},
        LinkCase{70, 80, 90, 32, 6, {159, 96}}, LinkCase{70, 80, 90, 32, 7, {159, 104}},
        LinkCase{70, 80, 90, 32, 8, {159, 111}}, LinkCase{70, 80, 90, 32, 9, {138, 111}},
        LinkCase{70, 80, 90, 32, 10, {115, 111}}, LinkCase{70, 80, 90, 32, 11, {92, 111}},
        LinkCase{70, 80, 90, 32, 12, {70, 111}}, LinkCase{70, 80, 90, 32, 13, {70, 104}},
        LinkCase{70, 80, 90, 32, 14, {70, 96}}, LinkCase{70, 80, 90, 32, 15, {70, 88}},
        // Index wraps modulo 16.
        LinkCase{70, 80, 90, 32, 18, {115, 80}}));

// The spot marker: 40 x 14 at (95, 57) has its top middle at (115, 57), bottom middle (115, 70).
INSTANTIATE_TEST_SUITE_P(Marker40x14, LinkPointTest,
                         ::testing::Values(LinkCase{95, 57, 40, 14, 2, {115, 57}},
                                           LinkCase{95, 57, 40, 14, 10, {115, 70}}));

// A 0 x 0 anchor at (115, 47): everything at (115, 47) except x - 1 for points 4..8 and y - 1
// for points 8..12.
INSTANTIATE_TEST_SUITE_P(
    ZeroSizeAnchor, LinkPointTest,
    ::testing::Values(
        LinkCase{115, 47, 0, 0, 0, {115, 47}}, LinkCase{115, 47, 0, 0, 1, {115, 47}},
        LinkCase{115, 47, 0, 0, 2, {115, 47}}, LinkCase{115, 47, 0, 0, 3, {115, 47}},
        LinkCase{115, 47, 0, 0, 4, {114, 47}}, LinkCase{115, 47, 0, 0, 5, {114, 47}},
        LinkCase{115, 47, 0, 0, 6, {114, 47}}, LinkCase{115, 47, 0, 0, 7, {114, 47}},
        LinkCase{115, 47, 0, 0, 8, {114, 46}}, LinkCase{115, 47, 0, 0, 9, {115, 46}},
        LinkCase{115, 47, 0, 0, 10, {115, 46}}, LinkCase{115, 47, 0, 0, 11, {115, 46}},
        LinkCase{115, 47, 0, 0, 12, {115, 46}}, LinkCase{115, 47, 0, 0, 13, {115, 47}},
        LinkCase{115, 47, 0, 0, 14, {115, 47}}, LinkCase{115, 47, 0, 0, 15, {115, 47}}));

TEST(InnerAreaTest, ShrinksByOutlineAndOneMoreOnTheFarSides) {
    // Block: 90 x 32, outline 1 -> 87 x 29 from (L + 1, T + 1).
    EXPECT_EQ(fcInnerArea({70, 80, 160, 112}, 1), (TFcRect{71, 81, 158, 110}));
    // End terminal: outline 0 -> 89 x 31.
    const TFcRect end = fcInnerArea({70, 80, 160, 112}, 0);
    EXPECT_EQ(end.width(), 89);
    EXPECT_EQ(end.height(), 31);
    // Never inside out.
    const TFcRect tiny = fcInnerArea({10, 10, 12, 12}, 3);
    EXPECT_EQ(tiny.width(), 0);
    EXPECT_EQ(tiny.height(), 0);
}

struct PlaceCase {
    TFcSize box;
    int horz, vert;
    TFcRect expected;
    bool fits;
};

class PlaceBoxTest : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(PlaceBoxTest, PlacesOrCutsTheBox) {
    const PlaceCase& c = GetParam();
    const TFcPlacement p = fcPlaceBox({10, 20, 110, 60}, c.box, c.horz, c.vert); // 100 x 40
    EXPECT_EQ(p.rect, c.expected);
    EXPECT_EQ(p.fits, c.fits);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, PlaceBoxTest,
    ::testing::Values(PlaceCase{{20, 10}, 0, 0, {10, 20, 30, 30}, true},
                      PlaceCase{{20, 10}, 1, 1, {50, 35, 70, 45}, true},
                      PlaceCase{{20, 10}, 2, 2, {90, 50, 110, 60}, true},
                      PlaceCase{{21, 11}, 1, 1, {49, 34, 70, 45}, true}, // odd room rounds down
                      PlaceCase{{100, 40}, 2, 2, {10, 20, 110, 60}, true},
                      // Too wide or too high: cut to the area at its top-left corner.
                      PlaceCase{{101, 10}, 1, 1, {10, 20, 110, 30}, false},
                      PlaceCase{{20, 41}, 2, 2, {10, 20, 30, 60}, false}));

TEST(PlaceBoxTest, PictureRulesOfTheChartObjects) {
    // The end terminal shows the 32 x 31 robot centred at the top: (L + 28, T).
    const TFcPlacement end = fcPlaceBox(fcInnerArea({70, 80, 160, 112}, 0), {32, 31}, 1, 0);
    EXPECT_TRUE(end.fits);
    EXPECT_EQ(end.rect.left, 98);
    EXPECT_EQ(end.rect.top, 80);
    // A block's inner area (87 x 29) never fits the picture.
    EXPECT_FALSE(fcPlaceBox(fcInnerArea({70, 80, 160, 112}, 1), {32, 31}, 0, 1).fits);
}

TEST(CaptionTopTest, TopUnlessPlacedAndFitting) {
    const TFcRect area{0, 10, 50, 40}; // 30 high
    EXPECT_EQ(fcCaptionTop(area, 10, 0), 10);
    EXPECT_EQ(fcCaptionTop(area, 10, 1), 20);
    EXPECT_EQ(fcCaptionTop(area, 10, 2), 30);
    EXPECT_EQ(fcCaptionTop(area, 31, 1), 10); // taller than the area: starts at the top
}

// A long caption is laid out from a beginning cut where no character of the code page is split.
TEST(CaptionCutTest, CutsAfterAnAsciiByteOrBeforeAUtf8Character) {
    const struct {
        std::string bytes;
        std::size_t length;
        std::size_t cut;
    } cases[] = {
        {"abcdef", 10, 6}, // shorter than the length: all of it
        {"abcdef", 4, 4},  // ASCII: anywhere
        {"ab\xE4\xB8\xAD"
         "cd",
         4, 2},                                  // inside a UTF-8 character: before it
        {"ab\xE4\xB8\xAD\xE4\xB8\xAD", 6, 2},    // after the last ASCII byte before
        {std::string(20, '\xC4') + "x", 18, 18}, // no ASCII near and no UTF-8: as asked
        {"\xE4\xB8\xAD\xE4\xB8\xAD" + std::string(20, '\xE4'), 4, 3}, // back to a lead byte
    };
    for (const auto& c : cases)
        EXPECT_EQ(fcCaptionCut(c.bytes, c.length), c.cut) << c.bytes << " " << c.length;
}

TEST(RoundRectTest, CornersAreCutMiddleRowsAreFull) {
    const TFcRect r{0, 0, 90, 32}; // the start terminal: corner ellipse 45 x 16
    // Rows outside cover nothing.
    EXPECT_TRUE(fcRoundRectSpan(r, 45, 16, -1).isEmpty());
    EXPECT_TRUE(fcRoundRectSpan(r, 45, 16, 32).isEmpty());
    // Middle rows are full width.
    EXPECT_EQ(fcRoundRectSpan(r, 45, 16, 8), (TFcSpan{0, 90}));
    EXPECT_EQ(fcRoundRectSpan(r, 45, 16, 16), (TFcSpan{0, 90}));
    EXPECT_EQ(fcRoundRectSpan(r, 45, 16, 23), (TFcSpan{0, 90}));
    // The top and bottom rows are cut, symmetrically.
    const TFcSpan top = fcRoundRectSpan(r, 45, 16, 0);
    const TFcSpan bottom = fcRoundRectSpan(r, 45, 16, 31);
    EXPECT_GT(top.x0, 10);
    EXPECT_LT(top.x0, 22);
    EXPECT_EQ(top.x1, 90 - top.x0);
    EXPECT_EQ(bottom, top);
    // Spans widen row by row towards the middle.
    int prev = fcRoundRectSpan(r, 45, 16, 0).x0;
    for (int y = 1; y <= 8; ++y) {
        const int x0 = fcRoundRectSpan(r, 45, 16, y).x0;
        EXPECT_LE(x0, prev) << "row " << y;
        prev = x0;
    }
    EXPECT_FALSE(fcRoundRectContains(r, 45, 16, {0, 0}));
    EXPECT_TRUE(fcRoundRectContains(r, 45, 16, {45, 0}));
    EXPECT_FALSE(fcRoundRectContains(r, 45, 16, {89, 31}));
    // No corner: a plain rectangle.
    EXPECT_EQ(fcRoundRectSpan(r, 0, 0, 0), (TFcSpan{0, 90}));
}

TEST(ShapeCoverTest, ShapeNoneCoversNothingRectanglesCoverBounds) {
    const TFcRect b{10, 10, 20, 20};
    EXPECT_FALSE(fcShapeCovers(ShapeNone, b, {15, 15}));
    EXPECT_TRUE(fcShapeCovers(ShapeRectangle, b, {10, 10}));
    EXPECT_TRUE(fcShapeCovers(ShapeRectangle, b, {19, 19}));
    EXPECT_FALSE(fcShapeCovers(ShapeRectangle, b, {20, 19})); // right edge exclusive
    EXPECT_FALSE(fcShapeCovers(ShapeRoundRect, {0, 0, 90, 32}, {0, 0}));
    EXPECT_TRUE(fcShapeCovers(ShapeRoundRect, {0, 0, 90, 32}, {0, 16}));
}

struct InteriorCase {
    TFcShape shape;
    int outline, edgeFlags;
    TFcRect expected;
};

class InteriorTest : public ::testing::TestWithParam<InteriorCase> {};

TEST_P(InteriorTest, ShrinksByOutlineAndBevel) {
    const InteriorCase& c = GetParam();
    EXPECT_EQ(fcInteriorRect(c.shape, {0, 0, 90, 32}, c.outline, c.edgeFlags), c.expected);
    EXPECT_TRUE(
        fcInteriorContains(c.shape, {0, 0, 90, 32}, c.outline, c.edgeFlags, {c.expected.left, 16}));
    EXPECT_FALSE(fcInteriorContains(c.shape, {0, 0, 90, 32}, c.outline, c.edgeFlags,
                                    {c.expected.left - 1, 16}));
    EXPECT_FALSE(fcInteriorContains(c.shape, {0, 0, 90, 32}, c.outline, c.edgeFlags,
                                    {c.expected.right, 16}));
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, InteriorTest,
    ::testing::Values(InteriorCase{ShapeRectangle, 1, 0, {1, 1, 89, 31}},
                      InteriorCase{ShapeRectangle, 1, 5, {2, 2, 88, 30}}, // bevelled block
                      InteriorCase{ShapeNone, 0, 0, {1, 1, 89, 31}},      // end terminal
                      InteriorCase{ShapeNone, 1, 0, {2, 2, 88, 30}},      // spot base
                      InteriorCase{ShapeRoundRect, 1, 5, {1, 1, 89, 31}}));

TEST(InteriorTest, ZeroSizeObjectHasNoInterior) {
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            EXPECT_FALSE(fcInteriorContains(ShapeNone, {45, 32, 45, 32}, 1, 0, {45 + dx, 32 + dy}));
}

TEST(InteriorTest, RoundedInteriorKeepsTheFullCornerSize) {
    // Shrunk by 1 with the corner ellipse of the full 90 x 32 object (45 x 16).
    const TFcRect in{1, 1, 89, 31};
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 90; ++x) {
            EXPECT_EQ(fcInteriorContains(ShapeRoundRect, {0, 0, 90, 32}, 1, 0, {x, y}),
                      fcRoundRectContains(in, 45, 16, {x, y}))
                << x << "," << y;
        }
    }
}

TEST(SelectionMarkTest, MarksOfABlockAt70_80) {
    const auto marks = fcSelectionMarks({70, 80, 160, 112});
    const std::array<TFcPoint, 8> expected{
        {{70, 80}, {115, 80}, {159, 80}, {159, 96}, {159, 111}, {115, 111}, {70, 111}, {70, 96}}};
    EXPECT_EQ(marks, expected);
    EXPECT_EQ(fcSelectionMarkRect({70, 80}), (TFcRect{68, 78, 73, 83}));
}

TEST(SelectionMarkTest, HitWithinTwoPixelsInsideTheGrownBounds) {
    const TFcRect b{70, 80, 160, 112};
    EXPECT_EQ(fcSelectionMarkAt(b, {70, 80}), 0);
    EXPECT_EQ(fcSelectionMarkAt(b, {69, 79}), 0);  // grown bounds still hold it
    EXPECT_EQ(fcSelectionMarkAt(b, {68, 78}), -1); // outside the grown bounds
    EXPECT_EQ(fcSelectionMarkAt(b, {117, 82}), 1);
    EXPECT_EQ(fcSelectionMarkAt(b, {118, 80}), -1);
    EXPECT_EQ(fcSelectionMarkAt(b, {160, 111}), 4);
    EXPECT_EQ(fcSelectionMarkAt(b, {71, 94}), 7);
    EXPECT_EQ(fcSelectionMarkAt(b, {100, 96}), -1);
}

TEST(NearSegmentTest, DistanceToTheSegmentNotTheLine) {
    EXPECT_TRUE(fcNearSegment({0, 0}, {0, 10}, {2, 5}, 2));
    EXPECT_FALSE(fcNearSegment({0, 0}, {0, 10}, {3, 5}, 2));
    EXPECT_FALSE(fcNearSegment({0, 0}, {0, 10}, {0, 13}, 2)); // beyond the end
    EXPECT_TRUE(fcNearSegment({5, 5}, {5, 5}, {6, 6}, 2));    // a point
}

struct ArrowCase {
    TFcDirection dir;
    long long dx, dy, score;
};

class ArrowScoreTest : public ::testing::TestWithParam<ArrowCase> {};

TEST_P(ArrowScoreTest, TurnsTheOffsetAndScores) {
    const ArrowCase& c = GetParam();
    EXPECT_EQ(fcArrowScore(c.dir, c.dx, c.dy), c.score);
}

INSTANTIATE_TEST_SUITE_P(Directions, ArrowScoreTest,
                         ::testing::Values(ArrowCase{TFcDirection::Right, 40, 3, 40 + 24 + 10},
                                           ArrowCase{TFcDirection::Right, -1, 0, -1},
                                           ArrowCase{TFcDirection::Left, -40, -3, 40 + 24 + 10},
                                           ArrowCase{TFcDirection::Left, 1, 0, -1},
                                           ArrowCase{TFcDirection::Down, 25, 41, 41 + 200 + 10},
                                           ArrowCase{TFcDirection::Down, 0, -1, -1},
                                           ArrowCase{TFcDirection::Up, 5, -32, 32 + 40 + 8},
                                           ArrowCase{TFcDirection::Up, 0, 1, -1},
                                           ArrowCase{TFcDirection::Down, 0, 0,
                                                     0})); // level counts as ahead

} // namespace

// ---- pages ----------------------------------------------------------------------------------

TEST(PageTopsTest, CutBetweenObjectsWhereTheLowerHalfOfThePageAllows) {
    // A column of 32-unit blocks every 64 units from 16, as a chart lays them out.
    std::vector<TFcRect> blocks;
    for (int top = 16; top < 1000; top += 64)
        blocks.push_back({70, top, 160, top + 32});
    struct Case {
        const char* what;
        int top, bottom, pageHeight;
        std::vector<int> tops;
    };
    const Case cases[] = {
        {"fits one page", 0, 300, 300, {0}},
        // 300 would cut the block at 272..304: the page ends at its top.
        {"cut moved up to a block's top", 0, 700, 300, {0, 272, 572}},
        {"a cut between two blocks stays", 0, 500, 260, {0, 260}},
        {"no pages for nothing", 0, 0, 300, {0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fcPageTops(blocks, c.top, c.bottom, c.pageHeight), c.tops) << c.what;
    // Every cut passes between blocks, and every page holds no more than a page.
    const std::vector<int> tops = fcPageTops(blocks, 0, 1000, 150);
    for (std::size_t i = 1; i < tops.size(); ++i) {
        EXPECT_LE(tops[i] - tops[i - 1], 150);
        EXPECT_GT(tops[i] - tops[i - 1], 75);
        for (const TFcRect& b : blocks)
            EXPECT_FALSE(b.top < tops[i] && b.bottom > tops[i]) << tops[i];
    }
}

TEST(PageTopsTest, AnObjectTallerThanHalfAPageIsCutThroughAndThePageFull) {
    const std::vector<TFcRect> tall{{0, 10, 50, 390}};
    EXPECT_EQ(fcPageTops(tall, 0, 400, 200), (std::vector<int>{0, 200}));
    EXPECT_EQ(fcPageTops({}, 0, 401, 200), (std::vector<int>{0, 200, 400}));
}
