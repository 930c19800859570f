#include "sheet/xls/XlsReader.h"

#include "sheet/Failure.h"
#include "sheet/xls/BiffRecords.h"
#include "sheet/xls/CompoundFile.h"
#include "sheet/xls/FormulaTokens.h"
#include "sheet/xls/NumberFormats.h"
#include "sheet/xls/Palette.h"
#include "sheet/xls/SheetUnits.h"
#include "sheet/xls/XlsStyles.h"

#include <QHash>
#include <cmath>
#include <map>

namespace orv::sheet::xls {

namespace {

constexpr unsigned kBiff8 = 0x0600;
constexpr unsigned kGlobalsType = 0x0005;
constexpr unsigned kWorksheetType = 0x0010;
constexpr unsigned kOwnBookMarker = 0x0401;

struct SheetEntry {
    std::uint32_t offset = 0;
    SheetVisibility visibility = SheetVisibility::Visible;
    bool worksheet = true;
    QString name;
    int modelIndex = -1;
};

struct BuiltInName {
    unsigned code = 0;
    int sheet = 0; // 1-based BOUNDSHEET index
    QByteArray tokens;
};

struct ExternSheetEntry {
    int book = 0;
    int firstSheet = 0;
};

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

bool validRange(const CellRange &range)
{
    return range.firstRow <= range.lastRow && range.firstColumn <= range.lastColumn && range.lastRow < kMaxRows
           && range.lastColumn < kMaxColumns;
}

class WorkbookReader {
public:
    explicit WorkbookReader(const QByteArray &stream) : mStream(stream) {}

