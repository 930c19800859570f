#include "files/Failure.h"
#include "sheet/render/BandRelay.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

namespace orv::sheet {
namespace {

using namespace std::chrono_literals;

std::vector<QImage> bandImages(int count)
{
    std::vector<QImage> images;
    for (int i = 0; i < count; ++i)
        images.emplace_back(4, 2, QImage::Format_RGB32);
    return images;
}

// Paints band n in the colour n and hands it over as rows 2n and 2n + 1.
void paintBands(BandRelay &relay, int bands)
{
    for (int band = 0; band < bands; ++band) {
        relay.nextImage().fill(QRgb(band));
        relay.hand(2 * band, 2);
    }
}

// What one consumer saw: the band colours in the order they came, and the
// tops it was given.
struct Seen {
    std::vector<QRgb> colours;
    std::vector<int> tops;
};

BandRelay::Consumer recorder(Seen &seen, std::chrono::microseconds pause)
{
    return [&seen, pause](const QImage &band, int top, int rows) {
        std::this_thread::sleep_for(pause);
        // A band painted over while it is being read would show the next colour.
        const QRgb first = band.pixel(0, 0);
        std::this_thread::sleep_for(pause);
        EXPECT_EQ(band.pixel(3, 1), first);
        EXPECT_EQ(rows, 2);
        seen.colours.push_back(first & 0xFFFFFFu);
        seen.tops.push_back(top);
    };
}

struct RelayCase {
    int images;
    int bands;
    int slowMicroseconds; // the second consumer's pause
};

class BandRelayHandsEveryBand : public ::testing::TestWithParam<RelayCase> {};

TEST_P(BandRelayHandsEveryBand, ToEveryConsumerInOrderAndUnchanged)
{
    const RelayCase c = GetParam();
    Seen quick;
    Seen slow;
    {
        BandRelay relay(bandImages(c.images),
                        {recorder(quick, 0us), recorder(slow, std::chrono::microseconds(c.slowMicroseconds))});
        paintBands(relay, c.bands);
        relay.finish();
        // finish() returns only once every band is taken.
        EXPECT_EQ(quick.colours.size(), size_t(c.bands));
        EXPECT_EQ(slow.colours.size(), size_t(c.bands));
    }
    for (int band = 0; band < c.bands; ++band) {
        EXPECT_EQ(quick.colours[band], QRgb(band));
        EXPECT_EQ(slow.colours[band], QRgb(band));
        EXPECT_EQ(quick.tops[band], 2 * band);
        EXPECT_EQ(slow.tops[band], 2 * band);
    }
}

INSTANTIATE_TEST_SUITE_P(Relays, BandRelayHandsEveryBand, ::testing::Values(
    RelayCase{1, 5, 200},
    RelayCase{2, 40, 300},
    RelayCase{3, 40, 0},
    RelayCase{3, 1, 500},
    RelayCase{3, 0, 0}));

// A consumer's failure reaches the painting thread, at the latest at finish().
class BandRelayFailure : public ::testing::TestWithParam<int> {};

TEST_P(BandRelayFailure, IsRethrownWhereThePaintingRuns)
{
    const int failingBand = GetParam();
    std::atomic<int> takenAfterFailure{0};
    bool failed = false;
    BandRelay relay(bandImages(2), {[&](const QImage &, int top, int) {
                        if (failed)
                            ++takenAfterFailure;
                        if (top == 2 * failingBand) {
                            failed = true;
                            throw Failure(QStringLiteral("disk full"));
                        }
                    }});
    try {
        paintBands(relay, 30);
        relay.finish();
        FAIL() << "the failure was lost";
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.description(), QStringLiteral("disk full"));
    }
    EXPECT_EQ(takenAfterFailure, 0);
}

INSTANTIATE_TEST_SUITE_P(Bands, BandRelayFailure, ::testing::Values(0, 7, 29));

TEST(BandRelay, LeftUnfinishedWhenThePaintingFailsStopsItsConsumers)
{
    std::atomic<int> taken{0};
    const auto run = [&] {
        BandRelay relay(bandImages(3), {[&](const QImage &, int, int) {
                            std::this_thread::sleep_for(1ms);
                            ++taken;
                        }});
        paintBands(relay, 4);
        throw Failure(QStringLiteral("Not enough memory for a picture"));
    };
    EXPECT_THROW(run(), Failure);
    EXPECT_LE(taken, 4);
}

} // namespace
} // namespace orv::sheet
