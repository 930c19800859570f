#include "sheet/formula/Recalculation.h"

#include "sheet/formula/Evaluator.h"
#include "sheet/model/Workbook.h"

#include <deque>
#include <map>
#include <unordered_map>

namespace orv::sheet {

namespace {

using Kind = FormulaNode::Kind;

struct FormulaCell {
    Sheet *sheet = nullptr;
    int sheetIndex = 0;
    CellAddress at;
    Cell *cell = nullptr;
    std::vector<int> dependents; // formula cells that read this one
    int unresolvedInputs = 0;    // formula cells this one reads that are not computed yet
};

void include(CellRange &box, const Reference &ref)
{
    box.firstRow = std::min(box.firstRow, ref.row);
    box.lastRow = std::max(box.lastRow, ref.row);
    box.firstColumn = std::min(box.firstColumn, ref.column);
    box.lastColumn = std::max(box.lastColumn, ref.column);
}

class DependencyGraph {
public:
    explicit DependencyGraph(Workbook &workbook) : mWorkbook(workbook)
    {
        for (int s = 0; s < workbook.sheetCount(); ++s) {
            Sheet &sheet = workbook.sheet(s);
            sheet.forEachFormulaCell([&](CellAddress at, Cell &cell) {
                const int id = static_cast<int>(mCells.size());
                mCells.push_back({&sheet, s, at, &cell, {}, 0});
                mByColumn[{s, at.column}].push_back({at.row, id});
            });
        }
        // forEachFormulaCell visits row by row, so each column list is sorted by row.
        for (int id = 0; id < static_cast<int>(mCells.size()); ++id)
            collectInputs(*mCells[id].cell->formula, id);
    }

    std::vector<FormulaCell> &cells() { return mCells; }

private:
    void collectInputs(const FormulaNode &node, int reader)
    {
        if (node.kind == Kind::Reference || node.kind == Kind::Area) {
            const int sheet = sheetIndexOf(node.sheet, reader);
            if (sheet < 0)
                return;
            const Reference &second = node.kind == Kind::Area ? node.ref2 : node.ref;
            addInputs(reader, sheet,
                      {std::min(node.ref.row, second.row), std::min(node.ref.column, second.column),
                       std::max(node.ref.row, second.row), std::max(node.ref.column, second.column)});
            return;
        }
        if (node.kind == Kind::Operation && node.op == Operator::Range)
            if (const auto box = rangeBox(node, reader))
                addInputs(reader, box->first, box->second);
        for (const FormulaPtr &child : node.children)
            collectInputs(*child, reader);
    }

    // A range operator between two references on one sheet reads the whole
    // box between them.
    std::optional<std::pair<int, CellRange>> rangeBox(const FormulaNode &node, int reader) const
    {
        const FormulaNode &left = *node.children.at(0);
        const FormulaNode &right = *node.children.at(1);
        const auto isRef = [](const FormulaNode &n) { return n.kind == Kind::Reference || n.kind == Kind::Area; };
        if (!isRef(left) || !isRef(right))
            return std::nullopt;
        const int sheet = sheetIndexOf(left.sheet, reader);
        if (sheet < 0 || sheet != sheetIndexOf(right.sheet, reader))
            return std::nullopt;
        CellRange box = CellRange::single({left.ref.row, left.ref.column});
        for (const FormulaNode *side : {&left, &right}) {
            include(box, side->ref);
            if (side->kind == Kind::Area)
                include(box, side->ref2);
        }
        return std::pair{sheet, box};
    }

    int sheetIndexOf(const QString &name, int reader) const
    {
        if (name.isEmpty())
            return mCells[reader].sheetIndex;
        for (int s = 0; s < mWorkbook.sheetCount(); ++s)
            if (mWorkbook.sheet(s).name().compare(name, Qt::CaseInsensitive) == 0)
                return s;
        return -1;
    }

    void addInputs(int reader, int sheet, const CellRange &range)
    {
        for (auto it = mByColumn.lower_bound({sheet, range.firstColumn});
             it != mByColumn.end() && it->first.first == sheet && it->first.second <= range.lastColumn; ++it) {
            const auto &column = it->second;
            auto entry = std::lower_bound(column.begin(), column.end(), std::pair{range.firstRow, -1});
            for (; entry != column.end() && entry->first <= range.lastRow; ++entry) {
                mCells[entry->second].dependents.push_back(reader);
                ++mCells[reader].unresolvedInputs;
            }
        }
    }

    Workbook &mWorkbook;
    std::vector<FormulaCell> mCells;
    std::map<std::pair<int, int>, std::vector<std::pair<int, int>>> mByColumn; // (sheet, column) -> (row, id)
};

} // namespace

void recalculate(Workbook &workbook, const Clock &clock)
{
    DependencyGraph graph(workbook);
    std::vector<FormulaCell> &cells = graph.cells();
    const Evaluator evaluator(workbook, clock);

    std::deque<int> ready;
    for (int id = 0; id < static_cast<int>(cells.size()); ++id)
        if (cells[id].unresolvedInputs == 0)
            ready.push_back(id);
    std::vector<bool> computed(cells.size(), false);
    while (!ready.empty()) {
        const int id = ready.front();
        ready.pop_front();
        FormulaCell &current = cells[id];
        current.cell->value = evaluator.evaluate(*current.cell->formula, *current.sheet, current.at);
        computed[id] = true;
        for (const int reader : current.dependents)
            if (--cells[reader].unresolvedInputs == 0)
                ready.push_back(reader);
    }
    // What is left lies on a circular reference or depends on one.
    for (int id = 0; id < static_cast<int>(cells.size()); ++id)
        if (!computed[id])
            cells[id].cell->value = ErrorCode::Value;
}

} // namespace orv::sheet
