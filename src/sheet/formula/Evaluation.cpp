#include "sheet/formula/Evaluation.h"

#include "sheet/TypedInput.h"
#include "sheet/formula/ValueText.h"
#include "sheet/model/Sheet.h"
#include "sheet/model/Workbook.h"

#include <cmath>

namespace orv::sheet {

namespace {

using Kind = FormulaNode::Kind;

const Value kEmpty;

Operand error(ErrorCode code) { return Operand::of(code); }

int typeRank(const Value &value)
{
    if (std::holds_alternative<double>(value))
        return 0;
    if (std::holds_alternative<QString>(value))
        return 1;
    return 2; // boolean
}

// An empty operand takes the empty form of the other side's type.
Value emptyLike(const Value &other)
{
    if (std::holds_alternative<QString>(other))
        return QString();
    if (std::holds_alternative<bool>(other))
        return false;
    return 0.0;
}

Value arithmetic(Operator op, double left, double right)
{
    switch (op) {
    case Operator::Add: return numberResult(left + right);
    case Operator::Subtract: return numberResult(left - right);
    case Operator::Multiply: return numberResult(left * right);
    case Operator::Divide:
        if (right == 0)
            return ErrorCode::Div0;
        return numberResult(left / right);
    case Operator::Power:
        if (left == 0 && right == 0)
            return ErrorCode::Num;
        if (left == 0 && right < 0)
            return ErrorCode::Div0;
        return numberResult(std::pow(left, right));
    default: return ErrorCode::Value;
    }
}

bool isComparison(Operator op)
{
    return op == Operator::Equal || op == Operator::NotEqual || op == Operator::Less || op == Operator::Greater
           || op == Operator::LessOrEqual || op == Operator::GreaterOrEqual;
}

bool comparisonHolds(Operator op, int order)
{
    switch (op) {
    case Operator::Equal: return order == 0;
    case Operator::NotEqual: return order != 0;
    case Operator::Less: return order < 0;
    case Operator::Greater: return order > 0;
    case Operator::LessOrEqual: return order <= 0;
    case Operator::GreaterOrEqual: return order >= 0;
    default: return false;
    }
}

} // namespace

Number toNumber(const Value &value)
{
    struct Visitor {
        Number operator()(std::monostate) const { return {0, {}}; }
        Number operator()(double number) const { return {number, {}}; }
        Number operator()(bool boolean) const { return {boolean ? 1.0 : 0.0, {}}; }
        Number operator()(ErrorCode code) const { return {0, code}; }
        Number operator()(const QString &text) const
        {
            // Text that reads as a number or a date counts as one.
            const TypedValue typed = readTypedInput(text, QLocale::c());
            if (const double *number = std::get_if<double>(&typed.value))
                return {*number, {}};
            return {0, ErrorCode::Value};
        }
    };
    return std::visit(Visitor{}, value);
}

std::optional<ErrorCode> errorOf(const Value &value)
{
    if (const ErrorCode *code = std::get_if<ErrorCode>(&value))
        return *code;
    return std::nullopt;
}

std::variant<bool, ErrorCode> toBoolean(const Value &value)
{
    if (const auto code = errorOf(value))
        return *code;
    if (const bool *boolean = std::get_if<bool>(&value))
        return *boolean;
    if (const double *number = std::get_if<double>(&value))
        return *number != 0;
    if (const QString *text = std::get_if<QString>(&value)) {
        if (text->compare(u"TRUE", Qt::CaseInsensitive) == 0)
            return true;
        if (text->compare(u"FALSE", Qt::CaseInsensitive) == 0)
            return false;
        return ErrorCode::Value;
    }
    return false;
}

int compareValues(const Value &leftIn, const Value &rightIn)
{
    // Two numbers, by far the commonest case, need no conversions.
    const double *leftNumber = std::get_if<double>(&leftIn);
    const double *rightNumber = std::get_if<double>(&rightIn);
    if (leftNumber && rightNumber)
        return *leftNumber < *rightNumber ? -1 : (*leftNumber > *rightNumber ? 1 : 0);
    const Value left = isEmpty(leftIn) ? emptyLike(rightIn) : leftIn;
    const Value right = isEmpty(rightIn) ? emptyLike(left) : rightIn;
    const int leftRank = typeRank(left);
    const int rightRank = typeRank(right);
    if (leftRank != rightRank)
        return leftRank < rightRank ? -1 : 1;
    if (const double *number = std::get_if<double>(&left)) {
        const double other = std::get<double>(right);
        return *number < other ? -1 : (*number > other ? 1 : 0);
    }
    if (const QString *text = std::get_if<QString>(&left)) {
        const int order = text->compare(std::get<QString>(right), Qt::CaseInsensitive);
        return order < 0 ? -1 : (order > 0 ? 1 : 0);
    }
    return int(std::get<bool>(left)) - int(std::get<bool>(right));
}

Value numberResult(double value)
{
    if (!std::isfinite(value))
        return ErrorCode::Num;
    return value;
}

const Value &cellValue(const Sheet &sheet, CellAddress at)
{
    const Cell *cell = sheet.cell(at);
    return cell ? cell->value : kEmpty;
}

void forEachValue(const Operand &operand, const std::function<void(const Value &)> &visit)
{
    if (!operand.isReference())
        return;
    const auto visitArea = [&](const Area &area) {
        area.sheet->forEachCellIn(area.range, [&](CellAddress, const Cell &cell) { visit(cell.value); });
    };
    visitArea(operand.area);
    for (const Area &area : operand.moreAreas)
        visitArea(area);
}

Evaluation::Evaluation(const Workbook &workbook, const Clock &clock, const Sheet &sheet, CellAddress at,
                       int rowOffset, int columnOffset)
    : mWorkbook(workbook), mClock(clock), mSheet(sheet), mAt(at), mRowOffset(rowOffset), mColumnOffset(columnOffset)
{
}

Operand Evaluation::evaluate(const FormulaNode &node)
{
    switch (node.kind) {
    case Kind::Number: return Operand::of(node.number);
    case Kind::String: return Operand::of(node.text);
    case Kind::Boolean: return Operand::of(node.boolean);
    case Kind::Error: return error(node.error);
    case Kind::Reference:
    case Kind::Area: return reference(node);
    case Kind::Operation: return operation(node);
    case Kind::Function: return callFunction(*this, node);
    case Kind::Missing: return Operand::of(Value());
    case Kind::Parentheses: return evaluate(*node.children.at(0));
    }
    return error(ErrorCode::Value);
}

Value Evaluation::scalar(const FormulaNode &node) { return scalar(evaluate(node)); }

Value Evaluation::scalar(const Operand &operand) const
{
    if (!operand.isReference())
        return operand.value;
    if (operand.areaCount() != 1)
        return ErrorCode::Value;
    const Area &area = operand.area;
    const CellRange &range = area.range;
    // Implicit intersection: a multi-cell area gives the cell in the
    // formula's own row (for a column) or column (for a row).
    if (range.rowCount() == 1 && range.columnCount() == 1)
        return cellValue(*area.sheet, range.topLeft());
    if (range.columnCount() == 1 && mAt.row >= range.firstRow && mAt.row <= range.lastRow)
        return cellValue(*area.sheet, {mAt.row, range.firstColumn});
    if (range.rowCount() == 1 && mAt.column >= range.firstColumn && mAt.column <= range.lastColumn)
        return cellValue(*area.sheet, {range.firstRow, mAt.column});
    return ErrorCode::Value;
}

std::optional<Reference> Evaluation::resolve(const Reference &ref) const
{
    Reference resolved = ref;
    if (!ref.rowAbsolute)
        resolved.row += mRowOffset;
    if (!ref.columnAbsolute)
        resolved.column += mColumnOffset;
    if (resolved.row < 0 || resolved.row >= kMaxRows || resolved.column < 0 || resolved.column >= kMaxColumns)
        return std::nullopt;
    return resolved;
}

Operand Evaluation::reference(const FormulaNode &node)
{
    const Sheet *sheet = node.sheet.isEmpty() ? &mSheet : mWorkbook.findSheet(node.sheet);
    const auto first = resolve(node.ref);
    const auto second = node.kind == Kind::Area ? resolve(node.ref2) : first;
    if (!sheet || !first || !second)
        return error(ErrorCode::Ref);
    const CellRange range{std::min(first->row, second->row), std::min(first->column, second->column),
                          std::max(first->row, second->row), std::max(first->column, second->column)};
    return Operand::of(Area{sheet, range});
}

Operand Evaluation::rangeOperation(Operator op, const Operand &left, const Operand &right) const
{
    if (!left.isReference() || !right.isReference())
        return error(errorOf(left.value).value_or(errorOf(right.value).value_or(ErrorCode::Value)));
    if (op == Operator::Union) {
        Operand joined = left;
        joined.moreAreas.push_back(right.area);
        joined.moreAreas.insert(joined.moreAreas.end(), right.moreAreas.begin(), right.moreAreas.end());
        return joined;
    }
    if (left.areaCount() != 1 || right.areaCount() != 1 || left.area.sheet != right.area.sheet)
        return error(ErrorCode::Value);
    const CellRange &a = left.area.range;
    const CellRange &b = right.area.range;
    if (op == Operator::Range) {
        const CellRange box{std::min(a.firstRow, b.firstRow), std::min(a.firstColumn, b.firstColumn),
                            std::max(a.lastRow, b.lastRow), std::max(a.lastColumn, b.lastColumn)};
        return Operand::of(Area{left.area.sheet, box});
    }
    if (!a.intersects(b))
        return error(ErrorCode::Null);
    const CellRange common{std::max(a.firstRow, b.firstRow), std::max(a.firstColumn, b.firstColumn),
                           std::min(a.lastRow, b.lastRow), std::min(a.lastColumn, b.lastColumn)};
    return Operand::of(Area{left.area.sheet, common});
}

Operand Evaluation::operation(const FormulaNode &node)
{
    const Operator op = node.op;
    if (op == Operator::Range || op == Operator::Union || op == Operator::Intersection)
        return rangeOperation(op, evaluate(*node.children.at(0)), evaluate(*node.children.at(1)));
    if (op == Operator::Negate || op == Operator::UnaryPlus || op == Operator::Percent) {
        const Value operand = scalar(*node.children.at(0));
        if (op == Operator::UnaryPlus)
            return Operand::of(operand);
        const Number number = toNumber(operand);
        if (number.error)
            return error(*number.error);
        return Operand::of(op == Operator::Negate ? -number.value : number.value / 100);
    }
    return Operand::of(binaryResult(op, scalar(*node.children.at(0)), scalar(*node.children.at(1))));
}

Value binaryResult(Operator op, const Value &left, const Value &right)
{
    if (const auto code = errorOf(left))
        return *code;
    if (const auto code = errorOf(right))
        return *code;
    if (op == Operator::Concatenate)
        return valueText(left) + valueText(right);
    if (isComparison(op))
        return comparisonHolds(op, compareValues(left, right));
    const Number a = toNumber(left);
    const Number b = toNumber(right);
    if (a.error || b.error)
        return a.error ? *a.error : *b.error;
    return arithmetic(op, a.value, b.value);
}

} // namespace orv::sheet
