#include "sheet/xls/XlsSheetWriter.h"

#include "files/Failure.h"
#include "sheet/xls/BiffRecords.h"
#include "sheet/xls/ConditionalFormatRecords.h"
#include "sheet/xls/SheetUnits.h"

#include <QtEndian>
#include <algorithm>

namespace orv::sheet::xls {

namespace {

constexpr unsigned kWorksheetType = 0x0010;
constexpr int kRowsPerBlock = 32;
constexpr int kMergesPerRecord = 1027;
constexpr size_t kRulesPerCondFmt = 3;

class SheetWriter {
public:
    SheetWriter(const Workbook &workbook, int index, const StyleTable &styles, SharedStringTable &strings,
                const SheetLinks &links)
        : mWorkbook(workbook), mSheet(workbook.sheet(index)), mIndex(index), mStyles(styles), mStrings(strings),
          mLinks(links)
    {
    }

    WorksheetStream write()
    {
        writeBof(mOut, kWorksheetType);
        collectRows();
        const qsizetype indexAt = writeIndexPlaceholder();
        writeCalculationSettings();
        writePrintSettings();
        mDefColWidthAt = mOut.position();
        writeValueRecord(mOut, rec::DefColWidth, static_cast<unsigned>(mSheet.defaultColumnWidth()));
        writeColumns();
        writeDimensions();
        writeRowBlocks();
        patchIndex(indexAt);
        writeWindow();
        writeMerges();
        writeConditionalFormats();
        mOut.record(rec::Eof, QByteArray());
        return WorksheetStream(mOut.bytes(), std::move(mPositionFields));
    }

private:
    void collectRows()
    {
        for (int row = 0; row <= mSheet.lastRow(); ++row)
            if (mSheet.rowInfo(row) || !mSheet.rowCells(row).empty())
                mRows.push_back(row);
        for (size_t i = 0; i < mRows.size(); ++i)
            if (i == 0 || mRows[i] / kRowsPerBlock != mRows[i - 1] / kRowsPerBlock)
                mBlockStarts.push_back(i);
    }

    qsizetype writeIndexPlaceholder()
    {
        const qsizetype at = mOut.position();
        ByteWriter data;
        data.u32(0);
        data.u32(mRows.empty() ? 0 : static_cast<std::uint32_t>(mRows.front()));
        data.u32(mRows.empty() ? 0 : static_cast<std::uint32_t>(mRows.back() + 1));
        data.u32(0); // DEFCOLWIDTH position, patched
        data.zeros(static_cast<qsizetype>(mBlockStarts.size()) * 4);
        mOut.record(rec::Index, data);
        return at;
    }

    // Fills in the positions of DEFCOLWIDTH and of every DBCELL, counted
    // from the substream's start until it is placed.
    void patchIndex(qsizetype at)
    {
        const auto patch = [&](qsizetype field, qsizetype position) {
            qToLittleEndian(static_cast<quint32>(position), mOut.bytes().data() + field);
            mPositionFields.push_back(field);
        };
        patch(at + 4 + 12, mDefColWidthAt);
        for (size_t i = 0; i < mDbCells.size(); ++i)
            patch(at + 4 + 16 + static_cast<qsizetype>(i) * 4, mDbCells[i]);
    }

    void writeCalculationSettings()
    {
        writeValueRecord(mOut, rec::CalcMode, 1);
        writeValueRecord(mOut, rec::CalcCount, 100);
        writeValueRecord(mOut, rec::RefMode, 1);
        writeValueRecord(mOut, rec::Iteration, 0);
        ByteWriter delta;
        delta.f64(0.001);
        mOut.record(rec::Delta, delta);
        writeValueRecord(mOut, rec::SaveRecalc, 1);
        writeValueRecord(mOut, rec::PrintHeaders, 0);
        writeValueRecord(mOut, rec::PrintGridlines, 0);
        writeValueRecord(mOut, rec::GridSet, 1);
        ByteWriter guts;
        guts.zeros(8);
        mOut.record(rec::Guts, guts);
        ByteWriter rowHeight;
        rowHeight.u16(0);
        rowHeight.u16(static_cast<unsigned>(pointsToTwips(mSheet.defaultRowHeight())));
        mOut.record(rec::DefaultRowHeight, rowHeight);
        writeValueRecord(mOut, rec::WsBool, 0x04C1);
    }

