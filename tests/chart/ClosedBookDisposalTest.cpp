#include "chart/ClosedBookDisposal.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

namespace orv::chart {
namespace {

// Tells on which thread it was destroyed.
struct Witness {
    explicit Witness(std::promise<std::thread::id> &destroyed) : mDestroyed(destroyed) {}
    ~Witness() { mDestroyed.set_value(std::this_thread::get_id()); }
    std::promise<std::thread::id> &mDestroyed;
};

TEST(ClosedBookDisposal, FreesEveryClosedObjectInOrderOffTheCallersThread)
{
    constexpr int kClosed = 3;
    std::promise<std::thread::id> destroyed[kClosed];
    std::future<std::thread::id> seen[kClosed];
    for (int i = 0; i < kClosed; ++i) {
        seen[i] = destroyed[i].get_future();
        disposeInBackground(std::make_shared<Witness>(destroyed[i]));
    }
    for (int i = 0; i < kClosed; ++i) {
        ASSERT_EQ(seen[i].wait_for(std::chrono::seconds(10)), std::future_status::ready) << i;
        EXPECT_NE(seen[i].get(), std::this_thread::get_id());
    }
}

TEST(ClosedBookDisposal, LeavesAnObjectStillSharedElsewhereAlone)
{
    std::promise<std::thread::id> destroyed;
    std::future<std::thread::id> seen = destroyed.get_future();
    auto kept = std::make_shared<Witness>(destroyed);
    disposeInBackground(kept);
    EXPECT_EQ(seen.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    kept.reset(); // the last owner now; the thread let go of its share
    ASSERT_EQ(seen.wait_for(std::chrono::seconds(10)), std::future_status::ready);
}

} // namespace
} // namespace orv::chart
