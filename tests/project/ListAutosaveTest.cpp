// The lists are stored soon after each change, a run of changes once, and a
// failing store is told once until storing works again.
#include "project/ListAutosave.h"
#include "files/Failure.h"
#include "support/ScriptedServices.h"

#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace orv::test {
namespace {

TEST(ListAutosave, StoresEachChangeOnceAndTellsAFailureOnce)
{
    QTreeWidget categories;
    QTreeWidget tasks;
    ScriptedMessageBoxes messages;
    int stores = 0;
    bool failing = false;
    ListAutosave autosave({categories.model(), tasks.model()},
                          [&] {
                              ++stores;
                              if (failing)
                                  throw Failure(QStringLiteral("Cannot write the settings file"));
                          },
                          messages);
    const auto storedAfter = [&](const std::function<void()> &change) {
        const int before = stores;
        change();
        QTest::qWait(2 * ListAutosave::kDelayMs);
        return stores - before;
    };

    EXPECT_EQ(storedAfter([] {}), 0);
    EXPECT_EQ(storedAfter([&] {
                  for (int row = 0; row < 200; ++row)
                      new QTreeWidgetItem(&categories, QStringList{QString::number(row)});
              }),
              1);
    EXPECT_EQ(storedAfter([&] { tasks.addTopLevelItem(new QTreeWidgetItem(QStringList{"Plan"})); }), 1);
    EXPECT_EQ(storedAfter([&] { tasks.topLevelItem(0)->setText(0, "Build"); }), 1);
    EXPECT_EQ(storedAfter([&] { delete categories.takeTopLevelItem(3); }), 1);
    EXPECT_TRUE(messages.shown.empty());

    failing = true;
    EXPECT_EQ(storedAfter([&] { categories.clear(); }), 1);
    EXPECT_EQ(storedAfter([&] { new QTreeWidgetItem(&categories, QStringList{"again"}); }), 1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(messages.shown[0].text.contains("Cannot write the settings file"));
    failing = false;
    EXPECT_EQ(storedAfter([&] { categories.clear(); }), 1);
    failing = true;
    EXPECT_EQ(storedAfter([&] { new QTreeWidgetItem(&categories, QStringList{"third"}); }), 1);
    EXPECT_EQ(messages.shown.size(), 2u);
}

} // namespace
} // namespace orv::test
