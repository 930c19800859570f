#pragma once

#include "sheet/model/CellAddress.h"
#include "sheet/model/CellFormat.h"
#include "sheet/model/FormulaNode.h"

#include <optional>
#include <vector>

namespace orv::sheet {

// The parts of a cell's look that a conditional format can override; what is
// not set keeps the cell's own format.
struct ConditionalStyle {
    std::optional<Color> fontColor;
    std::optional<bool> bold;
    std::optional<Fill> fill;
    std::optional<Borders> borders;

    friend bool operator==(const ConditionalStyle &, const ConditionalStyle &) = default;
};

// A formula-type rule: the style applies to a cell when the formula is true
// for it. Relative references are written as for the top-left cell of the
// format's first range and move with the cell being tested.
struct ConditionalRule {
    FormulaPtr formula;
    ConditionalStyle style;
    bool stopIfTrue = false;
};

// Rules over one or more ranges. Within a sheet, formats earlier in the list
// take precedence over later ones, and within a format the rules in order.
struct ConditionalFormat {
    std::vector<CellRange> ranges;
    std::vector<ConditionalRule> rules;
};

} // namespace orv::sheet
