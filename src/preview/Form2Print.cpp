// "Print..." and "Export PDF...": the chart workbook's pages as its page
// setup lays them out, on a printer the user picks or in a PDF file.
#include "app/ReportingOperation.h"
#include "app/qt/ButtonKeys.h"
#include "app/qt/HoverPointer.h"
#include "chart/ChartPages.h"
#include "preview/DocumentName.h"
#include "preview/Form2.h"
#include "files/Failure.h"
#include "files/FileAccess.h"
#include "sheet/render/PrintedSheet.h"
#include "sheet/render/ScreenFonts.h"

#include <QBoxLayout>
#include <QGroupBox>
#include <QPrinter>
#include <QPushButton>
#include <algorithm>

namespace orv::preview {

namespace {

const QString kPdfTitle = QStringLiteral("Export PDF");
const QString kPdfFilter = QStringLiteral("PDF Files (*.pdf)|*.pdf|");

// The pages the print dialog chose, on the paper it chose. Printing into a
// PDF file writes the file only once every page is made, so that a failure
// never leaves a partial file at the chosen name.
void printPages(const chart::ChartPages &chart, QPrinter &printer)
{
    printer.setResolution(int(sheet::kScreenDpi));
    printer.setFullPage(true);
    const std::unique_ptr<sheet::PrintedSheet> printed = chart.printedOn(printer.pageLayout());
    const int pages = printed->pageCount();
    if (pages < 1)
        throw Failure(QStringLiteral("The chart has no page to print"));
    const int first = std::clamp(printer.fromPage(), 1, pages) - 1;
    const int last = printer.toPage() > 0 ? std::clamp(printer.toPage(), first + 1, pages) - 1 : pages - 1;
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        files::replaceFile(sheet::pagesPdf(*printed, printer.pageLayout(), first, last, printer.docName()),
                           printer.outputFileName());
        return;
    }
    sheet::printSheet(*printed, printer, first, last);
    if (printer.printerState() == QPrinter::Error)
        throw Failure(QStringLiteral("The printer reported an error: the chart may not be printed completely"));
}

} // namespace

void Form2::createPrintControls()
{
    // Beside the zoom buttons, in the room the bottom edge leaves for them,
    // in the zoom caption's smaller type: with "Fit" and the scale they fill
    // that room at the window's first size.
    auto *room = static_cast<QBoxLayout *>(ButtonRoom->layout());
    PrintButton = new QPushButton(QStringLiteral("Print..."), ButtonRoom);
    ExportPdfButton = new QPushButton(QStringLiteral("Export PDF..."), ButtonRoom);
    for (QPushButton *button : {PrintButton, ExportPdfButton}) {
        room->insertWidget(room->count() - 1, button);
        button->setFont(Frame1->font());
        button->setAttribute(Qt::WA_NoMousePropagation);
        mHover->watchButton(*button);
    }
    connect(PrintButton, &QPushButton::clicked, this, &Form2::PrintChart);
    connect(ExportPdfButton, &QPushButton::clicked, this, &Form2::ExportPdf);
    pressOnKeys(*PrintButton, QStringLiteral("Print"), {QKeySequence::Print});
    pressOnKeys(*ExportPdfButton, QStringLiteral("Export PDF"), {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E)});
    returnActsAsSpace({PrintButton, ExportPdfButton});
}

void Form2::PrintChart()
{
    ReportingOperation op(*mServices.messages, QStringLiteral("in Orvantis2021/08/31.Form2.PrintChart "));
    std::unique_ptr<chart::ChartPages> chart;
    QPrinter printer;
    bool accepted = false;
    op(100, [&] { chart = std::make_unique<chart::ChartPages>(mExcelFile, *mServices.clock); });
    if (!chart)
        return;
    op(102, [&] {
        printer.setPageLayout(chart->paper());
        printer.setDocName(chartDocumentName(mSavedAs, mServices.clock->now().date()));
        accepted = mServices.printDialog->askPrinter(printer, chart->printedOn(printer.pageLayout())->pageCount());
    });
    if (!accepted)
        return;
    setMousePointer(PointerSetting::Hourglass);
    op(104, [&] { printPages(*chart, printer); });
    setMousePointer(PointerSetting::Default);
}

void Form2::ExportPdf()
{
    ReportingOperation op(*mServices.messages, QStringLiteral("in Orvantis2021/08/31.Form2.ExportPdf "));
    const QString name = askFileToWrite(op, kPdfTitle, kPdfFilter, QStringLiteral(".pdf"));
    if (name.isEmpty())
        return;
    setMousePointer(PointerSetting::Hourglass);
    op(104, [&] { chart::exportChartPdf(mExcelFile, name, *mServices.clock); });
    setMousePointer(PointerSetting::Default);
}

} // namespace orv::preview
