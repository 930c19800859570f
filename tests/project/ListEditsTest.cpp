// Moving items, renaming and deleting categories over plain lists.
#include "project/ListEdits.h"

#include <gtest/gtest.h>

namespace orv::test {
namespace {

QStringList task(const QString &name, const QString &category, const QString &subTask = {})
{
    return {name, "10", "8/1/2026", "8/9/2026", category, subTask};
}

struct MoveCase {
    const char *name;
    int from, to;
    QStringList expected;
};

class MoveItem : public ::testing::TestWithParam<MoveCase> {};

TEST_P(MoveItem, KeepsTheOthersInOrder)
{
    ListRecords list{{"a"}, {"b"}, {"c"}, {"d"}};
    moveItem(list, GetParam().from, GetParam().to);
    QStringList names;
    for (const QStringList &record : list)
        names << record.first();
    EXPECT_EQ(names, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MoveItem,
    ::testing::Values(MoveCase{"LastToTop", 4, 1, {"d", "a", "b", "c"}},
                      MoveCase{"FirstToBottom", 1, 4, {"b", "c", "d", "a"}},
                      MoveCase{"OneDown", 2, 3, {"a", "c", "b", "d"}},
                      MoveCase{"OneUp", 3, 2, {"a", "c", "b", "d"}},
                      MoveCase{"InPlace", 2, 2, {"a", "b", "c", "d"}},
                      MoveCase{"AboveTheTop", 1, 0, {"a", "b", "c", "d"}},
                      MoveCase{"PastTheEnd", 4, 5, {"a", "b", "c", "d"}},
                      MoveCase{"FromNowhere", 0, 2, {"a", "b", "c", "d"}}),
    [](const auto &info) { return std::string(info.param.name); });

struct RenameCase {
    const char *name;
    ListRecords categories;
    int position;
    QString newName;
    int moved;
    QStringList taskCategories; // afterwards, for the tasks Design, design, Build, Design
};

class RenameCategory : public ::testing::TestWithParam<RenameCase> {};

TEST_P(RenameCategory, CarriesTheTasksThatNamedItExactly)
{
    const RenameCase &c = GetParam();
    ProjectLists lists{c.categories,
                       {task("t1", "Design"), task("t2", "design"), task("t3", "Build", "V"), task("t4", "Design")},
                       {{"E", "8/3/2026", "8/3/2026"}}};
    const ProjectLists before = lists;
    EXPECT_EQ(renameCategory(lists, c.position, c.newName), c.moved);
    QStringList categories;
    for (const QStringList &task : lists.tasks)
        categories << task[kTaskCategoryColumn - 1];
    EXPECT_EQ(categories, c.taskCategories);
    if (c.position >= 1 && c.position <= c.categories.size())
        EXPECT_EQ(lists.categories[c.position - 1], QStringList{c.newName});
    else
        EXPECT_EQ(lists.categories, before.categories);
    EXPECT_EQ(lists.events, before.events);
    for (int i = 0; i < lists.tasks.size(); ++i) {
        QStringList unchanged = lists.tasks[i];
        unchanged[kTaskCategoryColumn - 1] = before.tasks[i][kTaskCategoryColumn - 1];
        EXPECT_EQ(unchanged, before.tasks[i]) << "only the category column changes";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RenameCategory,
    ::testing::Values(
        RenameCase{"MovesExactMatchesOnly", {{"Design"}, {"Build"}}, 1, "Design 2", 2,
                   {"Design 2", "design", "Build", "Design 2"}},
        RenameCase{"CaseChangeIsARename", {{"Design"}, {"Build"}}, 1, "DESIGN", 2,
                   {"DESIGN", "design", "Build", "DESIGN"}},
        RenameCase{"SameTextMovesNothing", {{"Design"}}, 1, "Design", 0, {"Design", "design", "Build", "Design"}},
        RenameCase{"DuplicateKeepsItsTasks", {{"Design"}, {"Build"}, {"Design"}}, 3, "Later", 0,
                   {"Design", "design", "Build", "Design"}},
        RenameCase{"OntoAnExistingName", {{"Design"}, {"Build"}}, 2, "Design", 1,
                   {"Design", "design", "Design", "Design"}},
        RenameCase{"ToEmptyText", {{"Build"}}, 1, "", 1, {"Design", "design", "", "Design"}},
        RenameCase{"NoSuchPosition", {{"Design"}}, 2, "X", 0, {"Design", "design", "Build", "Design"}}),
    [](const auto &info) { return std::string(info.param.name); });

struct OrphanCase {
    const char *name;
    ListRecords categories;
    int position;
    int orphaned;
};

class TasksLeftWithoutCategory : public ::testing::TestWithParam<OrphanCase> {};

TEST_P(TasksLeftWithoutCategory, CountsTasksNoOtherCategoryTakes)
{
    const ProjectLists lists{GetParam().categories,
                             {task("t1", "Design"), task("t2", "design"), task("t3", "Build"), task("t4", "Design")},
                             {}};
    EXPECT_EQ(tasksLeftWithoutCategory(lists, GetParam().position), GetParam().orphaned);
}

INSTANTIATE_TEST_SUITE_P(Cases, TasksLeftWithoutCategory,
                         ::testing::Values(OrphanCase{"Two", {{"Design"}, {"Build"}}, 1, 2},
                                           OrphanCase{"One", {{"Design"}, {"Build"}}, 2, 1},
                                           OrphanCase{"Unused", {{"Research"}}, 1, 0},
                                           OrphanCase{"DuplicateRemains", {{"Design"}, {"Design"}}, 2, 0},
                                           OrphanCase{"NoSuchPosition", {{"Design"}}, 3, 0}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(Notes, CountTasksInWords)
{
    EXPECT_EQ(renameNote(3, "Design 2"), "3 tasks moved to 'Design 2'");
    EXPECT_EQ(renameNote(1, "X"), "1 task moved to 'X'");
    EXPECT_EQ(renameNote(0, "X"), "");
    EXPECT_EQ(deleteNote(2), "2 tasks no longer belong to a category and will not be in the chart");
    EXPECT_EQ(deleteNote(1), "1 task no longer belongs to a category and will not be in the chart");
    EXPECT_EQ(deleteNote(0), "");
}

TEST(SubTask, TogglesBetweenEmptyAndV)
{
    EXPECT_EQ(toggledSubTask(""), "V");
    EXPECT_EQ(toggledSubTask("V"), "");
    EXPECT_EQ(toggledSubTask("v"), "V") << "only \"V\" marks a sub-task";
}

} // namespace
} // namespace orv::test
