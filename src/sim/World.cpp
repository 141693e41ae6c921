#include "sim/World.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace sim {

namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
constexpr double kNothingAhead = std::numeric_limits<double>::infinity();
// The bumpers look this far either side of straight ahead.
constexpr double kBumperAngleDeg = 35;

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
    m_left = m_right = 0;
    m_blocked = false;
}

void TWorld::setPose(const TPose& pose) {
    m_pose = pose;
    m_pose.heading = normalisedHeading(pose.heading);
}

void TWorld::setWheels(double left, double right) {
    m_left = left;
    m_right = right;
}

void TWorld::advance(std::int64_t us) {
    if (us <= 0 || !moving())
        return;
    if (m_obstacles.empty()) {
        move(us / 1e6);
        m_blocked = false;
        return;
    }
    while (us > 0) {
        const std::int64_t step = std::min(us, kMoveStepUs);
        const TPose before = m_pose;
        const bool wasInside = collides(before.x, before.y);
        move(step / 1e6);
        // A robot placed in a wall may leave it, but none drives into one.
        m_blocked = !wasInside && collides(m_pose.x, m_pose.y);
        if (m_blocked)
            m_pose = before;
        us -= step;
    }
}

// Both wheels at fixed speeds: a straight line or an arc about a point on the wheel axis.
void TWorld::move(double seconds) {
    const double v = (m_left + m_right) / 2;
    const double omega = (m_right - m_left) / m_model.wheelTrackMm; // radians a second
    const double theta = m_pose.heading * kRadiansPerDegree;
    if (omega == 0) {
        m_pose.x += v * seconds * std::cos(theta);
        m_pose.y += v * seconds * std::sin(theta);
        return;
    }
    const double turned = omega * seconds;
    const double r = v / omega;
    m_pose.x += r * (std::sin(theta + turned) - std::sin(theta));
    m_pose.y -= r * (std::cos(theta + turned) - std::cos(theta));
    m_pose.heading = normalisedHeading(m_pose.heading + turned / kRadiansPerDegree);
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
    const double angle =
        (m_pose.heading + (side == 0 ? kBumperAngleDeg : -kBumperAngleDeg)) * kRadiansPerDegree;
    const double d = rayDistance(m_pose.x, m_pose.y, std::cos(angle), std::sin(angle));
    return d - m_model.bodyRadiusMm <= m_model.bumperRangeMm ? 1 : 0;
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
