#pragma once

// The two-wheeled robot on its floor: its pose, the speeds of its wheels, how it moves over a
// span of time, and what its floor sensors read where it stands.
//
// The robot is a circle of the model's body radius around its centre, the point midway
// between the wheels. Its wheels turn at the speeds the drive statements set; with both speeds
// fixed it moves along an exact arc. Walls and boxes stop it: the move is looked at every
// kMoveStepUs of simulated time (and at the time asked for), and a move that would bring its
// body into one does not happen (the robot stands, its wheels spin), so a fast robot cannot
// pass through a thin wall.
//
// The pose at a time is worked out from the last anchor: the pose when the wheels last
// changed, or at the last multiple of kMoveStepUs. Asking for the pose at more times in
// between changes nothing, so a run cut into slices of any length moves exactly as one
// run in one go.
//
// Sensors of the world (sensors the pupil sets by hand are the simulator's business):
//   PC0, PC1, PC2  look down at points lineSensorAheadMm ahead of the centre: PC1 on the
//                  middle line, PC0 lineSensorSpacingMm to the left, PC2 as far to the right.
//                  1 over a black line, 0 elsewhere.
//   PC3, PC4       left and right bumpers: 1 when a wall or box is within bumperRangeMm of
//                  the body in front of the wheel axis, to the left (PC3) or to the right
//                  (PC4); each reaches 20 degrees past straight ahead, so both feel a wall
//                  met head on.
//   ADC0           distance sensor at the front of the body, looking straight ahead: the
//                  nearest wall or box at d millimetres from it reads
//                  round(adcMax * (1 - d / distanceRangeMm)), 0 at the range and beyond.
//   MIC, ADC1..7, PINA..PIND: 0 (nothing on the floor drives them).

#include "sim/Floor.h"
#include "sim/RobotModel.h"

#include <cstdint>

namespace sim {

struct TPose {
    double x = 0;       // millimetres
    double y = 0;       // millimetres
    double heading = 0; // degrees counter-clockwise from the x axis, 0 to below 360
};

// The longest span of time the robot moves in one go before walls are looked at.
inline constexpr std::int64_t kMoveStepUs = 10'000;

class TWorld {
public:
    TWorld(const TRobotModel& model, TFloor floor);

    const TFloor& floor() const { return m_floor; }
    // Back to the floor's start pose at time 0, wheels still.
    void reset();
    std::int64_t timeUs() const { return m_time; }

    const TPose& pose() const { return m_pose; }
    void setPose(const TPose& pose);
    double leftSpeed() const { return m_left; }   // mm/s, forward positive
    double rightSpeed() const { return m_right; } // mm/s
    // From now on.
    void setWheels(double left, double right);
    bool moving() const { return m_left != 0 || m_right != 0; }
    // The last move was stopped by a wall or box.
    bool blocked() const { return m_blocked; }

    // Moves the robot on to the time (not before the current one) at its wheel speeds.
    void advanceTo(std::int64_t us);

    // What a line sensor (0 = PC0 .. 2 = PC2) reads; 1 over black.
    int lineSensor(int index) const;
    // Left (0, PC3) or right (1, PC4) bumper.
    int bumper(int side) const;
    // ADC0's reading.
    int distanceReading() const;
    // Millimetres from the front of the body to the nearest wall or box straight ahead; a
    // large value when there is none.
    double distanceAhead() const;

private:
    struct TSegment {
        double x1, y1, x2, y2;
    };
    // The pose after the seconds from the anchor.
    TPose moved(double seconds) const;
    // The pose at the time from the anchor, or the anchor's when that would enter a wall.
    void moveTo(std::int64_t us);
    bool collides(double x, double y) const;
    bool onLine(double x, double y) const;
    // Distance along the ray from (x, y) in direction (dx, dy) to the first obstacle.
    double rayDistance(double x, double y, double dx, double dy) const;

    TRobotModel m_model;
    TFloor m_floor;
    std::vector<TSegment> m_obstacles; // walls and the sides of the boxes
    TPose m_pose;
    TPose m_anchor;
    std::int64_t m_anchorTime = 0;
    std::int64_t m_time = 0;
    double m_left = 0;
    double m_right = 0;
    bool m_blocked = false;
};

} // namespace sim