    void writePrintSettings()
    {
        const PageSetup &page = mSheet.pageSetup();
        for (auto [type, text] : {std::pair{rec::Header, page.header}, std::pair{rec::Footer, page.footer}}) {
            ByteWriter data;
            if (!text.isEmpty())
                appendUnicodeString(data, text.left(255));
            mOut.record(type, data);
        }
        writeValueRecord(mOut, rec::HCenter, 0);
        writeValueRecord(mOut, rec::VCenter, 0);
        const PageMargins &margins = page.margins;
        for (auto [type, inches] : {std::pair{rec::LeftMargin, margins.left}, std::pair{rec::RightMargin, margins.right},
                                    std::pair{rec::TopMargin, margins.top}, std::pair{rec::BottomMargin, margins.bottom}}) {
            ByteWriter data;
            data.f64(inches);
            mOut.record(type, data);
        }
        ByteWriter setup;
        setup.u16(static_cast<unsigned>(page.paperSize));
        setup.u16(static_cast<unsigned>(page.scale));
        setup.u16(1); // first page number
        setup.u16(1); // fit to width
        setup.u16(1); // fit to height
        setup.u16(page.orientation == Orientation::Portrait ? 0x02 : 0x00);
        setup.u16(600);
        setup.u16(600);
        setup.f64(margins.header);
        setup.f64(margins.footer);
        setup.u16(1);   // copies
        mOut.record(rec::Setup, setup);
    }

    void writeColumns()
    {
        mSheet.forEachColumnRun([this](int first, int last, const ColumnInfo &info) {
            ByteWriter data;
            data.u16(static_cast<unsigned>(first));
            data.u16(static_cast<unsigned>(last));
            data.u16(static_cast<unsigned>(columnWidthToStored(info.width)));
            data.u16(xfOf(info.formatIndex));
            data.u16((info.hidden ? 0x01 : 0) | 0x02);
            data.u16(0);
            mOut.record(rec::ColInfo, data);
        });
    }

    void writeDimensions()
    {
        ByteWriter data;
        const auto used = mSheet.usedRange();
        data.u32(used ? static_cast<std::uint32_t>(used->firstRow) : 0);
        data.u32(used ? static_cast<std::uint32_t>(used->lastRow + 1) : 0);
        data.u16(used ? static_cast<unsigned>(used->firstColumn) : 0);
        data.u16(used ? static_cast<unsigned>(used->lastColumn + 1) : 0);
        data.u16(0);
        mOut.record(rec::Dimensions, data);
    }

    void writeRowBlocks()
    {
        for (size_t block = 0; block < mBlockStarts.size(); ++block) {
            const size_t first = mBlockStarts[block];
            const size_t end = block + 1 < mBlockStarts.size() ? mBlockStarts[block + 1] : mRows.size();
            const qsizetype firstRowAt = mOut.position();
            for (size_t i = first; i < end; ++i)
                writeRow(mRows[i]);
            std::vector<qsizetype> cellStarts;
            for (size_t i = first; i < end; ++i) {
                cellStarts.push_back(mOut.position());
                writeCells(mRows[i]);
            }
            const qsizetype dbCellAt = mOut.position();
            mDbCells.push_back(dbCellAt);
            ByteWriter data;
            data.u32(static_cast<std::uint32_t>(dbCellAt - firstRowAt));
            constexpr qsizetype kRowRecordSize = 20;
            qsizetype previous = firstRowAt + kRowRecordSize;
            for (qsizetype start : cellStarts) {
                data.u16(static_cast<unsigned>(start - previous));
                previous = start;
            }
            mOut.record(rec::DbCell, data);
        }
    }

