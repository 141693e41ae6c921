// Editing a floor by hand: each tool's gesture on a small floor and the floor text it leaves,
// what the mouse hits and where points snap, the start pose, and the file suggested for a chart.
#include "sim/FloorEditing.h"

#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// A floor of a metre square: one black line, one wall, one box, the robot in the middle.
constexpr const char* kFloorText = "zolvane-floor 1\n"
                                   "area -500 -500 500 500\n"
                                   "start 0 0 90\n"
                                   "line 20 -400 200 0 200\n"
                                   "wall -400 -300 0 -300\n"
                                   "box 300 300 100 100\n";

sim::TFloor smallFloor() {
    files::TResult<sim::TFloor> floor = sim::ReadFloor(kFloorText);
    EXPECT_TRUE(floor) << floor.error();
    return floor ? *floor : sim::TFloor{};
}

struct TGestureCase {
    const char* name;
    sim::TFloorTool tool;
    std::vector<std::pair<double, double>> mouse; // pressed at the first, moved to the rest
    const char* expected;                         // the floor text after the gesture
};

class FloorGesture : public testing::TestWithParam<TGestureCase> {};

TEST_P(FloorGesture, leaves_the_floor_text_expected_and_reads_back_to_the_same_floor) {
    const TGestureCase& c = GetParam();
    const sim::TFloor before = smallFloor();
    sim::TFloorGesture gesture(before, c.tool, c.mouse.front().first, c.mouse.front().second);
    for (std::size_t i = 1; i < c.mouse.size(); ++i)
        gesture.moveTo(c.mouse[i].first, c.mouse[i].second);
    const std::string text = sim::WriteFloor(gesture.result());
    EXPECT_EQ(text, c.expected);
    EXPECT_EQ(gesture.changes(), text != kFloorText);
    files::TResult<sim::TFloor> read = sim::ReadFloor(text);
    ASSERT_TRUE(read) << read.error();
    EXPECT_EQ(*read, gesture.result());
}

