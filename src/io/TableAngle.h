#pragma once
// The angle of a table row in radians, and the degree text that gives back
// a given angle.
//
// The text is read to about 106 bits (DoubleDouble.h), turned clockwise into
// counter-clockwise by its sign, taken modulo one turn in its own unit,
// converted to radians and rounded once: the double nearest to the written
// angle, in [0, 2π). An angle that rounds to 2π is the turn's start, 0.

#include "io/TableOptions.h"

#include <optional>
#include <string>
#include <string_view>

namespace kyklos {

// Angles this close are one: a profile's angles are at equal steps, and a
// last row at a full turn is the closing row, to within it.
inline constexpr double kClosingToleranceDegrees = 1e-6;

struct TableAngle {
    double Radians = 0.0; // in [0, 2π), counter-clockwise
    double Written = 0.0; // the number as written
};

// Nothing when the field is no number (TableNumber.h).
std::optional<TableAngle> ReadTableAngle(std::string_view field, char decimalSign, AngleUnit unit,
                                         AngleDirection direction);

// The shortest degree text that ReadTableAngle reads back as exactly these
// radians (in [0, 2π)): the shortest text of the nearest double in degrees
// when that one does, else a text of 17 to 19 significant digits, found
// around the angle in degrees to 106 bits and checked by reading it back.
// An angle within twice the tolerance below a full turn is written as its
// negative distance from the turn ("-5.2e-11"), so that it never reads as
// the closing row.
std::string DegreesTextForRadians(double radians);

} // namespace kyklos
