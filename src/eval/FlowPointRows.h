#pragma once

#include "eval/Calculations.h"

namespace nerova {

class Table;

// What the calculation of flow point n (1 to 8) reads from the current pump row and the
// test row being typed: the pump's type, elevations, diameters and ratings, and the point's
// readings. Blank figures are 0, as the tables read them.
FlowPointInputs flowPointInputsFrom(const Table& pump, const Table& test, int n);

} // namespace nerova
