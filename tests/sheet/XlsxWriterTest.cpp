#include "OracleFiles.h"
#include "QStringPrinter.h"
#include "sheet/formula/FormulaParser.h"
#include "sheet/xlsx/PackageCheck.h"
#include "sheet/xlsx/XlsxErrors.h"
#include "sheet/xlsx/XlsxReader.h"
#include "sheet/xlsx/XlsxWriter.h"
#include "files/Failure.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <clocale>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <xlsxwriter.h>

namespace orv::sheet::xlsx {
namespace {

using orv::test::fileContents;

using xls::testing::zipEntry;

Workbook oneSheet(const QString &name = QStringLiteral("Plan"))
{
    Workbook book;
    book.addSheet(name);
    return book;
}

// While it lives, no file can grow beyond `bytes`: writes fail as on a full
// disk (the signal that would end the program is ignored).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &mOld);
        mOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = mOld;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &mOld);
        std::signal(SIGXFSZ, mOldHandler);
    }

private:
    rlimit mOld{};
    void (*mOldHandler)(int) = nullptr;
};

struct FailureCase {
    const char *name;
    std::function<Workbook()> workbook;
    QString target; // relative to the test folder
    QString reason; // what the report says after "<verb> <path>: "
    rlim_t sizeLimit = 0;
    QString verb = QStringLiteral("Cannot save"); // "Cannot write" once the package is complete
};

Workbook manyTexts()
{
    Workbook book = oneSheet();
    for (int row = 0; row < 5000; ++row)
        book.sheet(0).cellAt({row, 0}).value = QStringLiteral("Task number %1 of a long plan").arg(row);
    return book;
}

const FailureCase kFailures[] = {
    {"MissingFolder", [] { return oneSheet(); }, QStringLiteral("gone/plan.xlsx"), QStringLiteral(""), 0,
     QStringLiteral("Cannot write")},
    {"FullDisk", manyTexts, QStringLiteral("plan.xlsx"), QStringLiteral(""), 16 * 1024},
    {"SheetNameWithABracket", [] { return oneSheet(QStringLiteral("Plan [draft]")); }, QStringLiteral("plan.xlsx"),
     QStringLiteral("Sheet Plan [draft]: A sheet name holds one of the characters [ ] : * ? / \\")},
    {"TextTooLong",
     [] {
         Workbook book = oneSheet();
         book.sheet(0).cellAt({2, 1}).value = QString(40000, u'x');
         return book;
     },
     QStringLiteral("plan.xlsx"), QStringLiteral("Sheet Plan, cell B3: A text is longer than 32,767 characters")},
    {"MissingCellFormat",
     [] {
         Workbook book = oneSheet();
         book.sheet(0).cellAt({0, 0}) = Cell{1.0, nullptr, 7};
         return book;
     },
     QStringLiteral("plan.xlsx"), QStringLiteral("A cell refers to the missing cell format 7")},
    {"NoSheets", [] { return Workbook(); }, QStringLiteral("plan.xlsx"),
     QStringLiteral("A workbook must have at least one sheet")},
};

class XlsxSaveFailure : public ::testing::TestWithParam<FailureCase> {};

// A failed save is reported with the path and the reason, and leaves an
// older file as it was and no temporary file behind.
TEST_P(XlsxSaveFailure, IsReportedAndLeavesTheOldFileUntouched)
{
    const FailureCase &failure = GetParam();
    QTemporaryDir folder;
    const QString target = folder.filePath(failure.target);
    const bool oldFile = QFileInfo(target).dir().exists();
    if (oldFile) {
        QFile old(target);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old plan");
    }
    const Workbook book = failure.workbook();
    QString report;
    {
        std::optional<FileSizeLimit> limit;
        if (failure.sizeLimit)
            limit.emplace(failure.sizeLimit);
        try {
            saveWorkbookAsXlsx(book, target, folder.path());
        } catch (const Failure &f) {
            report = f.description();
        }
    }
    const QString prefix = failure.verb + u' ' + QDir::toNativeSeparators(target) + QStringLiteral(": ");
    ASSERT_TRUE(report.startsWith(prefix)) << report.toStdString();
    if (failure.reason.isEmpty())
        EXPECT_GT(report.size(), prefix.size()) << "a reason is given";
    else
        EXPECT_EQ(report.mid(prefix.size()), failure.reason);
    if (oldFile) {
        EXPECT_EQ(fileContents(target), QByteArray("old plan"));
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(target).fileName()});
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, XlsxSaveFailure, ::testing::ValuesIn(kFailures),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(XlsxErrorTexts, EveryCodeOfTheLibraryHasATextOfOurOwn)
{
    for (int code = LXW_NO_ERROR + 1; code < LXW_MAX_ERRNO; ++code)
        EXPECT_FALSE(xlsxErrorText(code).contains(QStringLiteral("error %1").arg(code))) << code;
    EXPECT_EQ(xlsxErrorText(LXW_MAX_ERRNO + 5),
              QStringLiteral("The workbook writer failed with error %1").arg(LXW_MAX_ERRNO + 5));
    try {
        checkXlsx(LXW_ERROR_SHEETNAME_ALREADY_USED, QStringLiteral("Sheet Plan"));
        ADD_FAILURE() << "no failure";
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.description(), QStringLiteral("Sheet Plan: Two sheets have the same name"));
    }
    EXPECT_NO_THROW(checkXlsx(LXW_NO_ERROR, QStringLiteral("Sheet Plan")));
}

