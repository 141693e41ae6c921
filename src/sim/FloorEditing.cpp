#include "sim/FloorEditing.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace sim {

namespace {

std::int32_t clampTo(double v, std::int32_t low, std::int32_t high) {
    return static_cast<std::int32_t>(std::clamp<long long>(std::llround(v), low, high));
}

// The whole-millimetre point inside the area nearest to (x, y).
TPoint inside(const TFloor& floor, double x, double y) {
    return {clampTo(x, floor.areaLow.x, floor.areaHigh.x),
            clampTo(y, floor.areaLow.y, floor.areaHigh.y)};
}

// (x, y) on the grid, inside the area.
TPoint onGrid(const TFloor& floor, double x, double y, std::int32_t grid) {
    const double g = std::max(1, grid);
    return inside(floor, std::round(x / g) * g, std::round(y / g) * g);
}

double distance(double x, double y, TPoint p) {
    return std::hypot(x - p.x, y - p.y);
}

// The line, wall or box under (x, y), the robot aside.
TFloorHit hitElement(const TFloor& floor, double x, double y, const TFloorEditSettings& s) {
    for (std::size_t i = floor.boxes.size(); i-- > 0;) {
        const TBox& b = floor.boxes[i];
        if (x >= b.corner.x - s.reachMm && x <= b.corner.x + b.width + s.reachMm &&
            y >= b.corner.y - s.reachMm && y <= b.corner.y + b.height + s.reachMm)
            return {TFloorPart::Box, i};
    }
    for (std::size_t i = floor.walls.size(); i-- > 0;)
        if (SegmentDistance(x, y, floor.walls[i].from, floor.walls[i].to) <= s.reachMm)
            return {TFloorPart::Wall, i};
    for (std::size_t i = floor.lines.size(); i-- > 0;) {
        const TFloorLine& line = floor.lines[i];
        const double reach = std::max(s.reachMm, line.width / 2.0);
        for (std::size_t k = 1; k < line.points.size(); ++k)
            if (SegmentDistance(x, y, line.points[k - 1], line.points[k]) <= reach)
                return {TFloorPart::Line, i};
    }
    return {};
}

} // namespace

double SegmentDistance(double x, double y, TPoint a, TPoint b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((x - a.x) * dx + (y - a.y) * dy) / length2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(x - (a.x + t * dx), y - (a.y + t * dy));
}

TFloorHit HitFloor(const TFloor& floor, double x, double y, const TFloorEditSettings& settings) {
    if (distance(x, y, floor.start) <= settings.robotRadiusMm)
        return {TFloorPart::Robot, 0};
    return hitElement(floor, x, y, settings);
}

TPoint SnapPoint(const TFloor& floor, double x, double y, const TFloorEditSettings& settings) {
    // The ends of lines and walls, so that a new piece joins an old one without a gap.
    const TPoint* nearest = nullptr;
    double best = settings.reachMm;
    const auto consider = [&](const TPoint& p) {
        const double d = distance(x, y, p);
        if (d <= best) {
            best = d;
            nearest = &p;
        }
    };
    for (const TFloorLine& line : floor.lines)
        if (!line.points.empty()) {
            consider(line.points.front());
            consider(line.points.back());
        }
    for (const TWall& wall : floor.walls) {
        consider(wall.from);
        consider(wall.to);
    }
    if (nearest)
        return inside(floor, nearest->x, nearest->y);
    return onGrid(floor, x, y, settings.gridMm);
}

std::int32_t HeadingTowards(TPoint from, double x, double y, std::int32_t stepDeg) {
    const double dx = x - from.x, dy = y - from.y;
    if (dx == 0 && dy == 0)
        return -1;
    const double step = std::max(1, stepDeg);
    double degrees = std::atan2(dy, dx) * 180 / std::numbers::pi;
    degrees = std::round(degrees / step) * step;
    const auto whole = static_cast<std::int32_t>(std::lround(degrees));
    return ((whole % 360) + 360) % 360;
}

bool AddLine(TFloor& floor, TFloorLine line) {
    line.points.erase(std::unique(line.points.begin(), line.points.end()), line.points.end());
    if (line.points.size() < 2 || line.width <= 0)
        return false;
    floor.lines.push_back(std::move(line));
    return true;
}

bool AddWall(TFloor& floor, TPoint from, TPoint to) {
    if (from == to)
        return false;
    floor.walls.push_back({from, to});
    return true;
}

bool AddBox(TFloor& floor, TPoint corner, TPoint opposite) {
    const TPoint low{std::min(corner.x, opposite.x), std::min(corner.y, opposite.y)};
    const std::int32_t width = std::abs(opposite.x - corner.x);
    const std::int32_t height = std::abs(opposite.y - corner.y);
    if (width == 0 || height == 0)
        return false;
    floor.boxes.push_back({low, width, height});
    return true;
}

