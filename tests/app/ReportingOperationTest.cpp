#include "app/ErrorReport.h"
#include "app/ReportingOperation.h"
#include "files/Failure.h"
#include "support/ScriptedServices.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

const QString kLocation = QStringLiteral("in Orvantis2021/08/31.Form1.Form_Load ");

TEST(ErrorReportText, IsComposedWithCrLfAndTwoLoneCarriageReturns)
{
    EXPECT_EQ(composeErrorReport(kLocation, 104, QStringLiteral("Overflow")),
              QStringLiteral("Overflow\r\nin Orvantis2021/08/31.Form1.Form_Load at line 104\r\r"
                             "Please email screenshot of this message to support@orvantis.example.com"));
}

TEST(ErrorReportText, EmptyDescriptionStartsWithTheLineBreak)
{
    EXPECT_TRUE(composeErrorReport(kLocation, 100, QString()).startsWith(QStringLiteral("\r\nin Orvantis")));
}

class ReportingOperationTest : public ::testing::Test {
protected:
    test::ScriptedMessageBoxes boxes;
    ReportingOperation op{boxes, kLocation};
};

TEST_F(ReportingOperationTest, FailureIsReportedWithLineAndOperationGoesOn)
{
    bool laterRan = false;
    op(100, [] { throw Failure(QStringLiteral("File not found: /x")); });
    op(102, [&] { laterRan = true; });
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(laterRan);
    EXPECT_TRUE(boxes.shown[0].text.startsWith(QStringLiteral("File not found: /x\r\n")));
    EXPECT_TRUE(boxes.shown[0].text.contains(QStringLiteral("Form_Load at line 100\r\r")));
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Application Error"));
    EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Exclamation);
}

TEST_F(ReportingOperationTest, TwoFailuresShowTwoBoxesInOrder)
{
    op(100, [] { throw Failure(QStringLiteral("first")); });
    op(102, [] {});
    op(104, [] { throw Failure(QStringLiteral("second")); });
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_TRUE(boxes.shown[0].text.startsWith(QStringLiteral("first\r\n")));
    EXPECT_TRUE(boxes.shown[0].text.contains(QStringLiteral("at line 100")));
    EXPECT_TRUE(boxes.shown[1].text.startsWith(QStringLiteral("second\r\n")));
    EXPECT_TRUE(boxes.shown[1].text.contains(QStringLiteral("at line 104")));
}

TEST_F(ReportingOperationTest, FailureInsideLoopIsReportedOncePerPassWithTheSameLine)
{
    for (int pass = 0; pass < 3; ++pass)
        op(130, [] { throw Failure(QStringLiteral("bad")); });
    ASSERT_EQ(boxes.shown.size(), 3u);
    for (const auto &box : boxes.shown)
        EXPECT_TRUE(box.text.contains(QStringLiteral("at line 130\r\r")));
}

TEST_F(ReportingOperationTest, FailureInCalledProcedureNamesTheCallersLine)
{
    const auto helperWithoutReport = [] {
        (void)0;
        throw Failure(QStringLiteral("deep"));
    };
    bool restOfHelperRan = false;
    op(148, [&] {
        helperWithoutReport();
        restOfHelperRan = true;
    });
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_FALSE(restOfHelperRan);
    EXPECT_TRUE(boxes.shown[0].text.contains(QStringLiteral("Form_Load at line 148")));
}

TEST_F(ReportingOperationTest, UnnumberedStatementCountsUnderTheLastNumber)
{
    op(104, [] {});
    op.more([] { throw Failure(QStringLiteral("icon")); });
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.contains(QStringLiteral("at line 104")));
}

} // namespace
} // namespace orv
