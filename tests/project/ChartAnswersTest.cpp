// A chart built from the main window's lists answers in the preview when
// pointed at: the cell under the pointer says what its look means.
#include "Form1Fixture.h"
#include "preview/Form2.h"
#include "preview/LazyPreview.h"
#include "preview/MainWindowLink.h"
#include "preview/PictureBox.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QDir>
#include <QHelpEvent>
#include <QPainter>
#include "preview/PictureTiles.h"
#include "sheet/render/RangePicture.h"
#include <map>
#include <set>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QMenu>
#include <QPushButton>
#include <QToolTip>

namespace orv::test {
namespace {

class ShowsAgain : public preview::MainWindowLink {
public:
    void showMainWindow() override {}
    void saveProjectLists() override {}
};

class ChartAnswers : public ActiveForm1Test {
protected:
    ChartAnswers()
    {
        store("Categories", "Fair");
        store("Tasks", QStringLiteral("Build^20^%1^%2^Fair^").arg(typed(-3), typed(5)));
        store("Events", QStringLiteral("Trade fair^%1^%2").arg(typed(8), typed(9)));
        form().Form_Load();
        form().setChartPreview(preview);
        form().PushButton6->click();
    }

    // The chart's calendar shows the days around the real today.
    static QDate day(int fromToday) { return QDate::currentDate().addDays(fromToday); }
    static QString typed(int fromToday) { return day(fromToday).toString(QStringLiteral("M/d/yyyy")); }
    static QString span(int from, int to)
    {
        return day(from).toString(QStringLiteral("M/d")) + QStringLiteral("–") + day(to).toString(QStringLiteral("M/d"));
    }

    // Hovers over the chart frame a few pixels apart until a tooltip starts
    // with `part`; returns that tooltip.
    QString hoverUntil(const QString &part)
    {
        QWidget *frame = preview.loaded()->Picture2->client();
        for (int y = 2; y < frame->height(); y += 4)
            for (int x = 2; x < frame->width(); x += 6) {
                const QPoint at(x, y);
                QWidget *under = frame->childAt(at) != nullptr ? frame->childAt(at) : frame;
                QHelpEvent hover(QEvent::ToolTip, under->mapFrom(frame, at), frame->mapToGlobal(at));
                QCoreApplication::sendEvent(under, &hover);
                if (QToolTip::text().startsWith(part))
                    return QToolTip::text();
            }
        return {};
    }

    ShowsAgain mainWindow;
    preview::LazyPreview preview{scripted.services, mainWindow};
};

TEST_F(ChartAnswers, AHoverOverABarTheEventAndTheTaskNameSaysWhatItIs)
{
    ASSERT_NE(preview.loaded(), nullptr) << shownTexts().join('\n').toStdString();
    ASSERT_TRUE(preview.loaded()->isVisible());
    const QString build = QStringLiteral("Build, %1, 20 % done").arg(span(-3, 5));
    EXPECT_EQ(hoverUntil("Build, "), build);
    EXPECT_EQ(hoverUntil("Special event"), QStringLiteral("Special event: Trade fair, %1").arg(span(8, 9)));
    EXPECT_EQ(hoverUntil("Behind plan"), QStringLiteral("Behind plan: ") + build);
    EXPECT_EQ(hoverUntil("Today"), QStringLiteral("Today, ") + day(0).toString(QStringLiteral("ddd M/d/yyyy")));
}

TEST_F(ChartAnswers, TheColourLegendIsShownAndHiddenFromTheChartsMenu)
{
    preview::Form2 &window = *preview.loaded();
    QWidget *frame = window.Picture2->client();
    QContextMenuEvent menuAsked(QContextMenuEvent::Mouse, QPoint(50, 50), frame->mapToGlobal(QPoint(50, 50)));
    QCoreApplication::sendEvent(frame, &menuAsked);
    auto *menu = window.findChild<QMenu *>();
    ASSERT_NE(menu, nullptr);
    QAction *legend = nullptr;
    for (QAction *action : menu->actions())
        if (action->text() == QStringLiteral("Colour Legend"))
            legend = action;
    ASSERT_NE(legend, nullptr);
    legend->trigger();
    QWidget *panel = window.findChild<QWidget *>(QStringLiteral("ColourLegend"));
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(frame->rect().contains(panel->geometry()));
    legend->trigger();
    EXPECT_FALSE(panel->isVisible());
}

// The controls a user reaches or reads.
bool isControl(const QWidget &widget)
{
    return (qobject_cast<const QAbstractButton *>(&widget) || qobject_cast<const QLineEdit *>(&widget) ||
            qobject_cast<const QComboBox *>(&widget) || qobject_cast<const QAbstractItemView *>(&widget) ||
            qobject_cast<const QAbstractSlider *>(&widget) || qobject_cast<const QTabBar *>(&widget) ||
            qobject_cast<const QGroupBox *>(&widget) || qobject_cast<const QTabWidget *>(&widget));
}

// A list's own scroll bars and header are announced with the list, the
// tab bar's scroll arrows with the bar.
bool partOfAList(const QWidget &widget)
{
    for (const QWidget *up = widget.parentWidget(); up != nullptr; up = up->parentWidget())
        if (qobject_cast<const QAbstractItemView *>(up) || qobject_cast<const QTabBar *>(up))
            return true;
    return false;
}

TEST_F(ChartAnswers, EveryControlOfBothWindowsHasANameAndADescriptionForAScreenReader)
{
    preview::Form2 &window = *preview.loaded();
    int controls = 0;
    for (QWidget *top : {static_cast<QWidget *>(&form()), static_cast<QWidget *>(&window)})
        for (QWidget *widget : top->findChildren<QWidget *>()) {
            if (!isControl(*widget) || widget->window() != top || partOfAList(*widget))
                continue;
            ++controls;
            QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
            ASSERT_NE(accessible, nullptr);
            EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty()) << widget->metaObject()->className();
            // A tab bar describes each of its tabs.
            auto *tabs = qobject_cast<QTabBar *>(widget);
            for (int i = tabs ? 0 : -1; i < (tabs ? tabs->count() : 0); ++i) {
                QAccessibleInterface *described = i < 0 ? accessible : accessible->child(i);
                EXPECT_FALSE(described->text(QAccessible::Description).isEmpty())
                    << described->text(QAccessible::Name).toStdString() << widget->metaObject()->className();
            }
        }
    EXPECT_GE(controls, 30);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(form().ListView2)->text(QAccessible::Description),
              "List of tasks, columns: Task, % Compl., Start, End, Category, Sub Task. Delete removes the selected "
              "rows; a double click edits a field.");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(window.Picture2)->text(QAccessible::Name), "Gantt chart of 1 task");
    QTest::keyClick(&window, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(window.Label1)->text(QAccessible::Name), "Zoom level 125 %");
}

