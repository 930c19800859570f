#include "app/StoredList.h"
#include "app/qt/IniSettingsStore.h"
#include "app/qt/SettingsFileCheck.h"
#include "files/Failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>


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

TEST_F(SettingsFile, RemoveDropsOnlyThatKey)
{
    IniSettingsStore store(path);
    store.write("Categories", "A");
    store.write("CategoriesExact", "A");
    store.remove("CategoriesExact");
    store.remove("NeverWritten");
    EXPECT_EQ(store.read("CategoriesExact"), std::nullopt);
    EXPECT_EQ(store.read("Categories"), QString("A"));
}

const QStringList kListKeys = knownSettingsKeys();

struct FileCase {
    const char *name;
    QByteArray bytes;
    SettingsFileState state;
};

void PrintTo(const FileCase &c, std::ostream *out) { *out << c.name; }

// Whether a file's list values read back as they stand in it.
class SettingsFileInspection : public SettingsFile, public ::testing::WithParamInterface<FileCase> {};

TEST_P(SettingsFileInspection, FindsWhatTheReaderLoses)
{
    writeRaw(GetParam().bytes);
    EXPECT_EQ(inspectSettingsFile(path, "Orvantis", kListKeys), GetParam().state);
}

INSTANTIATE_TEST_SUITE_P(
    Files, SettingsFileInspection,
    ::testing::Values(
        FileCase{"Plain", "[Orvantis]\nTabSel=1\nCategories=A|B\nTasks=T^^^^^\nEvents=^^\n",
                 SettingsFileState::Readable},
        FileCase{"HandEdited", "[General]\nx=a\n[Orvantis]\r\nCategories = A|B \r\nTasks=a,b\r\n;c=\"\n",
                 SettingsFileState::Readable},
        FileCase{"DamageOutsideTheLists", "[Orvantis]\nCategories=A\nTabSel=1;\n", SettingsFileState::Unreadable},
        FileCase{"UnterminatedQuoteInAList", "[Orvantis]\nCategories=\"A|B\nTasks=T^^^^^\nEvents=^^\n",
                 SettingsFileState::Unreadable},
        FileCase{"UnterminatedQuoteBeforeTheLists", "[Orvantis]\nTabSel=\"1\nCategories=A|B\nTasks=T^^^^^\n",
                 SettingsFileState::Unreadable},
        FileCase{"StraySemicolon", "[Orvantis]\nCategories=A|B\nTasks=T^^^;^^\nEvents=^^\n",
                 SettingsFileState::Unreadable},
        FileCase{"BackslashJoiningLines", "[Orvantis]\nCategories=A\\\nTasks=T^^^^^\n",
                 SettingsFileState::Unreadable},
        FileCase{"KeyTwice", "[Orvantis]\nEvents=E^^\nEvents=F^^\n", SettingsFileState::Unreadable},
        FileCase{"NulInAValue", QByteArray("[Orvantis]\nCategories=A\0B\n", 25), SettingsFileState::Unreadable}),
    [](const auto &info) { return std::string(info.param.name); });

// Whatever the store writes itself reads back, so it is never set aside.
TEST_P(SettingsRoundTrip, WrittenFileIsReadable)
{
    const QString path = dir.filePath("Varnholt.ini");
    IniSettingsStore(path).write("Tasks", GetParam());
    IniSettingsStore(path).write("TasksExact", GetParam() + ";\"");
    EXPECT_EQ(inspectSettingsFile(path, "Orvantis", kListKeys), SettingsFileState::Readable);
}

class DamagedSettingsFile : public SettingsFile {
protected:
    const QByteArray damaged = "[Orvantis]\nCategories=\"Design|Build\nTasks=Plan^^^^^\nEvents=E^^\n";
    const QDateTime now{QDate(2024, 3, 15), QTime(10, 5, 9)};
    QByteArray bytesOf(const QString &file)
    {
        QFile opened(file);
        return opened.open(QIODevice::ReadOnly) ? opened.readAll() : QByteArray("(unreadable)");
    }
};

