// Editing the lists in place, reordering, the category notes and the
// warnings, each driven by mouse and keys on the shown window.
#include "Form1Fixture.h"

#include "project/ListCellDelegate.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QToolTip>

namespace orv::test {
namespace {

class ListEditingTest : public Form1Test {
protected:
    ListEditingTest()
    {
        QLocale::setDefault(QLocale(QStringLiteral("en_US")));
        loaded().show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form()));
    }
    ~ListEditingTest() override { QLocale::setDefault(QLocale::system()); }

    void addCategories(const QStringList &names)
    {
        form().TabControl1->setCurrentIndex(0);
        for (const QString &name : names) {
            QTest::keyClicks(form().txtCat, name);
            form().PushButton1->click();
        }
    }
    void addTask(const QString &name, const QString &start, const QString &category)
    {
        Form1 &f = form();
        f.TabControl1->setCurrentIndex(1);
        QTest::keyClicks(f.txtTask, name);
        QTest::keyClicks(f.txtStart, start);
        QTest::keyClicks(f.TxtEnd, "8/30/2026");
        f.Combo1->setEditText(category);
        f.PushButton3->click();
    }
    // The middle of the cell at `position` (from 1) and `column` (from 1).
    static QPoint cell(QTreeWidget *view, int position, int column)
    {
        const QRect row = view->visualItemRect(view->topLevelItem(position - 1));
        const int left = view->header()->sectionViewportPosition(column - 1);
        return {left + view->columnWidth(column - 1) / 2, row.center().y()};
    }
    // A double-click as the window system delivers it: a click, then the
    // second press as a double-click.
    static void doubleClick(QTreeWidget *view, QPoint at)
    {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    }
    static QStringList column(QTreeWidget *view, int number)
    {
        QStringList texts;
        for (const QStringList &record : listRecords(*view))
            texts << record[number - 1];
        return texts;
    }
    QLabel *note() { return form().findChild<QLabel *>(QStringLiteral("lblNote")); }
    QTreeWidget *tasks() { return form().ListView2; }
};

TEST_F(ListEditingTest, DoubleClickEditsADateWhereItStands)
{
    addCategories({"Design"});
    for (const char *name : {"One", "Two", "Three"})
        addTask(name, "8/1/2026", "Design");
    doubleClick(tasks(), cell(tasks(), 2, 3));
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "8/1/2026");
    EXPECT_NE(editor->palette().color(QPalette::Base), warningColour());
    editor->selectAll();
    QTest::keyClicks(editor, "31/8");
    EXPECT_EQ(editor->palette().color(QPalette::Base), warningColour()) << "the editor hints while typing";
    EXPECT_EQ(editor->toolTip(), "not a date in your short date form, e.g. 8/24/2026");
    editor->selectAll();
    QTest::keyClicks(editor, "8/12/2026");
    EXPECT_NE(editor->palette().color(QPalette::Base), warningColour());
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the editor commits by a queued call
    EXPECT_EQ(column(tasks(), 1), (QStringList{"One", "Two", "Three"}));
    EXPECT_EQ(column(tasks(), 3), (QStringList{"8/1/2026", "8/12/2026", "8/1/2026"}));
    form().Form_QueryUnload();
    EXPECT_TRUE(scripted.settings.values.value("Tasks").contains("Two^^8/12/2026^8/30/2026^Design^"))
        << scripted.settings.values.value("Tasks").toStdString();
}

TEST_F(ListEditingTest, ArrowsAndF2ReachEveryColumn)
{
    addTask("One", "8/1/2026", "");
    QTest::mouseClick(tasks()->viewport(), Qt::LeftButton, {}, cell(tasks(), 1, 1));
    QTest::keyClick(tasks(), Qt::Key_Right);
    QTest::keyClick(tasks(), Qt::Key_Right);
    QTest::keyClick(tasks(), Qt::Key_F2);
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "8/1/2026");
    QTest::keyClick(editor, Qt::Key_Escape);
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(tasks(), Qt::Key_Right);
    QTest::keyClick(tasks(), Qt::Key_F2);
    EXPECT_EQ(column(tasks(), 6), QStringList{"V"}) << "the last column, scrolled into view";
    EXPECT_EQ(column(tasks(), 3), QStringList{"8/1/2026"}) << "Escape kept the text";
}

TEST_F(ListEditingTest, F2OnTheCategoryOffersTheCategoriesAndKeepsTypedCase)
{
    addCategories({"Design", "Build"});
    addTask("One", "8/1/2026", "Design");
    QTest::mouseClick(tasks()->viewport(), Qt::LeftButton, {}, cell(tasks(), 1, 5));
    QTest::keyClick(tasks(), Qt::Key_F2);
    auto *box = tasks()->viewport()->findChild<QComboBox *>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->count(), 2);
    EXPECT_EQ(box->itemText(1), "Build");
    EXPECT_EQ(box->currentText(), "Design");
    box->lineEdit()->selectAll();
    QTest::keyClicks(box->lineEdit(), "build");
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    QCoreApplication::processEvents(); // the editor commits by a queued call
    EXPECT_EQ(column(tasks(), 5), QStringList{"build"});
}

