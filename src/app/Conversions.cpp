#include "app/Conversions.h"

#include "files/Failure.h"

#include <cmath>
#include <limits>

namespace orv {

namespace {

[[noreturn]] void overflow() { throw Failure(QStringLiteral("Overflow")); }

template <typename Int>
Int toInteger(double value)
{
    if (!std::isfinite(value))
        overflow();
    const double rounded = roundHalfEven(value);
    if (rounded < static_cast<double>(std::numeric_limits<Int>::min())
        || rounded > static_cast<double>(std::numeric_limits<Int>::max()))
        overflow();
    return static_cast<Int>(rounded);
}

} // namespace

double roundHalfEven(double value)
{
    return std::nearbyint(value); // the default rounding mode is to nearest, ties to even
}

std::int16_t toInt16(double value) { return toInteger<std::int16_t>(value); }

std::int32_t toInt32(double value) { return toInteger<std::int32_t>(value); }

std::int16_t checkedInt16(long long value)
{
    if (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max())
        overflow();
    return static_cast<std::int16_t>(value);
}

} // namespace orv
