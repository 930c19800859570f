#include "sheet/FileAccess.h"

#include "sheet/Failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orv::sheet {

namespace {

[[noreturn]] void fail(const QString &what, const QString &path, int error)
{
    const QString cause = error == ELOOP ? QStringLiteral("it is a symbolic link, which is not followed")
                                         : systemErrorText(error);
    throw Failure(QStringLiteral("%1 %2: %3").arg(what, QDir::toNativeSeparators(path), cause));
}

void writeAll(int fd, const QByteArray &bytes)
{
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, static_cast<size_t>(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw errno;
        if (n == 0)
            throw ENOSPC;
        written += n;
    }
}

// The mode a file created now would get: 0666 less the process's umask.
mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
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

} // namespace

QString systemErrorText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

QByteArray readWholeFile(const QString &path, Links links)
{
    const int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | (links == Links::Refuse ? O_NOFOLLOW : 0);
    const int fd = ::open(QFile::encodeName(path).constData(), flags);
    if (fd < 0)
        fail(QStringLiteral("Cannot open"), path, errno);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        throw Failure(QStringLiteral("Cannot open %1: it is not a regular file").arg(QDir::toNativeSeparators(path)));
    }
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
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
    return bytes;
}

StagedFile::StagedFile(const QString &path, const QByteArray &bytes, Durability durability) : mPath(path)
{
    const QFileInfo target(path);
    QByteArray staged =
        QFile::encodeName(QDir(target.absolutePath()).filePath(QStringLiteral(".%1.XXXXXX").arg(target.fileName())));
    const int fd = ::mkostemp(staged.data(), O_CLOEXEC);
    if (fd < 0)
        fail(QStringLiteral("Cannot write"), path, errno);
    int error = 0;
    try {
        takeOverAttributes(fd, QFile::encodeName(path));
        writeAll(fd, bytes);
        if (durability == Durability::Lasting && ::fsync(fd) != 0)
            error = errno;
    } catch (int writeError) {
        error = writeError;
    }
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0) {
        ::unlink(staged.constData());
        fail(QStringLiteral("Cannot write"), path, error);
    }
    mStaged = QFile::decodeName(staged);
}

StagedFile::StagedFile(StagedFile &&other) noexcept
    : mPath(std::exchange(other.mPath, QString())), mStaged(std::exchange(other.mStaged, QString()))
{
}

StagedFile::~StagedFile()
{
    if (!mStaged.isEmpty())
        ::unlink(QFile::encodeName(mStaged).constData());
}

void StagedFile::commit()
{
    if (::rename(QFile::encodeName(mStaged).constData(), QFile::encodeName(mPath).constData()) != 0)
        fail(QStringLiteral("Cannot replace"), mPath, errno);
    mStaged.clear();
}

void replaceFile(const QByteArray &bytes, const QString &path, Durability durability)
{
    StagedFile(path, bytes, durability).commit();
}

} // namespace orv::sheet
