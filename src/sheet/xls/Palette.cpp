#include "sheet/xls/Palette.h"

#include "sheet/ColourDistance.h"

#include <algorithm>
#include <limits>

namespace orv::sheet::xls {

namespace {

constexpr std::array<QRgb, Palette::kSize> kDefaultColors = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, //
    0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080, //
    0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF, //
    0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF, //
    0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99, //
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696, //
    0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333,
};

constexpr std::array<QRgb, 8> kFixedColors = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00,
                                              0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF};

} // namespace

Palette::Palette()
{
    for (int i = 0; i < kSize; ++i)
        mColors[i] = kDefaultColors[i] | 0xFF000000u;
}

std::optional<QRgb> Palette::colorOf(unsigned index) const
{
    if (index < kFirstIndex)
        return kFixedColors[index] | 0xFF000000u;
    if (index < kFirstIndex + kSize)
        return mColors[index - kFirstIndex];
    return std::nullopt;
}

int Palette::indexOf(QRgb rgb) const
{
    int best = kFirstIndex;
    int bestDistance = std::numeric_limits<int>::max();
    for (int i = 0; i < kSize; ++i) {
        const int d = colourDistance(mColors[i], rgb);
        if (d < bestDistance) {
            best = kFirstIndex + i;
            bestDistance = d;
        }
    }
    return best;
}

void Palette::fit(const std::vector<QRgb> &needed)
{
    auto isNeeded = [&](QRgb rgb) {
        return std::any_of(needed.begin(), needed.end(), [&](QRgb n) { return (n & 0xFFFFFF) == (rgb & 0xFFFFFF); });
    };
    int freeSlot = kSize - 1;
    for (QRgb rgb : needed) {
        const QRgb opaque = rgb | 0xFF000000u;
        if (std::find(mColors.begin(), mColors.end(), opaque) != mColors.end())
            continue;
        while (freeSlot >= 0 && isNeeded(mColors[freeSlot]))
            --freeSlot;
        if (freeSlot < 0)
            return;
        mColors[freeSlot--] = opaque;
    }
}

bool Palette::isDefault() const { return mColors == Palette().mColors; }

} // namespace orv::sheet::xls
