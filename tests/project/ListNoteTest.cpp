// The note beside "Delete Selected": what does not fit its room ends in an
// ellipsis, the tooltip holds all of it, and a larger room shows more.
#include "project/ListNote.h"

#include <QLabel>
#include <QWidget>
#include <gtest/gtest.h>

namespace orv::test {
namespace {

TEST(ListNote, ShowsWhatFitsAndAllOfItOnceItsRoomGrows)
{
    QWidget categories, tasks, events;
    ListNote note(categories, tasks, events, nullptr);
    const QString word = QStringLiteral("2 tasks, 2 deliverables and 1 special event lie partly or wholly outside the "
                                        "calendar at the day scale; the plan runs until 12/15/2026. The week scale "
                                        "shows it whole.");
    note.show(word);
    auto *label = tasks.findChild<QLabel *>(QStringLiteral("lblTaskNote"));
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->text().endsWith(QChar(0x2026))) << label->text().toStdString();
    EXPECT_TRUE(word.startsWith(label->text().chopped(1)));
    EXPECT_EQ(label->toolTip(), word);
    EXPECT_EQ(note.text(), word);

    tasks.show();
    label->resize(900, 80);
    EXPECT_EQ(label->text(), word);
    note.show(QStringLiteral("Undone: Add"));
    EXPECT_EQ(label->text(), QStringLiteral("Undone: Add"));
}

} // namespace
} // namespace orv::test
