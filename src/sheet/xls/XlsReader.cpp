#include "sheet/xls/XlsReader.h"

#include "files/Failure.h"
#include "sheet/xls/BiffRecords.h"
#include "sheet/xls/CompoundFile.h"
#include "sheet/xls/FormulaTokens.h"
#include "sheet/xls/NumberFormats.h"
#include "sheet/xls/Palette.h"
#include "sheet/xls/XlsSheetReader.h"
#include "sheet/xls/XlsStyles.h"

#include <QHash>
#include <QSet>

namespace orv::sheet::xls {

namespace {

constexpr unsigned kGlobalsType = 0x0005;
constexpr unsigned kOwnBookMarker = 0x0401;
// Far beyond any plan or chart, and small enough to be read at once.
constexpr std::size_t kMaxSheets = 255;

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

class WorkbookReader {
public:
    WorkbookReader(const QByteArray &stream, const XlsReadLimits &limits)
        : mStream(stream), mColumns(limits.columns), mCells(limits.cells)
    {
    }

    Workbook read()
    {
        readGlobals();
        mLinks.nameOf = [this](int index) { return externSheetName(index); };
        mLinks.indexOf = [](const QString &) -> int { throw Failure(QStringLiteral("unsupported")); };
        buildFormats();
        checkSheetPlaces();
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
    // Each sheet's records lie at a place of their own: sheets that share
    // one would each read it again, so that a small file could make a
    // workbook of any size.
    void checkSheetPlaces() const
    {
        std::vector<std::uint32_t> places;
        for (const SheetEntry &entry : mSheets)
            if (entry.worksheet)
                places.push_back(entry.offset);
        std::sort(places.begin(), places.end());
        if (std::adjacent_find(places.begin(), places.end()) != places.end())
            throw Failure(QStringLiteral("two sheets of the workbook share the same records"));
    }

    // Names compare without case; each base name keeps the next number to
    // try, so that many sheets of one name cost no more than many names.
    QString uniqueName(const QString &name)
    {
        QString candidate = name.isEmpty() ? QStringLiteral("Sheet") : name.left(31);
        int &next = mNextNumber[candidate.toCaseFolded()];
        for (next = std::max(next, 2); mTakenNames.contains(candidate.toCaseFolded()); ++next)
            candidate = name.left(27) + QStringLiteral(" (%1)").arg(next);
        mTakenNames.insert(candidate.toCaseFolded());
        return candidate;
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
        if (mSheets.size() == kMaxSheets)
            throw Failure(QStringLiteral("the workbook has more than %1 sheets").arg(kMaxSheets));
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
            format.font.color = colorFromIndex(mPalette, mFontColors[fontPosition]);
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
        format.borders = bordersFromBits(mPalette, border1 & 0xFFFF, (border1 >> 16) & 0x7F, (border1 >> 23) & 0x7F, border2 & 0x7F,
                                   (border2 >> 7) & 0x7F);
        if (((border2 >> 26) & 0x3F) != 0) {
            format.fill.pattern = FillPattern::Solid;
            format.fill.color = colorFromIndex(mPalette, colors & 0x7F);
        }
        return format;
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

    void readSheet(const SheetEntry &entry, Sheet &sheet)
    {
        if (entry.offset >= static_cast<std::uint32_t>(mStream.size()))
            throw Failure(QStringLiteral("truncated workbook stream: sheet \"%1\" lies beyond its end").arg(entry.name));
        const SheetReadContext context{mStream, mStrings, mLinks, mPalette, mXfFormats, mCells, mColumns};
        readWorksheet(context, sheet, entry.offset);
    }

    static void collectAreas(const FormulaNode &node, std::vector<CellRange> &areas)
    {
        if (node.kind == FormulaNode::Kind::Area || node.kind == FormulaNode::Kind::Reference) {
            const Reference &second = node.kind == FormulaNode::Kind::Area ? node.ref2 : node.ref;
            CellRange range{std::min(node.ref.row, second.row), std::min(node.ref.column, second.column),
                            std::max(node.ref.row, second.row), std::max(node.ref.column, second.column)};
            if (isValidRange(range))
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
    int mColumns;
    CellBudget mCells;
    QHash<QString, int> mNextNumber;
    QSet<QString> mTakenNames;
};

} // namespace

Workbook readWorkbookStream(const QByteArray &stream, const XlsReadLimits &limits)
{
    return WorkbookReader(stream, limits).read();
}

Workbook readXlsFile(const QByteArray &file, const XlsReadLimits &limits)
{
    for (const CompoundStream &stream : readCompoundFile(file)) {
        if (stream.name.compare(QLatin1String("Workbook"), Qt::CaseInsensitive) == 0)
            return readWorkbookStream(stream.data, limits);
        if (stream.name.compare(QLatin1String("Book"), Qt::CaseInsensitive) == 0)
            throw Failure(QStringLiteral("the file is in an older Excel format (5.0/95), which is not supported"));
    }
    throw Failure(QStringLiteral("the file has no Workbook stream"));
}

} // namespace orv::sheet::xls