    void writeRow(int row)
    {
        const RowInfo *info = mSheet.rowInfo(row);
        const auto &cells = mSheet.rowCells(row);
        const int firstColumn = cells.empty() ? -1 : cells.begin()->first;
        const int lastColumn = cells.empty() ? -1 : cells.rbegin()->first;
        ByteWriter data;
        data.u16(static_cast<unsigned>(row));
        data.u16(firstColumn < 0 ? 0 : static_cast<unsigned>(firstColumn));
        data.u16(firstColumn < 0 ? 0 : static_cast<unsigned>(lastColumn + 1));
        data.u16(static_cast<unsigned>(pointsToTwips(info ? info->height : mSheet.defaultRowHeight())));
        data.u16(0);
        data.u16(0);
        std::uint32_t flags = 0x0100;
        unsigned xf = kFirstCellXf;
        if (info) {
            if (info->hidden)
                flags |= 0x20;
            if (info->customHeight)
                flags |= 0x40;
            if (info->formatIndex) {
                flags |= 0x80;
                xf = xfOf(*info->formatIndex);
            }
        }
        data.u32(flags | (static_cast<std::uint32_t>(xf) << 16));
        mOut.record(rec::Row, data);
    }

    void cellHeader(ByteWriter &data, CellAddress at, const Cell &cell)
    {
        data.u16(static_cast<unsigned>(at.row));
        data.u16(static_cast<unsigned>(at.column));
        data.u16(xfOf(cell.formatIndex));
    }

    static bool isBlank(const Cell &cell) { return !cell.hasFormula() && isEmpty(cell.value); }

    // The RkNumber of a constant number cell that one can hold.
    static std::optional<std::uint32_t> rkOf(const Cell &cell)
    {
        const double *number = std::get_if<double>(&cell.value);
        return number && !cell.hasFormula() ? rkNumber(*number) : std::nullopt;
    }

    // The XF record of a workbook format.
    unsigned xfOf(int formatIndex) const
    {
        if (formatIndex < 0 || formatIndex >= mWorkbook.formatCount())
            throw Failure(QStringLiteral("Cannot save sheet %1: it refers to the missing cell format %2")
                              .arg(mSheet.name())
                              .arg(formatIndex));
        return static_cast<unsigned>(kFirstCellXf + formatIndex);
    }

    // Runs of formatted empty cells go into one MULBLANK record, runs of
    // numbers that RK values hold into one MULRK record.
    void writeCells(int row)
    {
        const auto &cells = mSheet.rowCells(row);
        for (auto it = cells.begin(); it != cells.end();) {
            const bool blank = isBlank(it->second), rk = rkOf(it->second).has_value();
            auto runEnd = std::next(it);
            if (blank || rk) {
                while (runEnd != cells.end() && runEnd->first == std::prev(runEnd)->first + 1
                       && (blank ? isBlank(runEnd->second) : rkOf(runEnd->second).has_value()))
                    ++runEnd;
            }
            const auto runLength = static_cast<int>(std::distance(it, runEnd));
            if (runLength > 1 && blank)
                writeBlanks(row, it, runEnd, runLength);
            else if (runLength > 1)
                writeRkNumbers(row, it, runEnd, runLength);
            else if (it->second.hasFormula())
                writeFormula({row, it->first}, it->second);
            else
                writeConstant({row, it->first}, it->second);
            it = runEnd;
        }
    }

    template <typename Iterator>
    void writeBlanks(int row, Iterator first, Iterator end, int count)
    {
        ByteWriter &data = mOut.header(rec::MulBlank, 6 + 2 * count);
        data.u16(static_cast<unsigned>(row));
        data.u16(static_cast<unsigned>(first->first));
        for (auto it = first; it != end; ++it)
            data.u16(xfOf(it->second.formatIndex));
        data.u16(static_cast<unsigned>(std::prev(end)->first));
    }

