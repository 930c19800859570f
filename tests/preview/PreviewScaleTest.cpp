// "Scale" in the preview: it shows the chart's scale, another choice
// rebuilds the chart at once, and a line says what the calendar leaves out.

#include "PreviewFixture.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace orv::preview::test {
namespace {

using chart::CalendarScale;

class PreviewScale : public PreviewTest {};

TEST_F(PreviewScale, AnotherChoiceRebuildsTheChartAtOnceAndTheLineSaysWhatIsLeftOut)
{
    const QString workbook = writeFile(tempPath(QStringLiteral("kdrave12345678.xls")), "BIFF");
    Form2 &f = handOver(chartPicture(400, 300), workbook);
    const QString word = QStringLiteral("1 task lies partly or wholly outside the calendar at the day scale; the plan "
                                        "runs until 3/31/2028. The week scale shows it whole.");
    preview.setCalendar(CalendarScale::Days, word);
    EXPECT_EQ(f.ScaleCombo->currentText(), "Days");
    EXPECT_TRUE(f.CalendarNote->isVisible());
    EXPECT_EQ(f.CalendarNote->toolTip(), word);
    EXPECT_FALSE(f.CalendarNote->text().isEmpty());
    EXPECT_TRUE(mainWindow.rebuilt.empty()) << "showing a chart's scale builds nothing";

    f.ScaleCombo->setFocus();
    QTest::keyClick(f.ScaleCombo, Qt::Key_Down);
    EXPECT_EQ(mainWindow.rebuilt, std::vector<CalendarScale>{CalendarScale::Weeks});
    EXPECT_FALSE(QFile::exists(workbook)) << "the chart on show gives way to the rebuilt one";

    preview.setCalendar(CalendarScale::Weeks, QString());
    EXPECT_EQ(f.ScaleCombo->currentText(), "Weeks");
    EXPECT_FALSE(f.CalendarNote->isVisible());
    EXPECT_EQ(mainWindow.rebuilt.size(), 1u);
}

// A wide calendar: "Fit" shows its whole width, from its first column.
TEST_F(PreviewScale, FitShowsTheWholeWidth)
{
    Form2 &f = handOver(chartPicture(1000, 300));
    ASSERT_GT(f.viewport().scaled().width, f.viewport().frameInner().width);
    QTest::mouseClick(f.FitButton, Qt::LeftButton);
    EXPECT_LE(f.viewport().scaled().width, f.viewport().frameInner().width);
    EXPECT_GT(f.viewport().scaled().width, f.viewport().frameInner().width * 9 / 10);
    EXPECT_EQ(f.viewport().left(), 0);
    EXPECT_TRUE(s.messages.shown.empty());
}

} // namespace
} // namespace orv::preview::test
