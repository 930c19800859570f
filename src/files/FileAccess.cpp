#include "files/FileAccess.h"

#include "files/Failure.h"
#include "files/FileName.h"
#include "files/StagingNames.h"

#include <QDir>
#include <algorithm>
#include <limits>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orv::files {

namespace {

[[noreturn]] void fail(const QString &what, const QString &path, int error)
{
    const QString cause = error == ELOOP ? QStringLiteral("it is a symbolic link, which is not followed")
                                         : systemErrorText(error);
    throw Failure(QStringLiteral("%1 %2: %3").arg(what, QDir::toNativeSeparators(path), cause));
}

// The errno of the first failed write, or 0 once every byte is written.
int writeAll(FileCalls &calls, int fd, const QByteArray &bytes)
{
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = calls.write(fd, bytes.constData() + written, static_cast<size_t>(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return ENOSPC;
        written += n;
    }
    return 0;
}

// The process's umask, read without changing it where the system tells it
// (Linux 4.7 on); else by setting it and putting it back.
mode_t readUmask()
{
    if (FILE *status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status))
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        std::fclose(status);
        if (found)
            return mode_t(mask);
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// Read once, while the program loads and has no other thread: setting the
// umask to read it is not safe once a second thread may create files.
const mode_t gUmask = readUmask();

// The mode a file created now would get: 0666 less the process's umask.
mode_t newFileMode()
{
    return 0666 & ~gUmask;
}

// Gives the staged file the owner and mode of the file it replaces.
void takeOverAttributes(int fd, const QByteArray &target)
{
    struct stat old {};
    if (::lstat(target.constData(), &old) == 0 && S_ISREG(old.st_mode)) {
        if (::fchown(fd, old.st_uid, old.st_gid) != 0)
            (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
        ::fchmod(fd, old.st_mode & 07777);
    } else {
        ::fchmod(fd, newFileMode());
    }
}

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

QByteArray inFolder(const QByteArray &folder, const QByteArray &name)
{
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

// File systems and kernels without O_TMPFILE answer with one of these.
bool unnamedFilesUnsupported(int error) { return error == EOPNOTSUPP || error == EISDIR || error == EINVAL; }

} // namespace

int FileCalls::openUnnamed(const QByteArray &folder, mode_t mode)
{
    // A name is given through /proc/self/fd: without it, no unnamed file.
    if (::access("/proc/self/fd", X_OK) != 0) {
        errno = EOPNOTSUPP;
        return -1;
    }
    return ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
}

int FileCalls::openNew(const QByteArray &path, mode_t mode)
{
    return ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
}

ssize_t FileCalls::write(int fd, const char *data, size_t size) { return ::write(fd, data, size); }

int FileCalls::sync(int fd) { return ::fsync(fd); }

int FileCalls::linkUnnamed(int fd, const QByteArray &path)
{
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    return ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, path.constData(), AT_SYMLINK_FOLLOW);
}

int FileCalls::link(const QByteArray &from, const QByteArray &to) { return ::link(from.constData(), to.constData()); }

int FileCalls::rename(const QByteArray &from, const QByteArray &to)
{
    return ::rename(from.constData(), to.constData());
}

int FileCalls::unlink(const QByteArray &path) { return ::unlink(path.constData()); }

int FileCalls::syncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    // Some file systems cannot flush a folder and say so with EINVAL.
    const int synced = ::fsync(fd) == 0 || errno == EINVAL ? 0 : -1;
    const int error = errno;
    ::close(fd);
    errno = error;
    return synced;
}

int FileCalls::close(int fd) { return ::close(fd); }

FileCalls &systemFileCalls()
{
    static FileCalls calls;
    return calls;
}

QString systemErrorText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

namespace {

QByteArray readRegularFile(const QString &path, Links links, qint64 limit, bool sameSize)
{
    const int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | (links == Links::Refuse ? O_NOFOLLOW : 0);
    const int fd = ::open(fileNameBytes(path).constData(), flags);
    if (fd < 0)
        fail(QStringLiteral("Cannot open"), path, errno);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        throw Failure(QStringLiteral("Cannot open %1: it is not a regular file").arg(QDir::toNativeSeparators(path)));
    }
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(std::min<qint64>(info.st_size, limit)));
    char buffer[65536];
    while (bytes.size() < limit) {
        const qint64 wanted = std::min<qint64>(sizeof buffer, limit - bytes.size());
        const ssize_t n = ::read(fd, buffer, static_cast<size_t>(wanted));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            fail(QStringLiteral("Cannot read"), path, error);
        }
        if (n == 0)
            break;
        bytes.append(buffer, n);
    }
    ::close(fd);
    if (sameSize && bytes.size() != std::min<qint64>(info.st_size, limit))
        throw Failure(QStringLiteral("Cannot read %1: it changed while it was read (from %2 bytes to %3 at least)")
                          .arg(QDir::toNativeSeparators(path))
                          .arg(info.st_size)
                          .arg(bytes.size()));
    return bytes;
}

} // namespace