TEST_F(ChartAnswers, TabMovesThroughThePreviewFromTheZoomToSaving)
{
    preview::Form2 &window = *preview.loaded();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    window.PushButton1->setFocus();
    QList<QWidget *> order{QApplication::focusWidget()};
    for (int press = 0; press < 7; ++press) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget();
    }
    EXPECT_EQ(order, (QList<QWidget *>{window.PushButton1, window.PushButton2, window.FitButton, window.PrintButton,
                                       window.ExportPdfButton, window.ScaleCombo, window.PushButton8, window.PushButton6}));
}

// Zoomed all the way in, scrolled to either end: the names, the start and
// end dates and the row of day dates stay in the view, the dates whole. At a
// pixel ratio of 2 the window's 656 x 624 is what a 1312 x 1248 window of a
// screen at ratio 1 is.
class DatesAtHighZoom : public ChartAnswers, public ::testing::WithParamInterface<QKeyCombination> {};

TEST_P(DatesAtHighZoom, TheNamesTheDatesAndTheDayRowStayInView)
{
    preview::Form2 &window = *preview.loaded();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    for (int press = 0; press < 11; ++press)
        QTest::keyClick(&window, Qt::Key_Plus, Qt::ControlModifier);
    ASSERT_EQ(window.viewport().zoomFactor(), 3.75f);
    QTest::keyClick(&window, GetParam().key(), GetParam().keyboardModifiers());

    const sheet::RangePicture &picture = window.Picture1->tiles()->picture();
    const QSize frame = window.Picture2->client()->size();
    std::map<int, int> columnPixels; // along the first task row's line
    std::set<int> rows;
    int taskLine = -1;
    int lastRow = -1;
    for (int y = 0; y < frame.height(); ++y) {
        const std::optional<sheet::CellAddress> cell = window.cellShownAt({0, y});
        if (cell) {
            rows.insert(cell->row);
            EXPECT_GE(cell->row, lastRow) << "a row shown a second time at " << y;
            lastRow = cell->row;
        }
        if (taskLine < 0 && cell && cell->row >= 9)
            taskLine = y;
    }
    ASSERT_GE(taskLine, 0);
    for (int x = 0; x < frame.width(); ++x)
        if (const std::optional<sheet::CellAddress> cell = window.cellShownAt({x, taskLine}))
            ++columnPixels[cell->column];
    EXPECT_TRUE(rows.count(5)) << "the day dates";
    EXPECT_GT(columnPixels[0] + columnPixels[1] + columnPixels[2], 100) << "the names";
    for (int column : {3, 4}) {
        const int width = picture.columnLeft(column + 1) - picture.columnLeft(column);
        EXPECT_GE(columnPixels[column], int(3.75 * width) - 1) << "column " << column;
    }
}

INSTANTIATE_TEST_SUITE_P(Ends, DatesAtHighZoom,
                         ::testing::Values(QKeyCombination(Qt::ControlModifier, Qt::Key_Home),
                                           QKeyCombination(Qt::Key_PageDown),
                                           QKeyCombination(Qt::ControlModifier, Qt::Key_End)));

// The pictures of the README: the main window grown on a large screen, and
// the preview with the tooltip of a bar. Written to the folder named by
// ORVANTIS_PICTURES when it is set (docs/images for the README).
TEST_F(ChartAnswers, ThePicturesOfTheGrownWindowAndABarsTooltip)
{
    form().show();
    form().resize(760, 560);
    form().TabControl1->setCurrentIndex(1);
    const QImage grown = form().grab().toImage();
    EXPECT_EQ(grown.size(), QSize(760, 560) * grown.devicePixelRatio());

    preview::Form2 &window = *preview.loaded();
    window.show();
    ASSERT_FALSE(hoverUntil("Build, ").isEmpty());
    QWidget *tip = nullptr;
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top->inherits("QTipLabel") && top->isVisible())
            tip = top;
    ASSERT_NE(tip, nullptr);
    QImage hovered = window.grab().toImage();
    {
        QPainter painter(&hovered);
        const QPoint at = window.mapFromGlobal(tip->pos());
        painter.drawPixmap(at, tip->grab());
    }
    const QString folder = qEnvironmentVariable("ORVANTIS_PICTURES");
    if (!folder.isEmpty()) {
        EXPECT_TRUE(grown.save(QDir(folder).filePath("main-grown.png")));
        EXPECT_TRUE(hovered.save(QDir(folder).filePath("preview-tooltip.png")));
    }
}

} // namespace
} // namespace orv::test
