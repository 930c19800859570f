// Two starts with one settings file: the later hands its file to the first
// and ends; a start after the first has gone becomes the one instance. The
// running instance answers at once and takes only existing files.
#include "app/qt/SingleInstance.h"
#include "files/Failure.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTest>
#include <future>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace orv {
namespace {

// Spins the event loop, as the running instance's window does, until `job` ends.
template <typename T> T whileServing(std::future<T> job)
{
    while (job.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
        QCoreApplication::processEvents();
    return job.get();
}

class Channel : public ::testing::Test {
protected:
    Channel() : mSavedRuntime(qgetenv("XDG_RUNTIME_DIR"))
    {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    }
    ~Channel() override { qputenv("XDG_RUNTIME_DIR", mSavedRuntime); }

    QString settings() const { return config.filePath(QStringLiteral("Varnholt.ini")); }
    QString file(const QString &name) const
    {
        QFile made(config.filePath(name));
        made.open(QIODevice::WriteOnly);
        return made.fileName();
    }
    // A later start, in a thread of its own: its reply, or the failure's text.
    std::future<QString> later(const QString &file) const
    {
        const QString path = settings();
        return std::async(std::launch::async, [=]() -> QString {
            try {
                return SingleInstance(path).handOver(file) ? QStringLiteral("taken") : QStringLiteral("first");
            } catch (const Failure &failure) {
                return failure.description();
            }
        });
    }
    // The socket the first start listens on.
    QString socketPath() const
    {
        const QStringList names = QDir(runtime.path()).entryList({QStringLiteral("orvantis-*")}, QDir::System);
        for (const QString &name : names)
            if (!name.endsWith(QStringLiteral(".lock")))
                return runtime.filePath(name);
        return {};
    }

    QTemporaryDir runtime;
    QTemporaryDir config;

private:
    QByteArray mSavedRuntime;
};

TEST_F(Channel, ALaterStartHandsItsFileToTheRunningOneAndEnds)
{
    const QString plan = file(QString::fromUtf8("caf\xc3\xa9.csv"));
    {
        SingleInstance first(settings());
        ASSERT_FALSE(first.handOver(QString()));
        QStringList handed;
        first.onLaterStart([&](const QString &file) {
            handed << file;
            return true;
        });
        EXPECT_EQ(whileServing(later(plan)), "taken");
        EXPECT_EQ(whileServing(later(QString())), "taken");
        // A relative name is resolved where it was typed.
        const QString working = QDir::currentPath();
        QDir::setCurrent(config.path());
        EXPECT_EQ(whileServing(later(QString::fromUtf8("caf\xc3\xa9.csv"))), "taken");
        QDir::setCurrent(working);
        EXPECT_TRUE(whileServing(later(config.filePath("missing.csv"))).contains(QStringLiteral("it is not an existing file")));
        EXPECT_EQ(handed, (QStringList{plan, QString(), plan}));

        first.onLaterStart([](const QString &) { return false; });
        EXPECT_TRUE(whileServing(later(plan)).contains(QStringLiteral("too many files")));

        QTemporaryDir otherConfig;
        EXPECT_FALSE(SingleInstance(otherConfig.filePath("Varnholt.ini")).handOver(QString()));
    }
    EXPECT_FALSE(SingleInstance(settings()).handOver(QString()));
}

struct ForeignRequest {
    const char *name;
    QByteArray bytes;
    QByteArray reply; // empty: the connection is dropped unanswered
};

class ForeignRequests : public Channel, public ::testing::WithParamInterface<ForeignRequest> {};

// Whatever reaches the socket that is not a later start's request opens
// nothing, and a line without end is dropped once it is longer than a path.
TEST_P(ForeignRequests, OpenNothing)
{
    SingleInstance first(settings());
    ASSERT_FALSE(first.handOver(QString()));
    int taken = 0;
    first.onLaterStart([&](const QString &) { return ++taken > 0; });
    const QString name = socketPath();
    const QByteArray bytes = GetParam().bytes;
    const QByteArray reply = whileServing(std::async(std::launch::async, [=] {
        QLocalSocket socket;
        socket.connectToServer(name);
        socket.waitForConnected(2000);
        socket.write(bytes);
        while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(2000)) {
        }
        // Sooner than a silent peer is dropped.
        if (socket.state() != QLocalSocket::UnconnectedState)
            socket.waitForDisconnected(2000);
        return socket.state() == QLocalSocket::UnconnectedState ? socket.readAll() : QByteArray("still connected");
    }));
    EXPECT_EQ(reply, GetParam().reply);
    EXPECT_EQ(taken, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, ForeignRequests,
    ::testing::Values(ForeignRequest{"Relative", "plan.csv\n", "refused\n"},
                      ForeignRequest{"Missing", "/no/such/plan.csv\n", "refused\n"},
                      ForeignRequest{"Folder", "/tmp\n", "refused\n"},
                      ForeignRequest{"RandomBytes", QByteArray("\x01\xff/\x00\x7f\x80\n", 7), "refused\n"},
                      ForeignRequest{"NoEndOfLine", QByteArray(8 << 20, '/'), ""}),
    [](const auto &info) { return std::string(info.param.name); });

// A listener that takes the request and never answers: the later start
// gives up within its few seconds and has sent its request once.
TEST_F(Channel, ARequestIsSentOnceAndNotWaitedForLong)
{
    const QString plan = file(QStringLiteral("plan.csv"));
    SingleInstance first(settings());
    ASSERT_FALSE(first.handOver(QString()));
    const QString name = socketPath();
    const int lock = ::open(QFile::encodeName(name + ".lock").constData(), O_RDWR | O_CLOEXEC);
    ASSERT_EQ(::flock(lock, LOCK_EX | LOCK_NB), -1) << "the first start holds the lock";
    QLocalServer mute;
    QLocalServer::removeServer(name);
    ASSERT_TRUE(mute.listen(name));
    QList<QLocalSocket *> requests;
    QObject::connect(&mute, &QLocalServer::newConnection, [&] { requests << mute.nextPendingConnection(); });

    EXPECT_TRUE(whileServing(later(plan)).contains(QStringLiteral("does not answer")));
    EXPECT_EQ(requests.size(), 1);
    ::close(lock);
}

// A runtime folder that others can reach, or that is not the user's, is not
// used: the channel goes to a private folder in the user's cache folder, and
// without one there is no channel at all.
TEST_F(Channel, StaysOutOfFoldersOthersCanReach)
{
    QTemporaryDir cache;
    const QByteArray savedCache = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
    QFile::setPermissions(runtime.path(), QFileDevice::Permissions(0x7777));
    {
        SingleInstance first(settings());
        ASSERT_FALSE(first.handOver(QString()));
        EXPECT_TRUE(first.unavailable().isEmpty());
        EXPECT_TRUE(socketPath().isEmpty()) << "nothing in the shared folder";
        const QFileInfo own(cache.filePath("orvantis-channel"));
        EXPECT_TRUE(own.isDir());
        EXPECT_EQ(int(own.permissions() & 0x0077), 0) << "only its user enters it";
        first.onLaterStart([](const QString &) { return true; });
        EXPECT_EQ(whileServing(later(QString())), "taken");
    }
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.filePath("orvantis-channel/../no/such")));
    QFile blocker(cache.filePath("no"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    SingleInstance alone(settings());
    EXPECT_FALSE(alone.handOver(QString()));
    EXPECT_FALSE(alone.unavailable().isEmpty());
    qputenv("XDG_CACHE_HOME", savedCache);
}

// Both ends make sure the other runs as the same user: a listener of
// another user in the folder gets no request, and another user's request
// is dropped unread. Needs root, to be two users.
TEST_F(Channel, TalksOnlyToItsOwnUser)
{
    constexpr uid_t kOther = 65534;
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to act as two users";
    QFile::setPermissions(runtime.path(), QFileDevice::Permissions(0x7755));
    QFile::setPermissions(config.path(), QFileDevice::Permissions(0x7755));
    const QString folder = runtime.filePath("user");
    ASSERT_TRUE(QDir().mkdir(folder));
    ASSERT_EQ(::chown(QFile::encodeName(folder).constData(), kOther, kOther), 0);
    ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::Permissions(0x7700)));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder));
    const QString plan = file(QStringLiteral("plan.csv"));
    QFile::setPermissions(plan, QFileDevice::Permissions(0x7744));

    ASSERT_EQ(::seteuid(kOther), 0);
    SingleInstance first(settings());
    const bool firstStart = !first.handOver(QString());
    ASSERT_EQ(::seteuid(0), 0);
    ASSERT_TRUE(firstStart);
    int taken = 0;
    first.onLaterStart([&](const QString &) { return ++taken > 0; });
    QStringList names = QDir(folder).entryList({QStringLiteral("orvantis-*")}, QDir::System);
    names.removeIf([](const QString &name) { return name.endsWith(".lock"); });
    ASSERT_EQ(names.size(), 1);
    const QString name = QDir(folder).filePath(names.first());

    const QByteArray reply = whileServing(std::async(std::launch::async, [=] {
        QLocalSocket socket;
        socket.connectToServer(name);
        socket.waitForConnected(2000);
        socket.write(QFile::encodeName(plan) + '\n');
        socket.waitForBytesWritten(2000);
        if (socket.state() != QLocalSocket::UnconnectedState)
            socket.waitForDisconnected(2000);
        return socket.readAll();
    }));
    EXPECT_TRUE(reply.isEmpty());
    EXPECT_EQ(taken, 0);

    QLocalServer foreign;
    foreign.setSocketOptions(QLocalServer::WorldAccessOption);
    QLocalServer::removeServer(name);
    ASSERT_TRUE(foreign.listen(name));
    QByteArray received;
    QObject::connect(&foreign, &QLocalServer::newConnection, [&] {
        QLocalSocket *socket = foreign.nextPendingConnection();
        QObject::connect(socket, &QLocalSocket::readyRead, [&received, socket] { received += socket->readAll(); });
    });
    ASSERT_EQ(::seteuid(kOther), 0);
    const QString answer = whileServing(later(plan));
    ASSERT_EQ(::seteuid(0), 0);
    EXPECT_TRUE(answer.contains(QStringLiteral("belongs to another user"))) << answer.toStdString();
    QTest::qWait(50);
    EXPECT_TRUE(received.isEmpty());
}

} // namespace
} // namespace orv
