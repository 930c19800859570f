#include "RenderTestSheet.h"

#include "files/Failure.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace orv::sheet {
namespace {

using test::RenderTestSheet;

class PictureFile : public RenderTestSheet, public ::testing::Test {
protected:
    PictureFile()
    {
        sheet.view().showGridlines = true;
        CellFormat merged = test::filled(0x333399);
        merged.font.color = Color::fromRgb(0xFFFFFF);
        merged.alignment.horizontal = HorizontalAlignment::Center;
        put({1, 1}, QStringLiteral("Spans several bands of the picture"), merged);
        sheet.mergedRanges().push_back({1, 1, 6, 3});
        CellFormat bordered;
        bordered.borders.top = {BorderStyle::Thick, Color::fromRgb(0xC00000)};
        bordered.borders.bottom = {BorderStyle::Double, Color{}};
        for (int column = 0; column < 6; ++column)
            put({8, column}, double(column) * 1000.5, bordered);
        put({10, 0}, QStringLiteral("A label spilling to the right"));
        put({12, 5}, QStringLiteral("end"));
        path = folder.filePath(QStringLiteral("temp.bmp"));
    }
    const CellRange range{0, 0, 12, 5};
    QTemporaryDir folder;
    QString path;
};

class PictureFileBands : public PictureFile, public ::testing::WithParamInterface<int> {};

// However the picture is cut into bands, the file holds the same pixels as
// one picture painted whole.
TEST_P(PictureFileBands, HoldTheSamePixelsAsTheWholePicture)
{
    RenderOptions options;
    options.bandHeight = GetParam();
    writePicture(workbook, 0, range, path, options);
    const QImage whole = render(range);
    const QImage read = readPicture(path).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(read.size(), whole.size());
    EXPECT_EQ(read, whole);
}

INSTANTIATE_TEST_SUITE_P(Heights, PictureFileBands, ::testing::Values(1, 7, 20, 33, 256, 100000));

TEST_F(PictureFile, IsAPngThatReplacesAnOlderFile)
{
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(100000, 'x'));
    }
    writePicture(workbook, 0, range, path);
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.read(8).startsWith("\x89PNG\r\n\x1a\n"));
    EXPECT_EQ(readPicture(path).size(), pictureSize(workbook, 0, range));
}

TEST_F(PictureFile, BytesKeptInMemoryWriteTheSameFile)
{
    const QByteArray picture = encodePicture(workbook, 0, range);
    writePicture(workbook, 0, range, path);
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), picture);
}

TEST_F(PictureFile, FailingLeavesNoOlderPictureBehind)
{
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("stale");
    }
    sheet.setColumnInfo(0, {0, true, 0});
    EXPECT_THROW(writePicture(workbook, 0, {0, 0, 3, 0}, path), Failure); // nothing visible
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(PictureFile, CannotBeWrittenIntoAMissingFolder)
{
    try {
        writePicture(workbook, 0, range, folder.filePath(QStringLiteral("missing/temp.bmp")));
        FAIL() << "no failure";
    } catch (const Failure &failure) {
        EXPECT_TRUE(failure.description().contains(QStringLiteral("missing/temp.bmp")));
    }
}

TEST_F(PictureFile, ThatIsNotAPictureIsReportedWhenRead)
{
    QFile junk(path);
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a picture at all");
    junk.close();
    EXPECT_THROW(readPicture(path), Failure);
    EXPECT_THROW(readPicture(folder.filePath(QStringLiteral("none.bmp"))), Failure);
}

// A 1,000-task chart is larger than Qt's default 128 MB reading limit.
TEST_F(PictureFile, AboveQtsDefaultReadingLimitIsRead)
{
    const CellRange tall{0, 0, 2999, 15}; // 1,024 x 60,000 pixels
    put({2999, 15}, QStringLiteral("last"));
    const QSize size = pictureSize(workbook, 0, tall);
    ASSERT_GT(qint64(size.width()) * size.height() * 4, qint64(128) * 1024 * 1024);
    writePicture(workbook, 0, tall, path);
    EXPECT_EQ(readPicture(path).size(), size);
}

// The builder allows rows up to the 16-bit limit: such a chart is refused with
// a clear report before anything is painted, and renderRange refuses it too.
TEST_F(PictureFile, OfTheLargestChartIsRefusedClearly)
{
    for (int column = 7; column < 203; ++column)
        sheet.setColumnInfo(column, {2.0, false, 0});
    const CellRange largest{0, 0, 32766, 202};
    put({32766, 202}, QStringLiteral("last"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    }
    try {
        writePicture(workbook, 0, largest, path);
        FAIL() << "no failure";
    } catch (const Failure &failure) {
        EXPECT_TRUE(failure.description().contains(QStringLiteral("more than the 268 million pixels")))
            << failure.description().toStdString();
    }
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_THROW(render(largest), Failure);
}

} // namespace
} // namespace orv::sheet
