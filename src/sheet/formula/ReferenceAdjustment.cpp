#include "sheet/formula/ReferenceAdjustment.h"

#include <functional>

namespace orv::sheet {

namespace {

using Kind = FormulaNode::Kind;

// What a reference end becomes: moved, or gone off the sheet.
using EndRule = std::function<std::optional<Reference>(const Reference &)>;

FormulaPtr refError()
{
    auto node = std::make_shared<FormulaNode>();
    node->kind = Kind::Error;
    node->error = ErrorCode::Ref;
    return node;
}

// Rebuilds only the parts of the tree that change; unchanged subtrees are
// shared, and an unchanged formula comes back as the same pointer.
// `applies` says whether the references of a node are subject to the rule.
FormulaPtr rewrite(const FormulaPtr &node, const std::function<bool(const FormulaNode &)> &applies,
                   const EndRule &moveFirst, const EndRule &moveSecond)
{
    if (node->kind == Kind::Reference || node->kind == Kind::Area) {
        if (!applies(*node))
            return node;
        const auto first = moveFirst(node->ref);
        if (!first)
            return refError();
        Reference second = node->ref2;
        if (node->kind == Kind::Area) {
            const auto moved = moveSecond(node->ref2);
            if (!moved)
                return refError();
            second = *moved;
        }
        if (*first == node->ref && second == node->ref2)
            return node;
        auto copy = std::make_shared<FormulaNode>(*node);
        copy->ref = *first;
        copy->ref2 = second;
        return copy;
    }
    std::shared_ptr<FormulaNode> copy;
    for (std::size_t i = 0; i < node->children.size(); ++i) {
        FormulaPtr child = rewrite(node->children[i], applies, moveFirst, moveSecond);
        if (child == node->children[i])
            continue;
        if (!copy)
            copy = std::make_shared<FormulaNode>(*node);
        copy->children[i] = std::move(child);
    }
    return copy ? FormulaPtr(copy) : node;
}

} // namespace

FormulaPtr adjustForInsertedRows(const FormulaPtr &formula, const QString &formulaSheet, const RowInsertion &insertion)
{
    if (!formula || insertion.count <= 0)
        return formula;
    const auto applies = [&](const FormulaNode &node) {
        const QString &target = node.sheet.isEmpty() ? formulaSheet : node.sheet;
        return target.compare(insertion.insertedSheet, Qt::CaseInsensitive) == 0;
    };
    const auto move = [&](const Reference &ref) {
        return ref.row >= insertion.firstRow ? ref.row + insertion.count : ref.row;
    };
    // A single reference or a range's upper end pushed off the sheet is
    // lost; a range's lower end stops at the sheet's last row.
    const EndRule moveUpper = [&](const Reference &ref) -> std::optional<Reference> {
        Reference moved = ref;
        moved.row = move(ref);
        if (moved.row >= kMaxRows)
            return std::nullopt;
        return moved;
    };
    const EndRule moveLower = [&](const Reference &ref) -> std::optional<Reference> {
        Reference moved = ref;
        moved.row = std::min(move(ref), kMaxRows - 1);
        return moved;
    };
    return rewrite(formula, applies, moveUpper, moveLower);
}

std::optional<CellRange> adjustRange(const CellRange &range, int firstRow, int count)
{
    CellRange moved = range;
    if (moved.firstRow >= firstRow)
        moved.firstRow += count;
    if (moved.lastRow >= firstRow)
        moved.lastRow += count;
    if (moved.firstRow >= kMaxRows)
        return std::nullopt;
    moved.lastRow = std::min(moved.lastRow, kMaxRows - 1);
    return moved;
}

FormulaPtr translateFormula(const FormulaPtr &formula, int rows, int columns)
{
    if (!formula || (rows == 0 && columns == 0))
        return formula;
    const EndRule move = [&](const Reference &ref) -> std::optional<Reference> {
        Reference moved = ref;
        if (!ref.rowAbsolute)
            moved.row += rows;
        if (!ref.columnAbsolute)
            moved.column += columns;
        if (moved.row < 0 || moved.row >= kMaxRows || moved.column < 0 || moved.column >= kMaxColumns)
            return std::nullopt;
        return moved;
    };
    return rewrite(formula, [](const FormulaNode &) { return true; }, move, move);
}

} // namespace orv::sheet
