#include "sheet/render/PrintedSheet.h"

#include "files/Failure.h"
#include "sheet/model/Workbook.h"
#include "sheet/render/HeaderFooter.h"
#include "sheet/render/RangePainter.h"
#include "sheet/render/ScreenFonts.h"
#include "sheet/render/SheetGeometry.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>

namespace orv::sheet {

namespace {

constexpr double kPointsPerInch = 72.0;

QPageSize paperSize(int code)
{
    switch (code) {
    case 3: return QPageSize(QPageSize::Tabloid);
    case 5: return QPageSize(QPageSize::Legal);
    case 8: return QPageSize(QPageSize::A3);
    case 9: return QPageSize(QPageSize::A4);
    case 11: return QPageSize(QPageSize::A5);
    default: return QPageSize(QPageSize::Letter);
    }
}

// A range of title rows or columns across the rows or columns of a block.
CellRange across(const Strip &rows, const Strip &columns) { return {rows.first, columns.first, rows.last, columns.last}; }

} // namespace

QPageLayout paperOf(const PageSetup &setup)
{
    return QPageLayout(paperSize(setup.paperSize),
                       setup.orientation == Orientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF());
}

PrintedSheet::PrintedSheet(const Workbook &workbook, int sheetIndex, const QPageLayout &paper, RuleTest ruleHolds)
    : mWorkbook(workbook), mSheetIndex(sheetIndex), mPaper(paper.fullRectPoints().size()),
      mMargins(workbook.sheet(sheetIndex).pageSetup().margins),
      mScale(printScale(workbook.sheet(sheetIndex).pageSetup().scale)), mRuleHolds(std::move(ruleHolds))
{
    const QSizeF printable(mPaper.width() - (mMargins.left + mMargins.right) * kPointsPerInch,
                           mPaper.height() - (mMargins.top + mMargins.bottom) * kPointsPerInch);
    if (printable.width() <= 0 || printable.height() <= 0)
        throw Failure(QStringLiteral("The margins leave no room on the paper"));
    mPages = printedPages(workbook, sheetIndex, printable);
}

// A range of the sheet laid out for paper.
struct PrintedSheet::Block {
    Block(const Workbook &workbook, const Sheet &sheet, const CellRange &range, RuleTest ruleHolds, LetterInk &ink,
          PaperTexts &texts)
        : geometry(workbook, sheet, range), painter(workbook, sheet, geometry, std::move(ruleHolds))
    {
        painter.paintForPaper(ink, texts);
    }