TEST_F(ListEditingTest, SubTaskTogglesByDoubleClickAndF2)
{
    addTask("One", "8/1/2026", "");
    tasks()->horizontalScrollBar()->setValue(tasks()->horizontalScrollBar()->maximum());
    doubleClick(tasks(), cell(tasks(), 1, 6));
    EXPECT_EQ(column(tasks(), 6), QStringList{"V"});
    QTest::keyClick(tasks(), Qt::Key_F2);
    EXPECT_EQ(column(tasks(), 6), QStringList{""});
    EXPECT_FALSE(qobject_cast<QLineEdit *>(QApplication::focusWidget())) << "no editor opens";
}

TEST_F(ListEditingTest, DraggingMovesAnItemToTheTop)
{
    for (const char *name : {"One", "Two", "Three", "Four"})
        addTask(name, "8/1/2026", "");
    QWidget *viewport = tasks()->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, cell(tasks(), 4, 1));
    QTest::mouseMove(viewport, cell(tasks(), 3, 1));
    QTest::mouseMove(viewport, cell(tasks(), 1, 1) - QPoint(0, 4));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, cell(tasks(), 1, 1) - QPoint(0, 4));
    EXPECT_EQ(column(tasks(), 1), (QStringList{"Four", "One", "Two", "Three"}));
    EXPECT_EQ(selectedPosition(*tasks()), 1);
}

TEST_F(ListEditingTest, DraggingPastTheEdgeStepsOneRowAtATime)
{
    for (int i = 1; i <= 12; ++i)
        addTask(QString::number(i), "8/1/2026", "");
    QWidget *viewport = tasks()->viewport();
    const QPoint below(cell(tasks(), 1, 1).x(), viewport->height() + 5);
    QTest::mousePress(viewport, Qt::LeftButton, {}, cell(tasks(), 1, 1));
    QTest::mouseMove(viewport, below);
    QTest::mouseMove(viewport, below + QPoint(0, 3));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, below + QPoint(0, 3));
    EXPECT_EQ(column(tasks(), 1).mid(0, 4), (QStringList{"2", "3", "1", "4"}));
    EXPECT_EQ(column(tasks(), 1).size(), 12);
}

