// "Scale" beside "Create Template!": the stored scale at start, the chosen
// one kept, the chart built at it and the note about what it leaves out.

#include "Form1Fixture.h"

#include "chart/ChartPreview.h"
#include "chart/template/CalendarScale.h"

#include <QComboBox>
#include <QPushButton>

namespace orv::test {
namespace {

using chart::CalendarScale;

// Takes the chart's scale and the word about what it leaves out.
class ScaleRecordingPreview : public chart::ChartPreview {
public:
    void takePicture(const chart::HandedPicture &) override {}
    void setExcelFile(const QString &path) override { chart = path; }
    void show() override {}
    bool wantsPicture() const override { return false; }
    void setCalendar(CalendarScale shown, const QString &outside) override
    {
        scale = shown;
        word = outside;
    }
    std::optional<CalendarScale> scale;
    QString word;
    QString chart;
};

class ScaleChooser : public Form1Test {};

TEST_F(ScaleChooser, StartsAtTheStoredScaleAndKeepsTheChosenOne)
{
    store(QStringLiteral("CalendarScale"), QStringLiteral("months"));
    Form1 &f = loaded();
    EXPECT_EQ(f.cboScale->currentText(), "Months");
    f.show();
    f.cboScale->setFocus();
    QTest::keyClick(f.cboScale, Qt::Key_Up);
    EXPECT_EQ(f.cboScale->currentText(), "Weeks");
    EXPECT_EQ(scripted.settings.values.value(QStringLiteral("CalendarScale")), "weeks");
}

// The sample plan of 2016 lies wholly before today's day calendar (today
// is 15 March 2024); the week calendar starts with the plan.
TEST_F(ScaleChooser, TheChartIsBuiltAtTheChosenScaleAndTheNoteSaysWhatTheDaysLeaveOut)
{
    Form1 &f = loaded();
    EXPECT_EQ(f.cboScale->currentText(), "Days") << "settings without the key read as days";
    ScaleRecordingPreview preview;
    f.setChartPreview(preview);
    f.show();
    QTest::mouseClick(f.PushButton9, Qt::LeftButton);
    QTest::mouseClick(f.PushButton6, Qt::LeftButton);
    EXPECT_EQ(preview.scale, CalendarScale::Days);
    EXPECT_TRUE(preview.word.contains(QStringLiteral("outside the calendar at the day scale"))) << preview.word.toStdString();
    EXPECT_EQ(note(), preview.word);

    f.show();
    f.cboScale->setFocus();
    QTest::keyClick(f.cboScale, Qt::Key_Down);
    QTest::mouseClick(f.PushButton6, Qt::LeftButton);
    EXPECT_EQ(preview.scale, CalendarScale::Weeks);
    EXPECT_TRUE(preview.word.isEmpty()) << preview.word.toStdString();
    EXPECT_EQ(note(), "") << "the day chart's word no longer holds";
    EXPECT_TRUE(scripted.messages.shown.empty());

    // Opening the week chart brings its scale back.
    f.show();
    f.cboScale->setFocus();
    QTest::keyClick(f.cboScale, Qt::Key_Up);
    ASSERT_EQ(f.cboScale->currentText(), "Days");
    scripted.messages.answerNext(MessageAnswer::Yes);
    f.openPlanFile(preview.chart);
    EXPECT_EQ(f.cboScale->currentText(), "Weeks");
    EXPECT_EQ(scripted.settings.values.value(QStringLiteral("CalendarScale")), "weeks");
}

} // namespace
} // namespace orv::test
