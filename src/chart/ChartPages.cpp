#include "chart/ChartPages.h"

#include "sheet/FileAccess.h"
#include "sheet/formula/Evaluator.h"
#include "sheet/formula/Recalculation.h"
#include "sheet/model/Workbook.h"
#include "sheet/render/FormulaRules.h"
#include "sheet/render/PrintedSheet.h"
#include "sheet/xls/XlsFile.h"

namespace orv::chart {

// The workbook, the moment its formulas were worked out at, and the
// evaluator the conditional formats are decided with.
struct ChartPages::WorkedOut {
    WorkedOut(const QString &path, const Clock &clock)
        : workbook(sheet::xls::openWorkbook(path, sheet::Links::Follow)), moment(clock),
          evaluator((sheet::recalculate(workbook, moment), workbook), moment)
    {
    }

    int chartSheet() const { return workbook.activeSheet(); }
    const sheet::PageSetup &pageSetup() const { return workbook.sheet(chartSheet()).pageSetup(); }

    sheet::Workbook workbook;
    HeldClock moment;
    sheet::Evaluator evaluator;
};

ChartPages::ChartPages(const QString &workbookPath, const Clock &clock)
    : mWorkedOut(std::make_unique<WorkedOut>(workbookPath, clock))
{
}

ChartPages::~ChartPages() = default;

QPageLayout ChartPages::paper() const { return sheet::paperOf(mWorkedOut->pageSetup()); }

std::unique_ptr<sheet::PrintedSheet> ChartPages::printedOn(const QPageLayout &paper) const
{
    return std::make_unique<sheet::PrintedSheet>(mWorkedOut->workbook, mWorkedOut->chartSheet(), paper,
                                                 sheet::formulaRules(mWorkedOut->evaluator));
}

QByteArray ChartPages::pdf() const
{
    return sheet::sheetPdf(mWorkedOut->workbook, mWorkedOut->chartSheet(), sheet::formulaRules(mWorkedOut->evaluator));
}

void exportChartPdf(const QString &workbookPath, const QString &out, const Clock &clock)
{
    sheet::replaceFile(ChartPages(workbookPath, clock).pdf(), out);
}

} // namespace orv::chart
