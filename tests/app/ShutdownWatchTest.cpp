#include "app/qt/ShutdownWatch.h"
#include "support/ScriptedServices.h"

#include <QCoreApplication>
#include <QTimer>
#include <QtTest/QTest>
#include <csignal>
#include <gtest/gtest.h>

namespace orv {
namespace {

class Shutdown : public ::testing::Test {
protected:
    int stores = 0;
    test::RecordingExit exit;
    ShutdownWatch watch{[this] { ++stores; }, exit};
};

// The signal only notes itself; storing waits for the event loop.
class ShutdownBySignal : public Shutdown, public ::testing::WithParamInterface<int> {};

TEST_P(ShutdownBySignal, StoresOnceInTheEventLoopAndEnds)
{
    ASSERT_EQ(std::raise(GetParam()), 0);
    EXPECT_EQ(stores, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return exit.calls == 1; }, 5000));
    EXPECT_EQ(stores, 1);
    ASSERT_EQ(std::raise(GetParam()), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return exit.calls == 2; }, 5000));
    EXPECT_EQ(stores, 1) << "the lists are stored once";
}

INSTANTIATE_TEST_SUITE_P(Signals, ShutdownBySignal, ::testing::Values(SIGTERM, SIGHUP, SIGINT));

TEST_F(Shutdown, QuittingTheApplicationStoresAndEnds)
{
    QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
    QCoreApplication::exec();
    EXPECT_EQ(stores, 1);
    EXPECT_EQ(exit.calls, 1);
}

TEST(ShutdownWatchLifetime, OneAtATimeAndDefaultsComeBack)
{
    test::RecordingExit exit;
    {
        ShutdownWatch first([] {}, exit);
        EXPECT_ANY_THROW(ShutdownWatch([] {}, exit));
    }
    struct sigaction current {};
    ASSERT_EQ(::sigaction(SIGTERM, nullptr, &current), 0);
    EXPECT_EQ(current.sa_handler, SIG_DFL);
    ShutdownWatch again([] {}, exit);
}

} // namespace
} // namespace orv