    Workbook read()
    {
        readGlobals();
        mLinks.nameOf = [this](int index) { return externSheetName(index); };
        mLinks.indexOf = [](const QString &) -> int { throw Failure(QStringLiteral("unsupported")); };
        buildFormats();
        int modelIndex = 0;
        for (SheetEntry &entry : mSheets) {
            if (!entry.worksheet)
                continue;
            entry.modelIndex = modelIndex++;
            Sheet &sheet = mWorkbook.addSheet(uniqueName(entry.name));
            sheet.setVisibility(entry.visibility);
        }
        if (mWorkbook.sheetCount() == 0)
            throw Failure(QStringLiteral("the workbook has no worksheets"));
        for (const SheetEntry &entry : mSheets)
            if (entry.worksheet)
                readSheet(entry, mWorkbook.sheet(entry.modelIndex));
        applyNames();
        if (mActiveSheet >= 0 && mActiveSheet < static_cast<int>(mSheets.size())
            && mSheets[mActiveSheet].modelIndex >= 0)
            mWorkbook.setActiveSheet(mSheets[mActiveSheet].modelIndex);
        return std::move(mWorkbook);
    }

private:
    QString uniqueName(const QString &name) const
    {
        QString candidate = name.isEmpty() ? QStringLiteral("Sheet") : name.left(31);
        for (int n = 2; mWorkbook.findSheet(candidate); ++n)
            candidate = name.left(27) + QStringLiteral(" (%1)").arg(n);
        return candidate;
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

    void readGlobals()
    {
        RecordReader records(mStream);
        expectBof(records, kGlobalsType);
        for (;;) {
            if (records.atEnd())
                throw Failure(QStringLiteral("truncated workbook globals (no EOF record)"));
            const Record record = records.next();
            if (record.type == rec::Eof)
                return;
            ByteReader in(record.data);
            switch (record.type) {
            case rec::FilePass:
                throw Failure(QStringLiteral("the workbook is protected with a password"));
            case rec::Template:
                mWorkbook.setTemplate(true);
                break;
            case rec::Font:
                readFont(in);
                break;
            case rec::Format: {
                const int index = static_cast<int>(in.u16());
                mNumberFormats.insert(index, readUnicodeString(in));
                break;
            }
            case rec::Xf:
                if (mXfs.size() < 4050)
                    mXfs.push_back(record.data);
                break;
            case rec::Palette:
                readPalette(in);
                break;
            case rec::BoundSheet:
                readBoundSheet(in);
                break;
            case rec::Sst:
                readSharedStrings(record);
                break;
            case rec::SupBook:
                in.skip(2);
                mOwnBooks.push_back(in.u16() == kOwnBookMarker);
                break;
            case rec::ExternSheet:
                readExternSheet(in);
                break;
            case rec::Name:
                readName(in);
                break;
            case rec::Window1:
                in.skip(10);
                mActiveSheet = static_cast<int>(in.u16());
                break;
            default:
                break;
            }
        }
    }

    void readFont(ByteReader &in)
    {
        Font font;
        font.size = in.u16() / 20.0;
        const unsigned flags = in.u16();
        font.italic = flags & 0x02;
        mFontColors.push_back(in.u16());
        font.bold = in.u16() >= 700;
        in.skip(2);
        font.underline = in.u8() != 0;
        in.skip(3);
        font.name = readShortUnicodeString(in);
        mFonts.push_back(font);
    }

    void readPalette(ByteReader &in)
    {
        const unsigned count = std::min<unsigned>(in.u16(), Palette::kSize);
        for (unsigned i = 0; i < count; ++i) {
            const unsigned r = in.u8(), g = in.u8(), b = in.u8();
            in.skip(1);
            mPalette.set(Palette::kFirstIndex + static_cast<int>(i), qRgb(r, g, b));
        }
    }

    void readBoundSheet(ByteReader &in)
    {
        SheetEntry entry;
        entry.offset = in.u32();
        const unsigned state = in.u8() & 0x03;
        entry.visibility = state == 1 ? SheetVisibility::Hidden
                                      : (state == 2 ? SheetVisibility::VeryHidden : SheetVisibility::Visible);
        entry.worksheet = in.u8() == 0;
        entry.name = readShortUnicodeString(in);
        mSheets.push_back(entry);
    }

    void readSharedStrings(const Record &record)
    {
        ContinuedStringReader strings(record);
        strings.in().skip(4);
        const std::uint32_t count = strings.in().u32();
        for (std::uint32_t i = 0; i < count && !strings.in().atEnd(); ++i)
            mStrings.push_back(strings.richExtendedString());
    }

    void readExternSheet(ByteReader &in)
    {
        const unsigned count = in.u16();
        for (unsigned i = 0; i < count; ++i) {
            ExternSheetEntry entry;
            entry.book = static_cast<int>(in.u16());
            entry.firstSheet = static_cast<int>(in.u16());
            in.skip(2);
            mExternSheets.push_back(entry);
        }
    }

    QString externSheetName(int index) const
    {
        if (index < 0 || index >= static_cast<int>(mExternSheets.size()))
            return {};
        const ExternSheetEntry &entry = mExternSheets[index];
        if (entry.book < 0 || entry.book >= static_cast<int>(mOwnBooks.size()) || !mOwnBooks[entry.book])
            return {};
        if (entry.firstSheet < 0 || entry.firstSheet >= static_cast<int>(mSheets.size()))
            return {};
        const SheetEntry &sheet = mSheets[entry.firstSheet];
        return sheet.modelIndex >= 0 ? mWorkbook.sheet(sheet.modelIndex).name() : QString();
    }

    void readName(ByteReader &in)
    {
        const unsigned flags = in.u16();
        in.skip(1);
        const unsigned length = in.u8();
        const unsigned tokenSize = in.u16();
        in.skip(2);
        BuiltInName name;
        name.sheet = static_cast<int>(in.u16());
        in.skip(4);
        if (!(flags & 0x0020) || length == 0)
            return;
        const bool wide = in.u8() & 1;
        name.code = wide ? in.u16() : in.u8();
        in.skip(static_cast<qsizetype>(length - 1) * (wide ? 2 : 1));
        name.tokens = in.bytes(tokenSize);
        mNames.push_back(name);
    }

    std::optional<Color> colorOf(unsigned index) const
    {
        const auto rgb = mPalette.colorOf(index);
        if (!rgb)
            return std::nullopt;
        return Color::fromRgb(*rgb);
    }
    Color colorOrAutomatic(unsigned index) const { return colorOf(index).value_or(Color{}); }

    CellFormat formatOfXf(const QByteArray &xf) const
    {
        ByteReader in(xf, "XF record");
        CellFormat format;
        const unsigned fontIndex = in.u16();
        const unsigned numberFormat = in.u16();
        const unsigned protection = in.u16();
        const unsigned align = in.u8();
        const unsigned rotation = in.u8();
        const unsigned indent = in.u8();
        in.skip(1);
        const std::uint32_t border1 = in.u32();
        const std::uint32_t border2 = in.u32();
        const unsigned colors = in.u16();

        const unsigned fontPosition = fontIndex >= 4 ? fontIndex - 1 : fontIndex;
        if (fontPosition < mFonts.size()) {
            format.font = mFonts[fontPosition];
            format.font.color = colorOrAutomatic(mFontColors[fontPosition]);
        }
        QString numberText = mNumberFormats.value(static_cast<int>(numberFormat));
        if (numberText.isEmpty())
            numberText = builtInNumberFormatText(static_cast<int>(numberFormat));
        format.numberFormat = numberText.isEmpty() ? QStringLiteral("General") : numberText;
        format.locked = protection & 0x01;
        format.hidden = protection & 0x02;
        const unsigned horizontal = align & 0x07;
        format.alignment.horizontal = horizontal == 7 ? HorizontalAlignment::Justify
                                                      : static_cast<HorizontalAlignment>(horizontal);
        format.alignment.wrap = align & 0x08;
        const unsigned vertical = (align >> 4) & 0x07;
        format.alignment.vertical = vertical > 3 ? VerticalAlignment::Justify : static_cast<VerticalAlignment>(vertical);
        format.alignment.rotation = static_cast<int>(rotation);
        format.alignment.indent = static_cast<int>(indent & 0x0F);
        format.alignment.shrinkToFit = indent & 0x10;
        format.borders = bordersOf(border1 & 0xFFFF, (border1 >> 16) & 0x7F, (border1 >> 23) & 0x7F, border2 & 0x7F,
                                   (border2 >> 7) & 0x7F);
        if (((border2 >> 26) & 0x3F) != 0) {
            format.fill.pattern = FillPattern::Solid;
            format.fill.color = colorOrAutomatic(colors & 0x7F);
        }
        return format;
    }

    Borders bordersOf(unsigned styles, unsigned left, unsigned right, unsigned top, unsigned bottom) const
    {
        auto line = [&](unsigned style, unsigned color) {
            BorderLine l;
            l.style = borderStyleFromCode(style & 0x0F);
            if (l.style != BorderStyle::None)
                l.color = colorOrAutomatic(color);
            return l;
        };
        Borders borders;
        borders.left = line(styles, left);
        borders.right = line(styles >> 4, right);
        borders.top = line(styles >> 8, top);
        borders.bottom = line(styles >> 12, bottom);
        return borders;
    }

    void buildFormats()
    {
        mXfFormats.assign(mXfs.size(), 0);
        for (size_t i = 0; i < mXfs.size(); ++i) {
            if (mXfs[i].size() < 20)
                throw Failure(QStringLiteral("truncated XF record"));
            const bool styleXf = static_cast<unsigned char>(mXfs[i][4]) & 0x04;
            if (!styleXf)
                mXfFormats[i] = mWorkbook.addFormat(formatOfXf(mXfs[i]));
        }
    }

    int formatOfXfIndex(unsigned xf) const { return xf < mXfFormats.size() ? mXfFormats[xf] : 0; }

    void readSheet(const SheetEntry &entry, Sheet &sheet)
    {
        if (entry.offset >= static_cast<std::uint32_t>(mStream.size()))
            throw Failure(QStringLiteral("truncated workbook stream: sheet \"%1\" lies beyond its end").arg(entry.name));
        SheetParser parser(*this, sheet, entry.offset);
        parser.run();
    }

    class SheetParser {
    public:
        SheetParser(WorkbookReader &book, Sheet &sheet, qsizetype offset)
            : mBook(book), mSheet(sheet), mRecords(book.mStream, offset)
        {
        }

        void run()
        {
            mBook.expectBof(mRecords, kWorksheetType);
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
            case rec::Header:
            case rec::Footer: {
                const QString text = in.atEnd() ? QString() : readUnicodeString(in);
                (record.type == rec::Header ? mSheet.pageSetup().header : mSheet.pageSetup().footer) = text;
                break;
            }
            case rec::Setup:
                readSetup(in);
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
            info.formatIndex = mBook.formatOfXfIndex(xf);
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
                info.formatIndex = mBook.formatOfXfIndex((flags >> 16) & 0x0FFF);
            mSheet.setRowInfo(static_cast<int>(row), info);
        }

        // Cells collect in row maps, mostly appended in column order, that
        // go into the sheet when it ends.
        Cell *cellFor(unsigned row, unsigned column, unsigned xf)
        {
            if (!validAddress(row, column))
                return nullptr;
            if (row >= mRowCells.size())
                mRowCells.resize(row + 1);
            auto &cells = mRowCells[row];
            const int key = static_cast<int>(column);
            Cell cell;
            cell.formatIndex = mBook.formatOfXfIndex(xf);
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
                cell->value = index < mBook.mStrings.size() ? mBook.mStrings[index] : QString();
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
                cell.formula = decodeFormula(tokens, FormulaPlace::Cell, at, mBook.mLinks);
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
                if (validRange(range))
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
                if (validRange(range))
                    mSheet.mergedRanges().push_back(range);
            }
        }

        void readSetup(ByteReader &in)
        {
            PageSetup &page = mSheet.pageSetup();
            const unsigned paper = in.u16(), scale = in.u16();
            in.skip(6);
            const unsigned flags = in.u16();
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
            in.skip(2 + 8);
            const unsigned count = in.u16();
            ConditionalFormat format;
            for (unsigned i = 0; i < count; ++i) {
                const CellRange range = readRange16(in);
                if (validRange(range))
                    format.ranges.push_back(range);
            }
            auto &formats = mSheet.conditionalFormats();
            if (format.ranges.empty()) {
                mConditional = -1;
            } else if (continuesPrevious(format)) {
                mConditional = static_cast<int>(formats.size()) - 1;
            } else {
                mConditional = static_cast<int>(formats.size());
                formats.push_back(std::move(format));
            }
        }

        // A format of more than three rules is stored as several CONDFMT
        // records over the same ranges, all but the last one full.
        bool continuesPrevious(const ConditionalFormat &format) const
        {
            const auto &formats = mSheet.conditionalFormats();
            if (mConditional < 0 || mConditional != static_cast<int>(formats.size()) - 1)
                return false;
            const ConditionalFormat &previous = formats.back();
            return previous.ranges == format.ranges && !previous.rules.empty() && previous.rules.size() % 3 == 0;
        }

        void readRule(ByteReader &in)
        {
            if (mConditional < 0 || mRulesLeft == 0)
                return;
            --mRulesLeft;
            ConditionalFormat &format = mSheet.conditionalFormats()[mConditional];
            const unsigned type = in.u8(), comparison = in.u8();
            const unsigned size1 = in.u16(), size2 = in.u16();
            const std::uint32_t flags = in.u32();
            const unsigned flags2 = in.u16();
            ConditionalRule rule;
            if (flags & 0x02000000) {
                if (flags2 & 0x01)
                    in.skip(std::max<unsigned>(in.u16(), 2) - 2);
                else
                    in.skip(2);
            }
            if (flags & 0x04000000)
                readFontBlock(in, rule.style);
            if (flags & 0x08000000)
                in.skip(8);
            if (flags & 0x10000000)
                readBorderBlock(in, rule.style);
            if (flags & 0x20000000)
                readPatternBlock(in, flags, rule.style);
            if (flags & 0x40000000)
                in.skip(2);
            const QByteArray first = in.bytes(size1);
            const QByteArray second = in.bytes(size2);
            const CellAddress base = format.ranges.front().topLeft();
            try {
                FormulaPtr formula1 = size1 ? decodeFormula(first, FormulaPlace::Conditional, base, mBook.mLinks) : nullptr;
                FormulaPtr formula2 = size2 ? decodeFormula(second, FormulaPlace::Conditional, base, mBook.mLinks) : nullptr;
                rule.formula = type == 2 ? formula1 : cellValueCondition(comparison, base, formula1, formula2);
            } catch (const Failure &) {
                return;
            }
            if (!rule.formula)
                return;
            // Older spreadsheet versions apply the first rule that holds.
            rule.stopIfTrue = true;
            format.rules.push_back(std::move(rule));
        }

        // A "cell value is ..." rule as the equivalent formula on the cell.
        static FormulaPtr cellValueCondition(unsigned comparison, CellAddress base, FormulaPtr a, FormulaPtr b)
        {
            if (!a)
                return nullptr;
            FormulaNode cell;
            cell.kind = FormulaNode::Kind::Reference;
            cell.ref = {base.row, base.column, false, false};
            const FormulaPtr self = std::make_shared<const FormulaNode>(cell);
            auto compare = [&](Operator op, FormulaPtr value) {
                FormulaNode n;
                n.kind = FormulaNode::Kind::Operation;
                n.op = op;
                n.children = {self, std::move(value)};
                return std::make_shared<const FormulaNode>(std::move(n));
            };
            auto function = [&](const char *name, std::vector<FormulaPtr> args) {
                FormulaNode n;
                n.kind = FormulaNode::Kind::Function;
                n.text = QString::fromLatin1(name);
                n.children = std::move(args);
                return std::make_shared<const FormulaNode>(std::move(n));
            };
            switch (comparison) {
            case 1:
            case 2:
                if (!b)
                    return nullptr;
                return comparison == 1 ? function("AND", {compare(Operator::GreaterOrEqual, a), compare(Operator::LessOrEqual, b)})
                                       : function("OR", {compare(Operator::Less, a), compare(Operator::Greater, b)});
            case 3:
                return compare(Operator::Equal, a);
            case 4:
                return compare(Operator::NotEqual, a);
            case 5:
                return compare(Operator::Greater, a);
            case 6:
                return compare(Operator::Less, a);
            case 7:
                return compare(Operator::GreaterOrEqual, a);
            case 8:
                return compare(Operator::LessOrEqual, a);
            default:
                return nullptr;
            }
        }

        void readFontBlock(ByteReader &in, ConditionalStyle &style)
        {
            const qsizetype start = in.position();
            in.skip(64 + 4 + 4);
            const unsigned weight = in.u16();
            in.skip(2 + 1 + 3);
            const std::uint32_t color = in.u32();
            in.skip(4);
            const std::uint32_t postureUnchanged = in.u32();
            in.seek(start + 118);
            if (color != 0xFFFFFFFF)
                style.fontColor = mBook.colorOrAutomatic(color > 0xFFFF ? 0x7FFF : color);
            if (!(postureUnchanged & 0x02) && weight < 0x7FFF)
                style.bold = weight >= 700;
        }

        void readBorderBlock(ByteReader &in, ConditionalStyle &style)
        {
            const std::uint32_t first = in.u32();
            const std::uint32_t second = in.u32();
            style.borders = mBook.bordersOf(first & 0xFFFF, (first >> 16) & 0x7F, (first >> 23) & 0x7F,
                                            second & 0x7F, (second >> 7) & 0x7F);
        }

        void readPatternBlock(ByteReader &in, std::uint32_t flags, ConditionalStyle &style)
        {
            const unsigned pattern = (in.u16() >> 10) & 0x3F;
            const unsigned colors = in.u16();
            const bool patternUsed = !(flags & 0x00010000);
            const bool foreUsed = !(flags & 0x00020000);
            const bool backUsed = !(flags & 0x00040000);
            Fill fill;
            if (backUsed && (!patternUsed || pattern == 1)) {
                fill.pattern = FillPattern::Solid;
                fill.color = mBook.colorOrAutomatic((colors >> 7) & 0x7F);
            } else if (patternUsed && pattern == 0) {
                fill.pattern = FillPattern::None;
            } else if (patternUsed && foreUsed) {
                fill.pattern = FillPattern::Solid;
                fill.color = mBook.colorOrAutomatic(colors & 0x7F);
            } else {
                return;
            }
            style.fill = fill;
        }

        WorkbookReader &mBook;
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
    };