TEST_F(DamagedSettingsFile, IsCopiedAsideOnceBeforeAnyWriteAndNoCopyIsOverwritten)
{
    writeRaw(damaged);
    const QString copy = path + ".unreadable-20240315-100509";
    IniSettingsStore store(path);
    const QString notice = store.checkAtStartUp(kListKeys, now);
    EXPECT_TRUE(notice.contains(copy)) << notice.toStdString();
    EXPECT_EQ(bytesOf(copy), damaged);

    store.write("Categories", "");
    EXPECT_EQ(bytesOf(copy), damaged);
    writeRaw(damaged + "x");
    EXPECT_TRUE(IniSettingsStore(path).checkAtStartUp(kListKeys, now).contains(copy + "-2"));
    EXPECT_EQ(bytesOf(copy), damaged);
    EXPECT_EQ(bytesOf(copy + "-2"), damaged + "x");
}

// As an ordinary user in a folder it may read but not write (root may
// write anywhere): no copy can be made, so the file is left as it is.
TEST_F(DamagedSettingsFile, WithoutACopyTheFileIsKeptUnchanged)
{
    writeRaw(damaged);
    // The group counts too: the test keeps root's group.
    constexpr auto readable = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    constexpr auto enterable = QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;
    constexpr auto writable = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    QFile::setPermissions(dir.path(), readable | enterable | QFileDevice::WriteOwner);
    QFile::setPermissions(path, readable | writable);
    const bool wasRoot = ::geteuid() == 0 && ::seteuid(65534) == 0;
    IniSettingsStore store(path);
    const QString notice = store.checkAtStartUp(kListKeys, now);
    EXPECT_THROW(store.write("Categories", "A"), Failure);
    EXPECT_THROW(store.remove("CategoriesExact"), Failure);
    if (wasRoot) {
        ASSERT_EQ(::seteuid(0), 0);
    }
    EXPECT_TRUE(notice.contains("No copy")) << notice.toStdString();
    EXPECT_EQ(bytesOf(path), damaged);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Varnholt.ini"});
}

// The notice names what was not read; the file is then written anew with
// what was, so that later starts neither warn nor copy again.
TEST_F(DamagedSettingsFile, WhatWasNotReadIsNamedAndTheFileWrittenAnewOnce)
{
    writeRaw("[Orvantis]\nCategories=A|B\nColour=red\nTasks=T^^^^^\n");
    const QString notice = IniSettingsStore(path).checkAtStartUp(kListKeys, now);
    EXPECT_TRUE(notice.contains("Not read: the unknown key Colour (line 3).")) << notice.toStdString();
    for (int start = 0; start < 2; ++start)
        EXPECT_TRUE(IniSettingsStore(path).checkAtStartUp(kListKeys, now).isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
    IniSettingsStore store(path);
    EXPECT_EQ(store.read("Categories"), QString("A|B"));
    EXPECT_EQ(store.read("Tasks"), QString("T^^^^^"));
    EXPECT_EQ(store.read("Colour"), std::nullopt);
}

TEST_F(DamagedSettingsFile, ReadableOrMissingFileNeedsNoWord)
{
    EXPECT_TRUE(IniSettingsStore(path).checkAtStartUp(kListKeys, now).isEmpty());
    writeRaw("[Orvantis]\nCategories=A\n");
    EXPECT_TRUE(IniSettingsStore(path).checkAtStartUp(kListKeys, now).isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Varnholt.ini"});
}

// A FIFO would block every open; a folder cannot be read as a file.
class NotARegularFile : public SettingsFile, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        if (GetParam())
            ASSERT_EQ(::mkfifo(path.toLocal8Bit().constData(), 0600), 0);
        else
            ASSERT_TRUE(QDir().mkpath(path));
    }
};

TEST_P(NotARegularFile, IsReportedNeverOpenedAndNeverWritten)
{
    IniSettingsStore store(path);
    EXPECT_EQ(inspectSettingsFile(path, "Orvantis", kListKeys), SettingsFileState::NotARegularFile);
    EXPECT_TRUE(store.checkAtStartUp(kListKeys, QDateTime::currentDateTime()).contains("not a regular file"));
    EXPECT_EQ(store.read("Categories"), std::nullopt);
    EXPECT_THROW(store.write("Categories", "A"), Failure);
    EXPECT_THROW(store.remove("CategoriesExact"), Failure);
    EXPECT_EQ(QFileInfo(path).isDir(), !GetParam());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot), QStringList{"Varnholt.ini"});
}

INSTANTIATE_TEST_SUITE_P(Kinds, NotARegularFile, ::testing::Values(true, false),
                         [](const auto &info) { return std::string(info.param ? "Fifo" : "Folder"); });

} // namespace
} // namespace orv
