#include "app/FileOps.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace orv {
namespace {

class FileOpsTest : public ::testing::Test {
protected:
    QString make(const QString &name, QFileDevice::Permissions permissions = {})
    {
        const QString path = folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
        file.close();
        if (permissions)
            file.setPermissions(permissions);
        return path;
    }

    QTemporaryDir folder;
};

TEST_F(FileOpsTest, FileExistsForFilesAndFoldersOnly)
{
    EXPECT_TRUE(FileExists(make(QStringLiteral("a.xls"))));
    EXPECT_TRUE(FileExists(folder.path()));
    EXPECT_FALSE(FileExists(folder.filePath(QStringLiteral("missing.xls"))));
    EXPECT_FALSE(FileExists(QString()));
}

TEST_F(FileOpsTest, DeleteRemovesPlainAndReadOnlyFiles)
{
    const QString plain = make(QStringLiteral("plain.xls"));
    const QString readOnly = make(QStringLiteral("ro.xls"), QFileDevice::ReadOwner | QFileDevice::ReadUser);
    DeleteFileIfExists(plain);
    DeleteFileIfExists(readOnly);
    EXPECT_FALSE(QFile::exists(plain));
    EXPECT_FALSE(QFile::exists(readOnly));
}

TEST_F(FileOpsTest, DeleteIsQuietForMissingPathsAndLeavesFoldersAlone)
{
    DeleteFileIfExists(folder.filePath(QStringLiteral("missing.xls")));
    DeleteFileIfExists(QString());
    QDir(folder.path()).mkdir(QStringLiteral("sub"));
    DeleteFileIfExists(folder.filePath(QStringLiteral("sub")));
    EXPECT_TRUE(QDir(folder.filePath(QStringLiteral("sub"))).exists());
}

} // namespace
} // namespace orv
