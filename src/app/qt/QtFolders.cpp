#include "app/qt/QtFolders.h"

#include "app/TempFolderRule.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

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

QString QtFolders::rescueFolder() const
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("orvantis"));
}

} // namespace orv