    template <typename Iterator>
    void writeRkNumbers(int row, Iterator first, Iterator end, int count)
    {
        ByteWriter &data = mOut.header(rec::MulRk, 6 + 6 * count);
        data.u16(static_cast<unsigned>(row));
        data.u16(static_cast<unsigned>(first->first));
        for (auto it = first; it != end; ++it) {
            data.u16(xfOf(it->second.formatIndex));
            data.u32(*rkOf(it->second));
        }
        data.u16(static_cast<unsigned>(std::prev(end)->first));
    }

    void writeConstant(CellAddress at, const Cell &cell)
    {
        const Value &value = cell.value;
        auto header = [&](unsigned type, unsigned size) -> ByteWriter & {
            ByteWriter &data = mOut.header(type, 6 + size);
            cellHeader(data, at, cell);
            return data;
        };
        if (const double *number = std::get_if<double>(&value)) {
            header(rec::Number, 8).f64(*number);
        } else if (const QString *text = std::get_if<QString>(&value)) {
            header(rec::LabelSst, 4).u32(static_cast<std::uint32_t>(mStrings.add(*text)));
        } else if (const bool *boolean = std::get_if<bool>(&value)) {
            ByteWriter &data = header(rec::BoolErr, 2);
            data.u8(*boolean ? 1 : 0);
            data.u8(0);
        } else if (const ErrorCode *error = std::get_if<ErrorCode>(&value)) {
            ByteWriter &data = header(rec::BoolErr, 2);
            data.u8(static_cast<unsigned>(*error));
            data.u8(1);
        } else {
            header(rec::Blank, 0);
        }
    }

    void writeFormula(CellAddress at, const Cell &cell)
    {
        EncodedFormula encoded;
        try {
            encoded = encodeFormula(*cell.formula, FormulaPlace::Cell, at, mLinks);
        } catch (const Failure &failure) {
            throw Failure(QStringLiteral("Cannot save the formula in %1!%2: %3")
                              .arg(mSheet.name(), cellName(at), failure.description()));
        }
        ByteWriter data;
        cellHeader(data, at, cell);
        const Value &value = cell.value;
        // An empty text result has a type of its own and no STRING record.
        const QString *text = std::get_if<QString>(&value);
        if (text && text->isEmpty())
            text = nullptr;
        if (const double *number = std::get_if<double>(&value)) {
            data.f64(*number);
        } else {
            unsigned type = 3, payload = 0;
            if (text)
                type = 0;
            else if (const bool *boolean = std::get_if<bool>(&value))
                type = 1, payload = *boolean ? 1 : 0;
            else if (const ErrorCode *error = std::get_if<ErrorCode>(&value))
                type = 2, payload = static_cast<unsigned>(*error);
            data.u8(type);
            data.u8(0);
            data.u8(payload);
            data.u8(0);
            data.u8(0);
            data.u8(0);
            data.u16(0xFFFF);
        }
        data.u16(encoded.volatileResult ? 0x0001 : 0x0000);
        data.u32(0);
        data.u16(static_cast<unsigned>(encoded.tokens.size()));
        data.append(encoded.tokens);
        mOut.record(rec::Formula, data);
        if (text) {
            mOut.begin(rec::String);
            mOut.unicodeString(*text);
            mOut.end();
        }
    }

    static QString cellName(CellAddress at)
    {
        QString column;
        for (int c = at.column + 1; c > 0; c = (c - 1) / 26)
            column.prepend(QChar('A' + (c - 1) % 26));
        return column + QString::number(at.row + 1);
    }

    void writeWindow()
    {
        const SheetView &view = mSheet.view();
        const bool frozen = view.frozenColumns > 0 || view.frozenRows > 0;
        const bool active = mIndex == mWorkbook.activeSheet();
        unsigned flags = 0x04 | 0x10 | 0x20 | 0x80; // headers, zeros, default header colour, outline symbols
        if (view.showGridlines)
            flags |= 0x02;
        if (frozen)
            flags |= 0x08 | 0x100;
        if (view.selected || active)
            flags |= 0x200;
        if (active)
            flags |= 0x400;
        ByteWriter window;
        window.u16(flags);
        window.u16(0);
        window.u16(0);
        window.u32(64); // grid line colour: automatic
        window.u16(0);
        window.u16(0);
        window.u32(0);
        mOut.record(rec::Window2, window);

        unsigned pane = 3;
        if (frozen) {
            pane = view.frozenColumns > 0 && view.frozenRows > 0 ? 0 : (view.frozenColumns > 0 ? 1 : 2);
            ByteWriter data;
            data.u16(static_cast<unsigned>(view.frozenColumns));
            data.u16(static_cast<unsigned>(view.frozenRows));
            data.u16(static_cast<unsigned>(view.frozenRows));
            data.u16(static_cast<unsigned>(view.frozenColumns));
            data.u8(pane);
            data.u8(0);
            mOut.record(rec::Pane, data);
        }
        writeSelections(view, frozen, pane);
    }

