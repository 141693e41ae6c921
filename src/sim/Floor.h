#pragma once

// The floor the simulated robot drives on, seen from above: black lines its downward sensors
// see, walls and boxes that stop it and that its distance sensor sees, and where it starts.
// Millimetres, x to the right and y up; headings in degrees counter-clockwise from the x axis
// (90 faces up the y axis).
//
// The floor file, one item a line ("#" begins a comment to the end of the line; words and
// numbers are separated by spaces or tabs; numbers are whole, possibly negative):
//
//   zolvane-floor 1                  the first item: the format and its version
//   name TEXT                        optional: what the floor is (the rest of the line; a
//                                    "#" or line break in it is written as a space)
//   area X0 Y0 X1 Y1                 optional: the drawn part, lower left and upper right
//                                    corners (default -1000 -1000 1000 1000)
//   start X Y HEADING                optional: the robot's start pose (default 0 0 90)
//   line WIDTH X1 Y1 X2 Y2 [X Y]...  a black line of WIDTH through two points or more
//   wall X1 Y1 X2 Y2                 a thin wall from one point to the other
//   box X Y WIDTH HEIGHT             a solid box, lower left corner at X Y
//
// The items come back from WriteFloor in a fixed order (name, area, start, lines, walls, boxes)
// and read again to the same floor.

#include "files/Result.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

struct TPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const TPoint&) const = default;
};

struct TFloorLine {
    std::int32_t width = 20;
    std::vector<TPoint> points; // two or more
    bool operator==(const TFloorLine&) const = default;
};

struct TWall {
    TPoint from;
    TPoint to;
    bool operator==(const TWall&) const = default;
};

struct TBox {
    TPoint corner; // lower left
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool operator==(const TBox&) const = default;
};

struct TFloor {
    std::string name;
    TPoint areaLow{-1000, -1000};
    TPoint areaHigh{1000, 1000};
    TPoint start{0, 0};
    std::int32_t startHeading = 90;
    std::vector<TFloorLine> lines;
    std::vector<TWall> walls;
    std::vector<TBox> boxes;
    bool operator==(const TFloor&) const = default;
};

// The first line of every floor file.
inline constexpr std::string_view kFloorHeader = "zolvane-floor 1";
// Coordinates and sizes stay within this (a kilometre) either way.
inline constexpr std::int32_t kFloorLimit = 1'000'000;

// What is wrong on a line of a floor or robot model text: "line 3: name is given twice".
files::TMessage OnLine(std::size_t line, files::TMessage detail);

// Reads a floor text; the error names the line and what is wrong with it.
files::TResult<TFloor> ReadFloor(std::string_view text);
// The floor's text, lines ended by LF.
std::string WriteFloor(const TFloor& floor);

// Reads a floor file; the error names the file.
files::TResult<TFloor> LoadFloor(const std::string& fileName);
// Writes a floor file, replacing the old one whole.
files::TStatus SaveFloor(const TFloor& floor, const std::string& fileName);

} // namespace sim
