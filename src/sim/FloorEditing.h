#pragma once

// Editing a floor by hand: what a press, drag and release of the mouse on it adds, moves or
// takes away. The panel turns its mouse events into floor millimetres and these calls, and
// paints what comes back; its undo keeps whole floors, which are small.
//
// Every point an edit keeps is whole millimetres inside the floor's area: the mouse beyond the
// area's edge draws on the edge.

#include "sim/Floor.h"

#include <cstddef>
#include <string>

namespace sim {

// What a gesture on the floor does.
enum class TFloorTool {
    Freehand, // a black line along the drag
    Straight, // a straight black line from the press to the release
    Wall,     // a wall from the press to the release
    Box,      // a box with the press and the release at opposite corners
    Robot,    // pressed on the robot: moves its start; elsewhere: turns it towards the mouse
    Erase     // takes away every line, wall and box the drag passes over
};

enum class TFloorPart { None, Line, Wall, Box, Robot };

// One element of a floor: which list, and where in it.
struct TFloorHit {
    TFloorPart part = TFloorPart::None;
    std::size_t index = 0;
    bool operator==(const TFloorHit&) const = default;
};

struct TFloorEditSettings {
    std::int32_t gridMm = 10;         // points snap to this grid; 1: to the millimetre
    double reachMm = 15;              // a point this near an element hits it or snaps to its end
    std::int32_t lineWidthMm = 20;    // the width of new black lines
    double robotRadiusMm = 75;        // the robot seen from above
    double freehandStepMm = 10;       // a freehand line keeps a point once it is this far on
    std::int32_t headingStepDeg = 15; // the start heading snaps to this; 1: to the degree
};

// Millimetres from (x, y) to the segment from a to b.
double SegmentDistance(double x, double y, TPoint a, TPoint b);

// The element under (x, y): the robot at its start first, then boxes, walls and lines, each
// list from the last drawn (which lies on top) back. A line or wall is hit within reach of its
// middle line (a line also within half its width), a box anywhere inside or within reach of it.
TFloorHit HitFloor(const TFloor& floor, double x, double y, const TFloorEditSettings& settings);

// The floor point for the mouse at (x, y): the nearest end of a line or wall within reach, else
// the point on the grid; kept inside the area.
TPoint SnapPoint(const TFloor& floor, double x, double y, const TFloorEditSettings& settings);

// The heading (0 to 359 degrees) from `from` towards (x, y), on the heading step; -1 when the
// point is `from` itself.
std::int32_t HeadingTowards(TPoint from, double x, double y, std::int32_t stepDeg);

// The edits. Each leaves the floor as it was and returns false when it would change nothing.
// A line keeps its points without repeats in a row; fewer than two different points: nothing.
bool AddLine(TFloor& floor, TFloorLine line);
// A wall of no length: nothing.
bool AddWall(TFloor& floor, TPoint from, TPoint to);
// The box between two opposite corners (in any order); no width or no height: nothing.
bool AddBox(TFloor& floor, TPoint corner, TPoint opposite);
// Removes the line, wall or box; the robot and nothing are not removed.
bool EraseElement(TFloor& floor, TFloorHit hit);
// Removes every line, wall and box; the name, area and start stay.
bool ClearFloor(TFloor& floor);
// The start pose, its point kept inside the area and its heading taken to 0 to 359.
bool SetStart(TFloor& floor, TPoint at, std::int32_t heading);

// One gesture: the mouse pressed at a floor point, moved, released. result() is the floor as
// the gesture would leave it if it ended now, for painting while it goes on and for the edit
// when the mouse is released.
class TFloorGesture {
public:
    TFloorGesture(const TFloor& floor, TFloorTool tool, double x, double y,
                  const TFloorEditSettings& settings = {});

    void moveTo(double x, double y);
    TFloorTool tool() const { return m_tool; }
    const TFloor& result() const { return m_result; }
    // The gesture changes the floor.
    bool changes() const { return !(m_result == m_before); }

private:
    void update();

    TFloor m_before;
    TFloor m_result;
    TFloorTool m_tool;
    TFloorEditSettings m_settings;
    double m_pressX;
    double m_pressY;
    double m_x;
    double m_y;
    TFloorLine m_stroke;       // Freehand: the points kept so far
    bool m_movesRobot = false; // Robot: pressed on the robot
};

// The floor file suggested for a chart: beside it, under the chart's name with ".floor"
// ("/a/b/track.lcs" gives "/a/b/track.floor"); an unnamed chart: empty.
std::string SuggestedFloorFile(const std::string& chartFile);

} // namespace sim
