// The records that carry conditional-format rules for newer versions (CFEx
// and CF12), byte for byte as the format documentation lays them out.

#include "sheet/model/Workbook.h"
#include "sheet/xls/ConditionalFormatRecords.h"

#include <gtest/gtest.h>

using namespace orv::sheet;
using namespace orv::sheet::xls;

namespace {

QByteArray hex(const char *text) { return QByteArray::fromHex(QByteArray(text).replace(' ', "")); }

const QByteArray kNoTemplateParameters = hex("10") + QByteArray(16, '\0');

struct GoldenCase {
    const char *name;
    QByteArray actual;
    QByteArray expected;
};

std::vector<GoldenCase> goldenCases()
{
    const Workbook book;
    const StyleTable styles(book);
    const CellRange taskRows{10, 7, 11, 202}; // H11:GU12
    ConditionalStyle aqua;
    aqua.fill = Fill{FillPattern::Solid, Color::fromRgb(0x33CCCC)}; // palette entry 0x31
    const QByteArray tokens = hex("1E 01 00");                       // =1
    return {
        {"CFEx extending the second CF record",
         extensionRecord({3, taskRows, 1, 2, true}),
         // rt 0x087B, fFrtRef, ref8 | fIsCF12 0 | nID | icf, cp, icfTemplate (formula), ipriority,
         // fActive + fStopIfTrue, no DXF of its own
         hex("7B08 0100 0A00 0B00 0700 CA00  00000000  0300  0100 00 01 0200 03 00") + kNoTemplateParameters},
        {"CFEx announcing a CF12 record",
         extensionRecord({3, taskRows, std::nullopt, 5, true}),
         hex("7B08 0100 0A00 0B00 0700 CA00  01000000  0300")},
        {"CF12 with a format that changes nothing",
         newerRuleRecord({}, tokens, styles, 5, true),
         // rt 0x087A, no ref8 | ct formula, cp, cce1, cce2 | cbDxf, DXFN: all unchanged, no blocks |
         // rgce1 | empty fmlaActive | fStopIfTrue | ipriority | icfTemplate
         hex("7A08 0000 0000000000000000  02 00 0300 0000  06000000 FFFF3F00 0280  1E0100  0000 02 0500 0100")
             + kNoTemplateParameters},
        {"CF12 with a solid fill that goes on",
         newerRuleRecord(aqua, tokens, styles, 6, false),
         // DXFN: pattern, foreground and background changed; pattern block solid, colours 0x31
         hex("7A08 0000 0000000000000000  02 00 0300 0000  0A000000 FFFF3820 0280 0004 B118  1E0100  0000 00 0600 0100")
             + kNoTemplateParameters},
    };
}

} // namespace

TEST(NewerRuleRecords, MatchTheDocumentedLayout)
{
    for (const GoldenCase &c : goldenCases())
        EXPECT_EQ(c.actual.toHex(' ').toStdString(), c.expected.toHex(' ').toStdString()) << c.name;
}
