// Charts saved again by LibreOffice and Gnumeric, as a user's spreadsheet
// application would, still give back their plan; a task list kept in a
// spreadsheet with its own header and saved as CSV gives back its lists.

#include "ChartBuilderFixture.h"
#include "chart/PlanFile.h"
#include "sheet/DateSerial.h"
#include "sheet/model/Workbook.h"
#include "sheet/xlsx/XlsxWriter.h"
#include "support/TestFiles.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace orv::chart::test {
namespace {

struct Resave {
    const char *name;
    QString program;
    QStringList (*arguments)(const QString &work, const QString &chart);
    const char *result; // the file name the program writes in `work`
};

void PrintTo(const Resave &r, std::ostream *out) { *out << r.name; }

QStringList libreOffice(const QString &work, const QString &chart, const QString &format)
{
    return {"-env:UserInstallation=file://" + work + "/profile", "--headless", "--convert-to", format, "--outdir",
            work + "/out", chart};
}

class ResavedChart : public ChartBuilderTest, public ::testing::WithParamInterface<Resave> {};

TEST_P(ResavedChart, GivesBackThePlan)
{
    if (QStandardPaths::findExecutable(GetParam().program).isEmpty())
        GTEST_SKIP() << GetParam().program.toStdString() << " is not installed";
    const QLocale american(QLocale::English, QLocale::UnitedStates);
    lists.categories = {{"Research"}, {"Launch"}};
    lists.tasks = {{"Interviews", "80", "2/20/2030", "3/20/2030", "Research", ""},
                   {"Survey, part 2", "12.5", "3/1/2030", "3/9/2030", "Research", "V"},
                   {"Release", "0", "4/1/2030", "4/2/2030", "Launch", ""}};
    lists.events = {{"Kick-off", "2/19/2030", "2/19/2030"}};
    builder.PushButton6_Click();
    QTemporaryDir work;
    const QString chart = work.filePath(QStringLiteral("chart.xls"));
    ASSERT_TRUE(QFile::copy(preview.excelFile, chart));
    QProcess program;
    program.start(GetParam().program, GetParam().arguments(work.path(), chart));
    ASSERT_TRUE(program.waitForFinished(300000));
    const QString resaved = work.filePath(QLatin1String(GetParam().result));
    ASSERT_TRUE(QFile::exists(resaved)) << program.readAllStandardError().toStdString();
    const PlanFromFile read = readPlanFile(resaved, american);
    EXPECT_EQ(read.lists.categories, lists.categories);
    EXPECT_EQ(read.lists.tasks, lists.tasks);
    EXPECT_EQ(read.lists.events, lists.events);
}

INSTANTIATE_TEST_SUITE_P(
    Applications, ResavedChart,
    ::testing::Values(
        Resave{"LibreOfficeXlsx", "soffice",
               [](const QString &work, const QString &chart) { return libreOffice(work, chart, "xlsx"); },
               "out/chart.xlsx"},
        Resave{"LibreOfficeXls", "soffice",
               [](const QString &work, const QString &chart) { return libreOffice(work, chart, "xls"); },
               "out/chart.xls"},
        Resave{"GnumericXlsx", "ssconvert",
               [](const QString &work, const QString &chart) {
                   return QStringList{chart, work + "/gnumeric.xlsx"};
               },
               "gnumeric.xlsx"}));

// A task list as a user keeps it in a spreadsheet: columns in the user's
// order under other names, a summary row for a phase, percentages and dates
// as formatted numbers, sub-tasks as TRUE and FALSE, a column of notes.
sheet::Workbook keptTaskList()
{
    sheet::Workbook book;
    sheet::Sheet &sheet = book.addSheet(QStringLiteral("Tasks"));
    const auto formatted = [&book](const QString &code) {
        sheet::CellFormat format = book.format(0);
        format.numberFormat = code;
        return book.addFormat(format);
    };
    const int percent = formatted(QStringLiteral("0.0%"));
    const int iso = formatted(QStringLiteral("yyyy-mm-dd"));
    const int american = formatted(QStringLiteral("mm/dd/yyyy"));
    const QStringList header = {"Phase", "Task Name", "Start Date", "Finish", "% Complete", "Subtask", "Notes"};
    for (int column = 0; column < header.size(); ++column)
        sheet.cellAt({0, column}).value = header[column];
    sheet.cellAt({1, 0}).value = QStringLiteral("Research");
    struct Row {
        const char *phase, *name;
        QDate start, end;
        double done;
        bool sub;
        const char *notes;
    };
    const Row rows[] = {{"Research", "Interviews", {2030, 2, 20}, {2030, 3, 20}, 0.8, false, "call ahead"},
                        {"Research", "Survey, part 2", {2030, 3, 1}, {2030, 3, 9}, 0.125, true, ""},
                        {"Launch", "Release", {2030, 4, 1}, {2030, 4, 2}, 0, false, ""}};
    for (int r = 0; r < 3; ++r) {
        const Row &row = rows[r];
        const auto cell = [&](int column) -> sheet::Cell & { return sheet.cellAt({r + 2, column}); };
        cell(0).value = QString::fromUtf8(row.phase);
        cell(1).value = QString::fromUtf8(row.name);
        cell(2).value = double(*sheet::serialFromDate(row.start));
        cell(2).formatIndex = iso;
        cell(3).value = double(*sheet::serialFromDate(row.end));
        cell(3).formatIndex = american;
        cell(4).value = row.done;
        cell(4).formatIndex = percent;
        cell(5).value = row.sub;
        if (*row.notes)
            cell(6).value = QString::fromUtf8(row.notes);
    }
    return book;
}

TEST(TaskListSavedByLibreOffice, GivesBackTheLists)
{
    if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty())
        GTEST_SKIP() << "soffice is not installed";
    QTemporaryDir work;
    const QString kept = work.filePath(QStringLiteral("tasks.xlsx"));
    ASSERT_TRUE(orv::test::writeFile(kept, sheet::xlsx::writeXlsxFile(keptTaskList(), work.path())));
    QProcess program;
    program.start(QStringLiteral("soffice"), libreOffice(work.path(), kept, QStringLiteral("csv")));
    ASSERT_TRUE(program.waitForFinished(300000));
    const QString csv = work.filePath(QStringLiteral("out/tasks.csv"));
    ASSERT_TRUE(QFile::exists(csv)) << program.readAllStandardError().toStdString();
    const PlanFromFile read = readPlanFile(csv, QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(read.lists.categories, (std::vector<QStringList>{{"Research"}, {"Launch"}}));
    const std::vector<QStringList> tasks = {{"Interviews", "80", "2/20/2030", "3/20/2030", "Research", ""},
                                            {"Survey, part 2", "12.5", "3/1/2030", "3/9/2030", "Research", "V"},
                                            {"Release", "0", "4/1/2030", "4/2/2030", "Launch", ""}};
    EXPECT_EQ(read.lists.tasks, tasks) << orv::test::fileContents(csv).toStdString();
    const QString notes = read.notes.join(u' ');
    EXPECT_TRUE(notes.contains(QStringLiteral("Left out: 1 column (Notes)"))) << notes.toStdString();
}

} // namespace
} // namespace orv::chart::test
