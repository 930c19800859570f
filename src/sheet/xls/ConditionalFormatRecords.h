#pragma once

#include "sheet/model/ConditionalFormat.h"
#include "sheet/xls/ByteBuffer.h"
#include "sheet/xls/Palette.h"
#include "sheet/xls/XlsStyles.h"

#include <QByteArray>
#include <optional>

namespace orv::sheet::xls {

// The record types that carry the rules of newer versions.
inline constexpr unsigned kCf12Record = 0x087A;
inline constexpr unsigned kCfExRecord = 0x087B;

// A differential format (DXFN): the flags, then the font, border and
// pattern blocks of a rule's look.
QByteArray differentialFormat(const ConditionalStyle &style, const StyleTable &styles);

// The data of the CF record of one formula rule: its look, then its
// formula tokens.
QByteArray conditionalRuleRecord(const ConditionalStyle &style, const QByteArray &tokens, const StyleTable &styles);

// What a CFEx record adds to the rules of the CONDFMT with id `formatId`:
// for one of its CF records (`ruleIndex`), the rule's priority among all
// rules of the sheet and whether it stops the rules after it; without a
// rule index it announces a rule beyond the CF records, whose CF12 record
// follows.
struct ConditionalExtension {
    int formatId = 0;
    CellRange bound;
    std::optional<int> ruleIndex;
    int priority = 0;
    bool stopIfTrue = true;
};
QByteArray extensionRecord(const ConditionalExtension &extension);

// The data of the CF12 record of a formula rule that only newer versions
// apply.
QByteArray newerRuleRecord(const ConditionalStyle &style, const QByteArray &tokens, const StyleTable &styles,
                           int priority, bool stopIfTrue);

// A CF or CF12 record as stored.
struct StoredConditionalRule {
    unsigned type = 0;       // 1: compares the cell's value, 2: a formula
    unsigned comparison = 0; // for type 1: between, not between, =, <>, >, <, >=, <=
    ConditionalStyle style;
    QByteArray formula1;
    QByteArray formula2;
    bool stopIfTrue = true;
    int priority = 0;
};

StoredConditionalRule parseConditionalRuleRecord(ByteReader &in, const Palette &palette);
StoredConditionalRule parseNewerRuleRecord(ByteReader &in, const Palette &palette);
// A CFEx record as stored: the CONDFMT it belongs to and, when it extends
// one of that CONDFMT's CF records rather than announcing a CF12 record,
// the rule's index and whether it stops the rules after it.
ConditionalExtension parseExtensionRecord(ByteReader &in);

// A rule comparing the cell's value, as the equivalent formula on the cell
// `base`; nothing for an unknown comparison.
FormulaPtr cellValueCondition(unsigned comparison, CellAddress base, FormulaPtr a, FormulaPtr b);

} // namespace orv::sheet::xls