    SheetGeometry geometry;
    RangePainter painter;
};

PrintedSheet::~PrintedSheet() = default;

// The block's top-left corner at `at`, in picture pixels of the sheet.
void PrintedSheet::paintBlock(QPainter &painter, const CellRange &range, QPointF at, Recurs recurs) const
{
    const Sheet &sheet = mWorkbook.sheet(mSheetIndex);
    std::unique_ptr<Block> once;
    Block *block = nullptr;
    if (recurs == Recurs::OnEveryPage) {
        std::unique_ptr<Block> &kept = mTitleBlocks[{range.firstRow, range.firstColumn, range.lastRow, range.lastColumn}];
        if (!kept)
            kept = std::make_unique<Block>(mWorkbook, sheet, range, mRuleHolds, mInk, mTexts);
        block = kept.get();
    } else {
        once = std::make_unique<Block>(mWorkbook, sheet, range, mRuleHolds, mInk, mTexts);
        block = once.get();
    }
    painter.save();
    painter.translate(at);
    block->painter.paintBand(painter, 0, int(block->geometry.height()));
    painter.restore();
}

void PrintedSheet::paintPage(QPainter &painter, int index) const
{
    const PrintedPage &page = mPages.at(index);
    const Sheet &sheet = mWorkbook.sheet(mSheetIndex);
    const Strip bodyRows{page.body.firstRow, page.body.lastRow};
    const Strip bodyColumns{page.body.firstColumn, page.body.lastColumn};
    QPointF body(0, 0);
    if (page.titleColumns)
        body.setX(SheetGeometry(mWorkbook, sheet, across(bodyRows, *page.titleColumns)).width());
    if (page.titleRows)
        body.setY(SheetGeometry(mWorkbook, sheet, across(*page.titleRows, bodyColumns)).height());

    painter.save();
    painter.translate(mMargins.left * kScreenDpi, mMargins.top * kScreenDpi);
    painter.scale(mScale, mScale);
    if (page.titleRows && page.titleColumns)
        paintBlock(painter, across(*page.titleRows, *page.titleColumns), {0, 0}, Recurs::OnEveryPage);
    if (page.titleRows)
        paintBlock(painter, across(*page.titleRows, bodyColumns), {body.x(), 0}, Recurs::OnEveryPage);
    if (page.titleColumns)
        paintBlock(painter, across(bodyRows, *page.titleColumns), {0, body.y()}, Recurs::OnEveryPage);
    paintBlock(painter, page.body, body, Recurs::No);
    painter.restore();
    paintHeaderFooter(painter, index);
}

// The header and footer in the workbook's body font, scaled with the sheet
// as spreadsheet applications do by default: the header's top at the header
// margin, the footer's bottom at the footer margin, both between the side
// margins.
void PrintedSheet::paintHeaderFooter(QPainter &painter, int index) const
{
    const Sheet &sheet = mWorkbook.sheet(mSheetIndex);
    const PageSetup &setup = sheet.pageSetup();
    const double dotsPerPoint = kScreenDpi / kPointsPerInch;
    const double left = mMargins.left * kScreenDpi;
    const double width = mPaper.width() * dotsPerPoint - (mMargins.left + mMargins.right) * kScreenDpi;
    Font font = mWorkbook.format(0).font;
    font.size *= mScale;
    painter.save();
    QFont footerFont = screenFont(font);
    footerFont.setStyleStrategy(QFont::PreferNoShaping);
    painter.setFont(footerFont);
    painter.setPen(Qt::black);
    auto paint = [&](const QString &code, double top, double height, int vertical) {
        if (code.isEmpty())
            return;
        const HeaderFooterText text = headerFooterText(code, index + 1, pageCount(), sheet.name());
        const QRectF area(left, top, width, height);
        painter.drawText(area, vertical | Qt::AlignLeft, text.left);
        painter.drawText(area, vertical | Qt::AlignHCenter, text.centre);
        painter.drawText(area, vertical | Qt::AlignRight, text.right);
    };
    const double paperHeight = mPaper.height() * dotsPerPoint;
    paint(setup.header, mMargins.header * kScreenDpi, std::max(mMargins.top - mMargins.header, 0.0) * kScreenDpi,
          Qt::AlignTop);
    paint(setup.footer, paperHeight - mMargins.bottom * kScreenDpi,
          std::max(mMargins.bottom - mMargins.footer, 0.0) * kScreenDpi, Qt::AlignBottom);
    painter.restore();
}

void printSheet(PrintedSheet &sheet, QPagedPaintDevice &device, int first, int last)
{
    QPainter painter;
    if (!painter.begin(&device))
        throw Failure(QStringLiteral("The pages cannot be printed: the printer or file did not accept them"));
    for (int index = first; index <= last; ++index) {
        if (index > first && !device.newPage())
            throw Failure(QStringLiteral("The pages cannot be printed: page %1 was refused").arg(index + 1));
        sheet.paintPage(painter, index);
    }
    if (!painter.end())
        throw Failure(QStringLiteral("The pages cannot be printed: they could not be finished"));
}

QByteArray pagesPdf(PrintedSheet &sheet, const QPageLayout &paper, int first, int last, const QString &title)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(int(kScreenDpi));
        writer.setPageLayout(QPageLayout(paper.pageSize(), paper.orientation(), QMarginsF()));
        writer.setCreator(QStringLiteral("Orvantis"));
        writer.setTitle(title);
        printSheet(sheet, writer, first, last);
    }
    return buffer.data();
}

QByteArray sheetPdf(const Workbook &workbook, int sheetIndex, RuleTest ruleHolds)
{
    const Sheet &sheet = workbook.sheet(sheetIndex);
    const QPageLayout paper = paperOf(sheet.pageSetup());
    PrintedSheet printed(workbook, sheetIndex, paper, std::move(ruleHolds));
    if (printed.pageCount() == 0)
        throw Failure(QStringLiteral("The sheet %1 has nothing to print").arg(sheet.name()));
    return pagesPdf(printed, paper, 0, printed.pageCount() - 1, sheet.name());
}

} // namespace orv::sheet
