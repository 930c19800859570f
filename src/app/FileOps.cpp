#include "app/FileOps.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace orv {

namespace {

void DeleteFileForced(const QString &path)
{
    QFile file(path);
    file.setPermissions(file.permissions() | QFileDevice::WriteOwner | QFileDevice::WriteUser);
    file.remove();
}

} // namespace

bool FileExists(const QString &path) { return !path.isEmpty() && QFileInfo::exists(path); }

void DeleteFileIfExists(const QString &path)
{
    QCoreApplication::processEvents();
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    if (!QFile::remove(path))
        DeleteFileForced(path);
}

} // namespace orv
