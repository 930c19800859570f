#include "app/FileOperations.h"

#include "sheet/Failure.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace orv {

namespace {

QString systemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

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
}

void DeleteFileForced(const QString &path)
{
    QFile file(path);
    file.setPermissions(file.permissions() | QFileDevice::WriteOwner);
    file.remove();
}

void WriteBytesToFile(const QByteArray &bytes, const QString &path)
{
    const int fd = createExclusively(path);
    if (fd < 0)
        throw Failure(QStringLiteral("Cannot create %1: %2").arg(path, systemError(errno)));
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, static_cast<size_t>(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int error = errno;
            ::close(fd);
            ::unlink(QFile::encodeName(path).constData());
            throw Failure(QStringLiteral("Cannot write %1: %2").arg(path, systemError(error)));
        }
        written += n;
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(QFile::encodeName(path).constData());
        throw Failure(QStringLiteral("Cannot write %1: %2").arg(path, systemError(error)));
    }
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
