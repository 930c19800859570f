#pragma once

// The workbooks whose bytes the format checks look at: the template as the
// program carries it, the sample project's chart, a chart of 200 tasks and
// the week and month charts of a 15-month plan.

#include "ChartBuilderFixture.h"
#include "chart/CustomResource.h"

#include <QDate>
#include <QFile>

namespace orv::chart::test {

struct ChartWorkbook {
    const char *name;
    void (*fill)(ProjectLists &); // nothing: the template itself
    CalendarScale scale = CalendarScale::Days;
};

inline void sampleProject(ProjectLists &lists)
{
    lists.categories = {{"Research"}, {"Development"}};
    lists.tasks = {{"Initial researching", "80", "8/11/2016", "8/24/2016", "Research", ""},
                   {"Draft project", "10", "8/23/2016", "11/24/2016", "Development", ""}};
    lists.events = {{"General meeting", "8/12/2016", "8/12/2016"}};
}

inline void twoHundredTaskProject(ProjectLists &lists)
{
    lists.categories = {{"Build"}, {"Test"}};
    for (int t = 0; t < 200; ++t) {
        const QDate start = QDate(2024, 3, 1).addDays(t % 150);
        lists.tasks.push_back({QStringLiteral("Task %1").arg(t), QString::number(t % 101),
                               start.toString(QStringLiteral("M/d/yyyy")),
                               start.addDays(t % 20).toString(QStringLiteral("M/d/yyyy")), t % 3 ? "Build" : "Test",
                               t % 4 ? "" : "V"});
    }
}

inline void fifteenMonthProject(ProjectLists &lists)
{
    lists.categories = {{"Research"}, {"Development"}};
    lists.tasks = {{"Interviews", "80", "1/6/2027", "2/20/2027", "Research", ""},
                   {"Prototype", "10", "5/15/2027", "11/1/2027", "Development", ""},
                   {"Beta", "", "2/2/2028", "3/31/2028", "Development", "V"}};
    lists.events = {{"Kick-off", "1/10/2027", "1/10/2027"}, {"Review", "6/1/2027", "6/4/2027"}};
}

inline const ChartWorkbook kChartWorkbooks[] = {
    {"Template", nullptr},
    {"Sample", sampleProject},
    {"TwoHundredTasks", twoHundredTaskProject},
    {"FifteenMonthsInWeeks", fifteenMonthProject, CalendarScale::Weeks},
    {"FifteenMonthsInMonths", fifteenMonthProject, CalendarScale::Months},
};

// A test over the bytes of each of the workbooks above.
class ChartWorkbookTest : public ChartBuilderTest, public ::testing::WithParamInterface<ChartWorkbook> {
protected:
    QByteArray workbookFile()
    {
        if (!GetParam().fill)
            return loadCustomResource(101);
        GetParam().fill(lists);
        const CalendarScale scale = GetParam().scale;
        ChartBuilder({scripted.services, lists, window, preview, [] { return loadCustomResource(101); },
                      [scale] { return scale; }},
                     kSeed)
            .PushButton6_Click();
        QFile file(preview.excelFile);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

inline std::string chartWorkbookName(const ::testing::TestParamInfo<ChartWorkbook> &info)
{
    return info.param.name;
}

} // namespace orv::chart::test
