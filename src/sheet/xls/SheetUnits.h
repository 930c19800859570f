#pragma once

#include <algorithm>
#include <cmath>

namespace orv::sheet::xls {

// Row heights are stored in twips, column widths in 1/256 of a character of
// the default font including its padding. The default font (Calibri 11) has
// a maximum digit width of 7 pixels at 96 DPI and 5 pixels of padding.
inline constexpr double kDigitWidth = 7;
inline constexpr double kColumnPadding = 5;

// Heights are stored in 15 bits.
inline int pointsToTwips(double points)
{
    return static_cast<int>(std::clamp<long>(std::lround(points * 20), 0, 0x7FFF));
}
inline double twipsToPoints(int twips) { return twips / 20.0; }

// Characters as the user sees them -> stored 1/256 units.
inline int columnWidthToStored(double characters)
{
    if (characters <= 0)
        return 0;
    const double stored = std::trunc((characters * kDigitWidth + kColumnPadding) / kDigitWidth * 256);
    return static_cast<int>(std::min(stored, 65535.0));
}

// Stored 1/256 units -> pixels -> characters (two decimals), as spreadsheet
// applications show them.
inline double storedToColumnWidth(int stored)
{
    if (stored <= 0)
        return 0;
    const double pixels = std::trunc((stored + std::trunc(128 / kDigitWidth)) / 256.0 * kDigitWidth);
    if (pixels <= kColumnPadding)
        return 0;
    return std::trunc((pixels - kColumnPadding) / kDigitWidth * 100 + 0.5) / 100;
}

} // namespace orv::sheet::xls
