#include "ChartBuilderFixture.h"
#include "FailingCalls.h"

#include "files/Failure.h"

#include <string_view>
#include <utility>

namespace orv::chart::test {
namespace {

class NoSpreadsheetApplication : public ApplicationFactory {
public:
    std::unique_ptr<Application> create() override
    {
        throw Failure(QStringLiteral("Cannot create the spreadsheet application"));
    }
};

using ChartFailures = ChartBuilderTest;

TEST_F(ChartFailures, WithoutAnInstanceEveryStepThatNeedsOneReportsAndTheRunStillEnds)
{
    NoSpreadsheetApplication none;
    scripted.services.spreadsheets = &none;
    builder.PushButton6_Click();
    EXPECT_EQ(reportedLines(), (std::vector<int>{106, 112, 114, 116, 118, 206, 208, 210, 212, 230, 232, 234, 236,
                                                 240, 244, 246, 248, 250, 252, 256}));
    EXPECT_TRUE(scripted.messages.shown[0].text.startsWith(
        QStringLiteral("Cannot create the spreadsheet application\r\n"
                       "in Orvantis2021/08/31.Form1.PushButton6_Click at line 106\r\r")));
    EXPECT_TRUE(scripted.messages.shown[1].text.startsWith(
        QStringLiteral("Object variable or With block variable not set\r\n")));
    EXPECT_FALSE(builder.busy());
    EXPECT_EQ(window.pointers, (std::vector<PointerSetting>{PointerSetting::Hourglass, PointerSetting::Default,
                                                             PointerSetting::Hourglass, PointerSetting::Default}));
    // The reserved name and the template copy are not left behind.
    EXPECT_TRUE(tempFiles().isEmpty()) << tempFiles().join(u' ').toStdString();
}

TEST_F(ChartFailures, AFailingInsertIsReportedForEachBlockAndTheRestIsStillWritten)
{
    FailingCalls failingInsert(scripted.clock, "Insert");
    scripted.services.spreadsheets = &failingInsert;
    lists.categories = {{QStringLiteral("A")}, {QStringLiteral("B")}, {QStringLiteral("C")}};
    const sheet::Workbook chart = build();
    EXPECT_EQ(reportedLines(), (std::vector<int>{146, 146}));
    // The names still go where their blocks would have started.
    EXPECT_EQ(textAt(chart, 10, 1), QStringLiteral("A"));
    EXPECT_EQ(textAt(chart, 14, 1), QStringLiteral("B"));
    EXPECT_EQ(textAt(chart, 18, 1), QStringLiteral("C"));
    EXPECT_FALSE(builder.busy());
}

// When selecting the place for the copied block fails, the insert fails as
// well instead of pasting the block over its own source rows.
TEST_F(ChartFailures, AFailedSelectOfTheTargetNeverInsertsAtTheCopiedRows)
{
    bool copied = false;
    FailingCalls failingTarget(scripted.clock, [&](const char *member) {
        if (std::string_view(member) == "Copy")
            copied = true;
        else if (std::string_view(member) == "Select" && std::exchange(copied, false))
            return true;
        return false;
    });
    scripted.services.spreadsheets = &failingTarget;
    lists.categories = {{QStringLiteral("A")}, {QStringLiteral("B")}, {QStringLiteral("C")}};
    const sheet::Workbook chart = build();
    EXPECT_EQ(reportedLines(), (std::vector<int>{144, 146, 144, 146}));
    EXPECT_EQ(textAt(chart, 10, 1), QStringLiteral("A"));
    EXPECT_EQ(textAt(chart, 14, 1), QStringLiteral("B"));
    EXPECT_EQ(textAt(chart, 18, 1), QStringLiteral("C"));
}

TEST_F(ChartFailures, ASecondClickDuringARunDoesNothing)
{
    int nestedRuns = 0;
    preview.onPicture = [&] {
        ++nestedRuns;
        builder.PushButton6_Click();
    };
    build();
    EXPECT_EQ(nestedRuns, 1);
    EXPECT_EQ(preview.calls, (QStringList{"picture", "file", "show"}));
    EXPECT_TRUE(scripted.messages.shown.empty());
    EXPECT_EQ(tempFiles().size(), 1);
    EXPECT_FALSE(builder.busy());
}

TEST_F(ChartFailures, AnUnusableTemporaryFolderIsReportedAtEachStepThatUsesIt)
{
    class NoTemp : public Folders {
    public:
        QString programFolder() const override { return QString(); }
        QString tempFolder() const override { throw Failure(QStringLiteral("No private temporary folder")); }
    } noTemp;
    scripted.services.folders = &noTemp;
    builder.PushButton6_Click();
    const std::vector<int> lines = reportedLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), 104);
    EXPECT_NE(std::find(lines.begin(), lines.end(), 226), lines.end());
    EXPECT_FALSE(builder.busy());
}

} // namespace
} // namespace orv::chart::test
