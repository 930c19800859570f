// Files that hold no plan, given to the batch mode as the program runs it:
// each is refused with a message naming it, and neither the chart workbook
// nor the saved project changes by a byte.
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using orv::test::fileContents;

struct NoPlanCase {
    const char *name;
    QByteArray file; // the file's bytes, or "@" and the path of a file of the system
    const char *says;
};

void PrintTo(const NoPlanCase &c, std::ostream *out)
{
    *out << c.name;
}

class NoPlanFile : public ::testing::TestWithParam<NoPlanCase> {};

TEST_P(NoPlanFile, IsRefusedAndChangesNothing)
{
    const NoPlanCase &c = GetParam();
    QTemporaryDir home;
    const QDir folder(home.path());
    const QByteArray settings = "[Orvantis]\nCategories=Saved\nTasks=Kept^0^^^Saved^\nEvents=\n";
    const QByteArray chart = "the chart of yesterday";
    QString plan = folder.filePath(QStringLiteral("plan.csv"));
    if (c.file.startsWith('@'))
        plan = QString::fromUtf8(c.file.mid(1));
    else
        ASSERT_TRUE(orv::test::writeFile(plan, c.file));
    ASSERT_TRUE(orv::test::writeFile(folder.filePath(QStringLiteral("Varnholt.ini")), settings));
    ASSERT_TRUE(orv::test::writeFile(folder.filePath(QStringLiteral("chart.xlsx")), chart));

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
    environment.insert(QStringLiteral("TEMP"), home.path());
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(ORVANTIS_BINARY_DIR "/src/orvantis"),
                  {QStringLiteral("--build-chart"), folder.filePath(QStringLiteral("chart.xlsx")),
                   QStringLiteral("--plan"), plan});
    ASSERT_TRUE(program.waitForFinished(120000));
    const QString errors = QString::fromUtf8(program.readAllStandardError());
    EXPECT_EQ(program.exitCode(), 1) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QFileInfo(plan).fileName())) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QLatin1String(c.says))) << errors.toStdString();
    EXPECT_EQ(fileContents(folder.filePath(QStringLiteral("chart.xlsx"))), chart);
    EXPECT_EQ(fileContents(folder.filePath(QStringLiteral("Varnholt.ini"))), settings);
}

INSTANTIATE_TEST_SUITE_P(
    Files, NoPlanFile,
    ::testing::Values(NoPlanCase{"Empty", "", "is empty"},
                      NoPlanCase{"ByteOrderMarkAlone", "\xEF\xBB\xBF", "holds no plan"},
                      NoPlanCase{"BlankLines", "\n\r\n\n", "holds no plan"},
                      NoPlanCase{"HeaderAlone", "Task,% Compl.,Start,End,Category,Sub Task\r\n", "holds no plan"},
                      NoPlanCase{"EmptyRows", ",,,,,\n,,\n", "holds no plan"},
                      NoPlanCase{"PasswdLike",
                                 "root:x:0:0:root:/root:/bin/bash\nbin:x:2:2:bin:/bin:/usr/sbin/nologin\n",
                                 "separated by colons"},
                      NoPlanCase{"SystemPasswd", "@/etc/passwd", "separated by colons"},
                      NoPlanCase{"NoTaskColumn", "Start,Finish\n2027-01-05,2027-01-09\n", "names no Task column"},
                      NoPlanCase{"OnlyTaskNames", "Write\nReview\n", "would chart no task"},
                      NoPlanCase{"OnlySummaryRows", "Task,Phase\n,Design\n", "would chart no task"},
                      NoPlanCase{"TasksOutsideTheCategories", "Task,Category\nWrite,\n", "would chart no task"}));

} // namespace
