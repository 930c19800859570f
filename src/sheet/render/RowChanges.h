#pragma once

#include <QRgb>

#include <cstring>

namespace orv::sheet {

// Where a row of a sheet picture differs from the row above: rows of such a
// picture change, if at all, over short spans (a text, a border), so the
// equal stretches are skipped with memcmp, which is vectorised, before the
// single pixels at the edge of a change.

// Pixels compared at once before the single pixels.
inline constexpr int kRowChangeBlock = 32;

// The first pixel in [from, to) that differs from the row above, or `to`.
inline int firstChange(const QRgb *pixels, const QRgb *above, int from, int to)
{
    // Most rows repeat the one above as a whole.
    if (std::memcmp(pixels + from, above + from, size_t(to - from) * sizeof(QRgb)) == 0)
        return to;
    while (from + kRowChangeBlock <= to
           && std::memcmp(pixels + from, above + from, kRowChangeBlock * sizeof(QRgb)) == 0)
        from += kRowChangeBlock;
    while (from < to && pixels[from] == above[from])
        ++from;
    return from;
}

// The last pixel in [from, to) that differs from the row above; there is one.
inline int lastChange(const QRgb *pixels, const QRgb *above, int from, int to)
{
    while (to - kRowChangeBlock > from
           && std::memcmp(pixels + to - kRowChangeBlock, above + to - kRowChangeBlock,
                          kRowChangeBlock * sizeof(QRgb)) == 0)
        to -= kRowChangeBlock;
    int last = to - 1;
    while (pixels[last] == above[last])
        --last;
    return last;
}

} // namespace orv::sheet