    static void collectAreas(const FormulaNode &node, std::vector<CellRange> &areas)
    {
        if (node.kind == FormulaNode::Kind::Area || node.kind == FormulaNode::Kind::Reference) {
            const Reference &second = node.kind == FormulaNode::Kind::Area ? node.ref2 : node.ref;
            CellRange range{std::min(node.ref.row, second.row), std::min(node.ref.column, second.column),
                            std::max(node.ref.row, second.row), std::max(node.ref.column, second.column)};
            if (validRange(range))
                areas.push_back(range);
            return;
        }
        for (const auto &child : node.children)
            collectAreas(*child, areas);
    }

    void applyNames()
    {
        for (const BuiltInName &name : mNames) {
            if (name.sheet < 1 || name.sheet > static_cast<int>(mSheets.size()))
                continue;
            const int modelIndex = mSheets[name.sheet - 1].modelIndex;
            if (modelIndex < 0 || (name.code != 6 && name.code != 7))
                continue;
            std::vector<CellRange> areas;
            try {
                collectAreas(*decodeFormula(name.tokens, FormulaPlace::Name, {}, mLinks), areas);
            } catch (const Failure &) {
                continue;
            }
            PrintAreas &print = mWorkbook.sheet(modelIndex).printAreas();
            if (name.code == 6) {
                print.printArea = areas;
                continue;
            }
            for (const CellRange &area : areas) {
                if (area.firstRow == 0 && area.lastRow == kMaxRows - 1)
                    print.titleColumns = area;
                else if (area.firstColumn == 0 && area.lastColumn == kMaxColumns - 1)
                    print.titleRows = area;
            }
        }
    }

