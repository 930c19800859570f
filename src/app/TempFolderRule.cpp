#include "app/TempFolderRule.h"

#include "files/Failure.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <sys/stat.h>

namespace orv {

namespace {

void refuse(const QString &path, const QString &why)
{
    throw Failure(QStringLiteral("Unsafe temporary folder %1: %2").arg(QDir::toNativeSeparators(path), why));
}

void checkPrivate(const QString &path, unsigned uid)
{
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        refuse(path, QStringLiteral("cannot be inspected"));
    if (!S_ISDIR(info.st_mode))
        refuse(path, QStringLiteral("not a folder"));
    if (info.st_uid != uid)
        refuse(path, QStringLiteral("owned by another user"));
    if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        refuse(path, QStringLiteral("open to other users"));
}

} // namespace

QString chooseTempFolder(const QString &tempVariable, const QString &systemTemp, unsigned uid)
{
    if (!tempVariable.isEmpty())
        return tempVariable;
    const QString path = QDir(systemTemp).filePath(QStringLiteral("orvantis-%1").arg(uid));
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), S_IRWXU) != 0 && errno != EEXIST)
        throw Failure(QStringLiteral("Cannot create the temporary folder %1").arg(QDir::toNativeSeparators(path)));
    checkPrivate(path, uid);
    return path;
}

} // namespace orv
