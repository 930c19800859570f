// The real program, started offscreen as a child process, stores its lists
// when it is told to end by a signal.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>

namespace {

// Whether the process catches `signal`, from the SigCgt mask in
// /proc/<pid>/status: the program installs its handlers once it runs.
bool catches(qint64 pid, int signal)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signal - 1)) & 1;
    }
    return false;
}

// The program's surroundings: its home, settings and temporary folders all
// inside `home`.
QProcessEnvironment programEnvironment(const QTemporaryDir &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("HOME", home.path());
    env.insert("XDG_CONFIG_HOME", home.filePath("config"));
    env.insert("XDG_RUNTIME_DIR", home.path());
    env.insert("TEMP", home.filePath("temp"));
    return env;
}

class SignalStore : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(home.filePath("config")) && QDir().mkpath(home.filePath("temp")));
        QFile file(settingsPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        // Hand-written forms that the program writes back differently, so
        // that a store can be told from an untouched file.
        file.write("[Orvantis]\nCategories=Design||Build|\nTasks=Solo\nEvents=E^1/2/2024\n");
    }
    QString settingsPath() const { return home.filePath("config/Varnholt.ini"); }
    QProcessEnvironment environment() const { return programEnvironment(home); }

    QTemporaryDir home;
};

TEST_P(SignalStore, StoresTheListsAndEnds)
{
    QProcess program;
    program.setProcessEnvironment(environment());
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(QStringLiteral(ORVANTIS_PROGRAM), {});
    ASSERT_TRUE(program.waitForStarted(10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return catches(program.processId(), GetParam()); }, 30000))
        << "the program never got ready";
    ::kill(pid_t(program.processId()), GetParam());
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);

    QSettings stored(settingsPath(), QSettings::IniFormat);
    stored.beginGroup("Orvantis");
    EXPECT_EQ(stored.value("Categories").toString(), "Design|Build");
    EXPECT_EQ(stored.value("Tasks").toString(), "Solo^^^^^");
    EXPECT_EQ(stored.value("Events").toString(), "E^1/2/2024^");
}

// A plan handed to the running window is stored while it runs: a kill that
// follows loses nothing of it.
TEST(KillAfterEdit, LosesNothingStoredBeforeTheKill)
{
    QTemporaryDir home;
    ASSERT_TRUE(QDir().mkpath(home.filePath("config")) && QDir().mkpath(home.filePath("temp")));
    QFile plan(home.filePath("plan.csv"));
    ASSERT_TRUE(plan.open(QIODevice::WriteOnly));
    plan.write("Task,% Compl.,Start,End,Category,Sub Task\nA,5,1/2/2024,,Build,V\nB,,,,Design,\n");
    plan.close();
    const QProcessEnvironment env = programEnvironment(home);

    QProcess program;
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(ORVANTIS_PROGRAM), {});
    ASSERT_TRUE(program.waitForStarted(10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return catches(program.processId(), SIGTERM); }, 30000))
        << "the program never got ready";
    QProcess later;
    later.setProcessEnvironment(env);
    later.start(QStringLiteral(ORVANTIS_PROGRAM), {plan.fileName()});
    ASSERT_TRUE(later.waitForFinished(30000));
    ASSERT_EQ(later.exitCode(), 0);

    const QString settingsPath = home.filePath("config/Varnholt.ini");
    const auto stored = [&](const char *key) {
        return QSettings(settingsPath, QSettings::IniFormat).value(QStringLiteral("Orvantis/") + key).toString();
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return QSettings(settingsPath, QSettings::IniFormat).contains("Orvantis/Events"); },
                                10000))
        << "the lists were never stored";
    ::kill(pid_t(program.processId()), SIGKILL);
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(stored("Categories"), "Build|Design");
    EXPECT_EQ(stored("Tasks"), "A^5^1/2/2024^^Build^V|B^^^^Design^");
    EXPECT_EQ(stored("Events"), "");
}

INSTANTIATE_TEST_SUITE_P(Signals, SignalStore, ::testing::Values(SIGTERM, SIGHUP, SIGINT),
                         [](const auto &info) {
                             return std::string(info.param == SIGTERM ? "Term" : info.param == SIGHUP ? "Hup" : "Int");
                         });

} // namespace
