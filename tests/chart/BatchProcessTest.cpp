// The batch mode as the program runs it: its exit codes, and two runs at
// once sharing one temporary folder.
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using orv::test::fileContents;

const QString kProgram = QStringLiteral(ORVANTIS_BINARY_DIR "/src/orvantis");

// A user with a saved project of their own; all users share one TEMP.
class User {
public:
    User(const QString &temp, const QString &categories, const QString &tasks) : mTemp(temp)
    {
        QFile settings(QDir(mHome.path()).filePath(QStringLiteral("Varnholt.ini")));
        EXPECT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write(QStringLiteral("[Orvantis]\nCategories=%1\nTasks=%2\nEvents=\n").arg(categories, tasks).toUtf8());
    }

    void start(const QStringList &arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), mHome.path());
        environment.insert(QStringLiteral("TEMP"), mTemp);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(environment);
        process.start(kProgram, arguments);
    }
    int finish()
    {
        EXPECT_TRUE(process.waitForFinished(120000));
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
    int run(const QStringList &arguments)
    {
        start(arguments);
        return finish();
    }
    QString file(const QString &name) const { return QDir(mHome.path()).filePath(name); }

    QProcess process;

private:
    QTemporaryDir mHome;
    QString mTemp;
};

class BatchProcess : public ::testing::Test {
protected:
    QTemporaryDir temp;
};

struct UsageCase {
    QStringList arguments;
    int status;
};

class BatchUsage : public BatchProcess, public ::testing::WithParamInterface<UsageCase> {};

// Bad options end at once with the usage and status 2, never with a window.
TEST_P(BatchUsage, EndsWithItsStatus)
{
    User user(temp.path(), QStringLiteral("A"), QString());
    EXPECT_EQ(user.run(GetParam().arguments), GetParam().status);
    const QString said = QString::fromLocal8Bit(user.process.readAllStandardOutput() +
                                                user.process.readAllStandardError());
    EXPECT_TRUE(said.contains(QStringLiteral("Usage: orvantis"))) << said.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Options, BatchUsage,
                         ::testing::Values(UsageCase{{"--help"}, 0}, UsageCase{{"--picture", "x.png"}, 2},
                                           UsageCase{{"--build-chart"}, 2}, UsageCase{{"--frobnicate"}, 2},
                                           UsageCase{{"--build-chart", "a.xls", "--build-chart", "b.xls"}, 2}));

TEST_F(BatchProcess, TwoRunsAtOnceEachDeliverTheirOwnPicture)
{
    User first(temp.path(), QStringLiteral("Alpha"),
               QStringLiteral("One^10^1/2/2024^1/9/2024^Alpha^|Two^20^1/3/2024^1/12/2024^Alpha^"));
    User second(temp.path(), QStringLiteral("Beta|Gamma"), QStringLiteral("Three^30^1/4/2024^1/20/2024^Gamma^V"));
    ASSERT_EQ(first.run({"--build-chart", first.file("solo.xls"), "--picture", first.file("solo.png")}), 0);
    ASSERT_EQ(second.run({"--build-chart", second.file("solo.xls"), "--picture", second.file("solo.png")}), 0);
    ASSERT_NE(fileContents(first.file("solo.png")), fileContents(second.file("solo.png")));
    for (int round = 0; round < 3; ++round) {
        first.start({"--build-chart", first.file("both.xls"), "--picture", first.file("both.png")});
        second.start({"--build-chart", second.file("both.xls"), "--picture", second.file("both.png")});
        EXPECT_EQ(first.finish(), 0) << first.process.readAllStandardError().constData();
        EXPECT_EQ(second.finish(), 0) << second.process.readAllStandardError().constData();
        EXPECT_EQ(fileContents(first.file("both.png")), fileContents(first.file("solo.png")));
        EXPECT_EQ(fileContents(second.file("both.png")), fileContents(second.file("solo.png")));
    }
}

} // namespace
