// Adding and deleting items, the category box and the tab change.
#include "Form1Fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

namespace orv::test {
namespace {

class Editing : public Form1Test {
protected:
    Editing() { loaded(); }
};

TEST_F(Editing, AddCategoryAppendsAndClearsTheField)
{
    Form1 &f = form();
    f.txtCat->setText("Design");
    f.PushButton1->click();
    f.txtCat->setText("Design");
    f.PushButton1->click();
    f.PushButton1->click();
    EXPECT_EQ(rows(f.ListView1), (ListRecords{{"Design"}, {"Design"}, {""}}));
    EXPECT_TRUE(f.txtCat->text().isEmpty());
    EXPECT_EQ(f.Combo1->count(), 0) << "the category box waits for the next tab change";
}

TEST_F(Editing, AddTaskCopiesTheFieldsAndKeepsTheCategoryAndTheSubTaskMark)
{
    Form1 &f = form();
    f.txtTask->setText("Plan");
    f.txtProc->setText("50");
    f.txtStart->setText("1/2/2024");
    f.TxtEnd->setText("1/9/2024");
    f.Combo1->setEditText("Nowhere");
    f.Check1->setChecked(true);
    f.PushButton3->click();
    f.PushButton3->click();
    EXPECT_EQ(rows(f.ListView2), (ListRecords{{"Plan", "50", "1/2/2024", "1/9/2024", "Nowhere", "V"},
                                             {"", "", "", "", "Nowhere", "V"}}));
    for (QLineEdit *edit : {f.txtTask, f.txtProc, f.txtStart, f.TxtEnd})
        EXPECT_TRUE(edit->text().isEmpty()) << edit->objectName().toStdString();
    EXPECT_TRUE(f.Check1->isChecked());
    EXPECT_EQ(f.Combo1->currentText(), "Nowhere");
}

TEST_F(Editing, FifthEventDisablesAddAndDeletingOneEnablesIt)
{
    Form1 &f = form();
    for (int i = 1; i <= 5; ++i) {
        EXPECT_TRUE(f.PushButton5->isEnabled()) << i;
        f.TxtEvent->setText(QString("E%1").arg(i));
        f.txtEvStart->setText("s");
        f.txtEvEnd->setText("e");
        f.PushButton5->click();
    }
    EXPECT_FALSE(f.PushButton5->isEnabled());
    EXPECT_EQ(rows(f.ListView3).last(), (QStringList{"E5", "s", "e"}));
    EXPECT_TRUE(f.TxtEvent->text().isEmpty() && f.txtEvStart->text().isEmpty() && f.txtEvEnd->text().isEmpty());
    f.PushButton7->click();
    EXPECT_FALSE(f.PushButton5->isEnabled()) << "nothing selected, nothing removed";
    f.ListView3->topLevelItem(1)->setSelected(true);
    f.PushButton7->click();
    EXPECT_TRUE(f.PushButton5->isEnabled());
    EXPECT_EQ(itemCount(*f.ListView3), 4);
}

// Delete Selected on each of the three lists.
class DeleteSelected : public Editing, public ::testing::WithParamInterface<int> {
protected:
    QTreeWidget *view() { return QList<QTreeWidget *>{form().ListView1, form().ListView2, form().ListView3}[GetParam()]; }
    QPushButton *deleteButton()
    {
        return QList<QPushButton *>{form().PushButton2, form().PushButton4, form().PushButton7}[GetParam()];
    }
};

TEST_P(DeleteSelected, RemovesTheSelectedItemAndKeepsTheOrder)
{
    for (const char *text : {"a", "b", "c"})
        appendItem(*view(), text);
    view()->topLevelItem(1)->setSelected(true);
    deleteButton()->click();
    ASSERT_EQ(itemCount(*view()), 2);
    EXPECT_EQ(itemText(*view(), 1, 1), "a");
    EXPECT_EQ(itemText(*view(), 2, 1), "c");
    EXPECT_TRUE(scripted.messages.shown.empty());
}

TEST_P(DeleteSelected, DoesNothingOnAnEmptyListOrWithoutSelection)
{
    deleteButton()->click();
    EXPECT_EQ(itemCount(*view()), 0);
    appendItem(*view(), "a");
    deleteButton()->click();
    EXPECT_EQ(itemCount(*view()), 1);
    EXPECT_TRUE(scripted.messages.shown.empty());
}

TEST_P(DeleteSelected, LeavesNothingSelectedSoASecondClickRemovesNothing)
{
    for (const char *text : {"a", "b", "c", "d"})
        appendItem(*view(), text);
    form().show();
    form().TabControl1->setCurrentIndex(GetParam());
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, view()->visualItemRect(view()->topLevelItem(1)).center());
    ASSERT_EQ(selectedPosition(*view()), 2);
    QTest::mouseClick(deleteButton(), Qt::LeftButton);
    EXPECT_EQ(selectedPosition(*view()), 0);
    QTest::mouseClick(deleteButton(), Qt::LeftButton);
    ASSERT_EQ(itemCount(*view()), 3);
    EXPECT_EQ(itemText(*view(), 2, 1), "c");
    QTest::keyClick(view(), Qt::Key_Down);
    EXPECT_EQ(selectedPosition(*view()), 1) << "the keyboard starts again at the top";
}

INSTANTIATE_TEST_SUITE_P(Lists, DeleteSelected, ::testing::Values(0, 1, 2));

TEST_F(Editing, FullListReportsOverflowAndStillClearsTheFields)
{
    Form1 &f = form();
    for (int i = 0; i < kMaxListItems; ++i)
        appendItem(*f.ListView2, QString());
    f.txtTask->setText("One too many");
    f.txtProc->setText("5");
    f.PushButton3->click();
    EXPECT_EQ(shownTexts(), QStringList{report("PushButton3_Click", 100, "Overflow")});
    EXPECT_EQ(itemCount(*f.ListView2), kMaxListItems);
    EXPECT_TRUE(f.txtTask->text().isEmpty());
    EXPECT_TRUE(f.txtProc->text().isEmpty());
}

TEST_F(Editing, TabChangeStoresTheTabAndRefillsTheCategoryBox)
{
    Form1 &f = form();
    for (const char *name : {"Design", "Build", "Design"}) {
        f.txtCat->setText(name);
        f.PushButton1->click();
    }
    f.TabControl1->setCurrentIndex(1);
    EXPECT_EQ(scripted.settings.values.value("TabSel"), "1");
    ASSERT_EQ(f.Combo1->count(), 3);
    EXPECT_EQ(f.Combo1->itemText(0), "Design");
    EXPECT_EQ(f.Combo1->itemText(2), "Design");
    f.Combo1->setEditText("typed");
    f.ListView1->topLevelItem(0)->setSelected(true);
    f.TabControl1->setCurrentIndex(0);
    f.PushButton2->click();
    EXPECT_EQ(f.Combo1->count(), 3) << "deleting waits for the next tab change";
    f.TabControl1->setCurrentIndex(1);
    EXPECT_EQ(f.Combo1->count(), 2);
    EXPECT_TRUE(f.Combo1->currentText().isEmpty());
    EXPECT_EQ(scripted.settings.writes, (QStringList{"TabSel", "TabSel", "TabSel"}));
}

TEST_F(Editing, TabChangeReevaluatesTheEventsAdd)
{
    Form1 &f = form();
    for (int i = 0; i < 5; ++i)
        appendItem(*f.ListView3, "e");
    EXPECT_TRUE(f.PushButton5->isEnabled());
    f.TabControl1->setCurrentIndex(2);
    EXPECT_FALSE(f.PushButton5->isEnabled());
}

TEST_F(Editing, FailingTabStoreLeavesTheWindowWorking)
{
    class RefusingStore : public MemorySettingsStore {
        void write(const QString &, const QString &) override { throw Failure("Cannot write the settings file"); }
    } refusing;
    scripted.services.settings = &refusing;
    Form1 &f = form();
    f.txtCat->setText("Design");
    f.PushButton1->click();
    for (int i = 0; i < 5; ++i)
        appendItem(*f.ListView3, "e");
    f.show();
    QTest::mouseClick(f.TabControl1->tabBar(), Qt::LeftButton, {}, f.TabControl1->tabBar()->tabRect(1).center());
    EXPECT_EQ(f.TabControl1->currentIndex(), 1);
    EXPECT_EQ(f.Combo1->count(), 1) << "the category box is refilled";
    EXPECT_FALSE(f.PushButton5->isEnabled()) << "the events Add is re-evaluated";
    EXPECT_TRUE(scripted.messages.shown.empty());
}

} // namespace
} // namespace orv::test
