#include "sim/World.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace sim {

namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
constexpr double kNothingAhead = std::numeric_limits<double>::infinity();
// Each bumper reaches this far past straight ahead into the other's side, so a wall met head on
// presses both.
constexpr double kBumperOverlapDeg = 20;

double distanceToSegment(double px, double py, double x1, double y1, double x2, double y2) {
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((px - x1) * dx + (py - y1) * dy) / length2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double cx = x1 + t * dx - px;
    const double cy = y1 + t * dy - py;
    return std::sqrt(cx * cx + cy * cy);
}

double normalisedHeading(double degrees) {
    double h = std::fmod(degrees, 360.0);
    if (h < 0)
        h += 360.0;
    if (h >= 360.0) // -1e-15 + 360
        h = 0;
    return h;
}

} // namespace

TWorld::TWorld(const TRobotModel& model, TFloor floor) : m_model(model), m_floor(std::move(floor)) {
    for (const TWall& w : m_floor.walls)
        m_obstacles.push_back({double(w.from.x), double(w.from.y), double(w.to.x), double(w.to.y)});
    for (const TBox& b : m_floor.boxes) {
        const double x0 = b.corner.x, y0 = b.corner.y;
        const double x1 = x0 + b.width, y1 = y0 + b.height;
        m_obstacles.push_back({x0, y0, x1, y0});
        m_obstacles.push_back({x1, y0, x1, y1});
        m_obstacles.push_back({x1, y1, x0, y1});
        m_obstacles.push_back({x0, y1, x0, y0});
    }
    reset();
}

void TWorld::reset() {
    m_pose = {double(m_floor.start.x), double(m_floor.start.y),
              normalisedHeading(m_floor.startHeading)};
    m_time = 0;
    m_left = m_right = 0;
    m_blocked = false;
    m_anchor = m_pose;
    m_anchorTime = 0;
}

void TWorld::setPose(const TPose& pose) {
    m_pose = pose;
    m_pose.heading = normalisedHeading(pose.heading);
    m_anchor = m_pose;
    m_anchorTime = m_time;
}

void TWorld::setWheels(double left, double right) {
    m_anchor = m_pose;
    m_anchorTime = m_time;
    m_left = left;
    m_right = right;
}

void TWorld::advanceTo(std::int64_t us) {
    if (us <= m_time)
        return;
    if (!moving()) {
        m_time = us;
        return;
    }
    if (!m_obstacles.empty()) {
        // Anchored at every multiple of kMoveStepUs on the way.
        for (std::int64_t step = (m_time / kMoveStepUs + 1) * kMoveStepUs; step <= us;
             step += kMoveStepUs) {
            moveTo(step);
            m_anchor = m_pose;
            m_anchorTime = step;
        }
    }
    moveTo(us);
}

void TWorld::moveTo(std::int64_t us) {
    m_time = us;
    if (us == m_anchorTime)
        return;
    const TPose to = moved(static_cast<double>(us - m_anchorTime) / 1e6);
    if (m_obstacles.empty()) {
        m_pose = to;
        return;
    }
    // A robot placed in a wall may leave it, but none drives into one.
    m_blocked = !collides(m_anchor.x, m_anchor.y) && collides(to.x, to.y);
    m_pose = m_blocked ? m_anchor : to;
}

// Both wheels at fixed speeds: a straight line or an arc about a point on the wheel axis.
TPose TWorld::moved(double seconds) const {
    const double v = (m_left + m_right) / 2;
    const double omega = (m_right - m_left) / m_model.wheelTrackMm; // radians a second
    const double theta = m_anchor.heading * kRadiansPerDegree;
    TPose p = m_anchor;
    if (omega == 0) {
        p.x += v * seconds * std::cos(theta);
        p.y += v * seconds * std::sin(theta);
        return p;
    }
    const double turned = omega * seconds;
    const double r = v / omega;
    p.x += r * (std::sin(theta + turned) - std::sin(theta));
    p.y -= r * (std::cos(theta + turned) - std::cos(theta));
    p.heading = normalisedHeading(p.heading + turned / kRadiansPerDegree);
    return p;
}

