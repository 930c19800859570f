#pragma once

// Runs every formula of a 97-2003 file through the jumping token evaluator:
// the tokens of each FORMULA record must give the cell's value in the
// workbook read from the file, and the tokens of each conditional-format
// rule must hold for the same cells as the engine's rule does.

#include "JumpingTokenEvaluator.h"
#include "sheet/formula/ConditionalStyling.h"
#include "sheet/model/Workbook.h"
#include "sheet/xls/CompoundFile.h"

#include <QStringList>
#include <map>
#include <optional>
#include <gtest/gtest.h>

namespace orv::sheet::xls::testing {

struct FormulaSweep {
    int formulaCells = 0;
    int ruleCells = 0; // rule evaluations: every rule at every cell visited
    QStringList mismatches;
};

namespace sweep {

inline QString describeValue(const Value &value)
{
    if (const double *d = std::get_if<double>(&value))
        return QString::number(*d, 'g', 17);
    if (const QString *s = std::get_if<QString>(&value))
        return QLatin1Char('"') + *s + QLatin1Char('"');
    if (const bool *b = std::get_if<bool>(&value))
        return *b ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    if (const ErrorCode *e = std::get_if<ErrorCode>(&value))
        return QStringLiteral("error %1").arg(static_cast<int>(*e));
    return QStringLiteral("empty");
}

inline QString where(int sheet, CellAddress at) { return QStringLiteral("sheet %1 R%2C%3").arg(sheet).arg(at.row + 1).arg(at.column + 1); }

inline unsigned u16(const QByteArray &data, int at)
{
    return static_cast<unsigned char>(data[at]) | (static_cast<unsigned char>(data[at + 1]) << 8);
}

inline QByteArray workbookStream(const QByteArray &file)
{
    for (const CompoundStream &stream : readCompoundFile(file))
        if (stream.name == QLatin1String("Workbook"))
            return stream.data;
    ADD_FAILURE() << "no Workbook stream";
    return {};
}

// Walks the records of one file, checking formulas as they come.
class Walker {
public:
    Walker(const Workbook &book, const Clock &clock, int ruleRowStep)
        : mBook(book), mFunctions(book, clock), mRowStep(ruleRowStep) {}

    FormulaSweep result;

    void record(unsigned type, const QByteArray &data)
    {
        switch (type) {
        case 0x0809: // BOF: a worksheet substream starts
            if (u16(data, 2) == 0x0010) {
                ++mSheet;
                mFormat = -1;
                mRulesSeen.clear();
                mFormatsById.clear();
            }
            break;
        case 0x0006:
            formula(data);
            break;
        case 0x01B0:
            ++mFormat;
            mRulesSeen.push_back(0);
            mFormatsById[u16(data, 2) >> 1] = mFormat;
            break;
        case 0x01B1: {
            const int first = static_cast<int>(u16(data, 2)), second = static_cast<int>(u16(data, 4));
            rule(mFormat, data.mid(data.size() - first - second, first));
            break;
        }
        case 0x087B: // CFEx: announces a CF12 record of a CONDFMT
            mNewerFormat = u16(data, 12) == 1 ? mFormatsById.at(u16(data, 16)) : -1;
            break;
        case 0x087A: { // CF12: ct, cp, cce1, cce2, cbDxf, DXFN, rgce1
            const int size = static_cast<int>(u16(data, 14));
            const int dxf = static_cast<int>(u16(data, 18));
            rule(mNewerFormat, data.mid(22 + (dxf == 0 ? 2 : dxf), size));
            mNewerFormat = -1;
            break;
        }
        default:
            break;
        }
    }

private:
    void mismatch(const QString &text)
    {
        result.mismatches << text;
    }

    // The tokens' value, or nothing when they cannot be evaluated.
    std::optional<Value> run(const QByteArray &tokens, FormulaPlace place, CellAddress at, const QString &what)
    {
        try {
            return JumpingTokenEvaluator(mFunctions, mBook.sheet(mSheet)).run(tokens, place, at);
        } catch (const TokenFault &fault) {
            mismatch(what + QStringLiteral(": ") + QString::fromStdString(fault.what()));
            return std::nullopt;
        }
    }

    void formula(const QByteArray &data)
    {
        const CellAddress at{static_cast<int>(u16(data, 0)), static_cast<int>(u16(data, 2))};
        const QByteArray tokens = data.mid(22, u16(data, 20));
        const Cell *cell = mBook.sheet(mSheet).cell(at);
        const Value expected = cell ? cell->value : Value{};
        const std::optional<Value> jumped = run(tokens, FormulaPlace::Cell, at, where(mSheet, at));
        ++result.formulaCells;
        if (jumped && *jumped != expected)
            mismatch(where(mSheet, at) + QStringLiteral(": tokens give %1, the engine cached %2")
                                             .arg(describeValue(*jumped), describeValue(expected)));
    }

    void rule(int formatIndex, const QByteArray &tokens)
    {
        const Sheet &sheet = mBook.sheet(mSheet);
        const ConditionalFormat &format = sheet.conditionalFormats().at(static_cast<size_t>(formatIndex));
        const int ruleIndex = mRulesSeen.at(static_cast<size_t>(formatIndex))++;
        const ConditionalRule &engineRule = format.rules.at(static_cast<size_t>(ruleIndex));
        const QString name = QStringLiteral("sheet %1 format %2 rule %3").arg(mSheet).arg(formatIndex).arg(ruleIndex);
        const CellAddress anchor = anchorOf(format);
        for (const CellRange &range : format.ranges) {
            for (int row = range.firstRow; row <= range.lastRow; row += mRowStep) {
                for (int column = range.firstColumn; column <= range.lastColumn; ++column) {
                    const CellAddress at{row, column};
                    const std::optional<Value> jumped = run(tokens, FormulaPlace::Conditional, at, name);
                    const bool engine = isTrue(mFunctions.evaluateAt(*engineRule.formula, sheet, anchor, at));
                    ++result.ruleCells;
                    if (jumped && isTrue(*jumped) != engine)
                        mismatch(name + QStringLiteral(" at %1: tokens say %2").arg(where(mSheet, at)).arg(!engine));
                }
            }
        }
    }

    const Workbook &mBook;
    Evaluator mFunctions;
    int mRowStep;
    int mSheet = -1;
    int mFormat = -1;
    std::vector<int> mRulesSeen;        // rules met so far of each format
    std::map<unsigned, int> mFormatsById; // CONDFMT id -> format
    int mNewerFormat = -1;              // the format the next CF12 record belongs to
};

} // namespace sweep

// Every formula cell and every conditional-format rule of `file`, checked
// against `book` (the workbook the file holds, with its formulas' values).
// Rules are tried at every `ruleRowStep`-th row of their ranges.
inline FormulaSweep sweepEveryFormula(const QByteArray &file, const Workbook &book, const Clock &clock,
                                      int ruleRowStep = 1)
{
    const QByteArray stream = sweep::workbookStream(file);
    sweep::Walker walker(book, clock, ruleRowStep);
    for (int pos = 0; pos + 4 <= stream.size();) {
        const unsigned type = sweep::u16(stream, pos);
        const int length = static_cast<int>(sweep::u16(stream, pos + 2));
        walker.record(type, stream.mid(pos + 4, length));
        pos += 4 + length;
    }
    return walker.result;
}

} // namespace orv::sheet::xls::testing
