#pragma once

#include "sheet/model/ConditionalFormat.h"
#include "sheet/xls/ByteBuffer.h"
#include "sheet/xls/Palette.h"
#include "sheet/xls/XlsStyles.h"

#include <QByteArray>

namespace orv::sheet::xls {

// The data of the CF record of one formula rule: its look as the blocks of
// a differential format (font, border, pattern), then its formula tokens.
QByteArray conditionalRuleRecord(const ConditionalStyle &style, const QByteArray &tokens, const StyleTable &styles);

// A CF record as stored.
struct StoredConditionalRule {
    unsigned type = 0;       // 1: compares the cell's value, 2: a formula
    unsigned comparison = 0; // for type 1: between, not between, =, <>, >, <, >=, <=
    ConditionalStyle style;
    QByteArray formula1;
    QByteArray formula2;
};

StoredConditionalRule parseConditionalRuleRecord(ByteReader &in, const Palette &palette);

// A rule comparing the cell's value, as the equivalent formula on the cell
// `base`; nothing for an unknown comparison.
FormulaPtr cellValueCondition(unsigned comparison, CellAddress base, FormulaPtr a, FormulaPtr b);

} // namespace orv::sheet::xls
