#include "app/qt/QtFolders.h"

#include "app/TempFolderRule.h"

#include <QCoreApplication>
#include <QDir>

#include <unistd.h>

namespace orv {

QString QtFolders::programFolder() const
{
    return QCoreApplication::applicationDirPath();
}

QString QtFolders::tempFolder() const
{
    return chooseTempFolder(qEnvironmentVariable("TEMP"), QDir::tempPath(), ::getuid());
}

} // namespace orv