QByteArray readWholeFile(const QString &path, Links links)
{
    return readRegularFile(path, links, std::numeric_limits<qint64>::max(), false);
}

QByteArray readFileUpTo(const QString &path, Links links, qint64 limit)
{
    return readRegularFile(path, links, limit, true);
}

StagedFile::StagedFile(const QString &path, const QByteArray &bytes, Durability durability, FileCalls &calls)
    : mCalls(&calls), mPath(path), mTarget(fileNameBytes(path)), mFolder(folderOf(mTarget)), mDurability(durability)
{
    removeStagingLeftovers(mFolder);
    mFd = mCalls->openUnnamed(mFolder, 0600);
    if (mFd < 0 && unnamedFilesUnsupported(errno)) {
        do {
            mStaged = inFolder(mFolder, newStagingName());
            mFd = mCalls->openNew(mStaged, 0600);
        } while (mFd < 0 && errno == EEXIST);
    }
    if (mFd < 0) {
        mStaged.clear();
        fail(QStringLiteral("Cannot write"), path, errno);
    }
    // The lock tells a later run's clean-up that this file is in use.
    ::flock(mFd, LOCK_EX);
    takeOverAttributes(mFd, mTarget);
    int error = writeAll(*mCalls, mFd, bytes);
    if (error == 0 && mDurability == Durability::Lasting && mCalls->sync(mFd) != 0)
        error = errno;
    if (error != 0) {
        release();
        fail(QStringLiteral("Cannot write"), path, error);
    }
}

StagedFile::StagedFile(StagedFile &&other) noexcept
    : mCalls(other.mCalls), mPath(std::exchange(other.mPath, QString())),
      mTarget(std::exchange(other.mTarget, QByteArray())), mFolder(std::exchange(other.mFolder, QByteArray())),
      mStaged(std::exchange(other.mStaged, QByteArray())), mFd(std::exchange(other.mFd, -1)),
      mDurability(other.mDurability)
{
}

StagedFile::~StagedFile() { release(); }

void StagedFile::release()
{
    if (!mStaged.isEmpty())
        mCalls->unlink(mStaged);
    mStaged.clear();
    if (mFd >= 0)
        mCalls->close(mFd);
    mFd = -1;
}

void StagedFile::nameStagedFile()
{
    while (mStaged.isEmpty()) {
        mStaged = inFolder(mFolder, newStagingName());
        if (mCalls->linkUnnamed(mFd, mStaged) == 0)
            return;
        const int error = errno;
        mStaged.clear();
        if (error != EEXIST)
            fail(QStringLiteral("Cannot write"), mPath, error);
    }
}

void StagedFile::syncFolder()
{
    const int error = mDurability == Durability::Lasting && mCalls->syncFolder(mFolder) != 0 ? errno : 0;
    release();
    if (error != 0)
        fail(QStringLiteral("Cannot write"), mPath, error);
}

void StagedFile::commit()
{
    if (mFd < 0)
        throw Failure(QStringLiteral("Cannot replace %1: already done").arg(QDir::toNativeSeparators(mPath)));
    nameStagedFile();
    if (mCalls->rename(mStaged, mTarget) != 0)
        fail(QStringLiteral("Cannot replace"), mPath, errno);
    mStaged.clear();
    syncFolder();
}

bool StagedFile::commitAsNew()
{
    if (mFd < 0)
        throw Failure(QStringLiteral("Cannot create %1: already done").arg(QDir::toNativeSeparators(mPath)));
    const int linked = mStaged.isEmpty() ? mCalls->linkUnnamed(mFd, mTarget) : mCalls->link(mStaged, mTarget);
    if (linked != 0 && errno == EEXIST)
        return false;
    if (linked != 0)
        fail(QStringLiteral("Cannot create"), mPath, errno);
    syncFolder();
    return true;
}

void replaceFile(const QByteArray &bytes, const QString &path, Durability durability)
{
    StagedFile(path, bytes, durability).commit();
}

bool createFile(const QByteArray &bytes, const QString &path, Durability durability)
{
    return StagedFile(path, bytes, durability).commitAsNew();
}

} // namespace orv::files
