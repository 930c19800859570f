// The pages of a built chart, worked out by hand from the template's sizes
// at 96 DPI (MDW 7): title columns A:G 15+20+186+45+45+64+9 = 384 px
// (288 pt), each calendar column 19 px (14.25 pt); title rows 2:9
// 25+5*20+5+19 = 149 px (111.75 pt); a deliverable row 20 px, a task row
// 19, the spacer under the tasks 9, the gap after a block 10. Margins
// 0.7 in at the sides, 0.75 in at top and bottom, scale 66 %:
//  letter landscape: (792-100.8)/0.66-288 = 759.3 pt -> 53 columns a page,
//                    (612-108)/0.66-111.75 = 651.9 pt = 869.2 px of rows;
//  A4 landscape:     (841.9-100.8)/0.66-288 = 834.9 pt -> 58 columns,
//                    (595.3-108)/0.66-111.75 = 626.6 pt = 835.4 px of rows.
// Two blocks of 30 tasks: rows 10 (20), 11-40 (30x19), 41 (9), 42 (10),
// 43 (20), 44-73, 74, 75, then the rows 76-79 that followed the template's
// block. Letter: 20+570+9+10+20 = 629 px, 12 more task rows make 857 and
// a 13th 876 > 869.2, so the first page ends at row 55. A4: 10 more make
// 819 and an 11th 838 > 835.4, so it ends at row 53.
#include "ChartBuilderFixture.h"
#include "TemplateUnderTest.h"
#include "sheet/render/PrintedSheet.h"

#include <gtest/gtest.h>

namespace orv::chart::test {
namespace {

using sheet::PrintedPage;
using sheet::Strip;
using testing::area;

struct PagingCase {
    const char *name;
    int tasksPerBlock;
    QPageSize::PageSizeId paper;
    std::vector<std::pair<int, int>> rows; // 1-based, top to bottom
    std::vector<const char *> columns;     // left to right
};

void PrintTo(const PagingCase &paging, std::ostream *out) { *out << paging.name; }

class PrintPagesTest : public ChartBuilderTest, public ::testing::WithParamInterface<PagingCase> {};

TEST_P(PrintPagesTest, PagesFallAsWorkedOutByHand)
{
    const PagingCase &paging = GetParam();
    lists.categories = {{QStringLiteral("Build")}, {QStringLiteral("Test")}};
    for (const QString &category : {QStringLiteral("Build"), QStringLiteral("Test")})
        for (int task = 0; task < paging.tasksPerBlock; ++task)
            lists.tasks.push_back({category + QString::number(task), QStringLiteral("50"), QStringLiteral("8/1/2016"),
                                   QStringLiteral("8/20/2016"), category, QString()});
    const sheet::Workbook chart = build();
    ASSERT_TRUE(scripted.messages.shown.empty());

    std::vector<PrintedPage> expected;
    for (const char *columns : paging.columns) {
        const sheet::CellRange strip = area(columns);
        for (auto [first, last] : paging.rows)
            expected.push_back({{first - 1, strip.firstColumn, last - 1, strip.lastColumn}, Strip{1, 8}, Strip{0, 6}});
    }
    const QPageLayout paper(QPageSize(paging.paper), QPageLayout::Landscape, QMarginsF());
    EXPECT_EQ(sheet::PrintedSheet(chart, 0, paper, {}).pages(), expected);
}

const std::vector<const char *> kLetterColumns = {"H1:BH1", "BI1:DI1", "DJ1:FJ1", "FK1:GH1"};
const std::vector<const char *> kA4Columns = {"H1:BM1", "BN1:DS1", "DT1:FY1", "FZ1:GH1"};

INSTANTIATE_TEST_SUITE_P(
    Charts, PrintPagesTest,
    ::testing::Values(PagingCase{"OneTaskEach_Letter", 1, QPageSize::Letter, {{10, 21}}, kLetterColumns},
                      PagingCase{"ThirtyEach_Letter", 30, QPageSize::Letter, {{10, 55}, {56, 79}}, kLetterColumns},
                      PagingCase{"ThirtyEach_A4", 30, QPageSize::A4, {{10, 53}, {54, 79}}, kA4Columns}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace orv::chart::test
