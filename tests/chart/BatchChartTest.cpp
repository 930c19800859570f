#include "FailingCalls.h"
#include "chart/BatchChart.h"
#include "chart/CustomResource.h"
#include "chart/EngineApplicationFactory.h"
#include "chart/SpreadsheetApplication.h"
#include "files/Failure.h"
#include "sheet/model/Workbook.h"
#include "sheet/render/SheetPicture.h"
#include "sheet/xls/XlsFile.h"
#include "support/ScriptedServices.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <csignal>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orv::chart {
namespace {

using orv::test::fileContents;

void put(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// ---- Options -----------------------------------------------------------------

struct OptionsCase {
    QStringList arguments;
    bool valid;
    QString workbook;
    QString picture;
};

class BatchOptionsTest : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(BatchOptionsTest, AreParsedOrRefused)
{
    const OptionsCase &c = GetParam();
    QStringList arguments{QStringLiteral("orvantis")};
    arguments << c.arguments;
    if (!c.valid) {
        EXPECT_THROW(parseBatchOptions(arguments), Failure);
        return;
    }
    const auto options = parseBatchOptions(arguments);
    ASSERT_TRUE(options.has_value());
    EXPECT_EQ(options->workbookPath, c.workbook);
    EXPECT_EQ(options->picturePath, c.picture);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, BatchOptionsTest,
    ::testing::Values(OptionsCase{{"--build-chart", "out.xls", "--picture", "p.png"}, true, "out.xls", "p.png"},
                      OptionsCase{{"--picture", "p.png", "--build-chart", "out.xls"}, true, "out.xls", "p.png"},
                      OptionsCase{{"--build-chart", "x"}, true, "x", ""},
                      OptionsCase{{"--build-chart"}, false, {}, {}},
                      OptionsCase{{"--build-chart", "--picture", "p.png"}, false, {}, {}},
                      OptionsCase{{"--build-chart", "x.xls", "--zoom", "2"}, false, {}, {}},
                      OptionsCase{{"--build-chart", "a.xls", "--build-chart", "b.xls"}, false, {}, {}},
                      OptionsCase{{"--build-chart", "a.xls", "--picture", "p.png", "--picture", "q.png"}, false,
                                  {}, {}},
                      OptionsCase{{"--picture", "x.png"}, false, {}, {}},
                      OptionsCase{{"--build-chart", "out.xls", "-style", "fusion"}, false, {}, {}},
                      OptionsCase{{"--build-chart", "x", "--scale", "Weeks"}, true, "x", ""},
                      OptionsCase{{"--build-chart", "x", "--scale", "years"}, false, {}, {}},
                      OptionsCase{{"--build-chart", "x", "--scale"}, false, {}, {}},
                      OptionsCase{{"--build-chart", "x", "--scale", "days", "--scale", "days"}, false, {}, {}}));

TEST(BatchOptionsHelp, WindowsStartOnlyWithoutArgumentsAndHelpNeedsNoPath)
{
    EXPECT_FALSE(parseBatchOptions({"orvantis"}).has_value());
    EXPECT_FALSE(parseBatchOptions({"orvantis", "-style", "fusion", "-platform", "offscreen", "plan.ini"}).has_value());
    EXPECT_TRUE(parseBatchOptions({"orvantis", "--help"})->help);
    EXPECT_TRUE(batchUsage().contains(QStringLiteral("--build-chart OUT.xls [--picture OUT.png]")));
}

// ---- One run in this process -------------------------------------------------

class BatchRun : public ::testing::Test {
public:
    BatchRun() : engine(scripted.clock, QLocale(QLocale::English, QLocale::UnitedStates))
    {
        // The hints read dates under the default locale, as the engine does.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        scripted.services.spreadsheets = &engine;
        options.workbookPath = out(QStringLiteral("chart.xls"));
        options.picturePath = out(QStringLiteral("chart.png"));
        scripted.settings.values = {{"Categories", "Research"},
                                    {"Tasks", "Plan^50^8/11/2016^8/24/2016^Research^^surplus"},
                                    {"Events", "Meeting^8/12/2016^8/12/2016"}};
    }

    ~BatchRun() override { QLocale::setDefault(QLocale::system()); }

    int run()
    {
        QTextStream stream(&errors);
        return runBatchChart(options, scripted.services, stream);
    }

    void storeTasksOfResearch(int count)
    {
        QStringList tasks;
        for (int t = 0; t < count; ++t)
            tasks << QStringLiteral("T^0^1/1/2020^1/2/2020^Research^");
        scripted.settings.values["Tasks"] = tasks.join(u'|');
    }

    QString out(const QString &name) const { return QDir(outFolder.path()).filePath(name); }
    QString temp(const QString &name) const { return QDir(scripted.folders.tempFolder()).filePath(name); }
    QStringList tempFiles() const
    {
        return QDir(scripted.folders.tempFolder()).entryList(QDir::Files | QDir::System | QDir::Hidden);
    }

    orv::test::ScriptedServices scripted;
    EngineApplicationFactory engine;
    std::unique_ptr<ApplicationFactory> failing;
    QTemporaryDir outFolder;
    BatchOptions options;
    QString errors;
};

TEST_F(BatchRun, TheStoredProjectBecomesAWorkbookAndAPictureAndNothingStaysBehind)
{
    // The week calendar shows the whole plan of 2016: nothing to say.
    scripted.settings.values["CalendarScale"] = "weeks";
    EXPECT_EQ(run(), 0) << errors.toStdString();
    EXPECT_TRUE(errors.isEmpty());
    const sheet::Workbook chart = sheet::xls::openWorkbook(options.workbookPath);
    EXPECT_EQ(chart.sheet(0).cell({9, 0})->value, sheet::Value(QStringLiteral("Research")));
    EXPECT_EQ(chart.sheet(0).cell({10, 1})->value, sheet::Value(QStringLiteral("Plan")));
    EXPECT_EQ(chart.sheet(0).cell({2, 1})->value, sheet::Value(QStringLiteral("Meeting")));
    EXPECT_FALSE(sheet::readPicture(options.picturePath).isNull());
    EXPECT_TRUE(tempFiles().isEmpty()) << tempFiles().join(u' ').toStdString();
    EXPECT_EQ(QDir(outFolder.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

// An output named .xlsx receives the chart as a current workbook, its texts
// in the cells of its worksheets.
TEST_F(BatchRun, AnXlsxOutputGetsTheChartInThatFormat)
{
    options.workbookPath = out(QStringLiteral("chart.XLSX"));
    EXPECT_EQ(run(), 0) << errors.toStdString();
    QFile written(options.workbookPath);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.read(4) == QByteArray("PK\x03\x04", 4));
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), options.workbookPath, QStringLiteral("xl/worksheets/*.xml")});
    ASSERT_TRUE(unzip.waitForFinished());
    const QByteArray strings = unzip.readAllStandardOutput();
    EXPECT_TRUE(strings.contains("<t>Research</t>")) << strings.left(400).toStdString();
    EXPECT_TRUE(strings.contains("<t>Plan</t>"));
    EXPECT_TRUE(tempFiles().isEmpty()) << tempFiles().join(u' ').toStdString();
}

TEST_F(BatchRun, AReplacedWorkbookKeepsItsModeAndOwner)
{
    const QByteArray path = QFile::encodeName(options.workbookPath);
    put(options.workbookPath, "old");
    ASSERT_EQ(::chmod(path.constData(), 0640), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(path.constData(), 4321, 4322), 0);
    }
    ASSERT_EQ(run(), 0) << errors.toStdString();
    struct stat info {};
    ASSERT_EQ(::stat(path.constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(info.st_uid, 4321u);
        EXPECT_EQ(info.st_gid, 4322u);
    }
}

// One way for a run to fail, set up before the run; `undo` runs after it.
struct FailureCase {
    const char *name;
    std::function<void(BatchRun &)> arrange;
    std::function<void()> undo;
};

class BatchFailures : public BatchRun, public ::testing::WithParamInterface<FailureCase> {};

// Writes beyond a few kilobytes fail for this process, as on a full disk.
struct SmallFileLimit {
    void set()
    {
        std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = 4096;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    void reset() { ::setrlimit(RLIMIT_FSIZE, &saved); }
    rlimit saved{};
};
SmallFileLimit smallFiles;

TEST_P(BatchFailures, LeaveBothOutputsExactlyAsTheyWereAndExitOne)
{
    put(options.workbookPath, "the good old workbook");
    put(options.picturePath, "the good old picture");
    GetParam().arrange(*this);
    const int status = run();
    if (GetParam().undo)
        GetParam().undo();
    EXPECT_EQ(status, 1);
    EXPECT_FALSE(errors.isEmpty());
    EXPECT_EQ(fileContents(options.workbookPath), QByteArray("the good old workbook")) << errors.toStdString();
    EXPECT_EQ(fileContents(options.picturePath), QByteArray("the good old picture"));
    EXPECT_EQ(QDir(outFolder.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    for (const QString &name : tempFiles())
        EXPECT_FALSE(name.startsWith(QStringLiteral("kdrave"))) << name.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Ways, BatchFailures,
    ::testing::Values(
        FailureCase{"LeftoverTemplateIsAFolder",
                    [](BatchRun &run) { QDir().mkpath(run.temp(QStringLiteral("template.xlt"))); }, {}},
        FailureCase{"WritesUnderTempFail", [](BatchRun &) { smallFiles.set(); }, [] { smallFiles.reset(); }},
        FailureCase{"PictureFails",
                    [](BatchRun &run) {
                        run.failing = std::make_unique<test::FailingCalls>(run.scripted.clock, "CopyPicture");
                        run.scripted.services.spreadsheets = run.failing.get();
                    },
                    {}},
        FailureCase{"TooManyTasks", [](BatchRun &run) { run.storeTasksOfResearch(40000); }, {}},
        FailureCase{"TooManyRowsForOneCategory", [](BatchRun &run) { run.storeTasksOfResearch(32767); }, {}},
        FailureCase{"OverlongTaskName",
                    [](BatchRun &run) {
                        run.scripted.settings.values["Tasks"] =
                            QString(32768, u'x') + QStringLiteral("^0^^^Research^");
                    },
                    {}},
        FailureCase{"NoSavedProject", [](BatchRun &run) { run.scripted.settings.values.clear(); }, {}}),
    [](const ::testing::TestParamInfo<FailureCase> &info) { return std::string(info.param.name); });

// Names stay the texts that were typed; dates and percentages are read.
TEST_F(BatchRun, NamesAreWrittenAsTypedAndTheWindowsHintsAreSaid)
{
    const QStringList names{"007", "100%", "12/5/2026", "-5", "1e5", "TRUE"};
    scripted.settings.values["Categories"] = names.join(u'|');
    QStringList tasks;
    for (const QString &name : names)
        tasks << name + QStringLiteral("^50^8/11/2016^8/24/2016^") + name + u'^';
    tasks << QStringLiteral("Late^0^someday^8/24/2016^Elsewhere^");
    scripted.settings.values["Tasks"] = tasks.join(u'|');
    QStringList events;
    for (int e = 1; e <= 6; ++e)
        events << QStringLiteral("%1^8/12/2016^8/12/2016").arg(e);
    scripted.settings.values["Events"] = events.join(u'|');
    ASSERT_EQ(run(), 0) << errors.toStdString();
    const QStringList said = errors.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(said.size(), 4) << errors.toStdString();
    EXPECT_TRUE(said[0].startsWith("Task 7 \"Late\": start \"someday\" is not a date in your short date form, e.g. "));
    EXPECT_EQ(said[1], "Task 7 \"Late\": category \"Elsewhere\" is not in the chart: no such category");
    EXPECT_EQ(said[2], "Special event 6 \"6\": not in the chart: only the first 5 special events are placed");
    EXPECT_EQ(said[3], "6 tasks, 6 deliverables and 5 special events lie partly or wholly outside the calendar at "
                       "the day scale; the plan runs until 8/24/2016. The week scale shows it whole.");
    const sheet::Workbook chart = sheet::xls::openWorkbook(options.workbookPath);
    const sheet::Sheet &sheet = chart.sheet(0);
    EXPECT_EQ(sheet.cell({2, 1})->value, sheet::Value(QStringLiteral("1")));
    for (int c = 0; c < names.size(); ++c) {
        const int block = 9 + 4 * c; // a category's row, then its one task's row
        EXPECT_EQ(sheet.cell({block, 0})->value, sheet::Value(names[c])) << c;
        EXPECT_EQ(sheet.cell({block + 1, 1})->value, sheet::Value(names[c])) << c;
        EXPECT_EQ(sheet.cell({block + 1, 5})->value, sheet::Value(0.5)) << c;
        EXPECT_TRUE(std::holds_alternative<double>(sheet.cell({block + 1, 3})->value)) << c;
    }
}

TEST_F(BatchRun, APdfIsReplacedOnlyTogetherWithTheOtherOutputs)
{
    options.pdfPath = out(QStringLiteral("chart.pdf"));
    put(options.pdfPath, "the good old pages");
    failing = std::make_unique<test::FailingCalls>(scripted.clock, "CopyPicture");
    scripted.services.spreadsheets = failing.get();
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(fileContents(options.pdfPath), QByteArray("the good old pages"));

    scripted.services.spreadsheets = &engine;
    errors.clear();
    EXPECT_EQ(run(), 0) << errors.toStdString();
    EXPECT_TRUE(fileContents(options.pdfPath).startsWith("%PDF-"));
    EXPECT_EQ(QDir(outFolder.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
}

TEST_F(BatchRun, AFailingPictureDoesNotStopARunThatWantsNone)
{
    test::FailingCalls failing(scripted.clock, "CopyPicture");
    scripted.services.spreadsheets = &failing;
    options.picturePath.clear();
    EXPECT_EQ(run(), 0) << errors.toStdString();
    EXPECT_NO_THROW(sheet::xls::openWorkbook(options.workbookPath));
}

TEST_F(BatchRun, AnOverlongTextIsReportedByItsItem)
{
    scripted.settings.values["Events"] = QStringLiteral("Meeting^") + QString(70000, u'1') + QStringLiteral("^x");
    EXPECT_EQ(run(), 1);
    EXPECT_TRUE(errors.contains(
        QStringLiteral("The start of special event 1 has 70000 characters, more than the 32767 a cell holds")))
        << errors.left(300).toStdString();
}

// A template copy left by another run or version: a workbook of its own
// with an old project's text, a damaged file, an empty one.
class LeftoverTemplates : public BatchRun, public ::testing::WithParamInterface<int> {
protected:
    void leaveTemplate()
    {
        const QString path = temp(QStringLiteral("template.xlt"));
        if (GetParam() == 0) {
            put(out(QStringLiteral("ours.xlt")), loadCustomResource(101));
            sheet::Workbook old = sheet::xls::openWorkbook(out(QStringLiteral("ours.xlt")));
            old.sheet(0).cellAt({10, 1}).value = QStringLiteral("Old project's task");
            old.sheet(0).cellAt({11, 1}).value = QStringLiteral("Old project's task");
            sheet::xls::saveWorkbook(old, path);
            QFile::remove(out(QStringLiteral("ours.xlt")));
        } else {
            put(path, GetParam() == 1 ? loadCustomResource(101).left(3000) : QByteArray());
        }
    }
};

TEST_P(LeftoverTemplates, AreReplacedByTheProgramsOwn)
{
    leaveTemplate();
    ASSERT_EQ(run(), 0) << errors.toStdString();
    const sheet::Workbook chart = sheet::xls::openWorkbook(options.workbookPath);
    EXPECT_EQ(chart.sheet(0).cell({10, 1})->value, sheet::Value(QStringLiteral("Plan")));
    const sheet::Cell *next = chart.sheet(0).cell({11, 1});
    EXPECT_TRUE(!next || next->value != sheet::Value(QStringLiteral("Old project's task")));
    EXPECT_FALSE(QFile::exists(temp(QStringLiteral("template.xlt"))));
}

INSTANTIATE_TEST_SUITE_P(Kinds, LeftoverTemplates, ::testing::Values(0, 1, 2));

// Outputs that are refused before anything is built.
class RefusedOutputs : public BatchRun, public ::testing::WithParamInterface<int> {};

TEST_P(RefusedOutputs, AreReportedAndLeftAlone)
{
    const QString fifo = out(QStringLiteral("fifo.xls"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    switch (GetParam()) {
    case 0:
        options.workbookPath = fifo;
        break;
    case 1:
        options.workbookPath = temp(QStringLiteral("template.xlt"));
        break;
    case 2:
        options.picturePath = temp(QStringLiteral("temp.bmp"));
        break;
    case 3:
        options.picturePath = options.workbookPath;
        break;
    }
    EXPECT_EQ(run(), 1);
    EXPECT_TRUE(errors.startsWith(QStringLiteral("Cannot write "))) << errors.toStdString();
    EXPECT_TRUE(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());
    EXPECT_FALSE(QFile::exists(out(QStringLiteral("chart.xls"))));
    EXPECT_TRUE(tempFiles().isEmpty()) << tempFiles().join(u' ').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Kinds, RefusedOutputs, ::testing::Values(0, 1, 2, 3));

// ---- Planted links -----------------------------------------------------------

struct LinkCase {
    const char *name; // the file in the temporary folder that is a link
};

class PlantedLinks : public BatchRun, public ::testing::WithParamInterface<LinkCase> {};

TEST_P(PlantedLinks, NeverChangeTheTarget)
{
    const QString victim = out(QStringLiteral("victim"));
    put(victim, "precious");
    ASSERT_EQ(::chmod(QFile::encodeName(victim).constData(), 0444), 0);
    ASSERT_TRUE(QFile::link(victim, temp(QString::fromLatin1(GetParam().name))));
    run();
    EXPECT_EQ(fileContents(victim), QByteArray("precious")) << errors.toStdString();
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(victim).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0444u);
}

INSTANTIATE_TEST_SUITE_P(Names, PlantedLinks,
                         ::testing::Values(LinkCase{"temp.bmp"}, LinkCase{"template.xlt"},
                                           LinkCase{"orvantis.lock"}),
                         [](const ::testing::TestParamInfo<LinkCase> &info) {
                             return QString::fromLatin1(info.param.name).remove(u'.').toStdString();
                         });

} // namespace
} // namespace orv::chart