    // A frozen window has a SELECTION record for each of its panes, in the
    // order top left (3), top right (1), bottom left (2), bottom right (0).
    // The active pane holds the sheet's selection; each other pane selects
    // its own first cell.
    void writeSelections(const SheetView &view, bool frozen, unsigned activePane)
    {
        std::vector<CellRange> ranges = view.selection;
        if (ranges.empty())
            ranges.push_back(CellRange::single(view.activeCell));
        if (!frozen) {
            writeSelection(activePane, view.activeCell, ranges);
            return;
        }
        const int rows = view.frozenRows, columns = view.frozenColumns;
        const struct {
            unsigned pane;
            bool exists;
            CellAddress first;
        } panes[] = {
            {3, true, {0, 0}},
            {1, columns > 0, {0, columns}},
            {2, rows > 0, {rows, 0}},
            {0, rows > 0 && columns > 0, {rows, columns}},
        };
        for (const auto &p : panes) {
            if (!p.exists)
                continue;
            if (p.pane == activePane)
                writeSelection(p.pane, view.activeCell, ranges);
            else
                writeSelection(p.pane, p.first, {CellRange::single(p.first)});
        }
    }

    void writeSelection(unsigned pane, CellAddress active, const std::vector<CellRange> &ranges)
    {
        ByteWriter selection;
        selection.u8(pane);
        selection.u16(static_cast<unsigned>(active.row));
        selection.u16(static_cast<unsigned>(active.column));
        selection.u16(0);
        selection.u16(static_cast<unsigned>(ranges.size()));
        for (const CellRange &range : ranges) {
            selection.u16(static_cast<unsigned>(range.firstRow));
            selection.u16(static_cast<unsigned>(range.lastRow));
            selection.u8(static_cast<unsigned>(range.firstColumn));
            selection.u8(static_cast<unsigned>(range.lastColumn));
        }
        mOut.record(rec::Selection, selection);
    }

    static void appendRange(ByteWriter &data, const CellRange &range)
    {
        data.u16(static_cast<unsigned>(range.firstRow));
        data.u16(static_cast<unsigned>(range.lastRow));
        data.u16(static_cast<unsigned>(range.firstColumn));
        data.u16(static_cast<unsigned>(range.lastColumn));
    }

    void writeMerges()
    {
        const auto &merged = mSheet.mergedRanges();
        for (size_t first = 0; first < merged.size(); first += kMergesPerRecord) {
            const size_t count = std::min<size_t>(kMergesPerRecord, merged.size() - first);
            ByteWriter data;
            data.u16(static_cast<unsigned>(count));
            for (size_t i = first; i < first + count; ++i)
                appendRange(data, merged[i]);
            mOut.record(rec::MergedCells, data);
        }
    }

