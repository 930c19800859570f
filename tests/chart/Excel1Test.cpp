#include "chart/EngineApplicationFactory.h"
#include "chart/Excel1.h"
#include "chart/SpreadsheetApplication.h"
#include "files/Failure.h"
#include "support/ScriptedServices.h"

#include <gtest/gtest.h>

namespace orv::chart {
namespace {

// Runs a test under a default locale and puts the previous one back.
class UnderLocale : public ::testing::TestWithParam<QLocale::Language> {
protected:
    void SetUp() override
    {
        QLocale::setDefault(GetParam() == QLocale::German ? QLocale(QLocale::German, QLocale::Germany)
                                                          : QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void TearDown() override { QLocale::setDefault(mPrevious); }

private:
    QLocale mPrevious;
};

using SaveFileFormat = UnderLocale;

TEST_P(SaveFileFormat, VersionsBeforeTwelveGetTheOldNumber)
{
    EXPECT_EQ(saveFileFormatForVersion(QStringLiteral("11.0")), -4143);
    EXPECT_EQ(saveFileFormatForVersion(QStringLiteral("12.0")), 56);
    EXPECT_EQ(saveFileFormatForVersion(QStringLiteral("16.0")), 56);
    EXPECT_EQ(saveFileFormatForVersion(QStringLiteral("9")), -4143);
    EXPECT_THROW(saveFileFormatForVersion(QStringLiteral("twelve")), Failure);
}

TEST_P(SaveFileFormat, OurInstancesAreSavedWith56WithOrWithoutAnInstance)
{
    test::FixedClock clock;
    EngineApplicationFactory factory(clock);
    const std::unique_ptr<Application> app = factory.create();
    EXPECT_EQ(GetSaveFileFormat(app.get()), 56);
    EXPECT_EQ(GetSaveFileFormat(nullptr, &factory), 56);
}

using DecimalSeparator = UnderLocale;

TEST_P(DecimalSeparator, PeriodsAndCommasBecomeTheUsersSeparator)
{
    const QString separator = GetParam() == QLocale::German ? QStringLiteral(",") : QStringLiteral(".");
    EXPECT_EQ(GetDecimalSeparator(), separator);
    EXPECT_EQ(ConvertDecimalSeparator(QStringLiteral("12.0,5")), QStringLiteral("12") + separator + "0" + separator + "5");
}

INSTANTIATE_TEST_SUITE_P(Locales, SaveFileFormat, ::testing::Values(QLocale::English, QLocale::German));
INSTANTIATE_TEST_SUITE_P(Locales, DecimalSeparator, ::testing::Values(QLocale::English, QLocale::German));

} // namespace
} // namespace orv::chart
