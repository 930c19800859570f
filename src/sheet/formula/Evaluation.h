#pragma once

// Internal to the evaluator: one evaluation of one formula for one cell,
// shared by the operator code and the function library.

#include "sheet/Clock.h"
#include "sheet/model/CellAddress.h"
#include "sheet/model/FormulaNode.h"
#include "sheet/model/Value.h"

#include <functional>
#include <optional>
#include <vector>

namespace orv::sheet {

class Sheet;
class Workbook;

// A block of cells on one sheet.
struct Area {
    const Sheet *sheet = nullptr;
    CellRange range;
};

// What a formula part yields: a value, or a reference to one or more areas
// (a union has several). The first area is held inline: formulas evaluate
// many single references and few unions.
struct Operand {
    Value value;
    bool reference = false;
    Area area;
    std::vector<Area> moreAreas;

    bool isReference() const { return reference; }
    std::size_t areaCount() const { return reference ? 1 + moreAreas.size() : 0; }
    static Operand of(Value value) { return Operand{std::move(value), false, {}, {}}; }
    static Operand of(Area area) { return Operand{Value(), true, area, {}}; }
};

// A number, or the error that stands in its place.
struct Number {
    double value = 0;
    std::optional<ErrorCode> error;
};

class Evaluation {
public:
    Evaluation(const Workbook &workbook, const Clock &clock, const Sheet &sheet, CellAddress at, int rowOffset,
               int columnOffset);

    Operand evaluate(const FormulaNode &node);
    // The node's value as one value: a reference gives the value of its cell
    // (a multi-cell area the cell in the formula's row or column).
    Value scalar(const FormulaNode &node);
    Value scalar(const Operand &operand) const;

    const Clock &clock() const { return mClock; }

private:
    Operand reference(const FormulaNode &node);
    Operand operation(const FormulaNode &node);
    Operand rangeOperation(Operator op, const Operand &left, const Operand &right) const;
    std::optional<Reference> resolve(const Reference &ref) const;

    const Workbook &mWorkbook;
    const Clock &mClock;
    const Sheet &mSheet;
    CellAddress mAt;
    int mRowOffset;
    int mColumnOffset;
};

// Value conversions with the spreadsheet's rules.
Number toNumber(const Value &value);
std::optional<ErrorCode> errorOf(const Value &value);
// TRUE/FALSE for a condition, or the error that stands in its place.
std::variant<bool, ErrorCode> toBoolean(const Value &value);
// Compares two values: numbers < texts < booleans, texts without regard to
// case, an empty value as 0, "" or FALSE after the other side.
int compareValues(const Value &left, const Value &right);
// The result of an operator between two values (arithmetic, "&" or a
// comparison, not a reference operator); an error on the left wins.
Value binaryResult(Operator op, const Value &left, const Value &right);
// A number result, or #NUM! when it is not finite.
Value numberResult(double value);

const Value &cellValue(const Sheet &sheet, CellAddress at);
// Visits every stored cell value inside the areas of an operand.
void forEachValue(const Operand &operand, const std::function<void(const Value &)> &visit);

// The built-in functions: #NAME? for an unknown name.
Operand callFunction(Evaluation &evaluation, const FormulaNode &call);

} // namespace orv::sheet
