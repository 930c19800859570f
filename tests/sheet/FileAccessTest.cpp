#include "sheet/Failure.h"
#include "sheet/FileAccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace orv::sheet {
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

} // namespace
} // namespace orv::sheet
