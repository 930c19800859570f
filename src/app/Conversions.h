#pragma once

#include <cstdint>

namespace orv {

// The integer conversions of the program: round to nearest, halves to the
// even neighbour, and fail with "Overflow" when the result does not fit.
double roundHalfEven(double value);
std::int16_t toInt16(double value);
std::int32_t toInt32(double value);

// Checks an integer result that must fit 16 bits (row numbers, counts,
// list positions); throws "Overflow" when it does not.
std::int16_t checkedInt16(long long value);

} // namespace orv
