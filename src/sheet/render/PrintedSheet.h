#pragma once

#include "sheet/model/SheetSettings.h"
#include "sheet/render/CellLooks.h"
#include "sheet/render/LetterInk.h"
#include "sheet/render/PaperTexts.h"
#include "sheet/render/PrintPages.h"

#include <QByteArray>
#include <QPageLayout>
#include <array>
#include <map>
#include <memory>
#include <vector>

class QPainter;
class QPagedPaintDevice;

namespace orv::sheet {

class Workbook;

// The paper of a page setup: its paper size (letter for a size not known
// here) and orientation, without margins; the sheet's margins are painted
// by PrintedSheet itself.
QPageLayout paperOf(const PageSetup &setup);

// A sheet on paper: its pages (printedPages) and each page painted as
// vectors, fills and borders as shapes and texts as text, with the print
// titles, the page setup's scale, margins, header and footer. Pages are
// painted onto a painter whose device has 96 dots per inch and its origin at
// the paper's top-left corner (the device's own margins set to none).
class PrintedSheet {
public:
    // `paper` gives the paper's size and orientation (the page setup's own,
    // or what a print dialog chose); `ruleHolds` decides the conditional
    // formats and must stay valid while pages are painted.
    PrintedSheet(const Workbook &workbook, int sheetIndex, const QPageLayout &paper, RuleTest ruleHolds);
    ~PrintedSheet();

    const std::vector<PrintedPage> &pages() const { return mPages; }
    int pageCount() const { return static_cast<int>(mPages.size()); }
    // Paints page `index` (from 0).
    void paintPage(QPainter &painter, int index) const;

private:
    struct Block;
    enum class Recurs { No, OnEveryPage };
    void paintBlock(QPainter &painter, const CellRange &range, QPointF at, Recurs recurs) const;
    void paintHeaderFooter(QPainter &painter, int index) const;

    const Workbook &mWorkbook;
    int mSheetIndex;
    QSizeF mPaper;     // points
    PageMargins mMargins;
    double mScale;
    RuleTest mRuleHolds;
    std::vector<PrintedPage> mPages;
    mutable LetterInk mInk; // the letters' outlines, read as pages are painted
    mutable PaperTexts mTexts; // the texts' layouts, made as pages are painted
    // The blocks of the print titles, by their ranges (first row, first
    // column, last row, last column): each is laid out once for all pages.
    mutable std::map<std::array<int, 4>, std::unique_ptr<Block>> mTitleBlocks;
};

// Paints pages first to last (from 0) onto a paged device set to 96 dots per
// inch and full-page painting. Throws a Failure that says why when the
// device cannot be painted on.
void printSheet(PrintedSheet &sheet, QPagedPaintDevice &device, int first, int last);

// Pages first to last (from 0) as the bytes of a PDF file on `paper` (the
// paper the sheet was laid out for), with the fonts embedded.
QByteArray pagesPdf(PrintedSheet &sheet, const QPageLayout &paper, int first, int last, const QString &title);

// The sheet printed on its page setup's paper, as the bytes of a PDF file
// with the fonts embedded. A sheet with nothing to print is a Failure.
QByteArray sheetPdf(const Workbook &workbook, int sheetIndex, RuleTest ruleHolds);

} // namespace orv::sheet
