// The rules the 97-2003 format documentation states with MUST for the
// records we write, checked on the bytes of the template and of two charts.
// LibreOffice and Gnumeric read files that break them; the format's own
// application may not.

#include "ChartWorkbooks.h"
#include "ConditionalRuleFields.h"
#include "chart/XlsxExport.h"
#include "sheet/OracleFiles.h"
#include "sheet/QStringPrinter.h"
#include "sheet/XlsTokenScan.h"

#include <QTemporaryDir>

#include <QSet>
#include <functional>
#include <map>

namespace orv::chart::test {
namespace {

using sheet::xls::testing::le16;
using sheet::xls::testing::le32;
using sheet::xls::testing::RawRecord;

constexpr unsigned kBof = 0x0809, kEof = 0x000A, kContinue = 0x003C, kSst = 0x00FC, kString = 0x0207;
constexpr unsigned kCondFmt = 0x01B0, kCf = 0x01B1, kCfEx = 0x087B, kCf12 = 0x087A;
constexpr unsigned kMergedCells = 0x00E5, kBoundSheet = 0x0085, kFormula = 0x0006;
constexpr unsigned kIndex = 0x020B, kDbCell = 0x00D7, kRow = 0x0208, kDefColWidth = 0x0055;
constexpr unsigned kPane = 0x0041, kSelection = 0x001D;

bool isCellRecord(unsigned type)
{
    static const QSet<unsigned> cells = {0x0006, 0x00BD, 0x00BE, 0x00FD, 0x0201, 0x0203, 0x0205, 0x027E};
    return cells.contains(type);
}

// One substream: the globals or a worksheet.
using Substream = std::vector<RawRecord>;

std::vector<Substream> substreams(const std::vector<RawRecord> &records)
{
    std::vector<Substream> result;
    for (const RawRecord &record : records) {
        if (record.type == kBof)
            result.emplace_back();
        if (!result.empty())
            result.back().push_back(record);
    }
    return result;
}

using Check = std::function<QStringList(const std::vector<Substream> &)>;

QStringList condFmtHoldsOneToThreeRules(const std::vector<Substream> &streams)
{
    QStringList faults;
    for (const Substream &s : streams)
        for (size_t i = 0; i < s.size(); ++i) {
            if (s[i].type != kCondFmt)
                continue;
            const unsigned ccf = le16(s[i].data, 0);
            unsigned following = 0;
            while (i + 1 + following < s.size() && s[i + 1 + following].type == kCf)
                ++following;
            if (ccf < 1 || ccf > 3 || following != ccf)
                faults << QStringLiteral("CONDFMT at %1: ccf %2, %3 CF records").arg(s[i].offset).arg(ccf).arg(following);
        }
    return faults;
}

// CFEx names a CONDFMT by its id and carries its bounds; a CF12 comes only
// right after a CFEx that announces it; all of them follow every CONDFMT.
QStringList newerRulesBelongToTheirCondFmt(const std::vector<Substream> &streams)
{
    QStringList faults;
    for (const Substream &s : streams) {
        std::map<unsigned, QByteArray> bounds; // CONDFMT id -> refBound
        bool extensionsStarted = false;
        for (size_t i = 0; i < s.size(); ++i) {
            const RawRecord &r = s[i];
            if (r.type == kCondFmt) {
                bounds[le16(r.data, 2) >> 1] = r.data.mid(4, 8);
                if (extensionsStarted)
                    faults << QStringLiteral("CONDFMT at %1 after a CFEx").arg(r.offset);
            } else if (r.type == kCfEx) {
                extensionsStarted = true;
                const auto found = bounds.find(le16(r.data, 16));
                if (found == bounds.end() || found->second != r.data.mid(4, 8) || le16(r.data, 2) != 1)
                    faults << QStringLiteral("CFEx at %1 names no CONDFMT of its bounds").arg(r.offset);
                const bool announces = le32(r.data, 12) == 1;
                const bool followed = i + 1 < s.size() && s[i + 1].type == kCf12;
                if (announces != followed)
                    faults << QStringLiteral("CFEx at %1: CF12 expected %2").arg(r.offset).arg(announces);
            } else if (r.type == kCf12 && (i == 0 || s[i - 1].type != kCfEx)) {
                faults << QStringLiteral("CF12 at %1 without its CFEx").arg(r.offset);
            }
        }
    }
    return faults;
}

QStringList mergedCellsHoldAtMost1027Ranges(const std::vector<Substream> &streams)
{
    QStringList faults;
    for (const Substream &s : streams)
        for (const RawRecord &r : s)
            if (r.type == kMergedCells && (le16(r.data, 0) > 1027 || r.data.size() != 2 + 8 * le16(r.data, 0)))
                faults << QStringLiteral("MERGEDCELLS at %1 with %2 ranges").arg(r.offset).arg(le16(r.data, 0));
    return faults;
}

QStringList recordsHoldAtMost8224Bytes(const std::vector<Substream> &streams)
{
    QStringList faults;
    for (const Substream &s : streams)
        for (const RawRecord &r : s)
            if (r.data.size() > 8224)
                faults << QStringLiteral("record %1 at %2: %3 bytes").arg(r.type, 0, 16).arg(r.offset).arg(r.data.size());
    return faults;
}

// CONTINUE only extends the records that may run on: SST and STRING here.
QStringList continueFollowsOnlyRecordsThatRunOn(const std::vector<Substream> &streams)
{
    QStringList faults;
    for (const Substream &s : streams) {
        unsigned continued = 0;
        for (const RawRecord &r : s) {
            if (r.type != kContinue)
                continued = r.type;
            else if (continued != kSst && continued != kString)
                faults << QStringLiteral("CONTINUE at %1 after record %2").arg(r.offset).arg(continued, 0, 16);
        }
    }
    return faults;
}

// Sheet names 1 to 31 characters; a cell formula at most 1,800 bytes.
QStringList namesAndFormulasWithinTheirLimits(const std::vector<Substream> &streams)
{
    QStringList faults;
    for (const RawRecord &r : streams.front())
        if (r.type == kBoundSheet && (r.data[6] == 0 || static_cast<unsigned char>(r.data[6]) > 31))
            faults << QStringLiteral("sheet name of %1 characters").arg(static_cast<unsigned char>(r.data[6]));
    for (const Substream &s : streams)
        for (const RawRecord &r : s)
            if (r.type == kFormula && le16(r.data, 20) > 1800)
                faults << QStringLiteral("FORMULA at %1 of %2 bytes").arg(r.offset).arg(le16(r.data, 20));
    return faults;
}

// INDEX holds the stream positions of DEFCOLWIDTH and of every DBCELL; a
// DBCELL the distance back to its block's first ROW and the distances
// between the first cells of its rows.
QStringList indexAndDbCellPointRight(const std::vector<Substream> &streams)
{
    QStringList faults;
    for (size_t n = 1; n < streams.size(); ++n) {
        const Substream &s = streams[n];
        std::vector<qsizetype> dbCells;
        qsizetype defColWidth = -1;
        const RawRecord *index = nullptr;
        std::vector<const RawRecord *> blockRows, blockCells;
        for (const RawRecord &r : s) {
            if (r.type == kIndex)
                index = &r;
            else if (r.type == kDefColWidth)
                defColWidth = r.offset;
            else if (r.type == kRow)
                blockRows.push_back(&r);
            else if (isCellRecord(r.type))
                blockCells.push_back(&r);
            if (r.type != kDbCell)
                continue;
            dbCells.push_back(r.offset);
            if (blockRows.empty() || le32(r.data, 0) != r.offset - blockRows.front()->offset)
                faults << QStringLiteral("DBCELL at %1: wrong distance to its first ROW").arg(r.offset);
            // Where the cells of each row start: at its first cell, or where
            // the next row's cells start when it has none.
            qsizetype previous = blockRows.empty() ? 0 : blockRows.front()->offset + 20;
            for (size_t i = 0; i < blockRows.size(); ++i) {
                const unsigned row = le16(blockRows[i]->data, 0);
                qsizetype start = r.offset;
                for (const RawRecord *cell : blockCells)
                    if (le16(cell->data, 0) >= row) {
                        start = cell->offset;
                        break;
                    }
                const qsizetype at = 4 + 2 * static_cast<qsizetype>(i);
                if (at + 2 > r.data.size() || le16(r.data, at) != start - previous)
                    faults << QStringLiteral("DBCELL at %1: wrong offset for row %2").arg(r.offset).arg(row);
                previous = start;
            }
            blockRows.clear();
            blockCells.clear();
        }
        if (!index || static_cast<qsizetype>(le32(index->data, 12)) != defColWidth)
            faults << QStringLiteral("sheet %1: INDEX does not point at DEFCOLWIDTH").arg(n);
        for (size_t i = 0; index && i < dbCells.size(); ++i)
            if (16 + 4 * static_cast<qsizetype>(i) + 4 > index->data.size()
                || le32(index->data, 16 + 4 * static_cast<qsizetype>(i)) != dbCells[i])
                faults << QStringLiteral("sheet %1: INDEX entry %2 misses its DBCELL").arg(n).arg(i);
    }
    return faults;
}

// A frozen window has one SELECTION for each of its panes.
QStringList everyPaneHasItsSelection(const std::vector<Substream> &streams)
{
    QStringList faults;
    for (size_t n = 1; n < streams.size(); ++n) {
        std::vector<unsigned> expected = {3}, found;
        for (const RawRecord &r : streams[n]) {
            if (r.type == kPane) {
                const bool columns = le16(r.data, 0) > 0, rows = le16(r.data, 2) > 0;
                expected = {3};
                if (columns)
                    expected.push_back(1);
                if (rows)
                    expected.push_back(2);
                if (columns && rows)
                    expected.push_back(0);
            } else if (r.type == kSelection) {
                found.push_back(static_cast<unsigned char>(r.data[0]));
            }
        }
        if (found != expected)
            faults << QStringLiteral("sheet %1: %2 SELECTION records for %3 panes").arg(n).arg(found.size()).arg(expected.size());
    }
    return faults;
}

// Without margin records the format's application prints with margins of its
// own (0.75 and 1 inch), not those the .xlsx states.
QStringList everySheetStatesItsMargins(const std::vector<Substream> &streams)
{
    QStringList faults;
    for (size_t n = 1; n < streams.size(); ++n) {
        QSet<unsigned> margins;
        for (const RawRecord &r : streams[n])
            if (r.type >= 0x0026 && r.type <= 0x0029 && r.data.size() == 8)
                margins.insert(r.type);
        if (margins.size() != 4)
            faults << QStringLiteral("sheet %1 states %2 of 4 margins").arg(n).arg(margins.size());
    }
    return faults;
}

QStringList newerRulesKeepTheirFieldTables(const std::vector<Substream> &streams)
{
    QStringList faults;
    for (size_t n = 1; n < streams.size(); ++n)
        faults << decodeNewerRules(streams[n]).faults;
    return faults;
}

struct Rule {
    const char *says;
    Check check;
};

const Rule kRules[] = {
    {"a CONDFMT is followed by its 1 to 3 CF records", condFmtHoldsOneToThreeRules},
    {"CFEx and CF12 belong to a CONDFMT and follow all of them", newerRulesBelongToTheirCondFmt},
    {"a MERGEDCELLS holds at most 1,027 ranges", mergedCellsHoldAtMost1027Ranges},
    {"a record holds at most 8,224 bytes", recordsHoldAtMost8224Bytes},
    {"CONTINUE follows only records that may run on", continueFollowsOnlyRecordsThatRunOn},
    {"sheet names and cell formulas keep their length limits", namesAndFormulasWithinTheirLimits},
    {"INDEX and DBCELL hold the right stream offsets", indexAndDbCellPointRight},
    {"each pane of a frozen window has its SELECTION", everyPaneHasItsSelection},
    {"every sheet states its page margins", everySheetStatesItsMargins},
    {"CFEx and CF12 are as long as their fields, with the values they allow", newerRulesKeepTheirFieldTables},
};

class XlsFormatRules : public ChartWorkbookTest {};

TEST_P(XlsFormatRules, EveryMustOfTheFormatHolds)
{
    const QByteArray file = workbookFile();
    ASSERT_FALSE(file.isEmpty());
    const auto streams = substreams(sheet::xls::testing::rawRecords(sheet::xls::testing::workbookStreamOfFile(file)));
    ASSERT_GE(streams.size(), 2u);
    for (const Rule &rule : kRules) {
        const QStringList faults = rule.check(streams);
        EXPECT_TRUE(faults.isEmpty()) << rule.says << ": " << faults.mid(0, 5).join(u"; ").toStdString();
    }
}

// Each rule keeps its range, priority and stop-if-true flag in the .xlsx
// saved from the workbook, and is switched on in both.
TEST_P(XlsFormatRules, NewerRulesAgreeWithTheXlsxRules)
{
    const QByteArray file = workbookFile();
    ASSERT_FALSE(file.isEmpty());
    const auto streams = substreams(sheet::xls::testing::rawRecords(sheet::xls::testing::workbookStreamOfFile(file)));
    QTemporaryDir scratch;
    const QString xlsxPath = scratch.filePath(QStringLiteral("chart.xlsx"));
    QFile xlsx(xlsxPath);
    ASSERT_TRUE(xlsx.open(QIODevice::WriteOnly));
    xlsx.write(chartWorkbookAsXlsx(file, scratch.path()));
    xlsx.close();
    const sheet::xls::testing::XlsxBook book = sheet::xls::testing::readXlsx(xlsxPath);
    ASSERT_EQ(book.sheetData.size() + 1, streams.size());
    int rules = 0;
    for (size_t n = 1; n < streams.size(); ++n) {
        std::map<int, std::pair<QString, bool>> expected; // priority -> sqref, stopIfTrue
        for (const auto &conditional : book.sheetData[n - 1].conditionals)
            for (const auto &[priority, stop] : conditional.rules)
                expected[priority] = {conditional.sqref, stop};
        std::map<int, std::pair<QString, bool>> decoded;
        for (const DecodedRule &rule : decodeNewerRules(streams[n]).rules) {
            EXPECT_TRUE(rule.active) << "rule " << rule.priority << " is switched off";
            decoded[rule.priority] = {rule.sqref, rule.stopIfTrue};
        }
        EXPECT_EQ(decoded, expected) << "sheet " << n;
        rules += static_cast<int>(decoded.size());
    }
    EXPECT_GT(rules, 0);
}

INSTANTIATE_TEST_SUITE_P(Workbooks, XlsFormatRules, ::testing::ValuesIn(kChartWorkbooks), chartWorkbookName);

} // namespace
} // namespace orv::chart::test