bool EraseElement(TFloor& floor, TFloorHit hit) {
    const auto erase = [&](auto& list) {
        if (hit.index >= list.size())
            return false;
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(hit.index));
        return true;
    };
    switch (hit.part) {
    case TFloorPart::Line:
        return erase(floor.lines);
    case TFloorPart::Wall:
        return erase(floor.walls);
    case TFloorPart::Box:
        return erase(floor.boxes);
    case TFloorPart::None:
    case TFloorPart::Robot:
        break;
    }
    return false;
}

bool ClearFloor(TFloor& floor) {
    if (floor.lines.empty() && floor.walls.empty() && floor.boxes.empty())
        return false;
    floor.lines.clear();
    floor.walls.clear();
    floor.boxes.clear();
    return true;
}

bool SetStart(TFloor& floor, TPoint at, std::int32_t heading) {
    const TPoint start = inside(floor, at.x, at.y);
    const std::int32_t turned = ((heading % 360) + 360) % 360;
    if (start == floor.start && turned == floor.startHeading)
        return false;
    floor.start = start;
    floor.startHeading = turned;
    return true;
}

// ---------------------------------------------------------------------------------------------

TFloorGesture::TFloorGesture(const TFloor& floor, TFloorTool tool, double x, double y,
                             const TFloorEditSettings& settings)
    : m_before(floor), m_result(floor), m_tool(tool), m_settings(settings), m_pressX(x),
      m_pressY(y), m_x(x), m_y(y) {
    if (tool == TFloorTool::Freehand) {
        // The first point may join the end of a line; the rest follow the mouse to the
        // millimetre, so that a drawn curve stays smooth.
        TFloorEditSettings fine = settings;
        fine.gridMm = 1;
        m_stroke.width = settings.lineWidthMm;
        m_stroke.points.push_back(SnapPoint(floor, x, y, fine));
    }
    if (tool == TFloorTool::Robot)
        m_movesRobot = distance(x, y, floor.start) <= settings.robotRadiusMm;
    update();
}

void TFloorGesture::moveTo(double x, double y) {
    if (m_tool == TFloorTool::Erase) {
        // Everything under the way from the last point to this one, looked at every few
        // millimetres so that a quick stroke misses nothing it crossed.
        const double length = std::hypot(x - m_x, y - m_y);
        const double spacing = std::max(1.0, m_settings.reachMm / 2);
        const int steps = static_cast<int>(std::ceil(length / spacing));
        for (int i = 1; i <= steps; ++i) {
            const double t = static_cast<double>(i) / steps;
            const double px = m_x + (x - m_x) * t, py = m_y + (y - m_y) * t;
            while (EraseElement(m_result, hitElement(m_result, px, py, m_settings))) {
            }
        }
        m_x = x;
        m_y = y;
        return;
    }
    m_x = x;
    m_y = y;
    if (m_tool == TFloorTool::Freehand) {
        const TPoint here = inside(m_before, x, y);
        const TPoint& last = m_stroke.points.back();
        if (distance(here.x, here.y, last) >= m_settings.freehandStepMm)
            m_stroke.points.push_back(here);
    }
    update();
}

void TFloorGesture::update() {
    m_result = m_before;
    const TPoint from = SnapPoint(m_before, m_pressX, m_pressY, m_settings);
    const TPoint to = SnapPoint(m_before, m_x, m_y, m_settings);
    switch (m_tool) {
    case TFloorTool::Freehand: {
        TFloorLine line = m_stroke;
        const TPoint here = inside(m_before, m_x, m_y);
        if (line.points.size() < 2 || !(here == line.points.back()))
            line.points.push_back(here); // the stroke reaches the mouse
        AddLine(m_result, std::move(line));
        break;
    }
    case TFloorTool::Straight:
        AddLine(m_result, {m_settings.lineWidthMm, {from, to}});
        break;
    case TFloorTool::Wall:
        AddWall(m_result, from, to);
        break;
    case TFloorTool::Box:
        AddBox(m_result, onGrid(m_before, m_pressX, m_pressY, m_settings.gridMm),
               onGrid(m_before, m_x, m_y, m_settings.gridMm));
        break;
    case TFloorTool::Robot:
        if (m_movesRobot) {
            // The robot keeps where it was grabbed: it moves as far as the mouse.
            const TPoint at = onGrid(m_before, m_before.start.x + (m_x - m_pressX),
                                     m_before.start.y + (m_y - m_pressY), m_settings.gridMm);
            SetStart(m_result, at, m_before.startHeading);
        } else if (const std::int32_t heading =
                       HeadingTowards(m_before.start, m_x, m_y, m_settings.headingStepDeg);
                   heading >= 0) {
            SetStart(m_result, m_before.start, heading);
        }
        break;
    case TFloorTool::Erase:
        while (EraseElement(m_result, hitElement(m_result, m_x, m_y, m_settings))) {
        }
        break;
    }
}

std::string SuggestedFloorFile(const std::string& chartFile) {
    if (chartFile.empty())
        return {};
    const std::size_t slash = chartFile.find_last_of('/');
    const std::size_t dot = chartFile.find_last_of('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    return (hasExtension ? chartFile.substr(0, dot) : chartFile) + ".floor";
}

} // namespace sim