const TGestureCase kGestures[] = {
    {"straight_line_on_the_grid",
     sim::TFloorTool::Straight,
     {{-203, -147}, {104, -151}},
     "zolvane-floor 1\narea -500 -500 500 500\nstart 0 0 90\nline 20 -400 200 0 200\n"
     "line 20 -200 -150 100 -150\nwall -400 -300 0 -300\nbox 300 300 100 100\n"},
    {"straight_line_joins_the_end_of_a_line",
     sim::TFloorTool::Straight,
     {{8, 196}, {3, 398}},
     "zolvane-floor 1\narea -500 -500 500 500\nstart 0 0 90\nline 20 -400 200 0 200\n"
     "line 20 0 200 0 400\nwall -400 -300 0 -300\nbox 300 300 100 100\n"},
    {"freehand_keeps_a_point_every_step_and_ends_at_the_mouse",
     sim::TFloorTool::Freehand,
     {{-300, 0}, {-295, 0}, {-280, 0}, {-260, 10}, {-255, 12}},
     "zolvane-floor 1\narea -500 -500 500 500\nstart 0 0 90\nline 20 -400 200 0 200\n"
     "line 20 -300 0 -280 0 -260 10 -255 12\nwall -400 -300 0 -300\nbox 300 300 100 100\n"},
    {"freehand_beyond_the_area_draws_on_its_edge",
     sim::TFloorTool::Freehand,
     {{-300, 450}, {-300, 480}, {-300, 700}},
     "zolvane-floor 1\narea -500 -500 500 500\nstart 0 0 90\nline 20 -400 200 0 200\n"
     "line 20 -300 450 -300 480 -300 500\nwall -400 -300 0 -300\nbox 300 300 100 100\n"},
    {"wall_on_the_grid",
     sim::TFloorTool::Wall,
     {{-100, 100}, {98, 103}},
     "zolvane-floor 1\narea -500 -500 500 500\nstart 0 0 90\nline 20 -400 200 0 200\n"
     "wall -400 -300 0 -300\nwall -100 100 100 100\nbox 300 300 100 100\n"},
    {"wall_beyond_the_area_ends_on_its_edge",
     sim::TFloorTool::Wall,
     {{400, 0}, {900, 0}},
     "zolvane-floor 1\narea -500 -500 500 500\nstart 0 0 90\nline 20 -400 200 0 200\n"
     "wall -400 -300 0 -300\nwall 400 0 500 0\nbox 300 300 100 100\n"},
    {"box_from_any_two_opposite_corners",
     sim::TFloorTool::Box,
     {{150, -50}, {52, -148}},
     "zolvane-floor 1\narea -500 -500 500 500\nstart 0 0 90\nline 20 -400 200 0 200\n"
     "wall -400 -300 0 -300\nbox 300 300 100 100\nbox 50 -150 100 100\n"},
    {"a_click_without_a_drag_adds_no_wall", sim::TFloorTool::Wall, {{100, 100}}, kFloorText},
    {"a_box_without_height_is_not_added",
     sim::TFloorTool::Box,
     {{100, 100}, {200, 102}},
     kFloorText},
    {"robot_dragged_keeps_its_heading",
     sim::TFloorTool::Robot,
     {{20, 10}, {70, 30}, {121, 58}},
     "zolvane-floor 1\narea -500 -500 500 500\nstart 100 50 90\nline 20 -400 200 0 200\n"
     "wall -400 -300 0 -300\nbox 300 300 100 100\n"},
    {"robot_dragged_off_the_floor_stays_on_it",
     sim::TFloorTool::Robot,
     {{0, 0}, {900, -900}},
     "zolvane-floor 1\narea -500 -500 500 500\nstart 500 -500 90\nline 20 -400 200 0 200\n"
     "wall -400 -300 0 -300\nbox 300 300 100 100\n"},
    {"robot_turns_towards_the_mouse",
     sim::TFloorTool::Robot,
     {{300, 0}, {0, -300}},
     "zolvane-floor 1\narea -500 -500 500 500\nstart 0 0 270\nline 20 -400 200 0 200\n"
     "wall -400 -300 0 -300\nbox 300 300 100 100\n"},
    {"robot_turns_in_steps",
     sim::TFloorTool::Robot,
     {{100, 31}},
     "zolvane-floor 1\narea -500 -500 500 500\nstart 0 0 15\nline 20 -400 200 0 200\n"
     "wall -400 -300 0 -300\nbox 300 300 100 100\n"},
    {"erase_a_click_on_the_line",
     sim::TFloorTool::Erase,
     {{-200, 209}},
     "zolvane-floor 1\narea -500 -500 500 500\nstart 0 0 90\n"
     "wall -400 -300 0 -300\nbox 300 300 100 100\n"},
    {"erase_a_quick_stroke_across_the_wall_and_into_the_box",
     sim::TFloorTool::Erase,
     {{-200, -400}, {-200, -200}, {350, 350}},
     "zolvane-floor 1\narea -500 -500 500 500\nstart 0 0 90\nline 20 -400 200 0 200\n"},
    {"erase_leaves_the_robot", sim::TFloorTool::Erase, {{0, 0}, {10, 10}}, kFloorText},
};

