#include "Printers.h"
#include "sheet/DateSerial.h"
#include "sheet/formula/Evaluator.h"
#include "sheet/formula/FormulaParser.h"
#include "sheet/model/Workbook.h"
#include "support/ScriptedServices.h"

#include <gtest/gtest.h>

namespace orv::sheet {
namespace {

struct SerialCase {
    int serial;
    SerialDate date;
    int weekday; // 1 = Sunday
};

void PrintTo(const SerialCase &c, std::ostream *os) { *os << "serial " << c.serial; }

class SerialDates : public ::testing::TestWithParam<SerialCase> {};

TEST_P(SerialDates, MatchTheNineteenHundredSystem)
{
    const SerialCase &c = GetParam();
    EXPECT_EQ(dateFromSerial(c.serial), c.date);
    EXPECT_EQ(dateFromSerial(c.serial + 0.75), c.date) << "the time of day does not change the date";
    EXPECT_EQ(weekdayFromSerial(c.serial), c.weekday);
    EXPECT_EQ(serialFromParts(c.date.year, c.date.month, c.date.day), c.serial);
    const QDate date = qdateFromSerial(c.serial);
    if (date.isValid()) {
        EXPECT_EQ(serialFromDate(date), c.serial);
        EXPECT_EQ(date, QDate(c.date.year, c.date.month, c.date.day));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, SerialDates,
                         ::testing::Values(SerialCase{0, {1900, 1, 0}, 7}, SerialCase{1, {1900, 1, 1}, 1},
                                           SerialCase{31, {1900, 1, 31}, 3}, SerialCase{59, {1900, 2, 28}, 3},
                                           SerialCase{60, {1900, 2, 29}, 4}, SerialCase{61, {1900, 3, 1}, 5},
                                           SerialCase{366, {1900, 12, 31}, 2}, SerialCase{367, {1901, 1, 1}, 3},
                                           SerialCase{36585, {2000, 2, 29}, 3}, SerialCase{36586, {2000, 3, 1}, 4},
                                           SerialCase{45351, {2024, 2, 29}, 5}, SerialCase{45366, {2024, 3, 15}, 6},
                                           SerialCase{2958465, {9999, 12, 31}, 6}));

TEST(SerialDateLimits, OutsideTheSystemThereIsNoDate)
{
    EXPECT_FALSE(dateFromSerial(-1));
    EXPECT_FALSE(dateFromSerial(2958466));
    EXPECT_FALSE(qdateFromSerial(60).isValid());
    EXPECT_FALSE(qdateFromSerial(0).isValid());
    EXPECT_FALSE(serialFromDate(QDate(1899, 12, 31)));
    EXPECT_FALSE(serialFromDate(QDate(10000, 1, 1)));
    EXPECT_FALSE(serialFromParts(1899, 12, 31));
}

TEST(SerialDateOverflow, RollsMonthsAndDaysLikeDate)
{
    EXPECT_EQ(serialFromParts(1900, 2, 30), 61);   // one past the fictitious leap day
    EXPECT_EQ(serialFromParts(2023, 13, 1), 45292); // January 2024
    EXPECT_EQ(serialFromParts(2024, 0, 1), 45261);  // December 2023
    EXPECT_EQ(serialFromParts(2024, -11, 1), 44927);
    EXPECT_EQ(serialFromParts(2024, 3, 0), 45351);  // the last day of February
    EXPECT_EQ(serialFromParts(1900, 1, 0), 0);
    EXPECT_FALSE(serialFromParts(1900, 1, -1));
}

TEST(SerialTimes, FractionIsTheTimeOfDay)
{
    EXPECT_EQ(timeFromSerial(45366.75), QTime(18, 0));
    EXPECT_EQ(timeFromSerial(45366.5 + 1.0 / 86400), QTime(12, 0, 1));
    EXPECT_DOUBLE_EQ(serialFromDateTime(QDateTime(QDate(2024, 3, 15), QTime(6, 0))), 45366.25);
}

struct WeekdayCase {
    const char *formula;
    Value expected;
};

void PrintTo(const WeekdayCase &c, std::ostream *os) { *os << c.formula; }

class WeekdayTypes : public ::testing::TestWithParam<WeekdayCase> {};

// 45366 is Friday 15 March 2024, 45368 Sunday 17 March, 45369 Monday 18 March.
TEST_P(WeekdayTypes, NumberTheDaysAsAsked)
{
    Workbook workbook;
    const Sheet &sheet = workbook.addSheet(QStringLiteral("S"));
    const test::FixedClock clock;
    const Evaluator evaluator(workbook, clock);
    EXPECT_EQ(evaluator.evaluate(*parseFormula(QString::fromUtf8(GetParam().formula)), sheet, {0, 0}),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WeekdayTypes,
    ::testing::Values(WeekdayCase{"WEEKDAY(45366)", 6.0}, WeekdayCase{"WEEKDAY(45368,1)", 1.0},
                      WeekdayCase{"WEEKDAY(45369,1)", 2.0}, WeekdayCase{"WEEKDAY(45366,2)", 5.0},
                      WeekdayCase{"WEEKDAY(45368,2)", 7.0}, WeekdayCase{"WEEKDAY(45369,2)", 1.0},
                      WeekdayCase{"WEEKDAY(45366,3)", 4.0}, WeekdayCase{"WEEKDAY(45368,3)", 6.0},
                      WeekdayCase{"WEEKDAY(45369,3)", 0.0}, WeekdayCase{"WEEKDAY(45369,11)", 1.0},
                      WeekdayCase{"WEEKDAY(45369,12)", 7.0}, WeekdayCase{"WEEKDAY(45366,16)", 7.0},
                      WeekdayCase{"WEEKDAY(45368,17)", 1.0}, WeekdayCase{"WEEKDAY(45366,4)", ErrorCode::Num},
                      WeekdayCase{"WEEKDAY(-1)", ErrorCode::Num}, WeekdayCase{"WEEKDAY(60)", 4.0},
                      WeekdayCase{"WEEKDAY(2958465)", 6.0}, WeekdayCase{"WEEKDAY(2958466)", ErrorCode::Num},
                      WeekdayCase{"WEEKDAY(1E+100)", ErrorCode::Num}, WeekdayCase{"WEEKDAY(45366,1E+100)", ErrorCode::Num},
                      WeekdayCase{"WEEKDAY(0)", 7.0}, WeekdayCase{"WEEKDAY(\"x\")", ErrorCode::Value}));

} // namespace
} // namespace orv::sheet