// A package damaged after it was put together is refused too.
TEST(XlsxPackageCheck, RefusesAPartWhoseBytesChanged)
{
    const QTemporaryDir scratch;
    QByteArray package = writeXlsxFile(manyTexts(), scratch.path());
    EXPECT_NO_THROW(checkPackage(package));
    const qsizetype texts = package.indexOf("xl/worksheets/sheet1.xml");
    ASSERT_GT(texts, 0);
    package[texts + 200] = static_cast<char>(package[texts + 200] ^ 0x55);
    EXPECT_THROW(checkPackage(package), Failure);
    EXPECT_THROW(checkPackage(package.left(package.size() / 2)), Failure);
}

// What the file states exactly: the stored results of formulas (LibreOffice
// shows them as they are), and the looks of cells that the other checks do
// not read back.
class XlsxContent : public ::testing::Test {
protected:
    void SetUp() override
    {
        Workbook book = oneSheet();
        Sheet &sheet = book.sheet(0);
        auto formula = [&](CellAddress at, const char *text, Value result) {
            sheet.setCell(at, Cell{std::move(result), parseFormula(QString::fromLatin1(text)), 0});
        };
        formula({0, 0}, "1+1", 2.0);
        formula({0, 1}, "IF(A1>1,\"big\",\"\")", QStringLiteral("big"));
        formula({0, 2}, "IF(A1>5,\"big\",\"\")", QString());
        formula({0, 3}, "A1>1", true);
        CellFormat turned;
        turned.alignment.rotation = 135; // 45 degrees clockwise
        turned.alignment.shrinkToFit = true;
        turned.font.color = Color::fromRgb(0x000000);
        turned.fill = {FillPattern::Solid, Color::fromRgb(0xFFCC99)};
        sheet.setCell({1, 0}, Cell{QStringLiteral("turned"), nullptr, book.addFormat(turned)});
        const QString path = folder.filePath(QStringLiteral("content.xlsx"));
        saveWorkbookAsXlsx(book, path, folder.path());
        read = xls::testing::readXlsx(path);
        styles = QString::fromUtf8(zipEntry(path, QStringLiteral("xl/styles.xml")));
    }

    QTemporaryDir folder;
    xls::testing::XlsxBook read;
    QString styles;
};

TEST_F(XlsxContent, FormulasCarryTheirResultsWithTheirType)
{
    ASSERT_EQ(read.sheetData.size(), 1u);
    const auto &cells = read.sheetData[0].cells;
    const std::pair<const char *, xls::testing::XlsxCell> expected[] = {
        {"A1", {QStringLiteral("n"), QStringLiteral("2"), QStringLiteral("1+1")}},
        {"B1", {QStringLiteral("str"), QStringLiteral("big"), QStringLiteral("IF(A1>1,\"big\",\"\")")}},
        {"C1", {QStringLiteral("str"), QString(), QStringLiteral("IF(A1>5,\"big\",\"\")")}},
        {"D1", {QStringLiteral("str"), QStringLiteral("TRUE"), QStringLiteral("A1>1")}},
    };
    for (const auto &[at, cell] : expected) {
        const auto found = cells.find(QString::fromLatin1(at));
        ASSERT_NE(found, cells.end()) << at;
        EXPECT_EQ(found->type, cell.type) << at;
        EXPECT_EQ(found->value, cell.value) << at;
        EXPECT_EQ(found->formula, cell.formula) << at;
    }
}

TEST_F(XlsxContent, CellLooksKeepRotationShrinkBlackAndFill)
{
    EXPECT_TRUE(styles.contains(QStringLiteral("<alignment textRotation=\"135\" shrinkToFit=\"1\"/>"))) << styles.toStdString();
    EXPECT_TRUE(styles.contains(QStringLiteral("<color rgb=\"FF000000\"/>"))) << "black is a colour, not automatic";
    EXPECT_TRUE(styles.contains(QStringLiteral("<fgColor rgb=\"FFFFCC99\"/>")));
}

