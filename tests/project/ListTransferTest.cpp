// The lists to and from the clipboard and files, driven with the keys a
// user presses.
#include "Form1Fixture.h"

#include "project/PastePlan.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

namespace orv::test {
namespace {

class ListTransferTest : public ActiveForm1Test {
protected:
    static QList<QTreeWidget *> views(Form1 &f) { return {f.ListView1, f.ListView2, f.ListView3}; }
    QString file(const QString &name, const QByteArray &bytes)
    {
        const QString path = QDir(scripted.folders.tempFolder()).filePath(name);
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        return path;
    }
};

// Lists -> Ctrl+A, Ctrl+C -> Ctrl+V into the empty lists of a second
// window -> the same lists, texts that need quoting and all; a percent
// sign and a small "v" come in as the lists keep them.
TEST_F(ListTransferTest, CopiedListsPasteBackUnchanged)
{
    const ListRecords categories{{"Research"}, {""}, {"Tab\tand \"quotes\""}, {"Category"}, {" spaced "}};
    const ListRecords tasks{{"Initial researching", "80", "8/11/2016", "8/24/2016", "Research", ""},
                            {"Line\nbreak", "", "", "", "", "V"},
                            {"", "", "", "", "", ""},
                            {"a,b;c", "50%", "=1+1", "'007", "Tab\tand \"quotes\"", "v"},
                            {"=HYPERLINK(\"http://x\",\"y\")", "-5", "+1", "@A1", "''=2", "'"}};
    const ListRecords events{{"General meeting", "8/12/2016", "8/12/2016"}, {"Task", "Start", "End "}};
    Form1 &from = form();
    for (const auto &[view, records] : {std::pair{from.ListView1, categories}, std::pair{from.ListView2, tasks},
                                        std::pair{from.ListView3, events}})
        insertItems(*view, 1, records);

    Form1 into(scripted.services);
    into.show();
    for (int list = 0; list < 3; ++list) {
        QTest::keyClick(views(from)[list], Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(views(from)[list], Qt::Key_C, Qt::ControlModifier);
        EXPECT_TRUE(QApplication::clipboard()->text().startsWith(
            QStringList{"Category\n", "Task\t% Compl.\tStart\tEnd\tCategory\tSub Task\n", "Task\tStart\tEnd\n"}[list]));
        if (list == 1) {
            // A spreadsheet takes each of these as text, not as a formula.
            const QString copied = QApplication::clipboard()->text();
            for (const char *guarded : {"\t'=1+1\t", "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\"\t'-5\t'+1\t'@A1\t'''=2\t'"})
                EXPECT_TRUE(copied.contains(QLatin1String(guarded))) << guarded;
        }
        QTest::keyClick(views(into)[list], Qt::Key_V, Qt::ControlModifier);
    }
    EXPECT_EQ(rows(into.ListView1), categories);
    ListRecords inListForms = tasks;
    inListForms[3][1] = "50";
    inListForms[3][5] = "V";
    EXPECT_EQ(rows(into.ListView2), inListForms);
    EXPECT_EQ(rows(into.ListView3), events);
}

struct PasteCase {
    const char *text;
    ListKind list;
    int room;
    int added;
    const char *note;
};

class PasteLimits : public ::testing::TestWithParam<PasteCase> {};

// What a paste takes and what it refuses, and the note that says so.
TEST_P(PasteLimits, TakeRowsUpToTheFirstOneTheListCannotHold)
{
    const PasteCase &c = GetParam();
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    const PastePlan plan = planPaste(QString::fromUtf8(c.text), c.list, c.room);
    EXPECT_EQ(plan.added.size(), c.added);
    for (const QStringList &row : plan.added)
        EXPECT_EQ(row.size(), listCaptions(c.list).size());
    EXPECT_EQ(pasteNote(plan, c.list, {"Build"}), QString::fromUtf8(c.note));
    QLocale::setDefault(QLocale::system());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PasteLimits,
    ::testing::Values(
        PasteCase{"Task\t% Compl.\tStart\nA\nB\tx\t31/8\nC\n", ListKind::Tasks, 100, 3,
                  "3 tasks added; 3 name categories that are not in the list; 1 date that will not read as a date"},
        PasteCase{"A,,,,build\r\nB,1,8/1/2026,8/2/2026,Build,V,,\r\n", ListKind::Tasks, 100, 2,
                  "2 tasks added; 1 names a category that is not in the list"},
        PasteCase{"One\nTwo\nThree\n", ListKind::Events, 2, 2,
                  "2 special events added; 1 row not pasted: the special events list takes five"},
        PasteCase{"One\nTwo\tmore\nThree\n", ListKind::Categories, 10, 1,
                  "1 category added; 2 rows not pasted: row 2 has 2 columns; the list has 1 (Category)"},
        PasteCase{"One\n", ListKind::Categories, 0, 0,
                  "Nothing pasted; 1 row not pasted: a list takes at most 32,767 items"},
        PasteCase{"\n\n", ListKind::Categories, 10, 0, "Nothing to paste: the clipboard holds no text"},
        PasteCase{"Task Name\tFinish\r\n", ListKind::Tasks, 10, 0,
                  "Nothing to paste: the clipboard holds column names alone"}));

// Opening asks before it replaces lists, refuses what is no plan without
// touching them, and is one step to undo.
TEST_F(ListTransferTest, OpeningAsksRefusesAndUndoes)
{
    Form1 &f = form();
    QTest::mouseClick(f.PushButton9, Qt::LeftButton);
    const ListRecords sample = rows(f.ListView2);
    const QString csv = file("plan.csv", "Task,% Compl.,Start,End,Category,Sub Task\n"
                                         "Survey,10,9/1/2026,9/9/2026,Field,\nReport,,9/10/2026,9/20/2026,Office,V\n");

    scripted.openDialog.answerNext(csv);
    scripted.messages.answerNext(MessageAnswer::No);
    QTest::keyClick(f.ListView2, Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(shownTexts().size(), 1);
    EXPECT_TRUE(shownTexts()[0].contains("plan.csv")) << shownTexts()[0].toStdString();
    EXPECT_EQ(rows(f.ListView2), sample) << "No keeps the lists";

    f.openPlanFile(file("noise.xlsx", QByteArray("\x9c\x01\x1b\x00", 4).repeated(800)));
    ASSERT_EQ(shownTexts().size(), 2) << "a refused file asks nothing";
    EXPECT_EQ(scripted.messages.shown[1].icon, MessageIcon::Exclamation);
    EXPECT_EQ(rows(f.ListView2), sample);

    scripted.openDialog.answerNext(csv);
    QTest::keyClick(f.txtCat, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(rows(f.ListView1), (ListRecords{{"Field"}, {"Office"}}));
    EXPECT_EQ(rows(f.ListView2), (ListRecords{{"Survey", "10", "9/1/2026", "9/9/2026", "Field", ""},
                                             {"Report", "", "9/10/2026", "9/20/2026", "Office", "V"}}));
    EXPECT_TRUE(rows(f.ListView3).isEmpty());
    EXPECT_TRUE(note().startsWith("plan.csv opened: 2 categories, 2 tasks, 0 special events")) << note().toStdString();

    QTest::keyClick(f.ListView1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(rows(f.ListView2), sample);
    EXPECT_EQ(rows(f.ListView3).size(), 1);
    EXPECT_EQ(note(), "Undone: plan.csv opened");
}

// Files that hold no plan change nothing and ask nothing; a text of task
// names alone is a start and opens. A spreadsheet's export lands by its
// column names.
TEST_F(ListTransferTest, OpeningTakesOnlyAPlanAndReadsColumnsByName)
{
    Form1 &f = form();
    QTest::mouseClick(f.PushButton9, Qt::LeftButton);
    const std::array<ListRecords, 3> sample{rows(f.ListView1), rows(f.ListView2), rows(f.ListView3)};
    const std::pair<const char *, QByteArray> noPlans[] = {
        {"empty.csv", ""},
        {"header.csv", "Task Name,Start,Finish\n"},
        {"passwd", "root:x:0:0:root:/root:/bin/bash\nbin:x:2:2:bin:/bin:/usr/sbin/nologin\n"},
        {"dates.csv", "Start,Finish\n2027-01-05,2027-01-09\n"}};
    for (const auto &[name, bytes] : noPlans) {
        const qsizetype shown = shownTexts().size();
        scripted.openDialog.answerNext(file(name, bytes));
        QTest::keyClick(f.ListView2, Qt::Key_O, Qt::ControlModifier);
        ASSERT_EQ(shownTexts().size(), shown + 1) << name;
        EXPECT_TRUE(shownTexts().back().contains(QLatin1String(name))) << shownTexts().back().toStdString();
        EXPECT_EQ((std::array<ListRecords, 3>{rows(f.ListView1), rows(f.ListView2), rows(f.ListView3)}), sample)
            << name;
    }

    scripted.openDialog.answerNext(file("names.txt", "Write\nReview\n"));
    scripted.messages.answerNext(MessageAnswer::Yes);
    QTest::keyClick(f.ListView2, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(rows(f.ListView2), (ListRecords{{"Write", "", "", "", "", ""}, {"Review", "", "", "", "", ""}}));

    scripted.openDialog.answerNext(file("export.csv", "\xEF\xBB\xBFTask Name,Start,Finish,% Complete,Notes,Category\n"
                                                      "Survey,8/1/2026,8/9/2026,40%,by bus,Field\n"
                                                      ",,,,,Office\nReport,2026-09-10,2026-09-20,0.5,,Office\n"));
    scripted.messages.answerNext(MessageAnswer::Yes);
    QTest::keyClick(f.ListView2, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(rows(f.ListView1), (ListRecords{{"Field"}, {"Office"}}));
    EXPECT_EQ(rows(f.ListView2), (ListRecords{{"Survey", "40", "8/1/2026", "8/9/2026", "Field", ""},
                                             {"Report", "0.5", "9/10/2026", "9/20/2026", "Office", ""}}));
    EXPECT_TRUE(note().contains("2 categories, 2 tasks")) << note().toStdString();
    EXPECT_TRUE(note().contains("Left out: 1 column (Notes)")) << note().toStdString();
}

// Ctrl+V of a table with its header: columns by name, and the summary rows'
// categories join the categories list in the same step.
TEST_F(ListTransferTest, PastedTableBringsItsSummaryCategories)
{
    Form1 &f = form();
    insertItems(*f.ListView1, 1, {{"Field"}});
    QApplication::clipboard()->setText("Phase\tName\tDue\tDone\nOffice\t\t\t\n"
                                       "Office\tReport\t2026-09-20\t0.25\nField\tSurvey\t\t1\nLab\tTest\t\t\n");
    QTest::keyClick(f.ListView2, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(rows(f.ListView1), (ListRecords{{"Field"}, {"Office"}}));
    EXPECT_EQ(rows(f.ListView2), (ListRecords{{"Report", "25", "", "9/20/2026", "Office", ""},
                                             {"Survey", "100", "", "", "Field", ""},
                                             {"Test", "", "", "", "Lab", ""}}));
    EXPECT_EQ(note(), "3 tasks added; 1 names a category that is not in the list; 1 category from rows without a "
                      "task name; percentages were fractions (0.4 is 40)");
    QTest::keyClick(f.ListView2, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(rows(f.ListView1), (ListRecords{{"Field"}}));
    EXPECT_TRUE(rows(f.ListView2).isEmpty());
}

} // namespace
} // namespace orv::test
