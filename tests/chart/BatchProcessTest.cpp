// The batch mode as the program runs it: its exit codes, and two runs at
// once sharing one temporary folder.
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

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

    void start(const QStringList &arguments, const QString &program = kProgram)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), mHome.path());
        environment.insert(QStringLiteral("TEMP"), mTemp);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        if (!tmpdir.isEmpty())
            environment.insert(QStringLiteral("TMPDIR"), tmpdir);
        process.setProcessEnvironment(environment);
        process.start(program, arguments);
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
    QByteArray folder() const { return QFile::encodeName(mHome.path()) + '/'; }

    QProcess process;
    QString tmpdir;

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

// ---- Odd names and odd settings files -----------------------------------------

// At the week scale the calendar shows the whole plan of 2024, whatever today is.
const QByteArray kValidSettings =
    "[Orvantis]\nCategories=A\nTasks=T^0^2024-01-02^2024-01-09^A^\nEvents=\nCalendarScale=weeks\n";

QByteArray randomBytes()
{
    QByteArray bytes;
    for (int i = 0; i < 4096; ++i)
        bytes += static_cast<char>((i * 7919 + 13) & 0xFF);
    return bytes;
}

struct OddRunCase {
    const char *name;
    QByteArray settings; // the whole settings file
    QByteArray output;   // the output's name in the user's folder, as bytes
    int status;
    const char *said; // a part of the error output; empty: nothing is said
};

// A user's own folder, with files put in it and read back by their bytes.
class UserFolder : public BatchProcess {
protected:
    void put(const QByteArray &name, const QByteArray &bytes, bool old = false)
    {
        const QByteArray path = user.folder() + name;
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, bytes.constData(), bytes.size()), bytes.size());
        ::close(fd);
        const utimbuf anHourAgo{::time(nullptr) - 3600, ::time(nullptr) - 3600};
        if (old)
            ::utime(path.constData(), &anHourAgo);
    }
    QByteArray contents(const QByteArray &name) const
    {
        struct stat info {};
        const int fd = ::open((user.folder() + name).constData(), O_RDONLY);
        QByteArray bytes(fd >= 0 && ::fstat(fd, &info) == 0 ? info.st_size : 0, '\0');
        const ssize_t size = fd < 0 ? 0 : ::read(fd, bytes.data(), bytes.size());
        if (fd >= 0)
            ::close(fd);
        bytes.truncate(std::max<ssize_t>(size, 0));
        return bytes;
    }

    User user{temp.path(), QStringLiteral("A"), QString()};
};

class OddRuns : public UserFolder, public ::testing::WithParamInterface<OddRunCase> {};

// Every output is written under exactly the bytes it was named with, nothing
// is staged where TMPDIR points, a killed run's staged file goes and a live
// run's stays; a settings file that is not read whole is refused unchanged.
TEST_P(OddRuns, WriteExactlyTheNamedFileOrNothing)
{
    const OddRunCase &c = GetParam();
    const QByteArray bystander = "caf\xef\xbf\xbd.xls";
    put("Varnholt.ini", c.settings);
    put(c.output, "old");
    put(bystander, "bystander");
    put(".orvantis-Dead00", "killed", true);
    put(".orvantis-Live00", "live", true);
    const int live = ::open((user.folder() + ".orvantis-Live00").constData(), O_RDONLY);
    ASSERT_EQ(::flock(live, LOCK_EX), 0);
    put("no-folder", "TMPDIR names a file");

    QString escaped;
    for (const char byte : user.folder() + c.output)
        escaped += QStringLiteral("\\%1").arg(static_cast<unsigned char>(byte), 3, 8, QLatin1Char('0'));
    user.tmpdir = user.file(QStringLiteral("no-folder"));
    user.start({QStringLiteral("-c"), QStringLiteral("exec \"$0\" --build-chart \"$(printf '%1')\"").arg(escaped),
                kProgram},
               QStringLiteral("/bin/sh"));
    const int status = user.finish();
    ::close(live);

    const QString said = QString::fromLocal8Bit(user.process.readAllStandardError());
    EXPECT_EQ(status, c.status) << said.toStdString();
    if (*c.said == 0)
        EXPECT_TRUE(said.isEmpty()) << said.toStdString();
    else
        EXPECT_TRUE(said.contains(QLatin1String(c.said))) << said.toStdString();
    EXPECT_EQ(contents(c.output) == "old", status != 0);
    EXPECT_EQ(contents(bystander), QByteArray("bystander"));
    EXPECT_EQ(contents("Varnholt.ini"), c.settings);
    EXPECT_EQ(contents(".orvantis-Live00"), QByteArray("live"));
    QStringList expected{"Varnholt.ini", QString::fromLocal8Bit(bystander), ".orvantis-Live00", "no-folder"};
    if (status != 0)
        expected << ".orvantis-Dead00";
    DIR *listing = ::opendir(user.folder().constData());
    ASSERT_NE(listing, nullptr);
    qsizetype entries = 0;
    while (const dirent *entry = ::readdir(listing))
        entries += std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0;
    ::closedir(listing);
    EXPECT_EQ(entries, expected.size() + 1);
    for (const QString &name : expected)
        EXPECT_TRUE(QFileInfo::exists(user.file(name))) << name.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OddRuns,
    ::testing::Values(
        OddRunCase{"NameNotInUtf8", kValidSettings, "caf\xe9.xls", 0, ""},
        OddRunCase{"XlsxNeverStagedInTmpdir", kValidSettings, "chart.xlsx", 0, ""},
        OddRunCase{"NameOf255Bytes", kValidSettings, QByteArray(250, 'n') + ".xlsx", 0, ""},
        OddRunCase{"NameOf248Bytes", kValidSettings, QByteArray(244, 'n') + ".xls", 0, ""},
        OddRunCase{"RandomBytes", randomBytes(), "chart.xls", 1, "could not be read exactly"},
        OddRunCase{"OversizedFile", kValidSettings + QByteArray(17 * 1024 * 1024, '\n'), "chart.xls", 1,
                   "could not be read exactly"},
        OddRunCase{"UnknownKey", kValidSettings + "Colour=red\n", "chart.xls", 1, "could not be read exactly"},
        OddRunCase{"UnterminatedQuote", "[Orvantis]\nCategories=\"Beta\nTasks=One^0^^^Beta^\n", "chart.xls", 1,
                   "could not be read exactly"}),
    [](const ::testing::TestParamInfo<OddRunCase> &info) { return std::string(info.param.name); });