// The parts of a package by name, read with unzip.
std::map<QString, QByteArray> packageParts(const QByteArray &package, const QTemporaryDir &folder)
{
    const QString path = folder.filePath(QStringLiteral("parts.xlsx"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(package);
    file.close();
    QString names;
    EXPECT_EQ(xls::testing::runProgram(QStringLiteral("unzip"), {QStringLiteral("-Z1"), path}, &names), 0);
    std::map<QString, QByteArray> parts;
    for (const QString &name : names.split(u'\n', Qt::SkipEmptyParts))
        parts[name] = zipEntry(path, QString(name).replace(u'[', QLatin1String("\\["))); // not a wildcard
    return parts;
}

// Text that XML cannot carry as it is, and text that looks like the escapes
// standing for it, each as a cell's text and as a formula's text result.
class XlsxText : public ::testing::TestWithParam<QString> {};

TEST_P(XlsxText, EveryPartIsWellFormedAndTheTextReadsBack)
{
    Workbook book = oneSheet();
    book.sheet(0).setCell({0, 0}, Cell{GetParam(), nullptr, 0});
    book.sheet(0).setCell({1, 0}, Cell{GetParam(), parseFormula(QStringLiteral("\"x\"")), 0});
    QTemporaryDir folder;
    const QByteArray package = writeXlsxFile(book, folder.path());
    for (const auto &[name, bytes] : packageParts(package, folder)) {
        QXmlStreamReader xml(bytes);
        while (!xml.atEnd())
            xml.readNext();
        EXPECT_FALSE(xml.hasError()) << name.toStdString() << ": " << xml.errorString().toStdString();
    }
    const Workbook read = readXlsxValues(package);
    for (const int row : {0, 1}) {
        const Cell *cell = read.sheet(0).cell({row, 0});
        ASSERT_NE(cell, nullptr) << "row " << row;
        EXPECT_EQ(std::get<QString>(cell->value), GetParam()) << "row " << row;
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, XlsxText,
                         ::testing::Values(QStringLiteral("Trade fair\uFFFE"), QStringLiteral("\uFFFF end"),
                                           QStringLiteral("bell\x07 and unit\x1F"), QStringLiteral("two\r\nlines"),
                                           QStringLiteral("looks escaped: _x0041_ _xD800_"),
                                           QString::fromUtf16(u"half a pair: \xD83D."), QStringLiteral("tab\tkept")));

// While it lives, the C library works in the locale `name`, made for the
// tests in the build tree.
class CLibraryLocale {
public:
    explicit CLibraryLocale(const char *name) : mBefore(std::setlocale(LC_ALL, nullptr))
    {
        qputenv("LOCPATH", ORVANTIS_TEST_LOCALES);
        mSet = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~CLibraryLocale() { std::setlocale(LC_ALL, mBefore.c_str()); }
    bool isSet() const { return mSet; }

private:
    std::string mBefore;
    bool mSet = false;
};

// The package does not depend on the C library's numeric locale, which the
// program takes from its environment: under a decimal-comma locale it holds
// the same bytes as under the C locale.
class XlsxUnderLocale : public ::testing::TestWithParam<const char *> {};

TEST_P(XlsxUnderLocale, HoldsTheSameNumbersAsUnderTheCLocale)
{
    Workbook book = oneSheet();
    Sheet &sheet = book.sheet(0);
    sheet.setCell({0, 0}, Cell{0.8, nullptr, 0});
    sheet.setCell({0, 1}, Cell{0.25, parseFormula(QStringLiteral("A1/3.2")), 0});
    sheet.setColumnInfo(0, ColumnInfo{2.140625});
    RowInfo row;
    row.height = 7.5;
    row.customHeight = true;
    sheet.setRowInfo(0, row);
    sheet.pageSetup().margins.left = 0.7;
    QTemporaryDir folder;
    const auto classic = packageParts(writeXlsxFile(book, folder.path()), folder);

    std::map<QString, QByteArray> localised;
    {
        const CLibraryLocale locale(GetParam());
        ASSERT_TRUE(locale.isSet()) << GetParam() << " is not in " ORVANTIS_TEST_LOCALES;
        localised = packageParts(writeXlsxFile(book, folder.path()), folder);
    }

    const QRegularExpression commaNumber(QStringLiteral("[\">]-?[0-9]+,[0-9]+[\"<]"));
    for (const auto &[name, bytes] : classic) {
        if (name == u"docProps/core.xml")
            continue; // the time it was made
        ASSERT_TRUE(localised.count(name)) << name.toStdString();
        EXPECT_FALSE(QString::fromUtf8(localised.at(name)).contains(commaNumber)) << name.toStdString();
        EXPECT_EQ(localised.at(name), bytes) << name.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(DecimalComma, XlsxUnderLocale, ::testing::Values("de_DE.UTF-8", "fr_FR.UTF-8"));

// The paper of the page setup is stated, the default Letter too: a reader
// with an A4 locale would print on A4 otherwise.
TEST(XlsxPageSetup, StatesThePaperSize)
{
    for (const int paper : {1, 9}) {
        Workbook book = oneSheet();
        book.sheet(0).pageSetup().paperSize = paper;
        QTemporaryDir folder;
        const auto parts = packageParts(writeXlsxFile(book, folder.path()), folder);
        EXPECT_TRUE(parts.at(QStringLiteral("xl/worksheets/sheet1.xml")).contains(QStringLiteral("paperSize=\"%1\"").arg(paper).toUtf8()))
            << "paper " << paper;
    }
}

} // namespace
} // namespace orv::sheet::xlsx
