#pragma once

// What the simulated robot does with the numbers of its statements: lengths, turns, waits,
// wheel speeds, note lengths, where its sensors sit and what they read. A teacher can change it
// in a small text file (assets/sim/robot-model.txt documents every value and its unit):
//
//   # a comment to the end of the line
//   name = value
//
// one setting a line, each name at most once, values decimal numbers ("12", "-3", "0.5").
// Names the file leaves out keep their built-in values, which equal the shipped file.

#include "files/Result.h"

#include <string>
#include <string_view>

namespace sim {

struct TRobotModel {
    double statementMs = 1;          // the time every statement takes besides its own work
    double waitUnitMs = 10;          // WAIT n waits n times this
    double lengthUnitMm = 1;         // FD n and BK n drive n times this
    double turnUnitDeg = 1;          // LT n and RT n turn n times this
    double driveSpeedMmS = 200;      // FDX, BKX, FD n, BK n: both wheels at this speed
    double turnSpeedDegS = 180;      // LTX, RTX, LT n, RT n: on the spot at this rate
    double motorUnitMmS = 1;         // MOTOR l,r: a wheel's speed per unit of its value
    double wheelTrackMm = 100;       // between the wheels' contact points
    double bodyRadiusMm = 75;        // the robot seen from above is a circle of this radius
    double quarterBeatMs = 150;      // PLAY: a note's length digit counts quarter beats
    double lowDoHz = 262;            // PLAY: the tone of scale degree 1 (tone 1 in key 0)
    double startKey = 0;             // PLAY: the key before any KEY statement (0 to 7)
    double servoDegPerStep = 10;     // SERVOE: position 0 to 18 turns a servo to this times it
    double ledStart = 7;             // LED value at switch-on (a 1 bit is a dark lamp)
    double stackDepth = 16;          // GOSUB calls and FOR loops open at once
    double lineSensorAheadMm = 70;   // PC0 .. PC2 look down this far ahead of the centre
    double lineSensorSpacingMm = 20; // PC0 this far left of PC1, PC2 this far right
    double bumperRangeMm = 10;       // PC3 (left) and PC4 (right) touch a wall this close
    double distanceRangeMm = 500;    // ADC0 sees a wall ahead up to this distance
    double adcMax = 255;             // ADC inputs read 0 to this

    bool operator==(const TRobotModel&) const = default;
};

// The unit of a statement's number as the dialogs show it beside the number: the unit itself
// when one step of the number is one of it ("mm"), else how many of it a step is ("x 10 ms").
std::string UnitText(double perStep, std::string_view unit);

// The built-in model, equal to the shipped robot-model.txt.
TRobotModel DefaultRobotModel();

// Reads a model text; the error names the line and what is wrong with it.
files::TResult<TRobotModel> ReadRobotModel(std::string_view text);
// Reads the model file; the error names the file.
files::TResult<TRobotModel> LoadRobotModel(const std::string& fileName);

} // namespace sim
