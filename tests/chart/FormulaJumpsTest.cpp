// Every formula and conditional-format rule of the template and of built
// charts, run from the bytes of the file by an evaluator that follows the
// jump tokens of IF as the format's own application does.

#include "ChartBuilderFixture.h"
#include "ChartWorkbooks.h"
#include "TemplateUnderTest.h"
#include "sheet/EveryFormulaJumps.h"
#include "sheet/formula/Recalculation.h"

#include <QFile>

namespace orv::chart::test {
namespace {

using sheet::xls::testing::FormulaSweep;
using sheet::xls::testing::sweepEveryFormula;

// 195 month labels and 196 day dates in rows 4 and 6.
constexpr int kCalendarFormulas = 391;

void expectAllAgree(const FormulaSweep &sweep)
{
    EXPECT_TRUE(sweep.mismatches.isEmpty()) << sweep.mismatches.size() << " disagree, first:\n"
                                            << sweep.mismatches.mid(0, 10).join(u'\n').toStdString();
}

TEST(TemplateFormulaJumps, EveryFormulaAndRuleGivesTheEngineValue)
{
    const QByteArray file = loadCustomResource(101);
    sheet::Workbook book = testing::readChartTemplate();
    orv::test::FixedClock clock{QDateTime(QDate(2026, 12, 7), QTime(9, 30))};
    sheet::recalculate(book, clock); // the template caches no results
    const FormulaSweep sweep = sweepEveryFormula(file, book, clock);
    EXPECT_GE(sweep.formulaCells, kCalendarFormulas + 2);
    // Every rule at every cell of its area: 7 rules on the two task rows, 3 on
    // the deliverable row, 1 on the month labels, 3 on the dates, 1 on A11:C11.
    EXPECT_EQ(sweep.ruleCells, 196 * 2 * 7 + 196 * 3 + 196 * 2 + 196 * 2 * 3 + 3);
    expectAllAgree(sweep);
}

struct Project {
    const char *name;
    void (*fill)(ProjectLists &);
    int ruleRowStep; // rules are tried on every n-th row of their ranges
};

// Sub-tasks, five events, today inside the calendar and a task behind plan.
void subTasksAndEvents(ProjectLists &lists)
{
    lists.categories = {{"Research"}, {"Launch"}};
    lists.tasks = {{"Interviews", "80", "2/20/2024", "3/20/2024", "Research", ""},
                   {"Survey", "50.5", "3/1/2024", "3/12/2024", "Research", "V"},
                   {"Notes", "0", "3/10/2024", "3/30/2024", "Research", "V"},
                   {"Beta", "", "3/14/2024", "4/30/2024", "Launch", ""},
                   {"Release", "100", "5/1/2024", "5/3/2024", "Launch", "V"}};
    for (int e = 1; e <= 5; ++e)
        lists.events.push_back({QStringLiteral("Event %1").arg(e), QStringLiteral("3/%1/2024").arg(e * 3),
                                QStringLiteral("3/%1/2024").arg(e * 3 + 1)});
}

class ChartFormulaJumps : public ChartBuilderTest, public ::testing::WithParamInterface<Project> {};

TEST_P(ChartFormulaJumps, EveryFormulaAndRuleGivesTheCachedValue)
{
    GetParam().fill(lists);
    const sheet::Workbook chart = build();
    ASSERT_TRUE(scripted.messages.shown.empty());
    QFile file(preview.excelFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const FormulaSweep sweep = sweepEveryFormula(file.readAll(), chart, scripted.clock, GetParam().ruleRowStep);
    EXPECT_GE(sweep.formulaCells, kCalendarFormulas + 2);
    EXPECT_GT(sweep.ruleCells, 196 * 4);
    expectAllAgree(sweep);
}

INSTANTIATE_TEST_SUITE_P(Projects, ChartFormulaJumps,
                         ::testing::Values(Project{"Sample", sampleProject, 1},
                                           Project{"SubTasksAndEvents", subTasksAndEvents, 1},
                                           Project{"TwoHundredTasks", twoHundredTaskProject, 1}),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace orv::chart::test
