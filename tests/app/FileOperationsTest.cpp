#include "app/FileOperations.h"
#include "files/Failure.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <sys/stat.h>
#include <gtest/gtest.h>

namespace orv {
namespace {

using orv::test::fileContents;

class FileOperationsTest : public ::testing::Test {
public:
    QString path(const char *name) const { return dir.filePath(QString::fromUtf8(name)); }
    static void put(const QString &file, const QByteArray &bytes)
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QTemporaryDir dir;
};

TEST_F(FileOperationsTest, DeleteFileIfExistsIsQuietForAMissingFile)
{
    EXPECT_NO_THROW(DeleteFileIfExists(path("nothing.xls")));
}

TEST_F(FileOperationsTest, DeleteFileIfExistsLeavesAFolderAlone)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.xls")));
    DeleteFileIfExists(path("folder.xls"));
    EXPECT_TRUE(QFileInfo(path("folder.xls")).isDir());
}

TEST_F(FileOperationsTest, DeleteFileIfExistsRemovesAReadOnlyFile)
{
    put(path("locked.xls"), "x");
    QFile::setPermissions(path("locked.xls"), QFileDevice::ReadOwner);
    DeleteFileIfExists(path("locked.xls"));
    EXPECT_FALSE(QFile::exists(path("locked.xls")));
}

TEST_F(FileOperationsTest, WriteBytesToFileWritesEveryByte)
{
    QByteArray bytes(70000, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7);
    WriteBytesToFile(bytes, path("template.xlt"));
    EXPECT_EQ(fileContents(path("template.xlt")), bytes);
}

TEST_F(FileOperationsTest, WriteBytesToFileNeverOverwritesAnExistingFile)
{
    put(path("template.xlt"), "theirs");
    EXPECT_THROW(WriteBytesToFile("ours", path("template.xlt")), Failure);
    EXPECT_EQ(fileContents(path("template.xlt")), QByteArray("theirs"));
}

TEST_F(FileOperationsTest, WriteBytesToFileNeverWritesThroughALink)
{
    put(path("victim"), "precious");
    ASSERT_TRUE(QFile::link(path("victim"), path("template.xlt")));
    EXPECT_THROW(WriteBytesToFile("ours", path("template.xlt")), Failure);
    EXPECT_EQ(fileContents(path("victim")), QByteArray("precious"));
    ASSERT_TRUE(QFile::link(path("absent"), path("dangling.xlt")));
    EXPECT_THROW(WriteBytesToFile("ours", path("dangling.xlt")), Failure);
    EXPECT_FALSE(QFile::exists(path("absent")));
}

TEST_F(FileOperationsTest, WriteBytesToFileReportsAMissingFolder)
{
    try {
        WriteBytesToFile("x", path("no/such/folder/file"));
        FAIL();
    } catch (const Failure &failure) {
        EXPECT_TRUE(failure.description().contains(path("no/such/folder/file")));
    }
}

TEST_F(FileOperationsTest, ReservationTakesAFreeNameOnlyOnce)
{
    ReservedFile first = ReservedFile::create(path("kdrave11111111.xls"));
    EXPECT_TRUE(first.isValid());
    EXPECT_FALSE(ReservedFile::create(path("kdrave11111111.xls")).isValid());
    ASSERT_TRUE(QFile::link(path("elsewhere"), path("link.xls")));
    EXPECT_FALSE(ReservedFile::create(path("link.xls")).isValid());
}

TEST_F(FileOperationsTest, UnreleasedReservationIsRemovedAndReleasedOneStays)
{
    {
        ReservedFile dropped = ReservedFile::create(path("a.xls"));
        ReservedFile kept = ReservedFile::create(path("b.xls"));
        kept.release();
    }
    EXPECT_FALSE(QFile::exists(path("a.xls")));
    EXPECT_TRUE(QFile::exists(path("b.xls")));
}

TEST_F(FileOperationsTest, TheForcedDeleteRemovesALinkWithoutTouchingItsTarget)
{
    put(path("target"), "x");
    ASSERT_EQ(::chmod(QFile::encodeName(path("target")).constData(), 0400), 0);
    ASSERT_TRUE(QFile::link(path("target"), path("temp.bmp")));
    DeleteFileForced(path("temp.bmp"));
    EXPECT_FALSE(QFileInfo(path("temp.bmp")).isSymLink());
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(path("target")).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0400u);
    EXPECT_EQ(fileContents(path("target")), QByteArray("x"));
}

// What stands at the path before, and whether the bytes end up there.
struct LeftoverCase {
    const char *name;
    std::function<void(FileOperationsTest &)> arrange;
    bool written;
};

class WriteUnlessEqual : public FileOperationsTest, public ::testing::WithParamInterface<LeftoverCase> {};

TEST_P(WriteUnlessEqual, UsesOnlyAnEqualFileAndRefusesWhatIsNoFile)
{
    GetParam().arrange(*this);
    if (GetParam().written) {
        WriteBytesUnlessEqual("template", path("template.xlt"));
        EXPECT_EQ(fileContents(path("template.xlt")), QByteArray("template"));
    } else {
        EXPECT_THROW(WriteBytesUnlessEqual("template", path("template.xlt")), Failure);
        EXPECT_EQ(fileContents(path("target")), QByteArray("precious"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Leftovers, WriteUnlessEqual,
    ::testing::Values(LeftoverCase{"Missing", [](FileOperationsTest &) {}, true},
                      LeftoverCase{"Equal", [](FileOperationsTest &t) { t.put(t.path("template.xlt"), "template"); },
                                   true},
                      LeftoverCase{"Foreign", [](FileOperationsTest &t) { t.put(t.path("template.xlt"), "other"); },
                                   true},
                      LeftoverCase{"Empty", [](FileOperationsTest &t) { t.put(t.path("template.xlt"), ""); }, true},
                      LeftoverCase{"Link",
                                   [](FileOperationsTest &t) {
                                       t.put(t.path("target"), "precious");
                                       QFile::link(t.path("target"), t.path("template.xlt"));
                                   },
                                   false},
                      LeftoverCase{"Folder",
                                   [](FileOperationsTest &t) {
                                       t.put(t.path("target"), "precious");
                                       QDir(t.dir.path()).mkdir(QStringLiteral("template.xlt"));
                                   },
                                   false}),
    [](const ::testing::TestParamInfo<LeftoverCase> &info) { return std::string(info.param.name); });

} // namespace
} // namespace orv
