#include "sheet/model/Workbook.h"
#include "sheet/xls/CompoundFile.h"
#include "sheet/xls/XlsReader.h"
#include "sheet/xls/XlsWriter.h"

#include <QtEndian>
#include <gtest/gtest.h>

#include <map>

namespace orv::sheet::xls {
namespace {

// Record types as the file format numbers them.
constexpr unsigned kBof = 0x0809;
constexpr unsigned kBoundSheet = 0x0085;
constexpr unsigned kIndex = 0x020B;
constexpr unsigned kDefColWidth = 0x0055;
constexpr unsigned kDbCell = 0x00D7;

unsigned u16At(const QByteArray &bytes, qsizetype at) { return qFromLittleEndian<quint16>(bytes.constData() + at); }
quint32 u32At(const QByteArray &bytes, qsizetype at) { return qFromLittleEndian<quint32>(bytes.constData() + at); }

QByteArray workbookStreamOf(const QByteArray &file)
{
    for (const CompoundStream &stream : readCompoundFile(file))
        if (stream.name == QLatin1String("Workbook"))
            return stream.data;
    ADD_FAILURE() << "no Workbook stream";
    return {};
}

// Three sheets of texts (some shared between sheets) and numbers, over more
// rows than one row block holds, so that every sheet has several DBCELLs.
Workbook threeSheets()
{
    Workbook book;
    for (int s = 0; s < 3; ++s) {
        Sheet &sheet = book.addSheet(QStringLiteral("Sheet %1").arg(s + 1));
        for (int row = 0; row < 70 + 20 * s; ++row) {
            sheet.cellAt({row, 0}).value = QStringLiteral("text %1").arg(row % 9);
            sheet.cellAt({row, 1}).value = QStringLiteral("sheet %1 row %2").arg(s).arg(row);
            sheet.cellAt({row, 2}).value = double(row);
        }
    }
    return book;
}

// Every position the globals and the sheets' INDEX records hold must point
// at the record it names, in the whole workbook stream.
TEST(XlsStreamPositions, PointAtTheirRecordsInEverySheet)
{
    const QByteArray stream = workbookStreamOf(writeXlsFile(threeSheets()));
    std::map<qsizetype, unsigned> recordAt;
    std::vector<quint32> sheetStarts;
    std::vector<qsizetype> indexRecords;
    for (qsizetype at = 0; at + 4 <= stream.size();) {
        const unsigned type = u16At(stream, at);
        const unsigned size = u16At(stream, at + 2);
        recordAt[at] = type;
        if (type == kBoundSheet)
            sheetStarts.push_back(u32At(stream, at + 4));
        if (type == kIndex)
            indexRecords.push_back(at);
        at += 4 + size;
    }
    ASSERT_EQ(sheetStarts.size(), 3u);
    ASSERT_EQ(indexRecords.size(), 3u);
    for (const quint32 start : sheetStarts)
        EXPECT_EQ(recordAt[start], kBof) << start;
    for (const qsizetype index : indexRecords) {
        const unsigned size = u16At(stream, index + 2);
        EXPECT_EQ(recordAt[u32At(stream, index + 4 + 12)], kDefColWidth);
        const int dbCells = int(size - 16) / 4;
        EXPECT_GE(dbCells, 3);
        for (int i = 0; i < dbCells; ++i)
            EXPECT_EQ(recordAt[u32At(stream, index + 4 + 16 + 4 * i)], kDbCell) << i;
    }
}

TEST(XlsStreamPositions, TextsOfEverySheetReadBack)
{
    const Workbook written = threeSheets();
    const Workbook read = readXlsFile(writeXlsFile(written));
    ASSERT_EQ(read.sheetCount(), 3);
    for (int s = 0; s < 3; ++s)
        written.sheet(s).forEachCell([&](CellAddress at, const Cell &cell) {
            const Cell *back = read.sheet(s).cell(at);
            ASSERT_NE(back, nullptr);
            EXPECT_EQ(back->value, cell.value) << s << ":" << at.row << "," << at.column;
        });
}

} // namespace
} // namespace orv::sheet::xls
