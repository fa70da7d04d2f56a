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

struct TableAngle {
    double Radians = 0.0; // in [0, 2π), counter-clockwise
    double InUnit = 0.0;  // the same angle in the table's unit, in [0, turn]: where equal steps are found
    double Written = 0.0; // the number as written
};

// Nothing when the field is no number (TableNumber.h).
std::optional<TableAngle> ReadTableAngle(std::string_view field, char decimalSign, AngleUnit unit,
                                         AngleDirection direction);

// The shortest degree text that ReadTableAngle reads back as exactly these
// radians (in [0, 2π)): the shortest text of the nearest double in degrees
// when that one does, else a text of 17 to 19 significant digits, found
// around the angle in degrees to 106 bits and checked by reading it back.
std::string DegreesTextForRadians(double radians);

} // namespace kyklos
