#pragma once

#include <cmath>
#include <cstdint>

namespace orv::preview {

// The window works in twips; the screen in pixels, at 15 twips a pixel.
inline constexpr int kTwipsPerPixel = 15;

inline int toPixels(std::int32_t twips)
{
    return static_cast<int>(std::lround(static_cast<double>(twips) / kTwipsPerPixel));
}

inline std::int32_t toTwips(int pixels) { return static_cast<std::int32_t>(pixels) * kTwipsPerPixel; }

} // namespace orv::preview
