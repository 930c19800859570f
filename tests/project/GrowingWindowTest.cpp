// The main window at a plan's scale: it grows with its lists and comes back
// at the size and place it was left at.
#include "Form1Fixture.h"
#include "project/GrowingLayout.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <numeric>

namespace orv::test {
namespace {

int visibleRows(const QTreeWidget &list)
{
    int shown = 0;
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        shown += list.visualItemRect(list.topLevelItem(i)).intersects(list.viewport()->rect()) ? 1 : 0;
    return shown;
}

QString manyTasks(int count)
{
    QStringList tasks;
    for (int i = 1; i <= count; ++i)
        tasks << QStringLiteral("Task %1^%2^5/1/2026^10/29/2026^Build^V").arg(i).arg(i % 100);
    return tasks.join(u'|');
}

class GrowingWindow : public ActiveForm1Test {
protected:
    GrowingWindow()
    {
        form().ListView2->clear();
        store("Tasks", manyTasks(200));
        form().Form_Load();
        form().TabControl1->setCurrentIndex(1);
    }
};

TEST_F(GrowingWindow, ALargerWindowShowsMoreRowsAndEveryColumnAndGivesItBackWhenSmaller)
{
    Form1 &f = form();
    QList<QRect> designed;
    const QList<QWidget *> controls = f.findChildren<QWidget *>();
    for (QWidget *control : controls)
        designed << control->geometry();
    const int rowsBefore = visibleRows(*f.ListView2);
    const int dateWidth = f.txtStart->width();
    ASSERT_GT(f.ListView2->horizontalScrollBar()->maximum(), 0) << "the designed task list scrolls sideways";

    f.resize(1280, 900);
    EXPECT_GT(visibleRows(*f.ListView2), 3 * rowsBefore);
    EXPECT_EQ(f.ListView2->horizontalScrollBar()->maximum(), 0);
    EXPECT_GT(f.txtTask->width(), 435 + 600);
    EXPECT_EQ(f.txtStart->width(), dateWidth) << "date fields keep their width";
    EXPECT_EQ(f.PushButton8->width(), f.PushButton9->width());
    EXPECT_LT(f.PushButton6->geometry().right(), f.findChild<QWidget *>(QStringLiteral("lblScale"))->x());
    EXPECT_EQ(f.cboScale->geometry().right(), f.PushButton9->geometry().right());

    f.resize(616, 426);
    for (qsizetype i = 0; i < controls.size(); ++i)
        if (!controls[i]->isWindow())
            EXPECT_EQ(controls[i]->geometry(), designed[i]) << controls[i]->objectName().toStdString();
}

TEST_F(GrowingWindow, TheNextStartOpensAtTheSizeAndPlaceLeftAndMaximisedWhenLeftSo)
{
    Form1 &f = form();
    f.setGeometry(30, 40, 700, 520); // inside the 800 x 600 offscreen screen
    f.close();
    Form1 next(scripted.services);
    EXPECT_EQ(next.geometry(), QRect(30, 40, 700, 520));
    EXPECT_FALSE(next.isMaximized());

    next.show();
    next.showMaximized();
    next.close();
    Form1 third(scripted.services);
    EXPECT_TRUE(third.windowState().testFlag(Qt::WindowMaximized));
    EXPECT_EQ(third.normalGeometry().size(), QSize(700, 520));
}

TEST(ColumnsRoom, NarrowColumnsGrowWithTheirListAndWideOnesFillTheViewOnceItIsWider)
{
    EXPECT_EQ(columnsRoom(287, 562, 562, 558), 287);
    EXPECT_EQ(columnsRoom(287, 562, 800, 796), 525);
    EXPECT_EQ(columnsRoom(673, 562, 562, 558), 673);
    EXPECT_EQ(columnsRoom(673, 562, 900, 880), 880);
}

TEST(SpreadWidths, FillTheRoomInProportionToThePixel)
{
    const std::vector<int> designed{193, 96, 96, 96, 96, 96};
    EXPECT_EQ(spreadWidths(designed, 673), designed);
    EXPECT_EQ(spreadWidths(designed, 500), designed) << "too little room keeps the designed widths";
    const std::vector<int> spread = spreadWidths(designed, 1346);
    EXPECT_EQ(std::accumulate(spread.begin(), spread.end(), 0), 1346);
    EXPECT_EQ(spread[0], 386);
    EXPECT_EQ(spread[1], 192);
    EXPECT_TRUE(spreadWidths({}, 100).empty());
}

} // namespace
} // namespace orv::test
