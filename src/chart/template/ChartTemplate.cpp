#include "chart/template/ChartTemplate.h"

#include "chart/template/TemplateParts.h"

namespace orv::chart {

sheet::Workbook buildChartTemplate()
{
    sheet::Workbook book;
    book.setTemplate(true);

    TemplateSheet plan(book, book.addSheet(QStringLiteral("Project Plan")));
    buildProjectPlanSheet(plan);
    addProjectPlanRules(plan.sheet());

    book.addSheet(QStringLiteral("Instructions")).setVisibility(sheet::SheetVisibility::Hidden);

    TemplateSheet version(book, book.addSheet(QStringLiteral("Version")));
    buildVersionSheet(version);
    version.sheet().setVisibility(sheet::SheetVisibility::Hidden);

    book.setActiveSheet(0);
    return book;
}

} // namespace orv::chart