INSTANTIATE_TEST_SUITE_P(Tools, FloorGesture, testing::ValuesIn(kGestures),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- what the mouse hits, where points snap ----

TEST(FloorHit, the_robot_lies_on_top_then_boxes_walls_and_lines_the_last_drawn_first) {
    sim::TFloor floor = smallFloor();
    floor.boxes.push_back({{320, 320}, 20, 20}); // inside the first box, drawn after it
    floor.lines.push_back({60, {{-400, 0}, {400, 0}}});
    const sim::TFloorEditSettings s;
    struct {
        double x, y;
        sim::TFloorHit hit;
    } const cases[] = {
        {0, 70, {sim::TFloorPart::Robot, 0}},    // the robot over the thick line
        {100, 28, {sim::TFloorPart::Line, 1}},   // the thick line: half its width reaches
        {-200, 214, {sim::TFloorPart::Line, 0}}, // the thin line, within reach
        {-200, 216, {}},                         // just beyond reach
        {-401, -312, {sim::TFloorPart::Wall, 0}},
        {330, 330, {sim::TFloorPart::Box, 1}}, // the box drawn last
        {310, 390, {sim::TFloorPart::Box, 0}},
        {414, 350, {sim::TFloorPart::Box, 0}}, // within reach of its side
        {450, -450, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sim::HitFloor(floor, c.x, c.y, s), c.hit) << c.x << "," << c.y;
}

TEST(FloorHit, a_point_snaps_to_the_nearest_end_within_reach_else_to_the_grid_inside_the_area) {
    const sim::TFloor floor = smallFloor();
    sim::TFloorEditSettings s;
    EXPECT_EQ(sim::SnapPoint(floor, 9, 205, s), (sim::TPoint{0, 200})) << "the line's end";
    EXPECT_EQ(sim::SnapPoint(floor, -389, -291, s), (sim::TPoint{-400, -300})) << "a wall's end";
    EXPECT_EQ(sim::SnapPoint(floor, -200, 205, s), (sim::TPoint{-200, 210}))
        << "the middle of a line is no end";
    EXPECT_EQ(sim::SnapPoint(floor, 14, 15, s), (sim::TPoint{10, 20}));
    EXPECT_EQ(sim::SnapPoint(floor, -777, 504, s), (sim::TPoint{-500, 500}));
    s.gridMm = 1;
    EXPECT_EQ(sim::SnapPoint(floor, 14.4, -15.6, s), (sim::TPoint{14, -16}));
}

TEST(FloorHit, segment_distance_is_to_the_nearest_end_beyond_the_segment) {
    EXPECT_DOUBLE_EQ(sim::SegmentDistance(50, 30, {0, 0}, {100, 0}), 30);
    EXPECT_DOUBLE_EQ(sim::SegmentDistance(-30, 40, {0, 0}, {100, 0}), 50);
    EXPECT_DOUBLE_EQ(sim::SegmentDistance(103, -4, {0, 0}, {100, 0}), 5);
    EXPECT_DOUBLE_EQ(sim::SegmentDistance(3, 4, {0, 0}, {0, 0}), 5) << "a point";
}

TEST(FloorHit, heading_towards_a_point_counter_clockwise_from_the_x_axis_in_steps) {
    struct {
        double x, y;
        std::int32_t step, heading;
    } const cases[] = {
        {100, 0, 15, 0},    {0, 100, 15, 90},   {-100, 0, 15, 180}, {0, -100, 15, 270},
        {100, 31, 15, 15},  {100, -1, 15, 0},   {100, -1, 1, 359},  {100, -20, 15, 345},
        {-100, -1, 1, 181}, {100, 100, 45, 45}, {100, 100, 0, 45},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sim::HeadingTowards({0, 0}, c.x, c.y, c.step), c.heading)
            << c.x << "," << c.y << " step " << c.step;
    EXPECT_EQ(sim::HeadingTowards({10, 10}, 10, 10, 15), -1);
}

// ---- the edits ----

TEST(FloorEdit, an_edit_that_changes_nothing_says_so_and_leaves_the_floor) {
    const sim::TFloor original = smallFloor();
    sim::TFloor floor = original;
    EXPECT_FALSE(sim::AddLine(floor, {20, {{5, 5}, {5, 5}, {5, 5}}})) << "one point repeated";
    EXPECT_FALSE(sim::AddLine(floor, {0, {{0, 0}, {5, 5}}})) << "no width";
    EXPECT_FALSE(sim::AddWall(floor, {7, 7}, {7, 7}));
    EXPECT_FALSE(sim::AddBox(floor, {7, 7}, {7, 70}));
    EXPECT_FALSE(sim::EraseElement(floor, {sim::TFloorPart::Robot, 0}));
    EXPECT_FALSE(sim::EraseElement(floor, {}));
    EXPECT_FALSE(sim::EraseElement(floor, {sim::TFloorPart::Wall, 1})) << "no second wall";
    EXPECT_FALSE(sim::SetStart(floor, {0, 0}, 450)) << "450 degrees is 90";
    EXPECT_EQ(floor, original);
}

TEST(FloorEdit, a_line_keeps_its_points_without_repeats_in_a_row) {
    sim::TFloor floor;
    ASSERT_TRUE(sim::AddLine(floor, {12, {{0, 0}, {0, 0}, {10, 0}, {10, 0}, {0, 0}}}));
    EXPECT_EQ(floor.lines.back(), (sim::TFloorLine{12, {{0, 0}, {10, 0}, {0, 0}}}));
}

TEST(FloorEdit, clear_takes_every_element_and_keeps_name_area_and_start) {
    sim::TFloor floor = smallFloor();
    floor.name = "Mine";
    ASSERT_TRUE(sim::ClearFloor(floor));
    EXPECT_EQ(sim::WriteFloor(floor),
              "zolvane-floor 1\nname Mine\narea -500 -500 500 500\nstart 0 0 90\n");
    EXPECT_FALSE(sim::ClearFloor(floor)) << "nothing left to clear";
}

TEST(FloorEdit, the_start_stays_inside_the_area_and_its_heading_within_a_turn) {
    sim::TFloor floor = smallFloor();
    ASSERT_TRUE(sim::SetStart(floor, {600, -20}, -90));
    EXPECT_EQ(floor.start, (sim::TPoint{500, -20}));
    EXPECT_EQ(floor.startHeading, 270);
    ASSERT_TRUE(sim::SetStart(floor, {10, 10}, 360));
    EXPECT_EQ(floor.startHeading, 0);
}

TEST(FloorEdit, a_floor_made_by_hand_reads_back_from_its_text) {
    sim::TFloor floor;
    floor.name = "Made by hand";
    for (auto [tool, from, to] : {std::tuple{sim::TFloorTool::Freehand, -300.0, 300.0},
                                  std::tuple{sim::TFloorTool::Wall, -700.0, 700.0},
                                  std::tuple{sim::TFloorTool::Box, 111.0, 333.0}}) {
        sim::TFloorGesture gesture(floor, tool, from, from / 2);
        gesture.moveTo((from + to) / 2, 0);
        gesture.moveTo(to, to / 3);
        ASSERT_TRUE(gesture.changes());
        floor = gesture.result();
    }
    ASSERT_TRUE(sim::SetStart(floor, {-20, 30}, 180));
    files::TResult<sim::TFloor> read = sim::ReadFloor(sim::WriteFloor(floor));
    ASSERT_TRUE(read) << read.error();
    EXPECT_EQ(*read, floor);
    EXPECT_EQ(floor.lines.size(), 1u);
    EXPECT_EQ(floor.walls.size(), 1u);
    EXPECT_EQ(floor.boxes.size(), 1u);
}

TEST(FloorFileName, suggested_beside_the_chart_under_its_name) {
    const std::pair<std::string, std::string> cases[] = {
        {"/home/pupil/track.lcs", "/home/pupil/track.floor"},
        {"/home/pupil/my.charts/track", "/home/pupil/my.charts/track.floor"},
        {"/home/pupil/.lcs", "/home/pupil/.lcs.floor"},
        {"track.v2.lcs", "track.v2.floor"},
        {"", ""},
    };
    for (const auto& [chart, floor] : cases)
        EXPECT_EQ(sim::SuggestedFloorFile(chart), floor) << chart;
}

} // namespace
