#include "app/TempFolderLock.h"

#include "app/FileOperations.h"
#include "sheet/Failure.h"
#include "sheet/FileAccess.h"

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
    throw Failure(QStringLiteral("%1 %2: %3").arg(what, QDir::toNativeSeparators(path), sheet::systemErrorText(error)));
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
{
    const QString path = QDir(folder).filePath(kFileName);
    mFd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    if (mFd < 0)
        fail(QStringLiteral("Cannot open the lock file"), path, errno);
    struct stat info {};
    if (::fstat(mFd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(mFd);
        throw Failure(QStringLiteral("Cannot use the lock file %1: it is not a regular file")
                          .arg(QDir::toNativeSeparators(path)));
    }
    while (::flock(mFd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (error != EWOULDBLOCK && error != EINTR) {
            ::close(mFd);
            fail(QStringLiteral("Cannot lock"), path, error);
        }
        if (whileWaiting)
            whileWaiting();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

TempFolderLock::~TempFolderLock() { ::close(mFd); }

void removeLeftovers(const QString &folder)
{
    static const QRegularExpression workbookName(QStringLiteral("^kdrave[1-9]{8}\\.xls$"));
    // What a save cut short leaves: ".<name>.XXXXXX" beside the file.
    static const QRegularExpression stagedName(
        QStringLiteral("^\\.(template\\.xlt|temp\\.bmp|kdrave[1-9]{8}\\.xls)\\.[A-Za-z0-9]{6}$"));
    const int folderFd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0)
        return;
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::System | QDir::Hidden);
    for (const QString &name : names) {
        const QByteArray native = QFile::encodeName(name);
        if (name == QStringLiteral("temp.bmp") || stagedName.match(name).hasMatch() ||
            (workbookName.match(name).hasMatch() && isDeadWorkbook(folderFd, native)))
            ::unlinkat(folderFd, native.constData(), 0);
    }
    ::close(folderFd);
}

} // namespace orv
