#include "chart/ChartPages.h"

#include "files/FileAccess.h"
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
    // A workbook just read, worked out here.
    WorkedOut(const std::shared_ptr<sheet::Workbook> &read, const Clock &clock)
        : moment(clock), workbook((sheet::recalculate(*read, moment), read)), evaluator(*workbook, moment)
    {
    }
    WorkedOut(std::shared_ptr<const sheet::Workbook> workedOut, const Clock &clock)
        : moment(clock), workbook(std::move(workedOut)), evaluator(*workbook, moment)
    {
    }

    int chartSheet() const { return workbook->activeSheet(); }
    const sheet::PageSetup &pageSetup() const { return workbook->sheet(chartSheet()).pageSetup(); }

    HeldClock moment;
    std::shared_ptr<const sheet::Workbook> workbook;
    sheet::Evaluator evaluator;
};

ChartPages::ChartPages(const QString &workbookPath, const Clock &clock)
    : mWorkedOut(std::make_unique<WorkedOut>(
          std::make_shared<sheet::Workbook>(sheet::xls::openWorkbook(workbookPath, files::Links::Follow)), clock))
{
}

ChartPages::ChartPages(std::shared_ptr<const sheet::Workbook> workbook, const Clock &clock)
    : mWorkedOut(std::make_unique<WorkedOut>(std::move(workbook), clock))
{
}

ChartPages::~ChartPages() = default;

QPageLayout ChartPages::paper() const { return sheet::paperOf(mWorkedOut->pageSetup()); }

std::unique_ptr<sheet::PrintedSheet> ChartPages::printedOn(const QPageLayout &paper) const
{
    return std::make_unique<sheet::PrintedSheet>(*mWorkedOut->workbook, mWorkedOut->chartSheet(), paper,
                                                 sheet::formulaRules(mWorkedOut->evaluator));
}

QByteArray ChartPages::pdf() const
{
    return sheet::sheetPdf(*mWorkedOut->workbook, mWorkedOut->chartSheet(), sheet::formulaRules(mWorkedOut->evaluator));
}

void exportChartPdf(const QString &workbookPath, const QString &out, const Clock &clock)
{
    files::replaceFile(ChartPages(workbookPath, clock).pdf(), out);
}

} // namespace orv::chart
