#include "app/qt/SingleInstance.h"

#include "files/Failure.h"
#include "files/FileAccess.h"
#include "files/FileName.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace orv {

namespace {

constexpr int kWaitMs = 2000;
constexpr int kAttempts = 20;
const QByteArray kTaken = QByteArrayLiteral("taken\n");

// The socket's path: the settings file's own path decides it, so that two
// names of the same file meet at the same socket.
QString socketName(const QString &settingsPath)
{
    const QFileInfo info(settingsPath);
    const QString canonical = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    const QByteArray hash = QCryptographicHash::hash(sheet::fileNameBytes(canonical), QCryptographicHash::Sha256);
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return QDir(folder).filePath(QStringLiteral("orvantis-") + QString::fromLatin1(hash.toHex().left(16)));
}

} // namespace

SingleInstance::SingleInstance(const QString &settingsPath, QObject *parent)
    : QObject(parent), mName(socketName(settingsPath))
{
}

SingleInstance::~SingleInstance()
{
    if (mLock >= 0)
        ::close(mLock);
}

bool SingleInstance::handOver(const QString &file)
{
    const QByteArray lockPath = sheet::fileNameBytes(mName + QStringLiteral(".lock"));
    mLock = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (mLock < 0)
        throw Failure(QStringLiteral("Cannot open %1: %2").arg(sheet::fileNameFromBytes(lockPath),
                                                              sheet::systemErrorText(errno)));
    // The holder of the lock is the one instance; until it listens, a later
    // start keeps trying to reach it.
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (::flock(mLock, LOCK_EX | LOCK_NB) == 0) {
            listen();
            return false;
        }
        if (tryHandOver(file))
            return true;
        QThread::msleep(kWaitMs / kAttempts);
    }
    throw Failure(QStringLiteral("Orvantis is running with this settings file but does not answer"));
}

bool SingleInstance::tryHandOver(const QString &file)
{
    QLocalSocket socket;
    socket.connectToServer(mName);
    if (!socket.waitForConnected(kWaitMs))
        return false;
    socket.write(sheet::fileNameBytes(file) + '\n');
    if (!socket.waitForBytesWritten(kWaitMs))
        return false;
    while (!socket.canReadLine())
        if (!socket.waitForReadyRead(kWaitMs))
            return false;
    return socket.readLine() == kTaken;
}

void SingleInstance::listen()
{
    // Only a killed run leaves a socket behind while nobody holds the lock.
    QLocalServer::removeServer(mName);
    mServer = new QLocalServer(this);
    mServer->setSocketOptions(QLocalServer::UserAccessOption);
    if (!mServer->listen(mName))
        throw Failure(QStringLiteral("Cannot listen on %1: %2").arg(mName, mServer->errorString()));
    connect(mServer, &QLocalServer::newConnection, this, &SingleInstance::answer);
}

void SingleInstance::answer()
{
    while (QLocalSocket *socket = mServer->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine())
                return;
            QByteArray line = socket->readLine();
            line.chop(1);
            socket->write(kTaken);
            socket->flush();
            if (mReact)
                mReact(sheet::fileNameFromBytes(line));
        });
    }
}

} // namespace orv
