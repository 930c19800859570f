#include "chart/PictureHandOff.h"
#include "chart/SpreadsheetApplication.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace orv::chart {
namespace {

class HandOff : public ::testing::Test {
protected:
    HandOff()
    {
        picture.fill(Qt::darkCyan);
        PictureHandOff::keepPictures(true);
    }
    ~HandOff() override { PictureHandOff::keepPictures(false); }

    // What the picture export does: the file, then the picture held for the screen.
    void save() { CopiedPicture(QByteArray("PNG bytes"), picture).save(path); }

    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("temp.bmp"));
    QImage picture{40, 30, QImage::Format_RGB16};
};

TEST_F(HandOff, ThePictureJustSavedIsTakenOnceWithoutDecoding)
{
    save();
    const std::optional<QImage> taken = PictureHandOff::take(path);
    ASSERT_TRUE(taken.has_value());
    EXPECT_EQ(taken->cacheKey(), picture.cacheKey());
    EXPECT_FALSE(PictureHandOff::take(path).has_value());
}

TEST_F(HandOff, AnotherPathOrAFileChangedSinceGivesNothing)
{
    save();
    EXPECT_FALSE(PictureHandOff::take(folder.filePath(QStringLiteral("other.bmp"))).has_value());
    save();
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write("more");
    }
    EXPECT_FALSE(PictureHandOff::take(path).has_value());
    save();
    QFile::remove(path);
    EXPECT_FALSE(PictureHandOff::take(path).has_value());
}

TEST_F(HandOff, WithoutAWindowWantingItNothingIsKept)
{
    PictureHandOff::keepPictures(false);
    save();
    EXPECT_FALSE(PictureHandOff::take(path).has_value());
    EXPECT_TRUE(QFile::exists(path));
}

} // namespace
} // namespace orv::chart
