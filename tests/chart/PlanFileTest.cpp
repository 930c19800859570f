// Plans read back from charts the real builder made, from task lists, and
// files that must be refused.

#include "ChartBuilderFixture.h"
#include "app/ShortDate.h"
#include "chart/PlanFile.h"
#include "files/Failure.h"
#include "sheet/TypedInput.h"
#include "sheet/xls/XlsWriter.h"
#include "sheet/xlsx/XlsxWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <random>

namespace orv::chart::test {
namespace {

enum class Format { Xls, Xlsx };

class NoPicture : public ChartPreview {
public:
    void takePicture(const HandedPicture &) override {}
    void setExcelFile(const QString &path) override { excelFile = path; }
    void show() override {}
    bool wantsPicture() const override { return false; }
    QString excelFile;
};

// The chart of `lists` as the builder saves it, under `locale`.
sheet::Workbook builtChart(const ProjectLists &lists, const QLocale &locale)
{
    orv::test::ScriptedServices scripted;
    EngineApplicationFactory engine(scripted.clock, locale);
    scripted.services.spreadsheets = &engine;
    RecordingWindow window;
    NoPicture preview;
    ChartBuilder builder({scripted.services, lists, window, preview, [] { return loadCustomResource(101); }});
    builder.PushButton6_Click();
    EXPECT_TRUE(scripted.messages.shown.empty());
    return sheet::xls::openWorkbook(preview.excelFile);
}

QByteArray xlsxBytes(const sheet::Workbook &book)
{
    const QTemporaryDir scratch;
    return sheet::xlsx::writeXlsxFile(book, scratch.path());
}

QByteArray fileBytes(const sheet::Workbook &chart, Format format)
{
    return format == Format::Xlsx ? xlsxBytes(chart) : sheet::xls::writeXlsFile(chart);
}

struct Plan {
    ProjectLists lists;
    ProjectLists expected; // what a chart can hold of the lists
};

QStringList task(const QString &name, const QString &percent, const QString &start, const QString &end,
                 const QString &category, bool subTask = false)
{
    return {name, percent, start, end, category, subTask ? QStringLiteral("V") : QString()};
}

struct PlanCase {
    const char *name;
    Plan (*make)(const QLocale &);
};

Plan sample(const QLocale &locale)
{
    const auto day = [&](int month, int date) { return shortDateText(QDate(2016, month, date), locale); };
    Plan plan;
    plan.lists.categories = {{"Research"}, {"Development"}};
    plan.lists.tasks = {task("Initial researching", "80", day(8, 11), day(8, 24), "Research"),
                        task("Draft project", "10", day(8, 23), day(11, 24), "Development")};
    plan.lists.events = {{"General meeting", day(8, 12), day(8, 12)}};
    plan.expected = plan.lists;
    return plan;
}

// Sub-tasks before main tasks, interleaved categories, a category named
// twice, one differing only in case, six events, names that read as
// numbers, percentages with decimals, free text for dates.
Plan edges(const QLocale &locale)
{
    const auto day = [&](int date) { return shortDateText(QDate(2024, 3, date), locale); };
    Plan plan;
    plan.lists.categories = {{"Design"}, {"Build"}, {"Design"}, {""}};
    plan.lists.tasks = {task("Detail", "80.5", day(1), day(2), "Design", true),
                        task("Main", "0", day(3), day(9), "Design"),
                        task("Lay", "100", "soon", "", "Build"),
                        task("2024", "12.25", day(4), day(4), "Build"),
                        task("Lost", "5", day(1), day(2), "design"),
                        task("Nameless", "0", "", "", "")};
    for (int e = 1; e <= 6; ++e)
        plan.lists.events.push_back({QStringLiteral("Event %1").arg(e), day(e), day(e + 1)});
    plan.expected = plan.lists;
    plan.expected.tasks.erase(plan.expected.tasks.begin() + 4);
    plan.expected.events.pop_back();
    return plan;
}

Plan thousandTasks(const QLocale &locale)
{
    Plan plan;
    for (int c = 0; c < 10; ++c)
        plan.lists.categories.push_back({QStringLiteral("Deliverable %1").arg(c)});
    for (int t = 0; t < 1000; ++t) {
        const QDate start = QDate(2030, 1, 1).addDays(t % 150);
        plan.lists.tasks.push_back(task(QStringLiteral("Task %1").arg(t), QString::number(t % 101),
                                        shortDateText(start, locale), shortDateText(start.addDays(9), locale),
                                        QStringLiteral("Deliverable %1").arg(t % 10), t % 3 == 0));
    }
    plan.expected = plan.lists;
    // Read back block by block: each category's tasks together.
    std::stable_sort(plan.expected.tasks.begin(), plan.expected.tasks.end(),
                     [](const QStringList &a, const QStringList &b) { return a[4] < b[4]; });
    return plan;
}

using RoundTrip = std::tuple<PlanCase, Format, QLocale::Country>;

class PlanRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(PlanRoundTrip, ReadsBackTheListsTheChartHolds)
{
    const auto &[planCase, format, country] = GetParam();
    const QLocale locale(QLocale::English, country);
    const Plan plan = planCase.make(locale);
    const QByteArray file = fileBytes(builtChart(plan.lists, locale), format);
    const PlanFromFile read = readPlanBytes(file, QStringLiteral("chart"), locale);
    EXPECT_EQ(read.lists.categories, plan.expected.categories);
    EXPECT_EQ(read.lists.tasks, plan.expected.tasks);
    EXPECT_EQ(read.lists.events, plan.expected.events);
    EXPECT_FALSE(read.notes.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Charts, PlanRoundTrip,
                         ::testing::Combine(::testing::Values(PlanCase{"Sample", sample}, PlanCase{"Edges", edges},
                                                              PlanCase{"ThousandTasks", thousandTasks}),
                                            ::testing::Values(Format::Xls, Format::Xlsx),
                                            ::testing::Values(QLocale::UnitedStates, QLocale::UnitedKingdom)),
                         [](const auto &info) {
                             return std::string(std::get<0>(info.param).name)
                                    + (std::get<1>(info.param) == Format::Xls ? "Xls" : "Xlsx")
                                    + (std::get<2>(info.param) == QLocale::UnitedStates ? "US" : "GB");
                         });

// A user changes a name, a date and a percentage in a spreadsheet
// application and saves the chart again.
TEST(PlanFile, ReadsWhatTheUserChangedInTheChart)
{
    const QLocale locale(QLocale::English, QLocale::UnitedStates);
    sheet::Workbook chart = builtChart(sample(locale).lists, locale);
    sheet::Sheet &plan = chart.sheet(0);
    sheet::enterText(chart, plan, {10, 1}, QStringLiteral("Researching more"), locale);
    sheet::enterText(chart, plan, {10, 4}, QStringLiteral("9/30/2016"), locale);
    sheet::enterText(chart, plan, {10, 5}, QStringLiteral("95%"), locale);
    for (const Format format : {Format::Xls, Format::Xlsx}) {
        const PlanFromFile read = readPlanBytes(fileBytes(chart, format), QStringLiteral("chart"), locale);
        ASSERT_FALSE(read.lists.tasks.empty());
        EXPECT_EQ(read.lists.tasks[0], task("Researching more", "95", "8/11/2016", "9/30/2016", "Research"));
    }
}

struct TaskListCase {
    const char *name;
    QByteArray file;
    std::vector<QStringList> categories;
    std::vector<QStringList> tasks;
};

void PrintTo(const TaskListCase &c, std::ostream *out) { *out << c.name; }

class TaskListFile : public ::testing::TestWithParam<TaskListCase> {};

TEST_P(TaskListFile, GivesTasksAndTheirCategoriesInOrder)
{
    const PlanFromFile read = readPlanBytes(GetParam().file, QStringLiteral("tasks.csv"), QLocale::c());
    EXPECT_EQ(read.lists.categories, GetParam().categories);
    EXPECT_EQ(read.lists.tasks, GetParam().tasks);
}

INSTANTIATE_TEST_SUITE_P(
    Files, TaskListFile,
    ::testing::Values(
        TaskListCase{"CsvWithHeaderAndBom",
                     "\xEF\xBB\xBFTask,% Compl.,Start,End,Category,Sub Task\r\nA,5,1/2/2024,1/3/2024,Build,\r\n"
                     "\"B, b\",,,,Design,V\r\nC,,,,Build\r\n",
                     {{"Build"}, {"Design"}},
                     {task("A", "5", "1/2/2024", "1/3/2024", "Build"), task("B, b", "", "", "", "Design", true),
                      task("C", "", "", "", "Build")}},
        TaskListCase{"TabsTrailingEmptyColumns", "A\t\t\t\tX\t\t\t\n", {{"X"}}, {task("A", "", "", "", "X")}},
        TaskListCase{"Latin1", "Caf\xE9;1;;;Men\xFC\n", {{"Men\u00FC"}}, {task("Caf\u00E9", "1", "", "", "Men\u00FC")}},
        TaskListCase{"NoCategory", "Loose,1\n", {}, {task("Loose", "1", "", "", "")}}));

struct RefusedCase {
    const char *name;
    QByteArray (*file)();
    const char *says;
};

void PrintTo(const RefusedCase &c, std::ostream *out) { *out << c.name; }

class RefusedFile : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedFile, IsRefusedWithAMessageNamingIt)
{
    try {
        readPlanBytes(GetParam().file(), QStringLiteral("plan.file"), QLocale::c());
        ADD_FAILURE() << "read";
    } catch (const orv::Failure &failure) {
        EXPECT_TRUE(failure.description().contains(QStringLiteral("plan.file"))) << failure.description().toStdString();
        EXPECT_TRUE(failure.description().contains(QLatin1String(GetParam().says)))
            << failure.description().toStdString();
    }
}

QByteArray sampleFile(Format format)
{
    static const QLocale locale(QLocale::English, QLocale::UnitedStates);
    static const sheet::Workbook chart = builtChart(sample(locale).lists, locale);
    return fileBytes(chart, format);
}

QByteArray otherWorkbook()
{
    sheet::Workbook book;
    book.addSheet(QStringLiteral("Budget")).cellAt({0, 0}).value = QStringLiteral("Cost");
    return xlsxBytes(book);
}

QByteArray randomBytes()
{
    QByteArray bytes(4096, '\0');
    std::mt19937 random(7);
    for (char &byte : bytes)
        byte = static_cast<char>(random());
    return bytes;
}

// The sample chart's zip with every part's stated size raised to 3 GB, as a
// bomb would state it.
QByteArray oversizedParts()
{
    QByteArray bytes = sampleFile(Format::Xlsx);
    const quint32 huge = 3000000000u;
    for (qsizetype entry = bytes.indexOf("PK\x01\x02"); entry >= 0; entry = bytes.indexOf("PK\x01\x02", entry + 1))
        for (int i = 0; i < 4; ++i)
            bytes[entry + 24 + i] = static_cast<char>(huge >> (8 * i));
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Files, RefusedFile,
    ::testing::Values(RefusedCase{"OtherWorkbook", otherWorkbook, "not an Orvantis chart"},
                      RefusedCase{"RandomBytes", randomBytes, "neither a chart workbook"},
                      RefusedCase{"TruncatedZip", [] { return sampleFile(Format::Xlsx).chopped(2000); }, "zip"},
                      RefusedCase{"OversizedParts", oversizedParts, "larger than"},
                      RefusedCase{"TruncatedXls", [] { return sampleFile(Format::Xls).left(3000); }, "cannot be read"},
                      RefusedCase{"TooManyColumns", [] { return QByteArray("A,1,2,3,Cat,V,extra\n"); }, "7 columns"},
                      RefusedCase{"TooLarge", [] { return QByteArray(64 * 1024 * 1024 + 1, 'a'); }, "too large"},
                      RefusedCase{"ManyRows",
                                  [] { return QByteArray("Task,Category\n") + QByteArray("t,C\n").repeated(40000); },
                                  "at most 32,767 items"},
                      RefusedCase{"LongName", [] { return "a,C\n" + QByteArray(32768, 'n') + ",C\n"; },
                                  "row 2 holds a field of more than 32,767 characters"},
                      RefusedCase{"EmptyChart",
                                  [] { return fileBytes(builtChart({}, QLocale::c()), Format::Xlsx); },
                                  "holds no plan"}));

// A reader's failure is put in the words of a plan file even when its own
// message happens to hold the file's name: the one-letter name "e" is in
// almost any sentence.
TEST(PlanFile, AReadersFailureIsWrappedWhateverTheFileIsCalled)
{
    for (const Format format : {Format::Xls, Format::Xlsx})
        try {
            readPlanBytes(sampleFile(format).left(3000), QStringLiteral("e"), QLocale::c());
            ADD_FAILURE() << "read";
        } catch (const orv::Failure &failure) {
            EXPECT_TRUE(failure.description().startsWith(QStringLiteral("e cannot be read as a plan. ")))
                << failure.description().toStdString();
        }
}

// Reading stops at the largest plan file and one byte more, and a file
// whose size is not what it holds (one that grows, or a file of the
// system that states no size) is refused rather than read on.
TEST(PlanFile, ReadingStopsAtItsLimits)
{
    QTemporaryDir folder;
    QFile sparse(QDir(folder.path()).filePath(QStringLiteral("huge.csv")));
    ASSERT_TRUE(sparse.open(QIODevice::WriteOnly) && sparse.resize(4LL << 30));
    sparse.close();
    try {
        readPlanFile(sparse.fileName());
        ADD_FAILURE() << "read";
    } catch (const orv::Failure &failure) {
        EXPECT_TRUE(failure.description().contains(QStringLiteral("huge.csv is too large")))
            << failure.description().toStdString();
    }
    try {
        readPlanFile(QStringLiteral("/proc/self/status"));
        ADD_FAILURE() << "read";
    } catch (const orv::Failure &failure) {
        EXPECT_TRUE(failure.description().contains(QStringLiteral("changed while it was read")))
            << failure.description().toStdString();
    }
}

} // namespace
} // namespace orv::chart::test
