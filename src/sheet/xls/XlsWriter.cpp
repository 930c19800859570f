#include "sheet/xls/XlsWriter.h"

#include "files/Failure.h"
#include "sheet/xls/BiffRecords.h"
#include "sheet/xls/CompoundFile.h"
#include "sheet/xls/FormulaTokens.h"
#include "sheet/xls/SharedStringTable.h"
#include "sheet/xls/SummaryStreams.h"
#include "sheet/xls/XlsSheetWriter.h"
#include "sheet/xls/XlsStyles.h"

#include <QtEndian>

namespace orv::sheet::xls {

namespace {

constexpr unsigned kGlobalsType = 0x0005;
constexpr unsigned kPrintAreaName = 0x06;
constexpr unsigned kPrintTitlesName = 0x07;

class WorkbookWriter {
public:
    WorkbookWriter(const Workbook &workbook, TemplateMark mark)
        : mWorkbook(workbook), mTemplate(mark == TemplateMark::Keep && workbook.isTemplate()), mStyles(workbook)
    {
        mLinks.indexOf = [this](const QString &name) {
            for (int i = 0; i < mWorkbook.sheetCount(); ++i)
                if (mWorkbook.sheet(i).name().compare(name, Qt::CaseInsensitive) == 0)
                    return i;
            throw Failure(QStringLiteral("A formula refers to a missing sheet \"%1\"").arg(name));
        };
        mLinks.nameOf = [this](int index) {
            return index >= 0 && index < mWorkbook.sheetCount() ? mWorkbook.sheet(index).name() : QString();
        };
    }

    QByteArray write()
    {
        if (mWorkbook.sheetCount() == 0)
            throw Failure(QStringLiteral("A workbook must have at least one sheet"));
        // The sheets first: their texts make up the shared string table
        // that the globals before them hold.
        std::vector<WorksheetStream> sheets;
        for (int s = 0; s < mWorkbook.sheetCount(); ++s)
            sheets.push_back(writeWorksheet(mWorkbook, s, mStyles, mStrings, mLinks));
        RecordWriter globals;
        std::vector<qsizetype> sheetOffsets = writeGlobals(globals);
        QByteArray stream = globals.bytes();
        for (int s = 0; s < mWorkbook.sheetCount(); ++s) {
            qToLittleEndian(static_cast<quint32>(stream.size()), stream.data() + sheetOffsets[size_t(s)]);
            stream.append(std::move(sheets[size_t(s)]).placedAt(stream.size()));
        }
        return stream;
    }

private:
    std::vector<qsizetype> writeGlobals(RecordWriter &out)
    {
        writeBof(out, kGlobalsType);
        if (mTemplate)
            out.record(rec::Template, QByteArray());
        writeValueRecord(out, rec::InterfaceHdr, 1200);
        writeValueRecord(out, rec::Mms, 0);
        out.record(rec::InterfaceEnd, QByteArray());
        ByteWriter access;
        appendUnicodeString(access, QStringLiteral("Orvantis"));
        while (access.size() < 112)
            access.u8(' ');
        out.record(rec::WriteAccess, access);
        writeValueRecord(out, rec::CodePage, 1200);
        writeValueRecord(out, rec::Dsf, 0);
        ByteWriter tabs;
        for (int s = 0; s < mWorkbook.sheetCount(); ++s)
            tabs.u16(static_cast<unsigned>(s + 1));
        out.record(rec::TabId, tabs);
        writeValueRecord(out, rec::FnGroupCount, 14);
        writeValueRecord(out, rec::WindowProtect, 0);
        writeValueRecord(out, rec::Protect, 0);
        writeValueRecord(out, rec::Password, 0);
        writeValueRecord(out, rec::Prot4Rev, 0);
        writeValueRecord(out, rec::Prot4RevPass, 0);
        writeWindow1(out);
        writeValueRecord(out, rec::Backup, 0);
        writeValueRecord(out, rec::HideObj, 0);
        writeValueRecord(out, rec::DateMode, 0);
        writeValueRecord(out, rec::Precision, 1);
        writeValueRecord(out, rec::RefreshAll, 0);
        writeValueRecord(out, rec::BookBool, 0);
        mStyles.writeFonts(out);
        mStyles.writeNumberFormats(out);
        mStyles.writeXfs(out);
        mStyles.writeStyles(out);
        mStyles.writePalette(out);
        writeValueRecord(out, rec::UsesElfs, 0);
        std::vector<qsizetype> offsets;
        for (int s = 0; s < mWorkbook.sheetCount(); ++s) {
            const Sheet &sheet = mWorkbook.sheet(s);
            offsets.push_back(out.position() + 4);
            ByteWriter data;
            data.u32(0);
            data.u8(static_cast<unsigned>(sheet.visibility()));
            data.u8(0);
            appendShortUnicodeString(data, sheet.name());
            out.record(rec::BoundSheet, data);
        }
        ByteWriter country;
        country.u16(1);
        country.u16(1);
        out.record(rec::Country, country);
        writeLinks(out);
        writeNames(out);
        mStrings.write(out);
        out.record(rec::Eof, QByteArray());
        return offsets;
    }

