#pragma once

#include "sheet/model/ConditionalFormat.h"
#include "sheet/model/Workbook.h"
#include "sheet/xls/BiffRecords.h"
#include "sheet/xls/Palette.h"

#include <QHash>
#include <vector>

namespace orv::sheet::xls {

// Cell format records of the workbook globals: style XFs 0-14, then one cell
// XF per workbook format, so that format i is XF 15 + i.
inline constexpr int kFirstCellXf = 15;

// Bit layouts shared by the XF, FONT and CF records.
unsigned borderStyleCode(BorderStyle style);
BorderStyle borderStyleFromCode(unsigned code);

// The colour of a stored colour index; system colours are automatic.
Color colorFromIndex(const Palette &palette, unsigned index);
// Four border lines from their styles (4 bits each: left, right, top,
// bottom) and colour indices.
Borders bordersFromBits(const Palette &palette, unsigned styles, unsigned left, unsigned right, unsigned top,
                        unsigned bottom);

// The fonts, number formats, palette and XF records a workbook needs.
class StyleTable {
public:
    explicit StyleTable(const Workbook &workbook);

    const Palette &palette() const { return mPalette; }
    int fontColorIndex(const Color &color) const;
    int lineColorIndex(const Color &color) const;
    int fillColorIndex(const Color &color) const { return mPalette.indexOf(color.rgb); }

    void writeFonts(RecordWriter &out) const;
    void writeNumberFormats(RecordWriter &out) const;
    void writeXfs(RecordWriter &out) const;
    void writeStyles(RecordWriter &out) const;
    void writePalette(RecordWriter &out) const;

private:
    int fontIndex(const Font &font) const;
    QByteArray cellXf(const CellFormat &format) const;

    const Workbook &mWorkbook;
    std::vector<Font> mFonts; // without the missing index 4
    QHash<QString, int> mNumberFormats;
    std::vector<QString> mCustomFormats;
    Palette mPalette;
};

} // namespace orv::sheet::xls
