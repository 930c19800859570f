#pragma once

#include "sheet/render/CellLooks.h"
#include "sheet/render/LetterInk.h"
#include "sheet/render/NumberFormat.h"
#include "sheet/render/PaperTexts.h"
#include "sheet/render/SheetGeometry.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <array>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

class QPainter;

namespace orv::sheet {

// Paints a cell range of a sheet as the screen shows it, one horizontal band
// of the picture at a time, so that pictures of any height can be produced
// in bounded memory.
class RangePainter {
public:
    RangePainter(const Workbook &workbook, const Sheet &sheet, const SheetGeometry &geometry, RuleTest ruleHolds);
    ~RangePainter();

    // Paints picture rows [top, top + height) onto the painter, whose device
    // row 0 is picture row `top`.
    void paintBand(QPainter &painter, qint64 top, int height);
    // The same for the picture columns [left, left + width) of those rows
    // only: the painter's coordinates are still those of the whole band, and
    // its transform may scale them. Text that spills into the part from
    // cells beside it is drawn as in the whole band.
    void paintBand(QPainter &painter, qint64 top, int height, int left, int width);

    // Paints for paper (a PDF or a printer): every letter is drawn as a glyph
    // of its own, without ligatures, so that text in a PDF can be searched
    // and copied letter by letter, and a text whose letters lie inside its
    // cell is drawn without a clip, which such devices write out at length
    // for every text. The page looks the same. Such texts are drawn in runs
    // (PaperTexts). `ink` and `texts` must outlive the painter.
    void paintForPaper(LetterInk &ink, PaperTexts &texts)
    {
        mInk = &ink;
        mPaperTexts = &texts;
    }

private:
    struct Merge {
        CellRange range; // clipped to the picture's range
        CellLook look;   // the top-left cell's look decides fill and text
    };
    struct BandRow {
        int row = 0;
        std::vector<CellLook> looks;
        std::vector<int> merges;        // per column: index into mMerges, or -1
        std::vector<char> openBoundary; // per column: no gridline on its right edge
    };
    struct TextItem;
    struct TextFrame;
    struct TextFont {
        Font font;
        QFont qfont;
        LetterInk::Face *ink = nullptr; // painting for paper
        int paperFont = -1;             // its PaperTexts::fontId
        std::unique_ptr<QFontMetricsF> metrics;
    };

    void loadRows(int firstRow, int lastRow);
    const BandRow *bandRow(int row) const;
    QRect cellRect(int firstColumn, int lastColumn, int firstRow, int lastRow, qint64 top) const;
    const Fill &fillAt(const BandRow &row, int column) const;
    bool sameMerge(const BandRow &row, int columnA, int columnB) const;

    void paintFills(QPainter &painter, qint64 top);
    void paintGridlines(QPainter &painter, qint64 top);
    void paintBorders(QPainter &painter, qint64 top, int firstRow, int lastRow);
    BorderLine horizontalEdge(const BandRow *upper, const BandRow *lower, int column) const;
    std::vector<TextItem> layoutTexts(qint64 top, int firstRow, int lastRow, int height);
    bool layoutText(const CellLook &look, QRect rect, QRect clip, BandRow *overflowRow, int column, TextItem &item);
    static bool fitNumber(const NumberFormat &numbers, double number, const QFontMetricsF &metrics, double available,
                          QString &text);
    void spill(BandRow &row, int column, int flags, double textWidth, QRectF &layout, QRect &clip);
    void paintTexts(QPainter &painter, const std::vector<TextItem> &texts, const QRect &part);
    void paintText(QPainter &painter, const TextItem &item, const TextFrame &frame);
    static TextFrame textFrame(const TextItem &item);
    std::optional<QPointF> unclippedStart(const TextItem &item, const TextFrame &frame, const QRectF &clip) const;

    TextFont &textFont(const CellLook &look);
    const NumberFormat &numberFormat(const CellFormat &format);

    const Sheet &mSheet;
    const SheetGeometry &mGeometry;
    CellLooks mLooks;
    bool mGridlines;
    LetterInk *mInk = nullptr; // painting for paper
    PaperTexts *mPaperTexts = nullptr;
    std::vector<Merge> mMerges;
    std::vector<std::vector<int>> mMergesByRow; // per range row
    std::vector<BandRow> mRows;                 // the band's rows and one more on each side
    int mFirstColumn = 0;                       // the columns the part being painted reaches
    int mLastColumn = 0;
    // The band laid out last (top, height, left, width) and its texts:
    // painting that band again, as print titles are on every page, only
    // draws it again.
    std::optional<std::array<qint64, 4>> mLaidOut;
    std::vector<TextItem> mTexts;
    std::vector<std::unique_ptr<TextFont>> mFonts;
    std::unordered_map<const CellFormat *, NumberFormat> mNumberFormats;
    QImage mMetricsDevice; // a 96-DPI device for text measurement
};

} // namespace orv::sheet