TEST_F(ListEditingTest, AltUpAndAltDownMoveTheSelectedItem)
{
    for (const char *name : {"A", "B", "C"})
        addTask(name, "8/1/2026", "");
    QTest::mouseClick(tasks()->viewport(), Qt::LeftButton, {}, cell(tasks(), 3, 1));
    QTest::keyClick(tasks(), Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(column(tasks(), 1), (QStringList{"A", "C", "B"}));
    QTest::keyClick(tasks(), Qt::Key_Up, Qt::AltModifier);
    QTest::keyClick(tasks(), Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(column(tasks(), 1), (QStringList{"C", "A", "B"})) << "the top stays the top";
    QTest::keyClick(tasks(), Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(column(tasks(), 1), (QStringList{"A", "C", "B"}));
    QTest::keyClick(tasks(), Qt::Key_End, Qt::AltModifier);
    EXPECT_EQ(column(tasks(), 1), (QStringList{"A", "B", "C"}));
    EXPECT_EQ(selectedPosition(*tasks()), 3);
    EXPECT_EQ(column(tasks(), 2).size(), 3) << "every column moves with its item";
}

TEST_F(ListEditingTest, RenamingACategoryCarriesItsTasksAndSaysSo)
{
    addCategories({"Design", "Build"});
    for (const char *name : {"One", "Two", "Three"})
        addTask(name, "8/1/2026", "Design");
    addTask("Four", "8/1/2026", "Build");
    form().TabControl1->setCurrentIndex(0);
    QTreeWidget *categories = form().ListView1;
    doubleClick(categories, cell(categories, 1, 1));
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "Design 2");
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the editor commits by a queued call
    EXPECT_EQ(column(categories, 1), (QStringList{"Design 2", "Build"}));
    EXPECT_EQ(column(tasks(), 5), (QStringList{"Design 2", "Design 2", "Design 2", "Build"}));
    EXPECT_EQ(note()->text(), "3 tasks moved to 'Design 2'");
    EXPECT_TRUE(note()->isVisible());
    EXPECT_TRUE(scripted.messages.shown.empty()) << "no message box";
}

TEST_F(ListEditingTest, DeletingAUsedCategoryCountsItsTasks)
{
    addCategories({"Design", "Build"});
    addTask("One", "8/1/2026", "Design");
    addTask("Two", "8/1/2026", "Design");
    form().TabControl1->setCurrentIndex(0);
    QTreeWidget *categories = form().ListView1;
    QTest::mouseClick(categories->viewport(), Qt::LeftButton, {}, cell(categories, 1, 1));
    QTest::keyClick(categories, Qt::Key_Delete);
    EXPECT_EQ(column(categories, 1), QStringList{"Build"});
    EXPECT_EQ(note()->text(), "2 tasks no longer belong to a category and will not be in the chart");
    EXPECT_EQ(column(tasks(), 5), (QStringList{"Design", "Design"})) << "the tasks stay as they are";
    QTest::keyClicks(form().txtCat, "Design");
    form().PushButton1->click();
    EXPECT_TRUE(note()->text().isEmpty()) << "the next category change clears the note";
}

// The Delete key does what "Delete Selected" does, on each list.
class DeleteKey : public ListEditingTest, public ::testing::WithParamInterface<int> {
protected:
    QTreeWidget *view() { return QList<QTreeWidget *>{form().ListView1, form().ListView2, form().ListView3}[GetParam()]; }
};

TEST_P(DeleteKey, RemovesTheSelectedItem)
{
    form().TabControl1->setCurrentIndex(GetParam());
    for (const char *text : {"a", "b", "c"})
        appendItem(*view(), text);
    QTest::keyClick(view(), Qt::Key_Delete);
    EXPECT_EQ(itemCount(*view()), 3) << "nothing selected";
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, cell(view(), 2, 1));
    QTest::keyClick(view(), Qt::Key_Delete);
    EXPECT_EQ(column(view(), 1), (QStringList{"a", "c"}));
    EXPECT_TRUE(scripted.messages.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Lists, DeleteKey, ::testing::Values(0, 1, 2));

TEST_F(ListEditingTest, UnreadableDatesAndUnknownCategoriesShowTheWarning)
{
    addCategories({"Design"});
    addTask("Fine", "8/1/2026", "Design");
    addTask("Bad date", "31/12/2026", "Design");
    addTask("Lost", "8/1/2026", "design");
    form().TabControl1->setCurrentIndex(1);
    const QImage shot = tasks()->viewport()->grab().toImage();
    const auto background = [&](int position, int number) {
        const QPoint middle = cell(tasks(), position, number);
        const int left = tasks()->header()->sectionViewportPosition(number - 1);
        return shot.pixelColor(QPoint(left + 2, middle.y()) * shot.devicePixelRatio());
    };
    EXPECT_NE(background(1, 3), warningColour());
    EXPECT_EQ(background(2, 3), warningColour());
    EXPECT_NE(background(2, 4), warningColour());
    EXPECT_NE(background(1, 5), warningColour());
    EXPECT_EQ(background(3, 5), warningColour());

    QHelpEvent help(QEvent::ToolTip, cell(tasks(), 2, 3), tasks()->viewport()->mapToGlobal(cell(tasks(), 2, 3)));
    QApplication::sendEvent(tasks()->viewport(), &help);
    EXPECT_EQ(QToolTip::text(), "not a date in your short date form, e.g. 8/24/2026");
    QHelpEvent helpCategory(QEvent::ToolTip, cell(tasks(), 3, 5),
                            tasks()->viewport()->mapToGlobal(cell(tasks(), 3, 5)));
    QApplication::sendEvent(tasks()->viewport(), &helpCategory);
    EXPECT_EQ(QToolTip::text(), "not in the chart: no such category");
}

TEST_F(ListEditingTest, DateFieldHintsWhileTypingAndBlocksNothing)
{
    Form1 &f = form();
    f.TabControl1->setCurrentIndex(1);
    const QColor plain = f.txtStart->palette().color(QPalette::Base);
    QTest::keyClicks(f.txtStart, "31/12/2026");
    EXPECT_EQ(f.txtStart->palette().color(QPalette::Base), warningColour());
    EXPECT_EQ(f.txtStart->toolTip(), "not a date in your short date form, e.g. 8/24/2026");
    f.PushButton3->click();
    EXPECT_EQ(column(tasks(), 3), QStringList{"31/12/2026"}) << "taken as typed";
    EXPECT_EQ(f.txtStart->palette().color(QPalette::Base), plain) << "cleared with the field";
    QTest::keyClicks(f.txtStart, "12/31/2026");
    EXPECT_EQ(f.txtStart->palette().color(QPalette::Base), plain);
    EXPECT_TRUE(f.txtStart->toolTip().isEmpty());
}

TEST_F(ListEditingTest, CategoryBoxHintsAnUnknownCategory)
{
    addCategories({"Design"});
    Form1 &f = form();
    f.TabControl1->setCurrentIndex(1);
    const QColor plain = f.Combo1->palette().color(QPalette::Base);
    QTest::keyClicks(f.Combo1->lineEdit(), "Nowhere");
    EXPECT_EQ(f.Combo1->palette().color(QPalette::Base), warningColour());
    EXPECT_EQ(f.Combo1->toolTip(), "not in the chart: no such category");
    f.Combo1->lineEdit()->selectAll();
    QTest::keyClicks(f.Combo1->lineEdit(), "Design");
    EXPECT_EQ(f.Combo1->palette().color(QPalette::Base), plain);
    EXPECT_TRUE(f.Combo1->toolTip().isEmpty());
}

} // namespace
} // namespace orv::test
