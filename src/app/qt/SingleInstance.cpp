#include "app/qt/SingleInstance.h"

#include "files/Failure.h"
#include "files/FileAccess.h"
#include "files/FileName.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orv {

namespace {

// How long a later start waits in all for the running instance to answer,
// and how long the running instance waits for a request's line.
constexpr int kAnswerMs = 5000;
constexpr int kRetryMs = 50;
const QByteArray kTaken = QByteArrayLiteral("taken\n");
const QByteArray kRefused = QByteArrayLiteral("refused\n");
const QByteArray kBusy = QByteArrayLiteral("busy\n");

// The longest socket path the system takes (sun_path, its NUL left out).
constexpr int kMaxSocketPath = 107;

// A folder that no other user can enter or put anything into: a folder,
// not a link to one, of this user, with mode 0700.
bool isPrivateFolder(const QByteArray &path)
{
    struct stat info {};
    return ::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() &&
           (info.st_mode & 07777) == 0700;
}

// The runtime folder when it is private; else a folder of the program's
// own under the user's cache folder, made private; else none.
QByteArray channelFolder()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (runtime.startsWith('/') && isPrivateFolder(runtime))
        return runtime;
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty() || !QDir().mkpath(cache))
        return {};
    const QByteArray own = files::fileNameBytes(QDir(cache).filePath(QStringLiteral("orvantis-channel")));
    if (::mkdir(own.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    struct stat info {};
    if (::lstat(own.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid())
        ::chmod(own.constData(), 0700);
    return isPrivateFolder(own) ? own : QByteArray();
}

// The socket's path: the settings file's own path decides it, so that two
// names of the same file meet at the same socket. Empty when there is no
// private folder for it.
QString socketName(const QString &settingsPath)
{
    const QByteArray folder = channelFolder();
    if (folder.isEmpty())
        return {};
    const QFileInfo info(settingsPath);
    const QString canonical = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    const QByteArray hash = QCryptographicHash::hash(files::fileNameBytes(canonical), QCryptographicHash::Sha256);
    const QByteArray name = folder + "/orvantis-" + hash.toHex().left(16);
    return name.size() <= kMaxSocketPath ? files::fileNameFromBytes(name) : QString();
}

// The user at the other end of a local socket, or -1 when unknown.
long peerUser(const QLocalSocket &socket)
{
    struct ucred credentials {};
    socklen_t size = sizeof credentials;
    if (::getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0)
        return -1;
    return long(credentials.uid);
}

// Only an absolute path of an existing regular file is taken: anything else
// on the socket is not a start of this program.
bool isExistingFile(const QByteArray &path)
{
    struct stat info {};
    return path.startsWith('/') && !path.contains('\0') && ::stat(path.constData(), &info) == 0 &&
           S_ISREG(info.st_mode);
}

} // namespace

SingleInstance::SingleInstance(const QString &settingsPath, QObject *parent)
    : QObject(parent), mName(socketName(settingsPath)), mUser(::geteuid())
{
    if (mName.isEmpty())
        mUnavailable = QStringLiteral("There is no folder that only you can reach for the channel between two "
                                      "starts; Orvantis runs without it, so a second start opens a second window.");
}

SingleInstance::~SingleInstance()
{
    if (mLock >= 0)
        ::close(mLock);
}

bool SingleInstance::handOver(const QString &file)
{
    if (mName.isEmpty())
        return false;
    const QByteArray lockPath = files::fileNameBytes(mName + QStringLiteral(".lock"));
    mLock = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (mLock < 0)
        throw Failure(QStringLiteral("Cannot open %1: %2").arg(files::fileNameFromBytes(lockPath),
                                                              files::systemErrorText(errno)));
    // The running instance has its own working folder: a relative name is
    // made whole here, where it was typed.
    const QString absolute = file.isEmpty() ? QString() : QFileInfo(file).absoluteFilePath();
    const QByteArray request = files::fileNameBytes(absolute) + '\n';
    if (request.size() > kMaxRequest)
        throw Failure(QStringLiteral("Cannot open %1: the name is too long").arg(absolute));
    // The holder of the lock is the one instance; until it listens, a later
    // start keeps trying to reach it.
    const QDeadlineTimer deadline(kAnswerMs);
    for (;;) {
        if (::flock(mLock, LOCK_EX | LOCK_NB) == 0) {
            listen();
            return false;
        }
        switch (tryHandOver(request, int(deadline.remainingTime()))) {
        case Reply::Taken:
            return true;
        case Reply::Refused:
            throw Failure(QStringLiteral("Orvantis is running with this settings file and cannot open %1: "
                                         "it is not an existing file")
                              .arg(absolute));
        case Reply::Busy:
            throw Failure(QStringLiteral("Orvantis is running with this settings file and has too many files "
                                         "waiting to be opened; %1 was not opened")
                              .arg(absolute));
        case Reply::Foreign:
            throw Failure(QStringLiteral("The channel %1 of the running Orvantis belongs to another user; "
                                         "%2 was not handed to it")
                              .arg(mName, absolute));
        case Reply::NoAnswer:
            break;
        case Reply::NotListening:
            if (!deadline.hasExpired()) {
                QThread::msleep(kRetryMs);
                continue;
            }
            break;
        }
        throw Failure(QStringLiteral("Orvantis is running with this settings file but does not answer"));
    }
}

// A request that reached the running instance is never sent again: it may
// have been taken even when its answer is lost.
SingleInstance::Reply SingleInstance::tryHandOver(const QByteArray &request, int waitMs)
{
    const QDeadlineTimer deadline(std::max(waitMs, 0));
    QLocalSocket socket;
    socket.connectToServer(mName);
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return Reply::NotListening;
    if (peerUser(socket) != long(mUser))
        return Reply::Foreign;
    socket.write(request);
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
            return Reply::NoAnswer;
    while (!socket.canReadLine())
        if (!socket.waitForReadyRead(int(deadline.remainingTime())))
            return Reply::NoAnswer;
    const QByteArray reply = socket.readLine(64);
    return reply == kTaken ? Reply::Taken : reply == kBusy ? Reply::Busy : Reply::Refused;
}

void SingleInstance::listen()
{
    // Only a killed run leaves a socket behind while nobody holds the lock.
    QLocalServer::removeServer(mName);
    mServer = new QLocalServer(this);
    mServer->setSocketOptions(QLocalServer::UserAccessOption);
    if (!mServer->listen(mName)) {
        mUnavailable = QStringLiteral("Cannot listen on %1: %2. Orvantis runs without the channel between two "
                                      "starts.")
                           .arg(mName, mServer->errorString());
        return;
    }
    connect(mServer, &QLocalServer::newConnection, this, &SingleInstance::answer);
}

void SingleInstance::answer()
{
    while (QLocalSocket *socket = mServer->nextPendingConnection()) {
        if (peerUser(*socket) != long(mUser)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // What does not fit the buffer is left unread, so that a request
        // without its newline holds no more than this.
        socket->setReadBufferSize(kMaxRequest);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(*socket); });
        QTimer::singleShot(kAnswerMs, socket, [socket] { socket->abort(); });
        if (socket->bytesAvailable() > 0)
            readRequest(*socket);
    }
}

// Answers at once; the file is only queued here.
void SingleInstance::readRequest(QLocalSocket &socket)
{
    if (!socket.canReadLine()) {
        if (socket.bytesAvailable() >= kMaxRequest)
            socket.abort();
        return;
    }
    QByteArray line = socket.readLine();
    line.chop(1);
    QByteArray reply = kRefused;
    if (line.isEmpty() || isExistingFile(line))
        reply = mTake && !mTake(files::fileNameFromBytes(line)) ? kBusy : kTaken;
    socket.write(reply);
    socket.disconnectFromServer();
}

} // namespace orv
