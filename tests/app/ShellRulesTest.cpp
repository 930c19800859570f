// The small rules of the shell: the application title, the file test, the
// user's short date form, the temporary folder and the hover rule.
#include "app/AppTitle.h"
#include "app/FileExists.h"
#include "app/PointerSetting.h"
#include "app/ShortDate.h"
#include "app/TempFolderRule.h"
#include "files/Failure.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QGuiApplication>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace orv {
namespace {

struct TitleCase {
    QString product;
    QString title;
};

class AppTitle : public ::testing::TestWithParam<TitleCase> {};

TEST_P(AppTitle, CutsAtTheLastSpace)
{
    EXPECT_EQ(appTitleFor(GetParam().product), GetParam().title);
}

INSTANTIATE_TEST_SUITE_P(
    Titles, AppTitle,
    ::testing::Values(TitleCase{"Orvantis", "Orvantis"},
                      TitleCase{"Alpha Beta Gammadelta", "Alpha Beta"},
                      TitleCase{"abcdefghi abcdefghi abcdefghi abcdefghi abcdefghi abcdefghi",
                                "abcdefghi abcdefghi abcdefghi abcdefghi"},
                      TitleCase{"averyveryverylongwordthatgoesonandonandonforever tail",
                                "averyveryverylongwordthatgoesonandonandonforever"},
                      TitleCase{"", ""}, TitleCase{"Trailing ", "Trailing"}));

// The platform appends a display name, once one is set, to every window
// title ("Save File — Orvantis"); the application title must not be one.
TEST(AppTitle, IsKeptApartFromThePlatformsDisplayName)
{
    SetAppTitle();
    EXPECT_EQ(appTitle(), QStringLiteral("Orvantis"));
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
}

TEST(FileExistsTest, FilesAndFoldersCountOthersNot)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("a.txt");
    QFile(file).open(QIODevice::WriteOnly);
    EXPECT_TRUE(FileExists(file));
    EXPECT_TRUE(FileExists(dir.path()));
    EXPECT_FALSE(FileExists(QString()));
    EXPECT_FALSE(FileExists(dir.filePath("missing")));
    EXPECT_FALSE(FileExists(dir.filePath("missing/deeper/x")));
    EXPECT_FALSE(FileExists(QString(QChar(0)) + "x"));
}

struct DateCase {
    const char *locale;
    QString expected;
};

class ShortDate : public ::testing::TestWithParam<DateCase> {};

TEST_P(ShortDate, FourDigitYearInTheLocalesOrder)
{
    EXPECT_EQ(shortDateText(QDate(2016, 8, 11), QLocale(QLatin1String(GetParam().locale))), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Locales, ShortDate,
                         ::testing::Values(DateCase{"en_US", "8/11/2016"}, DateCase{"en_GB", "11/08/2016"},
                                           DateCase{"de_DE", "11.08.2016"}, DateCase{"C", "2016-08-11"}));

class TempFolderRule : public ::testing::Test {
protected:
    QTemporaryDir system;
    const unsigned uid = ::getuid();
    QString privateFolder() const { return system.filePath(QStringLiteral("orvantis-%1").arg(uid)); }
};

TEST_F(TempFolderRule, TempVariableIsUsedAsItIs)
{
    EXPECT_EQ(chooseTempFolder("/some/where", system.path(), uid), "/some/where");
    EXPECT_FALSE(QFileInfo::exists(privateFolder()));
}

TEST_F(TempFolderRule, PrivateFolderIsCreatedClosedToOthers)
{
    EXPECT_EQ(chooseTempFolder(QString(), system.path(), uid), privateFolder());
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(privateFolder()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(chooseTempFolder(QString(), system.path(), uid), privateFolder());
}

TEST_F(TempFolderRule, RefusesFolderOpenToOthersOrOwnedByAnother)
{
    ASSERT_TRUE(QDir().mkpath(privateFolder()));
    ::chmod(QFile::encodeName(privateFolder()).constData(), 0777);
    EXPECT_THROW(chooseTempFolder(QString(), system.path(), uid), Failure);
    ::chmod(QFile::encodeName(privateFolder()).constData(), 0700);
    EXPECT_THROW(chooseTempFolder(QString(), system.path(), uid + 1), Failure);
}

TEST_F(TempFolderRule, RefusesLinkOrFileInItsPlace)
{
    QTemporaryDir elsewhere;
    ASSERT_TRUE(QFile::link(elsewhere.path(), privateFolder()));
    EXPECT_THROW(chooseTempFolder(QString(), system.path(), uid), Failure);
    QFile::remove(privateFolder());
    QFile(privateFolder()).open(QIODevice::WriteOnly);
    EXPECT_THROW(chooseTempFolder(QString(), system.path(), uid), Failure);
}

TEST(HoverRule, HourglassIsNeverDisturbed)
{
    using P = PointerSetting;
    for (P wanted : {P::Default, P::Custom}) {
        EXPECT_EQ(pointerAfterHover(P::Hourglass, wanted), P::Hourglass);
        EXPECT_EQ(pointerAfterHover(P::Default, wanted), wanted);
        EXPECT_EQ(pointerAfterHover(P::Custom, wanted), wanted);
    }
}

} // namespace
} // namespace orv
