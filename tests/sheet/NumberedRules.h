#pragma once

#include "sheet/model/ConditionalFormat.h"

#include <memory>

namespace orv::sheet::test {

// A rule told apart by the number its formula holds, for tests that decide
// themselves where each rule holds.
inline ConditionalRule numberedRule(int id, ConditionalStyle style, bool stop = false)
{
    auto formula = std::make_shared<FormulaNode>();
    formula->kind = FormulaNode::Kind::Number;
    formula->number = id;
    return {formula, std::move(style), stop};
}

inline ConditionalStyle solidFill(QRgb rgb)
{
    ConditionalStyle style;
    style.fill = Fill{FillPattern::Solid, Color::fromRgb(rgb)};
    return style;
}

} // namespace orv::sheet::test
