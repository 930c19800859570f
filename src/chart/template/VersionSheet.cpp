#include "chart/template/TemplateParts.h"

namespace orv::chart {

using namespace sheet;

void buildVersionSheet(TemplateSheet &version)
{
    Sheet &sheet = version.sheet();
    sheet.setColumnInfo(2, ColumnInfo{70});
    sheet.setRowInfo(2, fixedHeight(90));
    sheet.setRowInfo(3, fixedHeight(45));

    CellFormat heading;
    heading.font.bold = true;
    version.setText(cellAt(u"B2"), QStringLiteral("Version"), heading);

    CellFormat number;
    number.numberFormat = QStringLiteral("0.0");
    number.alignment.vertical = VerticalAlignment::Top;
    CellFormat notes;
    notes.alignment.wrap = true;
    notes.alignment.vertical = VerticalAlignment::Top;

    version.setNumber(cellAt(u"B3"), 1.0, number);
    version.setText(cellAt(u"C3"),
                    QStringLiteral("Initial Version:\n"
                                   "- Six month view\n"
                                   "- Floating calendar via conditional formatting\n"
                                   "- Special events (5) with background fill\n"
                                   "- Deliverable, task and sub-task levels\n"
                                   "- Current day indicator"),
                    notes);
    version.setNumber(cellAt(u"B4"), 1.1, number);
    version.setText(cellAt(u"C4"),
                    QStringLiteral("Added % complete status for tasks\n"
                                   "- The completed part of a bar is highlighted by its % complete\n"
                                   "- Tasks that are behind plan are highlighted"),
                    notes);
}

} // namespace orv::chart
