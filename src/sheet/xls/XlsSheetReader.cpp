#include "sheet/xls/XlsSheetReader.h"

#include "files/Failure.h"
#include "sheet/xls/ConditionalFormatRecords.h"
#include "sheet/xls/SheetUnits.h"
#include "sheet/xls/XlsStyles.h"

#include <QHash>
#include <cstring>
#include <map>
#include <utility>

namespace orv::sheet::xls {

namespace {

constexpr unsigned kBiff8 = 0x0600;
constexpr unsigned kWorksheetType = 0x0010;

double decodeRk(std::uint32_t rk)
{
    double value;
    if (rk & 0x02) {
        value = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
    } else {
        const std::uint64_t bits = static_cast<std::uint64_t>(rk & 0xFFFFFFFC) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return (rk & 0x01) ? value / 100 : value;
}

bool validAddress(unsigned row, unsigned column) { return row < kMaxRows && column < kMaxColumns; }

CellRange readRange16(ByteReader &in)
{
    CellRange range;
    range.firstRow = static_cast<int>(in.u16());
    range.lastRow = static_cast<int>(in.u16());
    range.firstColumn = static_cast<int>(in.u16());
    range.lastColumn = static_cast<int>(in.u16());
    return range;
}

class SheetParser {
public:
    SheetParser(const SheetReadContext &book, Sheet &sheet, qsizetype offset)
        : mBook(book), mSheet(sheet), mRecords(book.stream, offset)
    {
    }

    void run()
    {
        expectBof(mRecords, kWorksheetType);
        for (;;) {
            if (mRecords.atEnd())
                throw Failure(QStringLiteral("truncated sheet \"%1\" (no EOF record)").arg(mSheet.name()));
            const Record record = mRecords.next();
            if (record.type == rec::Eof)
                break;
            if (record.type == rec::Bof) {
                skipSubstream();
                continue;
            }
            ByteReader in(record.data);
            dispatch(record, in);
        }
        resolveSharedFormulas();
        // Formats none of whose rules could be read have no effect.
        std::erase_if(mSheet.conditionalFormats(), [](const ConditionalFormat &f) { return f.rules.empty(); });
        for (size_t row = 0; row < mRowCells.size(); ++row)
            if (!mRowCells[row].empty())
                mSheet.setRowCells(static_cast<int>(row), std::move(mRowCells[row]));
        applyView();
    }

private:
    void skipSubstream()
    {
        // Embedded charts carry a substream of their own.
        for (int depth = 1; depth > 0;) {
            if (mRecords.atEnd())
                throw Failure(QStringLiteral("truncated sheet \"%1\"").arg(mSheet.name()));
            const unsigned type = mRecords.next().type;
            if (type == rec::Bof)
                ++depth;
            else if (type == rec::Eof)
                --depth;
        }
    }

    void dispatch(const Record &record, ByteReader &in)
    {
        switch (record.type) {
        case rec::DefaultRowHeight:
            in.skip(2);
            mSheet.setDefaultRowHeight(twipsToPoints(static_cast<int>(in.u16() & 0x7FFF)));
            break;
        case rec::DefColWidth:
            mSheet.setDefaultColumnWidth(static_cast<int>(in.u16()));
            break;
        case rec::ColInfo:
            readColumnInfo(in);
            break;
        case rec::Row:
            readRow(in);
            break;
        case rec::Number:
            number(in);
            break;
        case rec::Rk:
            rk(in);
            break;
        case rec::MulRk:
            mulRk(in);
            break;
        case rec::LabelSst:
            labelSst(in);
            break;
        case rec::Label:
        case rec::RString:
            label(record);
            break;
        case rec::BoolErr:
            boolErr(in);
            break;
        case rec::Blank:
            blank(in);
            break;
        case rec::MulBlank:
            mulBlank(in);
            break;
        case rec::Formula:
            formula(in);
            break;
        case rec::String:
            string(record);
            break;
        case rec::ShrFmla:
            readSharedFormula(in);
            break;
        case rec::Window2:
            mWindowFlags = in.u16();
            break;
        case rec::Pane:
            readPane(in);
            break;
        case rec::Selection:
            readSelection(in);
            break;
        case rec::MergedCells:
            readMerges(in);
            break;
        case rec::CondFmt:
            readConditionalFormat(in);
            break;
        case rec::Cf:
            readRule(in);
            break;
        case kCfExRecord:
            readExtension(in);
            break;
        case kCf12Record:
            readNewerRule(in);
            break;
        case rec::Header:
        case rec::Footer: {
            const QString text = in.atEnd() ? QString() : readUnicodeString(in);
            (record.type == rec::Header ? mSheet.pageSetup().header : mSheet.pageSetup().footer) = text;
            break;
        }
        case rec::Setup:
            readSetup(in);
            break;
        case rec::LeftMargin:
            mSheet.pageSetup().margins.left = in.f64();
            break;
        case rec::RightMargin:
            mSheet.pageSetup().margins.right = in.f64();
            break;
        case rec::TopMargin:
            mSheet.pageSetup().margins.top = in.f64();
            break;
        case rec::BottomMargin:
            mSheet.pageSetup().margins.bottom = in.f64();
            break;
        default:
            break;
        }
    }

    void readColumnInfo(ByteReader &in)
    {
        const unsigned first = in.u16();
        const unsigned last = std::min(in.u16(), static_cast<unsigned>(kMaxColumns - 1));
        ColumnInfo info;
        info.width = storedToColumnWidth(static_cast<int>(in.u16()));
        const unsigned xf = in.u16();
        info.formatIndex = mBook.formatOfXf(xf);
        info.hidden = in.u16() & 0x01;
        for (unsigned column = first; column <= last; ++column)
            mSheet.setColumnInfo(static_cast<int>(column), info);
    }

    void readRow(ByteReader &in)
    {
        const unsigned row = in.u16();
        in.skip(4);
        const unsigned height = in.u16() & 0x7FFF;
        in.skip(4);
        const std::uint32_t flags = in.u32();
        if (row >= kMaxRows)
            return;
        const double points = twipsToPoints(static_cast<int>(height));
        const bool custom = flags & 0x40, hidden = flags & 0x20, formatted = flags & 0x80;
        if (!custom && !hidden && !formatted && points == mSheet.defaultRowHeight())
            return;
        RowInfo info;
        info.height = points;
        info.customHeight = custom;
        info.hidden = hidden;
        if (formatted)
            info.formatIndex = mBook.formatOfXf((flags >> 16) & 0x0FFF);
        mSheet.setRowInfo(static_cast<int>(row), info);
    }

    // Cells collect in row maps, mostly appended in column order, that
    // go into the sheet when it ends.
    Cell *cellFor(unsigned row, unsigned column, unsigned xf)
    {
        if (!validAddress(row, column) || column >= unsigned(mBook.columns))
            return nullptr;
        mBook.cells.take();
        if (row >= mRowCells.size())
            mRowCells.resize(row + 1);
        auto &cells = mRowCells[row];
        const int key = static_cast<int>(column);
        Cell cell;
        cell.formatIndex = mBook.formatOfXf(xf);
        const auto at = cells.empty() || cells.rbegin()->first < key ? cells.emplace_hint(cells.end(), key, std::move(cell))
                                                                     : cells.insert_or_assign(key, std::move(cell)).first;
        return &at->second;
    }

    Cell *header(ByteReader &in)
    {
        const unsigned row = in.u16(), column = in.u16(), xf = in.u16();
        return cellFor(row, column, xf);
    }

    void number(ByteReader &in)
    {
        if (Cell *cell = header(in))
            cell->value = in.f64();
    }

    void rk(ByteReader &in)
    {
        if (Cell *cell = header(in))
            cell->value = decodeRk(in.u32());
    }

    void mulRk(ByteReader &in)
    {
        const unsigned row = in.u16();
        unsigned column = in.u16();
        while (in.remaining() >= 8) {
            const unsigned xf = in.u16();
            const std::uint32_t value = in.u32();
            if (Cell *cell = cellFor(row, column, xf))
                cell->value = decodeRk(value);
            ++column;
        }
    }

    void labelSst(ByteReader &in)
    {
        Cell *cell = header(in);
        const std::uint32_t index = in.u32();
        if (cell)
            cell->value = index < mBook.strings.size() ? mBook.strings[index] : QString();
    }

    void label(const Record &record)
    {
        ContinuedStringReader strings(record);
        const unsigned row = strings.in().u16(), column = strings.in().u16(), xf = strings.in().u16();
        const QString text = strings.unicodeString();
        if (Cell *cell = cellFor(row, column, xf))
            cell->value = text;
    }

    void boolErr(ByteReader &in)
    {
        Cell *cell = header(in);
        const unsigned value = in.u8();
        const bool error = in.u8() != 0;
        if (!cell)
            return;
        if (error)
            cell->value = static_cast<ErrorCode>(value);
        else
            cell->value = value != 0;
    }

    void blank(ByteReader &in) { header(in); }

    void mulBlank(ByteReader &in)
    {
        const unsigned row = in.u16();
        unsigned column = in.u16();
        while (in.remaining() >= 4) {
            cellFor(row, column, in.u16());
            ++column;
        }
    }

    void formula(ByteReader &in)
    {
        const unsigned row = in.u16(), column = in.u16(), xf = in.u16();
        const QByteArray result = in.bytes(8);
        in.skip(2 + 4);
        const unsigned size = in.u16();
        const QByteArray tokens = in.bytes(std::min<qsizetype>(size, in.remaining()));
        mPendingString = nullptr;
        Cell *cell = cellFor(row, column, xf);
        if (!cell)
            return;
        ByteReader value(result);
        if (static_cast<unsigned char>(result[6]) == 0xFF && static_cast<unsigned char>(result[7]) == 0xFF) {
            const unsigned type = value.u8();
            value.skip(1);
            const unsigned payload = value.u8();
            if (type == 0)
                mPendingString = cell;
            else if (type == 1)
                cell->value = payload != 0;
            else if (type == 2)
                cell->value = static_cast<ErrorCode>(payload);
            else if (type == 3)
                cell->value = QString();
        } else {
            cell->value = value.f64();
        }
        const CellAddress at{static_cast<int>(row), static_cast<int>(column)};
        constexpr unsigned kPtgExp = 0x01;
        if (tokens.size() == 5 && static_cast<unsigned char>(tokens[0]) == kPtgExp) {
            // Part of a shared formula, whose tokens may follow later.
            ByteReader key(tokens);
            key.skip(1);
            const unsigned firstRow = key.u16(), firstColumn = key.u16();
            mSharedUsers.push_back({cell, at, sharedKey(firstRow, firstColumn)});
            return;
        }
        decodeInto(*cell, tokens, at);
    }

    static std::uint32_t sharedKey(unsigned row, unsigned column) { return (row << 16) | (column & 0xFFFF); }

    // Names and add-in functions are not modelled: such a cell keeps
    // its last result.
    void decodeInto(Cell &cell, const QByteArray &tokens, CellAddress at)
    {
        try {
            cell.formula = decodeFormula(tokens, FormulaPlace::Cell, at, mBook.links);
        } catch (const Failure &) {
        }
    }

    void readSharedFormula(ByteReader &in)
    {
        const unsigned firstRow = in.u16();
        in.skip(2);
        const unsigned firstColumn = in.u8();
        in.skip(1 + 2);
        const unsigned size = in.u16();
        mSharedFormulas.insert(sharedKey(firstRow, firstColumn), in.bytes(size));
    }

    // Shared formulas store their references as offsets from each cell.
    void resolveSharedFormulas()
    {
        for (const SharedUser &user : mSharedUsers) {
            const auto found = mSharedFormulas.constFind(user.key);
            if (found != mSharedFormulas.constEnd())
                decodeInto(*user.cell, found.value(), user.at);
        }
    }

    void string(const Record &record)
    {
        if (!mPendingString)
            return;
        ContinuedStringReader strings(record);
        mPendingString->value = strings.unicodeString();
        mPendingString = nullptr;
    }

    void readPane(ByteReader &in)
    {
        mPaneColumns = static_cast<int>(in.u16());
        mPaneRows = static_cast<int>(in.u16());
        in.skip(4);
        mActivePane = in.u8();
    }

    void readSelection(ByteReader &in)
    {
        const unsigned pane = in.u8();
        if (pane != mActivePane)
            return;
        SheetView &view = mSheet.view();
        const unsigned row = in.u16(), column = in.u16();
        if (validAddress(row, column))
            view.activeCell = {static_cast<int>(row), static_cast<int>(column)};
        in.skip(2);
        const unsigned count = in.u16();
        view.selection.clear();
        for (unsigned i = 0; i < count; ++i) {
            CellRange range;
            range.firstRow = static_cast<int>(in.u16());
            range.lastRow = static_cast<int>(in.u16());
            range.firstColumn = static_cast<int>(in.u8());
            range.lastColumn = static_cast<int>(in.u8());
            if (isValidRange(range))
                view.selection.push_back(range);
        }
        if (view.selection.size() == 1 && view.selection.front() == CellRange::single(view.activeCell))
            view.selection.clear();
    }

    void applyView()
    {
        SheetView &view = mSheet.view();
        view.showGridlines = mWindowFlags & 0x02;
        view.selected = mWindowFlags & 0x200;
        if ((mWindowFlags & 0x08) && mPaneColumns < kMaxColumns && mPaneRows < kMaxRows) {
            view.frozenColumns = mPaneColumns;
            view.frozenRows = mPaneRows;
        }
    }

    void readMerges(ByteReader &in)
    {
        const unsigned count = in.u16();
        for (unsigned i = 0; i < count; ++i) {
            const CellRange range = readRange16(in);
            if (isValidRange(range))
                mSheet.mergedRanges().push_back(range);
        }
    }

    void readSetup(ByteReader &in)
    {
        PageSetup &page = mSheet.pageSetup();
        const unsigned paper = in.u16(), scale = in.u16();
        in.skip(6);
        const unsigned flags = in.u16();
        in.skip(4);
        page.margins.header = in.f64();
        page.margins.footer = in.f64();
        if (flags & 0x04)
            return; // the printer settings are not valid
        page.paperSize = static_cast<int>(paper);
        page.scale = static_cast<int>(scale);
        if (!(flags & 0x40))
            page.orientation = (flags & 0x02) ? Orientation::Portrait : Orientation::Landscape;
    }

    void readConditionalFormat(ByteReader &in)
    {
        mRulesLeft = in.u16();
        const unsigned id = in.u16() >> 1;
        in.skip(8);
        const unsigned count = in.u16();
        ConditionalFormat format;
        for (unsigned i = 0; i < count; ++i) {
            const CellRange range = readRange16(in);
            if (isValidRange(range))
                format.ranges.push_back(range);
        }
        mConditional = format.ranges.empty() ? -1 : static_cast<int>(mSheet.conditionalFormats().size());
        mOlderRuleCount = 0;
        if (mConditional >= 0) {
            mFormatsById[id] = mConditional;
            mSheet.conditionalFormats().push_back(std::move(format));
        }
    }

    void readRule(ByteReader &in)
    {
        if (mConditional < 0 || mRulesLeft == 0)
            return;
        --mRulesLeft;
        const int olderRule = mOlderRuleCount++;
        if (addRule(mConditional, parseConditionalRuleRecord(in, mBook.palette)))
            mOlderRules[{mConditional, olderRule}] = mSheet.conditionalFormats()[mConditional].rules.size() - 1;
    }

    // A CFEx record that extends a CF record with whether it stops the
    // rules after it, or announces a rule beyond the CF records of a
    // CONDFMT: the CF12 record that follows holds it.
    void readExtension(ByteReader &in)
    {
        const ConditionalExtension extension = parseExtensionRecord(in);
        const auto found = mFormatsById.find(extension.formatId);
        const int format = found == mFormatsById.end() ? -1 : found->second;
        mNewerRuleFormat = extension.ruleIndex ? -1 : format;
        if (format < 0 || !extension.ruleIndex)
            return;
        const auto rule = mOlderRules.find({format, *extension.ruleIndex});
        if (rule != mOlderRules.end())
            mSheet.conditionalFormats()[format].rules[rule->second].stopIfTrue = extension.stopIfTrue;
    }

    void readNewerRule(ByteReader &in)
    {
        const int format = std::exchange(mNewerRuleFormat, -1);
        if (format >= 0)
            addRule(format, parseNewerRuleRecord(in, mBook.palette));
    }

    // False when the rule's formula cannot be read: the rule is left out.
    bool addRule(int formatIndex, const StoredConditionalRule &stored)
    {
        ConditionalFormat &format = mSheet.conditionalFormats()[formatIndex];
        ConditionalRule rule;
        rule.style = stored.style;
        rule.stopIfTrue = stored.stopIfTrue;
        const CellAddress base = format.ranges.front().topLeft();
        try {
            auto decode = [&](const QByteArray &tokens) {
                return tokens.isEmpty() ? nullptr : decodeFormula(tokens, FormulaPlace::Conditional, base, mBook.links);
            };
            const FormulaPtr formula1 = decode(stored.formula1);
            rule.formula = stored.type == 2 ? formula1
                                            : cellValueCondition(stored.comparison, base, formula1, decode(stored.formula2));
        } catch (const Failure &) {
            return false;
        }
        if (!rule.formula)
            return false;
        format.rules.push_back(std::move(rule));
        return true;
    }

    const SheetReadContext &mBook;
    Sheet &mSheet;
    RecordReader mRecords;
    std::vector<std::map<int, Cell>> mRowCells; // by row
    Cell *mPendingString = nullptr; // a formula whose text result follows
    struct SharedUser {
        Cell *cell;
        CellAddress at;
        std::uint32_t key;
    };
    std::vector<SharedUser> mSharedUsers;
    QHash<std::uint32_t, QByteArray> mSharedFormulas; // by first cell
    unsigned mWindowFlags = 0x02;
    int mPaneColumns = 0;
    int mPaneRows = 0;
    unsigned mActivePane = 3;
    int mConditional = -1;
    unsigned mRulesLeft = 0;
    int mOlderRuleCount = 0;              // CF records read of the current CONDFMT
    std::map<std::pair<int, int>, size_t> mOlderRules; // (format, CF record) -> index of its rule
    std::map<unsigned, int> mFormatsById; // CONDFMT id -> index of its format
    int mNewerRuleFormat = -1;            // the format the next CF12 record adds to
};


} // namespace

bool isValidRange(const CellRange &range)
{
    return range.firstRow >= 0 && range.firstColumn >= 0 && range.firstRow <= range.lastRow
           && range.firstColumn <= range.lastColumn && range.lastRow < kMaxRows && range.lastColumn < kMaxColumns;
}

void expectBof(RecordReader &records, unsigned type)
{
    if (records.atEnd())
        throw Failure(QStringLiteral("truncated workbook stream"));
    const Record record = records.next();
    if (record.type != rec::Bof)
        throw Failure(QStringLiteral("the workbook stream does not start with a BOF record"));
    ByteReader in(record.data, "BOF record");
    const unsigned version = in.u16();
    const unsigned dt = in.u16();
    if (version != kBiff8)
        throw Failure(QStringLiteral("not a 97-2003 (BIFF8) workbook"));
    if (dt != type)
        throw Failure(QStringLiteral("unexpected substream type %1").arg(dt));
}

void CellBudget::take()
{
    if (mLeft == 0)
        throw Failure(QStringLiteral("the workbook holds more cells than this program reads"));
    --mLeft;
}

void readWorksheet(const SheetReadContext &context, Sheet &sheet, qsizetype offset)
{
    SheetParser(context, sheet, offset).run();
}

} // namespace orv::sheet::xls
