#include "app/qt/IniSettingsStore.h"
#include "sheet/Failure.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>


// Readable test names and failure messages for QString values.
inline void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }

namespace orv {
namespace {

class SettingsRoundTrip : public ::testing::TestWithParam<QString> {
protected:
    QTemporaryDir dir;
};

TEST_P(SettingsRoundTrip, ValueComesBackExactly)
{
    const QString path = dir.filePath("Varnholt.ini");
    IniSettingsStore(path).write("Tasks", GetParam());
    EXPECT_EQ(IniSettingsStore(path).read("Tasks"), GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    TrickyValues, SettingsRoundTrip,
    ::testing::Values(QString(), QString("Plan^50^1/2/2024^1/9/2024^Design^|Review^^^^Design^V"), QString("a,b"),
                      QString(","), QString("x,"), QString("\"quoted\""), QString("\""), QString("back\\slash"),
                      QString("\\"), QString("semi;colon"), QString(" lead"), QString("trail "), QString("  "),
                      QString("Grüße ñ 日本 €"), QString("@Variant(x)"), QString("@@"), QString("a=b"),
                      QString("#hash"), QString("[Section]"), QString("\ttab"), QString("two\nlines\r\n"),
                      QString("'single'")));

class SettingsFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath("Varnholt.ini");
    void writeRaw(const QByteArray &bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
};

TEST_F(SettingsFile, MissingFileAndKeyReadAsMissing)
{
    EXPECT_EQ(IniSettingsStore(path).read("Categories"), std::nullopt);
    IniSettingsStore(path).write("TabSel", "1");
    EXPECT_EQ(IniSettingsStore(path).read("Categories"), std::nullopt);
    EXPECT_EQ(IniSettingsStore(path).read("TabSel"), QString("1"));
}

TEST_F(SettingsFile, KeepsValuesUnderTheOrvantisGroup)
{
    IniSettingsStore(path).write("Categories", "A|B");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("[Orvantis]")) << text.constData();
    EXPECT_TRUE(text.contains("Categories=A|B")) << text.constData();
}

TEST_F(SettingsFile, MalformedFileDoesNotStopReadingOrWriting)
{
    writeRaw("\x01\x02[[[\n=\nno equals sign\n[Orvantis]\nTabSel=2\n");
    IniSettingsStore store(path);
    EXPECT_EQ(store.read("TabSel"), QString("2"));
    EXPECT_EQ(store.read("Events"), std::nullopt);
    store.write("Events", "E^^");
    EXPECT_EQ(store.read("Events"), QString("E^^"));
}

TEST_F(SettingsFile, UnusableFileReadsAsMissingAndWritingFails)
{
    ASSERT_TRUE(QDir().mkpath(path)); // a folder where the file should be
    IniSettingsStore store(path);
    EXPECT_EQ(store.read("TabSel"), std::nullopt);
    EXPECT_THROW(store.write("TabSel", "1"), Failure);
    const QString blocked = dir.filePath("blocker");
    QFile(blocked).open(QIODevice::WriteOnly);
    EXPECT_THROW(IniSettingsStore(blocked + "/Varnholt.ini").write("TabSel", "1"), Failure);
}

TEST(SettingsLocation, FollowsXdgConfigHome)
{
    EXPECT_EQ(defaultSettingsPath(), QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + "/Varnholt.ini");
}

} // namespace
} // namespace orv