    const QByteArray &mStream;
    Workbook mWorkbook;
    std::vector<Font> mFonts;
    std::vector<unsigned> mFontColors;
    QHash<int, QString> mNumberFormats;
    std::vector<QByteArray> mXfs;
    std::vector<int> mXfFormats;
    Palette mPalette;
    std::vector<SheetEntry> mSheets;
    std::vector<QString> mStrings;
    std::vector<bool> mOwnBooks;
    std::vector<ExternSheetEntry> mExternSheets;
    std::vector<BuiltInName> mNames;
    SheetLinks mLinks;
    int mActiveSheet = 0;
};

} // namespace

Workbook readWorkbookStream(const QByteArray &stream) { return WorkbookReader(stream).read(); }

Workbook readXlsFile(const QByteArray &file)
{
    for (const CompoundStream &stream : readCompoundFile(file)) {
        if (stream.name.compare(QLatin1String("Workbook"), Qt::CaseInsensitive) == 0)
            return readWorkbookStream(stream.data);
        if (stream.name.compare(QLatin1String("Book"), Qt::CaseInsensitive) == 0)
            throw Failure(QStringLiteral("the file is in an older Excel format (5.0/95), which is not supported"));
    }
    throw Failure(QStringLiteral("the file has no Workbook stream"));
}

} // namespace orv::sheet::xls
