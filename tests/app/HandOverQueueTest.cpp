// Handed-over files are taken one at a time from the main loop: a question
// that a file raises runs its own event loop, and the files that arrive
// meanwhile wait for it to end.
#include "app/qt/HandOverQueue.h"

#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(HandOverQueue, TakesOneFileAtATimeInOrderOnceReady)
{
    bool ready = false;
    int open = 0;
    int mostOpen = 0;
    QStringList taken;
    HandOverQueue *queue = nullptr;
    HandOverQueue handOvers(
        [&](const QString &file) {
            taken << file;
            mostOpen = std::max(mostOpen, ++open);
            // The question on screen: more starts arrive while it is open.
            QEventLoop question;
            if (file == "/a") {
                QTimer::singleShot(0, [&] { queue->add("/b"); queue->add("/b"); queue->add("/c"); });
            }
            QTimer::singleShot(20, &question, &QEventLoop::quit);
            question.exec();
            --open;
        },
        [&] { return ready; });
    queue = &handOvers;

    ASSERT_TRUE(handOvers.add("/a"));
    QTest::qWait(50);
    EXPECT_TRUE(taken.isEmpty()) << "nothing is taken while the window is not ready";
    ready = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return taken.size() == 3 && open == 0; }, 5000));
    EXPECT_EQ(taken, (QStringList{"/a", "/b", "/c"}));
    EXPECT_EQ(mostOpen, 1);
}

TEST(HandOverQueue, RefusesFilesBeyondItsRoom)
{
    QStringList taken;
    HandOverQueue handOvers([&](const QString &file) { taken << file; }, [] { return true; });
    for (int number = 0; number < HandOverQueue::kMaxWaiting; ++number)
        EXPECT_TRUE(handOvers.add(QStringLiteral("/%1").arg(number)));
    EXPECT_FALSE(handOvers.add(QStringLiteral("/more")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return taken.size() == HandOverQueue::kMaxWaiting; }, 5000));
    EXPECT_TRUE(handOvers.add(QStringLiteral("/more")));
}

} // namespace
} // namespace orv
