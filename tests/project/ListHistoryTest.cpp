// Undo and redo over a user's sequence of changes to the lists, each change
// made with the mouse and keys, each undo and redo with Ctrl+Z, Ctrl+Shift+Z
// and Ctrl+Y.
#include "Form1Fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <functional>

namespace orv::test {
namespace {

struct Lists {
    ListRecords categories, tasks, events;
    bool operator==(const Lists &) const = default;
};

void PrintTo(const Lists &lists, std::ostream *out)
{
    for (const ListRecords &list : {lists.categories, lists.tasks, lists.events}) {
        *out << "\n  ";
        for (const QStringList &item : list)
            *out << '[' << item.join('^').toStdString() << "] ";
    }
}

class ListHistoryTest : public ActiveForm1Test {
protected:
    Lists lists() { return {rows(form().ListView1), rows(form().ListView2), rows(form().ListView3)}; }
    static QPoint cell(QTreeWidget *view, int position, int column)
    {
        const QRect row = view->visualItemRect(view->topLevelItem(position - 1));
        return {view->header()->sectionViewportPosition(column - 1) + view->columnWidth(column - 1) / 2,
                row.center().y()};
    }
    static void click(QTreeWidget *view, int position, int column, Qt::KeyboardModifiers keys = {})
    {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, keys, cell(view, position, column));
    }
    void tab(int index) { form().TabControl1->setCurrentIndex(index); }
};

// One change as the user makes it, and the name its undo note gives it.
struct Change {
    const char *undone;
    std::function<void(Form1 &)> make;
};

TEST_F(ListHistoryTest, EveryChangeUndoesAndRedoesInTurn)
{
    const std::vector<Change> changes{
        {"sample loaded", [](Form1 &f) { QTest::mouseClick(f.PushButton9, Qt::LeftButton); }},
        {"category added",
         [this](Form1 &f) {
             tab(0);
             QTest::keyClicks(f.txtCat, "Testing");
             QTest::keyClick(f.txtCat, Qt::Key_Return);
         }},
        {"task added",
         [this](Form1 &f) {
             tab(1);
             QTest::keyClicks(f.txtTask, "Acceptance");
             QTest::keyClicks(f.txtStart, "9/1/2016");
             f.Combo1->setEditText("Testing");
             QTest::keyClick(f.TxtEnd, Qt::Key_Return);
         }},
        {"task edited",
         [](Form1 &f) {
             click(f.ListView2, 1, 3);
             QTest::keyClick(f.ListView2, Qt::Key_F2);
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
             QTest::keyClicks(QApplication::focusWidget(), "8/15/2016");
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
             QCoreApplication::processEvents(); // the editor commits by a queued call
         }},
        {"task moved",
         [](Form1 &f) {
             click(f.ListView2, 1, 1);
             QTest::keyClick(f.ListView2, Qt::Key_End, Qt::AltModifier);
         }},
        {"category renamed",
         [this](Form1 &f) {
             tab(0);
             click(f.ListView1, 1, 1);
             QTest::keyClick(f.ListView1, Qt::Key_F2);
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
             QTest::keyClicks(QApplication::focusWidget(), "Study");
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
             QCoreApplication::processEvents();
         }},
        {"2 tasks deleted",
         [this](Form1 &f) {
             tab(1);
             click(f.ListView2, 1, 1);
             click(f.ListView2, 3, 1, Qt::ControlModifier);
             QTest::keyClick(f.ListView2, Qt::Key_Delete);
         }},
        {"2 tasks pasted",
         [](Form1 &f) {
             QApplication::clipboard()->setText("Survey\t10\nReport\t20\n");
             click(f.ListView2, 1, 1);
             QTest::keyClick(f.ListView2, Qt::Key_V, Qt::ControlModifier);
         }},
        {"plan.csv opened",
         [this](Form1 &f) {
             const QString path = QDir(scripted.folders.tempFolder()).filePath("plan.csv");
             QFile csv(path);
             EXPECT_TRUE(csv.open(QIODevice::WriteOnly));
             csv.write("Kickoff,,9/1/2026,9/1/2026,Start,\n");
             csv.close();
             scripted.openDialog.answerNext(path);
             QTest::keyClick(f.ListView2, Qt::Key_O, Qt::ControlModifier);
         }},
        {"special event added",
         [this](Form1 &f) {
             tab(2);
             QTest::keyClicks(f.TxtEvent, "Review");
             QTest::mouseClick(f.PushButton5, Qt::LeftButton);
         }},
    };
    std::vector<Lists> states{lists()};
    for (const Change &change : changes) {
        change.make(form());
        ASSERT_NE(lists(), states.back()) << change.undone << " changed nothing";
        states.push_back(lists());
    }

    // The first undo comes from the events' emptied entry field: it has no
    // typing of its own left to take back.
    QWidget *undoFrom[] = {form().TxtEvent, form().ListView3, form().PushButton9};
    for (std::size_t i = changes.size(); i-- > 0;) {
        QTest::keyClick(undoFrom[std::min<std::size_t>(changes.size() - 1 - i, 2)], Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(lists(), states[i]) << "after undoing " << changes[i].undone;
        EXPECT_EQ(note(), QStringLiteral("Undone: %1").arg(changes[i].undone));
    }
    QTest::keyClick(form().ListView2, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(note(), "Nothing to undo");
    EXPECT_TRUE(form().PushButton5->isEnabled());

    for (std::size_t i = 0; i < changes.size(); ++i) {
        if (i % 2 == 0)
            QTest::keyClick(form().ListView1, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        else
            QTest::keyClick(form().ListView1, Qt::Key_Y, Qt::ControlModifier);
        EXPECT_EQ(lists(), states[i + 1]) << "after redoing " << changes[i].undone;
        EXPECT_EQ(note(), QStringLiteral("Redone: %1").arg(changes[i].undone));
    }

    // A new change after an undo drops what could have been redone.
    QTest::keyClick(form().ListView1, Qt::Key_Z, Qt::ControlModifier);
    tab(0);
    QTest::keyClicks(form().txtCat, "Late");
    QTest::keyClick(form().txtCat, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form().txtCat->text(), "") << "Ctrl+Z in a field first takes back its own typing";
    EXPECT_EQ(lists(), states[changes.size() - 1]);
    QTest::keyClicks(form().txtCat, "Late");
    QTest::keyClick(form().txtCat, Qt::Key_Return);
    QTest::keyClick(form().ListView1, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(note(), "Nothing to redo");
}

} // namespace
} // namespace orv::test
