#include "ChartBuilderFixture.h"
#include "chart/PictureFileWriting.h"
#include "sheet/render/RangePicture.h"

namespace orv::chart::test {
namespace {

// A preview that paints from the sheet, and waits for the file being written
// in the background to compare it while it is still there.
class TakingPreview : public RecordingPreview {
public:
    void takePicture(const HandedPicture &picture) override
    {
        handed = picture;
        fileWasWaitedFor = bool(picture.writing);
        if (picture.writing)
            picture.writing->wait();
        fromFile = sheet::readPicture(picture.path);
    }
    bool paintsFromSheet() const override { return true; }
    bool fileWasWaitedFor = false;
    HandedPicture handed;
    QImage fromFile;
};

class HandedPictureTest : public ChartBuilderTest {
protected:
    HandedPictureTest()
    {
        lists.categories = {{QStringLiteral("Design")}};
        lists.tasks = {{QStringLiteral("Sketch"), QStringLiteral("50"), QStringLiteral("3/1/2024"),
                        QStringLiteral("3/9/2024"), QStringLiteral("Design"), QString()}};
    }
    // "Create Template!" with a preview that paints from the sheet.
    void createForTaking()
    {
        ChartBuilder own(
            ChartBuilder::Parts{scripted.services, lists, window, taking, [] { return loadCustomResource(101); }}, kSeed);
        own.PushButton6_Click();
    }
    TakingPreview taking;
};

// The builder hands over the sheet's picture, which paints what the file
// holds, and knows the chart sheet's frozen panes: columns A to G, and rows
// 2 to 8 (the picture of the used range starts at row 2).
TEST_F(HandedPictureTest, TheSheetsPictureIsTheFilesAndCarriesTheFrozenPanes)
{
    createForTaking();
    ASSERT_NE(taking.handed.sheet, nullptr);
    ASSERT_TRUE(taking.fileWasWaitedFor);
    sheet::RangePicture &picture = *taking.handed.sheet;
    ASSERT_EQ(picture.size(), taking.fromFile.size());
    EXPECT_EQ(picture.render(QRect(QPoint(), picture.size()), 1.0), taking.fromFile.convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(picture.frozenSize(), QSize(15 + 20 + 186 + 45 + 45 + 64 + 9, 25 + 5 * 20 + 5));
    // At twice the size (a zoom of 2, or a screen of two pixels to one) each
    // pixel becomes four of its colour; only the edges of text differ.
    const QImage file = taking.fromFile.convertToFormat(QImage::Format_RGB32);
    const QImage twice = picture.render(QRect(QPoint(), picture.size() * 2), 2.0);
    int same = 0;
    int compared = 0;
    for (int y = 0; y < file.height(); y += 3)
        for (int x = 0; x < file.width(); x += 3, ++compared)
            same += twice.pixel(2 * x + 1, 2 * y + 1) == file.pixel(x, y);
    EXPECT_GT(same, compared * 95 / 100);
    EXPECT_FALSE(QFile::exists(taking.handed.path));
    EXPECT_TRUE(scripted.messages.shown.empty());
}

// The file written in the background holds the picture's own bytes, while
// the window paints from the same sheet; a deletion asked for while the file
// is still being written happens once it is written.
TEST_F(HandedPictureTest, TheFileWrittenInTheBackgroundIsThePicturesAndIsDeletedWhenAsked)
{
    createForTaking();
    ASSERT_NE(taking.handed.sheet, nullptr);
    const QString path = temp(QStringLiteral("again.png"));

    const auto kept = PictureFileWriting::start(taking.handed.sheet, path);
    const QImage painted = taking.handed.sheet->render(QRect(0, 0, 300, 200), 1.5);
    kept->wait();
    ASSERT_TRUE(kept->written());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), taking.handed.sheet->encoded());
    EXPECT_FALSE(painted.isNull());

    const auto dropped = PictureFileWriting::start(taking.handed.sheet, path);
    dropped->deleteWhenWritten();
    dropped->wait();
    EXPECT_TRUE(dropped->written());
    EXPECT_FALSE(QFile::exists(path));
}

// A preview that does not take the kept picture is given the file to read.
TEST_F(HandedPictureTest, APreviewThatOnlyReadsFilesIsGivenTheFile)
{
    builder.PushButton6_Click();
    EXPECT_EQ(preview.calls, QStringList({QStringLiteral("picture"), QStringLiteral("file"), QStringLiteral("show")}));
    EXPECT_FALSE(preview.picture.isNull());
}

} // namespace
} // namespace orv::chart::test