bool TWorld::collides(double x, double y) const {
    for (const TSegment& s : m_obstacles)
        if (distanceToSegment(x, y, s.x1, s.y1, s.x2, s.y2) < m_model.bodyRadiusMm)
            return true;
    return false;
}

bool TWorld::onLine(double x, double y) const {
    for (const TFloorLine& l : m_floor.lines) {
        const double half = l.width / 2.0;
        for (std::size_t i = 0; i + 1 < l.points.size(); ++i)
            if (distanceToSegment(x, y, l.points[i].x, l.points[i].y, l.points[i + 1].x,
                                  l.points[i + 1].y) <= half)
                return true;
    }
    return false;
}

int TWorld::lineSensor(int index) const {
    const double theta = m_pose.heading * kRadiansPerDegree;
    const double ahead = m_model.lineSensorAheadMm;
    // PC0 on the left: positive offsets point left of the heading.
    const double side = (1 - index) * m_model.lineSensorSpacingMm;
    const double x = m_pose.x + ahead * std::cos(theta) - side * std::sin(theta);
    const double y = m_pose.y + ahead * std::sin(theta) + side * std::cos(theta);
    return onLine(x, y) ? 1 : 0;
}

double TWorld::rayDistance(double x, double y, double dx, double dy) const {
    double best = kNothingAhead;
    for (const TSegment& s : m_obstacles) {
        // x + t d = p1 + u (p2 - p1), t >= 0, 0 <= u <= 1
        const double ex = s.x2 - s.x1;
        const double ey = s.y2 - s.y1;
        const double denominator = dx * ey - dy * ex;
        if (denominator == 0)
            continue;
        const double wx = s.x1 - x;
        const double wy = s.y1 - y;
        const double t = (wx * ey - wy * ex) / denominator;
        const double u = (wx * dy - wy * dx) / denominator;
        if (t >= 0 && u >= 0 && u <= 1)
            best = std::min(best, t);
    }
    return best;
}

int TWorld::bumper(int side) const {
    const double reach = m_model.bodyRadiusMm + m_model.bumperRangeMm;
    const double theta = m_pose.heading * kRadiansPerDegree;
    const double aheadX = std::cos(theta);
    const double aheadY = std::sin(theta);
    for (const TSegment& s : m_obstacles) {
        // The obstacle's point nearest the centre, if within reach, and where it lies.
        const double dx = s.x2 - s.x1;
        const double dy = s.y2 - s.y1;
        const double length2 = dx * dx + dy * dy;
        double t = length2 > 0 ? ((m_pose.x - s.x1) * dx + (m_pose.y - s.y1) * dy) / length2 : 0;
        t = std::clamp(t, 0.0, 1.0);
        const double px = s.x1 + t * dx - m_pose.x;
        const double py = s.y1 + t * dy - m_pose.y;
        if (px * px + py * py > reach * reach)
            continue;
        const double forward = px * aheadX + py * aheadY;
        const double leftward = py * aheadX - px * aheadY;
        if (forward <= 0)
            continue; // behind the bumpers
        // Each bumper covers its side of the front and a little of the other side.
        const double bearing = std::atan2(leftward, forward) / kRadiansPerDegree;
        if (side == 0 ? bearing >= -kBumperOverlapDeg : bearing <= kBumperOverlapDeg)
            return 1;
    }
    return 0;
}

double TWorld::distanceAhead() const {
    const double theta = m_pose.heading * kRadiansPerDegree;
    const double d = rayDistance(m_pose.x, m_pose.y, std::cos(theta), std::sin(theta));
    return std::max(0.0, d - m_model.bodyRadiusMm);
}

int TWorld::distanceReading() const {
    const double d = distanceAhead();
    if (d >= m_model.distanceRangeMm)
        return 0;
    return static_cast<int>(std::lround(m_model.adcMax * (1 - d / m_model.distanceRangeMm)));
}

} // namespace sim
