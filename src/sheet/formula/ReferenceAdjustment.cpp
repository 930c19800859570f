#include "sheet/formula/ReferenceAdjustment.h"

namespace orv::sheet {

namespace {

using Kind = FormulaNode::Kind;

FormulaPtr refError()
{
    auto node = std::make_shared<FormulaNode>();
    node->kind = Kind::Error;
    node->error = ErrorCode::Ref;
    return node;
}

// Rebuilds only the parts of the tree that change; unchanged subtrees are
// shared, and an unchanged formula comes back as the same pointer.
// `applies` says whether the references of a node are subject to the rule;
// the move rules give what a reference end becomes: moved, or nothing when
// it leaves the sheet. Formulas are rewritten for every row insertion, so
// the rules are template parameters rather than std::function.
template<class Applies, class MoveFirst, class MoveSecond>
FormulaPtr rewrite(const FormulaPtr &node, const Applies &applies, const MoveFirst &moveFirst,
                   const MoveSecond &moveSecond)
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
        copy->lastRowMemo = FormulaNode::kNotYetKnown;
        copy->ref = *first;
        copy->ref2 = second;
        return copy;
    }
    std::shared_ptr<FormulaNode> copy;
    for (std::size_t i = 0; i < node->children.size(); ++i) {
        FormulaPtr child = rewrite(node->children[i], applies, moveFirst, moveSecond);
        if (child == node->children[i])
            continue;
        if (!copy) {
            copy = std::make_shared<FormulaNode>(*node);
            copy->lastRowMemo = FormulaNode::kNotYetKnown;
        }
        copy->children[i] = std::move(child);
    }
    return copy ? FormulaPtr(copy) : node;
}

} // namespace

int lastReferencedRow(const FormulaNode &formula)
{
    if (formula.lastRowMemo != FormulaNode::kNotYetKnown)
        return formula.lastRowMemo;
    int last = -1;
    if (formula.kind == Kind::Reference)
        last = formula.ref.row;
    else if (formula.kind == Kind::Area)
        last = std::max(formula.ref.row, formula.ref2.row);
    for (const FormulaPtr &child : formula.children)
        last = std::max(last, lastReferencedRow(*child));
    formula.lastRowMemo = last;
    return last;
}

FormulaPtr adjustForInsertedRows(const FormulaPtr &formula, const QString &formulaSheet, const RowInsertion &insertion)
{
    if (!formula || insertion.count <= 0 || lastReferencedRow(*formula) < insertion.firstRow)
        return formula;
    const bool sameSheet = formulaSheet.compare(insertion.insertedSheet, Qt::CaseInsensitive) == 0;
    const auto applies = [&](const FormulaNode &node) {
        return node.sheet.isEmpty() ? sameSheet : node.sheet.compare(insertion.insertedSheet, Qt::CaseInsensitive) == 0;
    };
    const auto move = [&](const Reference &ref) {
        return ref.row >= insertion.firstRow ? ref.row + insertion.count : ref.row;
    };
    // A single reference or a range's upper end pushed off the sheet is
    // lost; a range's lower end stops at the sheet's last row.
    const auto moveUpper = [&](const Reference &ref) -> std::optional<Reference> {
        Reference moved = ref;
        moved.row = move(ref);
        if (moved.row >= kMaxRows)
            return std::nullopt;
        return moved;
    };
    const auto moveLower = [&](const Reference &ref) -> std::optional<Reference> {
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
    const auto move = [&](const Reference &ref) -> std::optional<Reference> {
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
