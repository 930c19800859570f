#include "files/Failure.h"
#include "files/FileAccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace orv::files {
namespace {

class FileAccess : public ::testing::Test {
protected:
    FileAccess()
    {
        QFile file(path("file"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("contents");
        file.close();
        QFile::link(path("file"), path("link"));
        ::mkfifo(QFile::encodeName(path("fifo")).constData(), 0600);
        QDir(dir.path()).mkdir(QStringLiteral("folder"));
    }
    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    QByteArray contents(const char *name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QTemporaryDir dir;
};

TEST_F(FileAccess, ReadsRegularFilesAndFollowsLinksOnlyWhenAllowed)
{
    EXPECT_EQ(readWholeFile(path("file"), Links::Refuse), QByteArray("contents"));
    EXPECT_EQ(readWholeFile(path("link"), Links::Follow), QByteArray("contents"));
    try {
        readWholeFile(path("link"), Links::Refuse);
        ADD_FAILURE() << "a link was followed";
    } catch (const Failure &failure) {
        EXPECT_TRUE(failure.description().contains(QStringLiteral("symbolic link"))) << failure.what();
    }
}

// A FIFO or a folder is refused at once, without waiting for a writer.
TEST_F(FileAccess, RefusesWhatIsNotARegularFile)
{
    EXPECT_THROW(readWholeFile(path("fifo"), Links::Follow), Failure);
    EXPECT_THROW(readWholeFile(path("folder"), Links::Follow), Failure);
    EXPECT_THROW(readWholeFile(path("missing"), Links::Follow), Failure);
}

TEST_F(FileAccess, AStagedFileChangesNothingUntilCommittedAndThenReplacesTheLinkNotItsTarget)
{
    {
        StagedFile dropped(path("link"), "new");
        EXPECT_EQ(contents("link"), QByteArray("contents"));
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 3);
    StagedFile staged(path("link"), "new");
    staged.commit();
    EXPECT_FALSE(QFileInfo(path("link")).isSymLink());
    EXPECT_EQ(contents("link"), QByteArray("new"));
    EXPECT_EQ(contents("file"), QByteArray("contents"));
}

TEST_F(FileAccess, AFailedWriteNamesTheSystemsCause)
{
    try {
        replaceFile("x", path("missing/file"));
        ADD_FAILURE() << "no failure";
    } catch (const Failure &failure) {
        EXPECT_TRUE(failure.description().endsWith(QStringLiteral("No such file or directory"))) << failure.what();
    }
}

// A scratch file only skips the flush to disk: the replacement is the same.
class ReplacedFile : public FileAccess, public ::testing::WithParamInterface<Durability> {};

TEST_P(ReplacedFile, TakesTheNewContentsAndKeepsTheMode)
{
    ::chmod(QFile::encodeName(path("file")).constData(), 0640);
    replaceFile("replaced", path("file"), GetParam());
    EXPECT_EQ(contents("file"), QByteArray("replaced"));
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(path("file")).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    replaceFile("new", path("fresh"), GetParam());
    EXPECT_EQ(contents("fresh"), QByteArray("new"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 4);
}

INSTANTIATE_TEST_SUITE_P(Durabilities, ReplacedFile, ::testing::Values(Durability::Lasting, Durability::Scratch));

// Forwards every call to the system and records it with the name it uses;
// optionally the file system has no unnamed files, or cannot flush folders.
class RecordedCalls : public FileCalls {
public:
    bool unnamed = true;
    bool folderSyncFails = false;
    QStringList calls;

    int openUnnamed(const QByteArray &folder, mode_t mode) override
    {
        calls << "openUnnamed " + folder;
        if (unnamed)
            return FileCalls::openUnnamed(folder, mode);
        errno = EOPNOTSUPP;
        return -1;
    }
    int openNew(const QByteArray &path, mode_t mode) override
    {
        calls << "openNew " + path;
        return FileCalls::openNew(path, mode);
    }
    ssize_t write(int fd, const char *data, size_t size) override
    {
        calls << "write";
        return FileCalls::write(fd, data, size);
    }
    int sync(int fd) override
    {
        calls << "sync";
        return FileCalls::sync(fd);
    }
    int linkUnnamed(int fd, const QByteArray &path) override
    {
        calls << "linkUnnamed " + path;
        return FileCalls::linkUnnamed(fd, path);
    }
    int rename(const QByteArray &from, const QByteArray &to) override
    {
        calls << "rename " + from + " " + to;
        return FileCalls::rename(from, to);
    }
    int syncFolder(const QByteArray &folder) override
    {
        calls << "syncFolder " + folder;
        errno = EIO;
        return folderSyncFails ? -1 : FileCalls::syncFolder(folder);
    }
};

class StagedWrite : public FileAccess, public ::testing::WithParamInterface<bool> {};

// The new bytes are on disk before the rename, and the rename is on disk
// before the write reports success; nothing is staged outside the folder.
TEST_P(StagedWrite, FlushesTheFileThenRenamesThenFlushesTheFolder)
{
    RecordedCalls recorded;
    recorded.unnamed = GetParam();
    StagedFile staged(path("file"), "new", Durability::Lasting, recorded);
    staged.commit();
    EXPECT_EQ(contents("file"), QByteArray("new"));
    const QString folder = QFile::encodeName(dir.path());
    const QString stagedName = recorded.calls[GetParam() ? 3 : 1].section(u' ', 1, 1);
    EXPECT_TRUE(stagedName.startsWith(folder + "/.orvantis-")) << stagedName.toStdString();
    QStringList expected{"openUnnamed " + folder};
    if (!GetParam())
        expected << "openNew " + stagedName;
    expected << "write" << "sync";
    if (GetParam())
        expected << "linkUnnamed " + stagedName;
    expected << "rename " + stagedName + " " + path("file") << "syncFolder " + folder;
    EXPECT_EQ(recorded.calls, expected);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 3);
}

// A folder that cannot be flushed: the file is in place, but the write is
// not reported as a success.
TEST_P(StagedWrite, AFailedFolderFlushIsAFailure)
{
    RecordedCalls recorded;
    recorded.unnamed = GetParam();
    recorded.folderSyncFails = true;
    StagedFile staged(path("fresh"), "new", Durability::Lasting, recorded);
    EXPECT_THROW(staged.commit(), Failure);
}

INSTANTIATE_TEST_SUITE_P(UnnamedFiles, StagedWrite, ::testing::Bool());

} // namespace
} // namespace orv::files