// What an output that is a link, or a file-size limit, does: a link is
// written through only when it and its file are the user's own, a dangling
// link's file is never made, and a write beyond the limit is reported with
// every output left as it was.
struct OutputCase {
    const char *name;
    const char *link;      // where x.pdf points; empty: x.pdf is a plain file
    uid_t linkOwner;       // 0: the user's own
    uid_t targetOwner;     // 0: the user's own
    const char *limit;     // the shell's ulimit -f, or empty
    int status;
    const char *said;
};

class OutputLinks : public UserFolder, public ::testing::WithParamInterface<OutputCase> {};

TEST_P(OutputLinks, WriteOnlyWhatTheUserOwns)
{
    const OutputCase &c = GetParam();
    if ((c.linkOwner != 0 || c.targetOwner != 0) && ::geteuid() != 0)
        GTEST_SKIP() << "needs root to give files to another user";
    put("Varnholt.ini", kValidSettings);
    put("target.pdf", "old");
    put("chart.xls", "old");
    const QByteArray pdf = user.folder() + "x.pdf";
    if (*c.link == 0) {
        put("x.pdf", "old");
    } else {
        ASSERT_EQ(::symlink(c.link, pdf.constData()), 0);
        if (c.linkOwner != 0)
            ASSERT_EQ(::lchown(pdf.constData(), c.linkOwner, c.linkOwner), 0);
    }
    if (c.targetOwner != 0)
        ASSERT_EQ(::chown((user.folder() + "target.pdf").constData(), c.targetOwner, c.targetOwner), 0);

    const QString limit = *c.limit ? QStringLiteral("ulimit -f %1; ").arg(QLatin1String(c.limit)) : QString();
    user.start({QStringLiteral("-c"), limit + QStringLiteral("exec \"$0\" --build-chart \"$1\" --pdf \"$2\""), kProgram,
                user.file("chart.xls"), QFile::decodeName(pdf)},
               QStringLiteral("/bin/sh"));
    const int status = user.finish();
    const QString said = QString::fromLocal8Bit(user.process.readAllStandardError());
    EXPECT_EQ(status, c.status) << said.toStdString();
    EXPECT_TRUE(said.contains(QLatin1String(c.said))) << said.toStdString();
    const bool written = status == 0;
    EXPECT_EQ(contents("chart.xls") == "old", !written);
    if (*c.link == 0)
        EXPECT_EQ(contents("x.pdf") == "old", !written);
    else
        EXPECT_TRUE(QFileInfo(QFile::decodeName(pdf)).isSymLink()) << "the link itself stays";
    EXPECT_EQ(contents("target.pdf").startsWith("%PDF"), written && *c.link != 0);
    EXPECT_FALSE(QFileInfo::exists(user.file("missing.pdf")));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OutputLinks,
    ::testing::Values(OutputCase{"LinkToOwnFile", "target.pdf", 0, 0, "", 0, ""},
                      OutputCase{"DanglingLink", "missing.pdf", 0, 0, "", 1, "symbolic link to nothing"},
                      OutputCase{"LinkToAnotherUsersFile", "target.pdf", 0, 65534, "", 1, "file of another user"},
                      OutputCase{"AnotherUsersLink", "target.pdf", 65534, 0, "", 1, "symbolic link of another user"},
                      OutputCase{"FileSizeLimit", "", 0, 0, "8", 1, "File too large"}),
    [](const ::testing::TestParamInfo<OutputCase> &info) { return std::string(info.param.name); });

} // namespace
