// Every classed token of every FORMULA, CF, CF12 and NAME record we write
// for the template and two charts, against the class LibreOffice's own .xls
// export gives the same formula. LibreOffice keeps at most three rules of a
// format and reads no CF12, so it is handed the same workbook with one
// format per rule; a rule's tokens are matched by their bytes without the
// class bits, which do not depend on where the format's range starts.

#include "ChartWorkbooks.h"
#include "sheet/OracleFiles.h"
#include "sheet/XlsTokenScan.h"
#include "sheet/xls/XlsReader.h"
#include "sheet/xls/XlsWriter.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <map>

namespace orv::chart::test {
namespace {

using namespace sheet::xls::testing;

// The tokens of each formula in a file, by what they belong to.
using FormulaTokens = std::map<QString, QByteArray>;

QByteArray conditionalTokens(const RawRecord &r)
{
    if (r.type == 0x01B1) {
        const int first = static_cast<int>(le16(r.data, 2)), second = static_cast<int>(le16(r.data, 4));
        return r.data.mid(r.data.size() - first - second, first);
    }
    const int dxf = static_cast<int>(le32(r.data, 18)); // CF12
    return r.data.mid(22 + (dxf == 0 ? 2 : dxf), le16(r.data, 14));
}

// Cells by sheet and place, shared formulas resolved; rules by their tokens
// without classes; built-in names by sheet and code.
FormulaTokens formulaTokens(const QByteArray &file)
{
    FormulaTokens result;
    int sheet = -1;
    std::map<QString, QString> sharedUsers; // cell -> first cell of its shared formula
    std::map<QString, QByteArray> shared;   // first cell -> tokens
    auto place = [&](const QByteArray &data, int rowAt, int columnAt) {
        return QStringLiteral("%1!R%2C%3").arg(sheet).arg(le16(data, rowAt)).arg(le16(data, columnAt) & 0xFF);
    };
    for (const RawRecord &r : rawRecords(workbookStreamOfFile(file))) {
        switch (r.type) {
        case 0x0809:
            if (le16(r.data, 2) == 0x0010)
                ++sheet;
            break;
        case 0x0006: {
            const QByteArray tokens = r.data.mid(22, le16(r.data, 20));
            if (tokens.size() == 5 && tokens[0] == 0x01)
                sharedUsers[QStringLiteral("cell ") + place(r.data, 0, 2)] = place(tokens, 1, 3);
            else
                result[QStringLiteral("cell ") + place(r.data, 0, 2)] = tokens;
            break;
        }
        case 0x04BC: // SHRFMLA: RefU, reserved, cUse, cce, rgce
            shared[QStringLiteral("%1!R%2C%3").arg(sheet).arg(le16(r.data, 0)).arg(static_cast<unsigned char>(r.data[4]))] =
                r.data.mid(10, le16(r.data, 8));
            break;
        case 0x01B1:
        case 0x087A: {
            const QByteArray tokens = conditionalTokens(r);
            result[QStringLiteral("rule %1 ").arg(sheet) + QString::fromLatin1(withoutClasses(tokens).toHex())] = tokens;
            break;
        }
        case 0x0018: { // NAME: built-in, one character
            const int nameSize = (r.data[14] & 1) ? 2 : 1;
            result[QStringLiteral("name %1 %2").arg(le16(r.data, 8)).arg(static_cast<unsigned char>(r.data[15]))] =
                r.data.mid(15 + nameSize, le16(r.data, 4));
            break;
        }
        default:
            break;
        }
    }
    for (const auto &[cell, first] : sharedUsers)
        result[cell] = shared[first];
    return result;
}

// The workbook with each conditional format split into one format per rule.
sheet::Workbook oneRulePerFormat(sheet::Workbook book)
{
    for (int s = 0; s < book.sheetCount(); ++s) {
        std::vector<sheet::ConditionalFormat> split;
        for (const sheet::ConditionalFormat &format : book.sheet(s).conditionalFormats())
            for (const sheet::ConditionalRule &rule : format.rules)
                split.push_back({format.ranges, {rule}});
        book.sheet(s).conditionalFormats() = split;
    }
    return book;
}

class TokenClassesAgainstLibreOffice : public ChartWorkbookTest {};

TEST_P(TokenClassesAgainstLibreOffice, EveryTokenHasTheClassLibreOfficeWrites)
{
    if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    const QByteArray ours = workbookFile();
    ASSERT_FALSE(ours.isEmpty());
    QTemporaryDir dir;
    const QString handedOver = dir.filePath(QStringLiteral("rules.xls"));
    {
        QFile out(handedOver);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(sheet::xls::writeXlsFile(oneRulePerFormat(sheet::xls::readXlsFile(ours)), sheet::xls::TemplateMark::Drop));
    }
    const QString profile = QStringLiteral("-env:UserInstallation=file://") + dir.filePath(QStringLiteral("profile"));
    runProgram(QStringLiteral("soffice"), {profile, QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                                           QStringLiteral("xls"), QStringLiteral("--outdir"), dir.filePath(QStringLiteral("lo")),
                                           handedOver},
               nullptr, 180000);
    QFile exported(dir.filePath(QStringLiteral("lo/rules.xls")));
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly)) << "LibreOffice wrote no .xls";

    const FormulaTokens mine = formulaTokens(ours);
    const FormulaTokens theirs = formulaTokens(exported.readAll());
    int tokens = 0;
    QStringList differ;
    for (const auto &[what, bytes] : mine) {
        const auto found = theirs.find(what);
        if (found == theirs.end()) {
            differ << what + QStringLiteral(": not in LibreOffice's export");
            continue;
        }
        const std::string ourClasses = classSequence(bytes), theirClasses = classSequence(found->second);
        tokens += static_cast<int>(std::count(ourClasses.begin(), ourClasses.end(), ' '));
        if (ourClasses != theirClasses)
            differ << what + QStringLiteral(": ours ") + QString::fromStdString(ourClasses) + QStringLiteral("LibreOffice ")
                          + QString::fromStdString(theirClasses);
    }
    EXPECT_GT(tokens, 250) << "every workbook, the 15-column month chart among them, holds hundreds";
    EXPECT_TRUE(differ.isEmpty()) << differ.size() << " differ, first:\n" << differ.mid(0, 8).join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Workbooks, TokenClassesAgainstLibreOffice, ::testing::ValuesIn(kChartWorkbooks),
                         chartWorkbookName);

} // namespace
} // namespace orv::chart::test
