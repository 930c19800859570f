#include "app/TempFolderLock.h"

#include "app/FileOperations.h"
#include "files/Failure.h"
#include "files/FileAccess.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace orv {

namespace {

[[noreturn]] void fail(const QString &what, const QString &path, int error)
{
    throw Failure(QStringLiteral("%1 %2: %3").arg(what, QDir::toNativeSeparators(path), files::systemErrorText(error)));
}

// A chart workbook left by a dead run: a regular file that nobody marks in
// use. The name is opened without following a link.
bool isDeadWorkbook(int folderFd, const QByteArray &name)
{
    const int fd = ::openat(folderFd, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ELOOP;
    struct stat info {};
    const bool dead = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && !isMarkedInUse(fd);
    ::close(fd);
    return dead;
}

} // namespace

const QString TempFolderLock::kFileName = QStringLiteral("orvantis.lock");

TempFolderLock::TempFolderLock(const QString &folder, const std::function<void()> &whileWaiting)
    : mPath(QDir(folder).filePath(kFileName))
{
    while (!tryLock()) {
        if (whileWaiting)
            whileWaiting();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// One attempt. The lock counts only when the locked file is still the one
// at the path: the holder before may have removed it on leaving.
bool TempFolderLock::tryLock()
{
    const QByteArray native = QFile::encodeName(mPath);
    mFd = ::open(native.constData(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    if (mFd < 0)
        fail(QStringLiteral("Cannot open the lock file"), mPath, errno);
    struct stat locked {};
    if (::fstat(mFd, &locked) != 0 || !S_ISREG(locked.st_mode)) {
        ::close(mFd);
        throw Failure(QStringLiteral("Cannot use the lock file %1: it is not a regular file")
                          .arg(QDir::toNativeSeparators(mPath)));
    }
    if (::flock(mFd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(mFd);
        if (error != EWOULDBLOCK && error != EINTR)
            fail(QStringLiteral("Cannot lock"), mPath, error);
        return false;
    }
    struct stat current {};
    if (::lstat(native.constData(), &current) == 0 && current.st_dev == locked.st_dev &&
        current.st_ino == locked.st_ino)
        return true;
    ::close(mFd);
    return false;
}

// The lock file goes while still locked, so that nobody waits on it after.
TempFolderLock::~TempFolderLock()
{
    ::unlink(QFile::encodeName(mPath).constData());
    ::close(mFd);
}

void removeLeftovers(const QString &folder)
{
    static const QRegularExpression workbookName(QStringLiteral("^kdrave[1-9]{8}\\.xls$"));
    const int folderFd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0)
        return;
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::System | QDir::Hidden);
    for (const QString &name : names) {
        const QByteArray native = QFile::encodeName(name);
        if (name == QStringLiteral("temp.bmp") ||
            (workbookName.match(name).hasMatch() && isDeadWorkbook(folderFd, native)))
            ::unlinkat(folderFd, native.constData(), 0);
    }
    ::close(folderFd);
}

} // namespace orv