    void writeWindow1(RecordWriter &out)
    {
        ByteWriter data;
        data.u16(0);
        data.u16(0);
        data.u16(0x4000);
        data.u16(0x2000);
        data.u16(0x0038); // horizontal and vertical scroll bars, sheet tabs
        data.u16(static_cast<unsigned>(mWorkbook.activeSheet()));
        data.u16(0);
        data.u16(1);
        data.u16(600);
        out.record(rec::Window1, data);
    }

    void writeLinks(RecordWriter &out)
    {
        ByteWriter book;
        book.u16(static_cast<unsigned>(mWorkbook.sheetCount()));
        book.u16(0x0401); // this workbook
        out.record(rec::SupBook, book);
        ByteWriter sheets;
        sheets.u16(static_cast<unsigned>(mWorkbook.sheetCount()));
        for (int s = 0; s < mWorkbook.sheetCount(); ++s) {
            sheets.u16(0);
            sheets.u16(static_cast<unsigned>(s));
            sheets.u16(static_cast<unsigned>(s));
        }
        out.record(rec::ExternSheet, sheets);
    }

    static FormulaPtr areaNode(const QString &sheet, const CellRange &range)
    {
        FormulaNode n;
        n.kind = FormulaNode::Kind::Area;
        n.sheet = sheet;
        n.ref = {range.firstRow, range.firstColumn, true, true};
        n.ref2 = {range.lastRow, range.lastColumn, true, true};
        return std::make_shared<const FormulaNode>(std::move(n));
    }

    void writeName(RecordWriter &out, int sheetIndex, unsigned code, const std::vector<CellRange> &ranges)
    {
        const QString sheet = mWorkbook.sheet(sheetIndex).name();
        FormulaPtr tree = areaNode(sheet, ranges.front());
        for (size_t i = 1; i < ranges.size(); ++i) {
            FormulaNode n;
            n.kind = FormulaNode::Kind::Operation;
            n.op = Operator::Union;
            n.children = {tree, areaNode(sheet, ranges[i])};
            tree = std::make_shared<const FormulaNode>(std::move(n));
        }
        QByteArray tokens = encodeFormula(*tree, FormulaPlace::Name, {}, mLinks).tokens;
        if (ranges.size() > 1) {
            ByteWriter wrapped;
            wrapped.u8(0x29); // the union's reference subexpression
            wrapped.u16(static_cast<unsigned>(tokens.size()));
            wrapped.append(tokens);
            tokens = wrapped.bytes();
        }
        ByteWriter data;
        data.u16(0x0020); // built-in name
        data.u8(0);
        data.u8(1);
        data.u16(static_cast<unsigned>(tokens.size()));
        data.u16(0);
        data.u16(static_cast<unsigned>(sheetIndex + 1));
        data.zeros(4);
        data.u8(0);
        data.u8(code);
        data.append(tokens);
        out.record(rec::Name, data);
    }

    void writeNames(RecordWriter &out)
    {
        for (int s = 0; s < mWorkbook.sheetCount(); ++s) {
            const PrintAreas &areas = mWorkbook.sheet(s).printAreas();
            if (!areas.printArea.empty())
                writeName(out, s, kPrintAreaName, areas.printArea);
            std::vector<CellRange> titles;
            if (areas.titleColumns)
                titles.push_back({0, areas.titleColumns->firstColumn, kMaxRows - 1, areas.titleColumns->lastColumn});
            if (areas.titleRows)
                titles.push_back({areas.titleRows->firstRow, 0, areas.titleRows->lastRow, kMaxColumns - 1});
            if (!titles.empty())
                writeName(out, s, kPrintTitlesName, titles);
        }
    }

    const Workbook &mWorkbook;
    bool mTemplate;
    StyleTable mStyles;
    SharedStringTable mStrings;
    SheetLinks mLinks;
};

} // namespace

QByteArray writeWorkbookStream(const Workbook &workbook, TemplateMark mark)
{
    return WorkbookWriter(workbook, mark).write();
}

QByteArray writeXlsFile(const Workbook &workbook, TemplateMark mark)
{
    return writeCompoundFile({{QStringLiteral("Workbook"), writeWorkbookStream(workbook, mark)},
                              {QStringLiteral("\x05SummaryInformation"), summaryInformationStream()},
                              {QStringLiteral("\x05") + QStringLiteral("DocumentSummaryInformation"),
                               documentSummaryInformationStream()}});
}

} // namespace orv::sheet::xls