    // A CONDFMT holds at most three rules, all that Excel 97-2003 applies.
    // Newer versions read the rest as the format's application writes
    // them: after every CONDFMT, one CFEx per rule, which gives each CF its
    // priority among all rules of the sheet and whether it stops the rules
    // after it, and announces each further rule, whose CF12 record follows.
    void writeConditionalFormats()
    {
        struct Extended {
            ConditionalExtension extension;
            const ConditionalRule *rule;
            QByteArray tokens; // for a rule beyond the CF records
        };
        std::vector<Extended> extended;
        int id = 0;
        int priority = 0;
        for (const ConditionalFormat &conditional : mSheet.conditionalFormats()) {
            if (conditional.ranges.empty() || conditional.rules.empty())
                continue;
            const CellRange bound = boundOf(conditional.ranges);
            const size_t older = std::min(conditional.rules.size(), kRulesPerCondFmt);
            writeConditionalHeader(conditional.ranges, bound, older, ++id);
            for (size_t i = 0; i < conditional.rules.size(); ++i) {
                const ConditionalRule &rule = conditional.rules[i];
                const QByteArray tokens = ruleTokens(conditional, rule);
                if (i < older)
                    mOut.record(rec::Cf, conditionalRuleRecord(rule.style, tokens, mStyles));
                ConditionalExtension extension{id, bound, std::nullopt, ++priority, rule.stopIfTrue};
                if (i < older)
                    extension.ruleIndex = static_cast<int>(i);
                extended.push_back({extension, &rule, i < older ? QByteArray() : tokens});
            }
        }
        for (const Extended &e : extended) {
            mOut.record(kCfExRecord, extensionRecord(e.extension));
            if (!e.extension.ruleIndex)
                mOut.record(kCf12Record,
                            newerRuleRecord(e.rule->style, e.tokens, mStyles, e.extension.priority, e.rule->stopIfTrue));
        }
    }

    static CellRange boundOf(const std::vector<CellRange> &ranges)
    {
        CellRange bound = ranges.front();
        for (const CellRange &range : ranges) {
            bound.firstRow = std::min(bound.firstRow, range.firstRow);
            bound.firstColumn = std::min(bound.firstColumn, range.firstColumn);
            bound.lastRow = std::max(bound.lastRow, range.lastRow);
            bound.lastColumn = std::max(bound.lastColumn, range.lastColumn);
        }
        return bound;
    }

    void writeConditionalHeader(const std::vector<CellRange> &ranges, const CellRange &bound, size_t rules, int id)
    {
        ByteWriter header;
        header.u16(static_cast<unsigned>(rules));
        header.u16(static_cast<unsigned>((id << 1) | 1)); // needs recalculation
        appendRange(header, bound);
        header.u16(static_cast<unsigned>(ranges.size()));
        for (const CellRange &range : ranges)
            appendRange(header, range);
        mOut.record(rec::CondFmt, header);
    }

    QByteArray ruleTokens(const ConditionalFormat &conditional, const ConditionalRule &rule)
    {
        if (!rule.formula)
            throw Failure(QStringLiteral("Cannot save a conditional format of sheet %1: a rule has no formula")
                              .arg(mSheet.name()));
        try {
            return encodeFormula(*rule.formula, FormulaPlace::Conditional, conditional.ranges.front().topLeft(), mLinks)
                .tokens;
        } catch (const Failure &failure) {
            throw Failure(QStringLiteral("Cannot save a conditional format of sheet %1: %2")
                              .arg(mSheet.name(), failure.description()));
        }
    }

    const Workbook &mWorkbook;
    const Sheet &mSheet;
    int mIndex;
    const StyleTable &mStyles;
    SharedStringTable &mStrings;
    const SheetLinks &mLinks;
    RecordWriter mOut;
    std::vector<int> mRows;
    std::vector<size_t> mBlockStarts;
    std::vector<qsizetype> mDbCells;
    std::vector<qsizetype> mPositionFields;
    qsizetype mDefColWidthAt = 0;
};

} // namespace

QByteArray WorksheetStream::placedAt(qsizetype base) &&
{
    for (const qsizetype field : mPositionFields)
        qToLittleEndian(qFromLittleEndian<quint32>(mBytes.constData() + field) + static_cast<quint32>(base),
                        mBytes.data() + field);
    return std::move(mBytes);
}

WorksheetStream writeWorksheet(const Workbook &workbook, int index, const StyleTable &styles,
                               SharedStringTable &strings, const SheetLinks &links)
{
    return SheetWriter(workbook, index, styles, strings, links).write();
}

} // namespace orv::sheet::xls
