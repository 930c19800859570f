#include "files/StagingNames.h"

#include "files/Failure.h"
#include "files/FileAccess.h"
#include "files/FileName.h"

#include <QDir>
#include <QRandomGenerator>

#include <cerrno>

#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orv::files {

namespace {

constexpr char kPrefix[] = ".orvantis-";
constexpr size_t kPrefixLength = sizeof kPrefix - 1;
constexpr size_t kRandomLength = 6;
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr time_t kQuietSeconds = 60;

bool isAbandoned(int fd)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid())
        return false;
    if (std::time(nullptr) - info.st_mtime < kQuietSeconds)
        return false;
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

// Unlinks the entry only while it is still the file that was judged.
void removeIfSame(int folder, const char *name, int fd)
{
    struct stat opened {};
    struct stat named {};
    if (::fstat(fd, &opened) == 0 && ::fstatat(folder, name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
        opened.st_dev == named.st_dev && opened.st_ino == named.st_ino)
        ::unlinkat(folder, name, 0);
}

} // namespace

QByteArray newStagingName()
{
    QByteArray name(kPrefix);
    for (size_t i = 0; i < kRandomLength; ++i)
        name += kAlphabet[QRandomGenerator::system()->bounded(static_cast<int>(sizeof kAlphabet - 1))];
    return name;
}

bool isStagingName(const char *name)
{
    if (std::strlen(name) != kPrefixLength + kRandomLength || std::strncmp(name, kPrefix, kPrefixLength) != 0)
        return false;
    return std::strspn(name + kPrefixLength, kAlphabet) == kRandomLength;
}

ScratchFile::ScratchFile(const QString &folder)
{
    const QByteArray folderName = fileNameBytes(folder);
    do {
        mPath = folderName + '/' + newStagingName();
        mFd = ::open(mPath.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    } while (mFd < 0 && errno == EEXIST);
    if (mFd < 0)
        throw Failure(QStringLiteral("No temporary file can be created in %1: %2")
                          .arg(QDir::toNativeSeparators(folder), systemErrorText(errno)));
    ::flock(mFd, LOCK_EX);
}

ScratchFile::~ScratchFile()
{
    ::unlink(mPath.constData());
    ::close(mFd);
}

void removeStagingLeftovers(const QByteArray &folder)
{
    DIR *listing = ::opendir(folder.constData());
    if (listing == nullptr)
        return;
    const int folderFd = ::dirfd(listing);
    while (const dirent *entry = ::readdir(listing)) {
        if (!isStagingName(entry->d_name))
            continue;
        const int fd = ::openat(folderFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        if (isAbandoned(fd))
            removeIfSame(folderFd, entry->d_name, fd);
        ::close(fd);
    }
    ::closedir(listing);
}

} // namespace orv::files
