#include "chart/template/ChartTemplate.h"

#include "chart/template/TemplateParts.h"

namespace orv::chart {

sheet::Workbook buildChartTemplate(const CalendarShape &shape)
{
    sheet::Workbook book;
    book.setTemplate(true);

    TemplateSheet plan(book, book.addSheet(QStringLiteral("Project Plan")));
    buildProjectPlanSheet(plan, shape);
    addProjectPlanRules(plan.sheet(), shape);

    book.addSheet(QStringLiteral("Instructions")).setVisibility(sheet::SheetVisibility::Hidden);

    TemplateSheet version(book, book.addSheet(QStringLiteral("Version")));
    buildVersionSheet(version);
    version.sheet().setVisibility(sheet::SheetVisibility::Hidden);

    book.setActiveSheet(0);
    return book;
}

} // namespace orv::chart
