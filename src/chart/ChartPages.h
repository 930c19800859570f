#pragma once

#include "sheet/Clock.h"

#include <QByteArray>
#include <QPageLayout>
#include <QString>
#include <memory>

namespace orv::sheet {
class PrintedSheet;
class Workbook;
}

namespace orv::chart {

// The chart workbook as it prints: read from its file and worked out once,
// at one moment of `clock`, for the pages of its chart sheet (the sheet
// that was active when it was saved).
class ChartPages {
public:
    // Throws a Failure when the workbook cannot be read.
    ChartPages(const QString &workbookPath, const Clock &clock);
    // The same for a workbook already read and worked out (the spreadsheet
    // layer recalculates what it opens and copies as a picture), shared
    // unchanged.
    ChartPages(std::shared_ptr<const sheet::Workbook> workbook, const Clock &clock);
    ~ChartPages();

    // The paper of the chart sheet's own page setup.
    QPageLayout paper() const;
    // The chart sheet on `paper` (a print dialog may choose another one).
    // The result must not outlive this object.
    std::unique_ptr<sheet::PrintedSheet> printedOn(const QPageLayout &paper) const;
    // The chart sheet on its own paper as a PDF file's bytes.
    QByteArray pdf() const;

private:
    struct WorkedOut;
    std::unique_ptr<WorkedOut> mWorkedOut;
};

// The chart workbook at `workbookPath` written as a PDF file at `out`: the
// file is replaced only once the whole PDF is written, and a failure leaves
// whatever stood at `out` as it was. Throws a Failure that says why.
void exportChartPdf(const QString &workbookPath, const QString &out, const Clock &clock);

} // namespace orv::chart
