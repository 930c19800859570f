#include "XlsTestWorkbooks.h"

#include "files/Failure.h"
#include "sheet/xls/XlsFile.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace orv::sheet;
using namespace orv::sheet::xls;
using namespace orv::sheet::xls::testing;

namespace {

using orv::test::fileContents;

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

Workbook templateWorkbook()
{
    Workbook book;
    setValue(book.addSheet(QStringLiteral("Plan")), "A1", QStringLiteral("x"));
    book.setTemplate(true);
    return book;
}

class XlsSaveFormat : public ::testing::TestWithParam<int> {};

TEST_P(XlsSaveFormat, WritesAPlainWorkbook)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chart.xls"));
    saveWorkbookAs(templateWorkbook(), path, GetParam());
    const Workbook back = openWorkbook(path);
    EXPECT_FALSE(back.isTemplate());
    EXPECT_EQ(describe(back.sheet(0).cell({0, 0})->value), describe(Value{QStringLiteral("x")}));
}

INSTANTIATE_TEST_SUITE_P(Formats, XlsSaveFormat, ::testing::Values(kFileFormatExcel8, kFileFormatWorkbookNormal));

class XlsUnsupportedFormat : public ::testing::TestWithParam<int> {};

TEST_P(XlsUnsupportedFormat, IsRefusedAndWritesNothing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chart.xls"));
    try {
        saveWorkbookAs(templateWorkbook(), path, GetParam());
        FAIL() << "format accepted";
    } catch (const orv::Failure &failure) {
        EXPECT_TRUE(failure.description().contains(QString::number(GetParam()))) << failure.description().toStdString();
    }
    EXPECT_FALSE(QFile::exists(path));
}

INSTANTIATE_TEST_SUITE_P(Formats, XlsUnsupportedFormat, ::testing::Values(0, 1, 17, 51, 57, -4142, 4143));

TEST(XlsFile, TemplateKeepsItsMarkWhenSavedAsItself)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("template.xlt"));
    saveWorkbook(templateWorkbook(), path);
    EXPECT_TRUE(openWorkbook(path).isTemplate());
}

TEST(XlsFile, FailedSaveLeavesTheOlderFileAndNoLeftovers)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chart.xls"));
    writeFile(path, "older workbook");
    Workbook book;
    setFormula(book.addSheet(QStringLiteral("Plan")), "A1", "NO.SUCH.FUNCTION()", 0.0);
    EXPECT_THROW(saveWorkbookAs(book, path, kFileFormatExcel8), orv::Failure);
    EXPECT_EQ(fileContents(path), QByteArray("older workbook"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("chart.xls")});
}

TEST(XlsFile, SaveReplacesAnOlderFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chart.xls"));
    writeFile(path, "older workbook");
    saveWorkbookAs(templateWorkbook(), path, kFileFormatExcel8);
    EXPECT_TRUE(fileContents(path).startsWith(QByteArray::fromHex("D0CF11E0A1B11AE1")));
}

TEST(XlsFile, SaveIntoAMissingFolderNamesThePath)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/chart.xls"));
    try {
        saveWorkbookAs(templateWorkbook(), path, kFileFormatExcel8);
        FAIL();
    } catch (const orv::Failure &failure) {
        EXPECT_TRUE(failure.description().contains(QDir::toNativeSeparators(path)));
    }
}

struct OpenCase {
    const char *name;
    QByteArray bytes;
    const char *message;
};

class XlsOpenFailure : public ::testing::TestWithParam<OpenCase> {};

TEST_P(XlsOpenFailure, NamesTheFileAndTheProblem)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("broken.xls"));
    writeFile(path, GetParam().bytes);
    try {
        openWorkbook(path);
        FAIL();
    } catch (const orv::Failure &failure) {
        EXPECT_TRUE(failure.description().contains(QDir::toNativeSeparators(path))) << failure.description().toStdString();
        EXPECT_TRUE(failure.description().contains(QLatin1String(GetParam().message)))
            << failure.description().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Files, XlsOpenFailure,
                         ::testing::Values(OpenCase{"text", "Name,Start\nA,1\n", "not a compound"},
                                           OpenCase{"empty", QByteArray(), "not a compound"},
                                           OpenCase{"zip", QByteArray("PK\x03\x04") + QByteArray(600, 'z'), "not a compound"}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(XlsFile, MissingFileIsReported)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("nowhere.xls"));
    try {
        openWorkbook(path);
        FAIL();
    } catch (const orv::Failure &failure) {
        EXPECT_EQ(failure.description(), QStringLiteral("File not found: %1").arg(QDir::toNativeSeparators(path)));
    }
}

} // namespace
