#include "files/Failure.h"
#include "sheet/render/BandRows.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <tuple>
#include <vector>

namespace orv::sheet {
namespace {

constexpr int kWidth = 100;

// A picture of `height` rows, mostly repeating: row y changes the pixels
// listed for it, everything else is white.
QImage picture(int height, const std::vector<std::tuple<int, int, int>> &changes)
{
    QImage image(kWidth, height, QImage::Format_RGB32);
    image.fill(QColor(Qt::white));
    for (const auto &[y, from, to] : changes)
        for (int x = from; x <= to; ++x)
            image.setPixel(x, y, qRgb(y, x, 7));
    return image;
}

// The span of a row that differs from the row above, worked out pixel by pixel.
std::optional<std::pair<int, int>> changedSpan(const QRgb *pixels, const QRgb *above)
{
    int first = 0;
    while (first < kWidth && pixels[first] == above[first])
        ++first;
    if (first == kWidth)
        return std::nullopt;
    int last = kWidth - 1;
    while (pixels[last] == above[last])
        --last;
    return std::make_pair(first, last);
}

// Bands of the given heights cut from one picture must report, for every
// row, the row above it (across bands too) and the span that changed.
class BandRowsOfAPicture : public ::testing::TestWithParam<std::vector<int>> {};

TEST_P(BandRowsOfAPicture, TellEveryRowsChangeFromTheRowAbove)
{
    const std::vector<int> heights = GetParam();
    int total = 0;
    for (int height : heights)
        total += height;
    // Changes at the edges, in the middle, a whole row, and rows at band
    // boundaries that repeat or change.
    const QImage whole = picture(total, {{0, 10, 20}, {1, 0, 0}, {3, 99, 99}, {4, 0, 99}, {7, 40, 41},
                                         {8, 40, 41}, {9, 5, 95}, {15, 50, 50}, {16, 0, 31}, {17, 32, 32}});
    BandRows rows(kWidth);
    int top = 0;
    std::vector<QRgb> zeros(kWidth, 0);
    for (int height : heights) {
        const QImage band = whole.copy(0, top, kWidth, std::max(1, height));
        rows.take(band, height);
        ASSERT_EQ(rows.count(), height);
        for (int y = 0; y < height; ++y) {
            const int row = top + y;
            const QRgb *above = row == 0 ? zeros.data() : reinterpret_cast<const QRgb *>(whole.constScanLine(row - 1));
            ASSERT_EQ(std::memcmp(rows.above(y), above, kWidth * sizeof(QRgb)), 0) << "row " << row;
            ASSERT_EQ(std::memcmp(rows.pixels(y), whole.constScanLine(row), kWidth * sizeof(QRgb)), 0);
            const auto expected = changedSpan(rows.pixels(y), above);
            EXPECT_EQ(rows.repeats(y), !expected.has_value()) << "row " << row;
            if (expected) {
                EXPECT_EQ(rows.firstChange(y), expected->first) << "row " << row;
                EXPECT_EQ(rows.lastChange(y), expected->second) << "row " << row;
            }
        }
        top += height;
    }
}

INSTANTIATE_TEST_SUITE_P(Heights, BandRowsOfAPicture, ::testing::Values(
    std::vector<int>{20},
    std::vector<int>{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1},
    std::vector<int>{8, 8, 4},
    std::vector<int>{3, 0, 9, 0, 8}));

TEST(BandRows, RefuseABandOfAnotherWidthOrFormat)
{
    BandRows rows(kWidth);
    EXPECT_THROW(rows.take(QImage(kWidth + 1, 4, QImage::Format_RGB32), 4), Failure);
    EXPECT_THROW(rows.take(QImage(kWidth, 4, QImage::Format_ARGB32), 4), Failure);
    EXPECT_THROW(rows.take(QImage(kWidth, 4, QImage::Format_RGB32), 5), Failure);
}

} // namespace
} // namespace orv::sheet
