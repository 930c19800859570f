#include "app/FileOperations.h"

#include "files/Failure.h"
#include "files/FileAccess.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <map>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orv {

namespace {

QString systemError(int error) { return files::systemErrorText(error); }

// The open descriptors that hold the in-use marks, by path.
std::map<QString, int> &marksInUse()
{
    static std::map<QString, int> marks;
    return marks;
}

void dropMark(const QString &path)
{
    const auto mark = marksInUse().find(path);
    if (mark == marksInUse().end())
        return;
    ::close(mark->second);
    marksInUse().erase(mark);
}

// Opens a new file for writing, refusing an existing path or a link.
int createExclusively(const QString &path)
{
    return ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
}

} // namespace

void DeleteFileIfExists(const QString &path)
{
    QCoreApplication::processEvents();
    if (!QFileInfo(path).isFile())
        return;
    if (!QFile::remove(path))
        DeleteFileForced(path);
    if (!QFileInfo::exists(path))
        dropMark(path);
}

void DeleteFileForced(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    struct stat info {};
    if (fd >= 0 && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode))
        ::fchmod(fd, (info.st_mode & 07777) | S_IWUSR);
    if (fd >= 0)
        ::close(fd);
    ::unlink(native.constData());
}

void markInUse(const QString &path)
{
    dropMark(path);
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw Failure(QStringLiteral("Cannot open %1: %2").arg(path, systemError(errno)));
    if (::flock(fd, LOCK_SH | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        throw Failure(QStringLiteral("Cannot lock %1: %2").arg(path, systemError(error)));
    }
    marksInUse()[path] = fd;
}

bool isMarkedInUse(int fd)
{
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return true;
    ::flock(fd, LOCK_UN);
    return false;
}

void WriteBytesToFile(const QByteArray &bytes, const QString &path)
{
    if (!files::createFile(bytes, path, files::Durability::Scratch))
        throw Failure(QStringLiteral("Cannot create %1: %2").arg(path, systemError(EEXIST)));
}

void WriteBytesUnlessEqual(const QByteArray &bytes, const QString &path)
{
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) == 0) {
        if (S_ISLNK(info.st_mode))
            throw Failure(QStringLiteral("Cannot use %1: it is a symbolic link, which is not followed").arg(path));
        if (!S_ISREG(info.st_mode))
            throw Failure(QStringLiteral("Cannot use %1: it is not a regular file").arg(path));
        if (files::readWholeFile(path, files::Links::Refuse) == bytes)
            return;
        if (::unlink(QFile::encodeName(path).constData()) != 0)
            throw Failure(QStringLiteral("Cannot replace %1: %2").arg(path, systemError(errno)));
    }
    WriteBytesToFile(bytes, path);
}

ReservedFile::ReservedFile(ReservedFile &&other) noexcept : mPath(std::exchange(other.mPath, QString())) {}

ReservedFile &ReservedFile::operator=(ReservedFile &&other) noexcept
{
    if (this != &other) {
        if (isValid())
            QFile::remove(mPath);
        mPath = std::exchange(other.mPath, QString());
    }
    return *this;
}

ReservedFile::~ReservedFile()
{
    if (isValid())
        QFile::remove(mPath);
}

ReservedFile ReservedFile::create(const QString &path)
{
    const int fd = createExclusively(path);
    if (fd < 0) {
        if (errno == EEXIST || errno == ELOOP)
            return {};
        throw Failure(QStringLiteral("Cannot create %1: %2").arg(path, systemError(errno)));
    }
    ::close(fd);
    ReservedFile reserved;
    reserved.mPath = path;
    return reserved;
}

} // namespace orv
