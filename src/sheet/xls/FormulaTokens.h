#pragma once

#include "sheet/model/CellAddress.h"
#include "sheet/model/FormulaNode.h"
#include "sheet/xls/TokenClasses.h"

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <functional>
#include <vector>

namespace orv::sheet::xls {

// Where a token formula is stored decides how its references look:
// cell formulas use absolute coordinates with relative flags; conditional
// formats store relative parts as offsets from the top-left cell of their
// first range; defined names use 3-D areas only.
enum class FormulaPlace { Cell, Conditional, Name };

// Maps between sheet names and the index of their EXTERNSHEET entry.
struct SheetLinks {
    std::function<int(const QString &)> indexOf;   // throws for an unknown sheet
    std::function<QString(int)> nameOf;            // empty for an unknown index
};

struct EncodedFormula {
    QByteArray tokens;
    bool volatileResult = false; // holds TODAY, NOW or RAND: recalculate on open
};

// Compiles a formula tree to its token form. Throws a Failure when the
// formula cannot be stored (an unknown function, a string constant over 255
// characters, a reference outside the sheet).
EncodedFormula encodeFormula(const FormulaNode &formula, FormulaPlace place, CellAddress base,
                             const SheetLinks &links);

// Rebuilds the tree of a token formula. Throws a Failure for tokens the
// engine does not model (shared or array formulas, names, add-in functions).
FormulaPtr decodeFormula(const QByteArray &tokens, FormulaPlace place, CellAddress base, const SheetLinks &links);

// Built-in function numbers, with the class of the function's result and
// what it asks of its arguments' classes (the last rule repeats).
struct FunctionInfo {
    const char *name;
    int index;
    int minArgs;
    int maxArgs;
    TokenClass result;
    std::vector<OperandRule> arguments;

    OperandRule argument(size_t i) const { return arguments.empty() ? OperandRule{} : arguments[std::min(i, arguments.size() - 1)]; }
};
const FunctionInfo *functionByName(const QString &upperName);
const FunctionInfo *functionByIndex(int index);
const std::vector<FunctionInfo> &functionTable();

} // namespace orv::sheet::xls
