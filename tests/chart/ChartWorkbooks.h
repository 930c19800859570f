#pragma once

// The workbooks whose bytes the format checks look at: the template as the
// program carries it, the sample project's chart and a chart of 200 tasks.

#include "ChartBuilderFixture.h"
#include "chart/CustomResource.h"

#include <QDate>
#include <QFile>

namespace orv::chart::test {

struct ChartWorkbook {
    const char *name;
    void (*fill)(ProjectLists &); // nothing: the template itself
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

inline const ChartWorkbook kChartWorkbooks[] = {
    {"Template", nullptr},
    {"Sample", sampleProject},
    {"TwoHundredTasks", twoHundredTaskProject},
};

// A test over the bytes of each of the workbooks above.
class ChartWorkbookTest : public ChartBuilderTest, public ::testing::WithParamInterface<ChartWorkbook> {
protected:
    QByteArray workbookFile()
    {
        if (!GetParam().fill)
            return loadCustomResource(101);
        GetParam().fill(lists);
        build();
        QFile file(preview.excelFile);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

inline std::string chartWorkbookName(const ::testing::TestParamInfo<ChartWorkbook> &info)
{
    return info.param.name;
}

} // namespace orv::chart::test
