#include "sheet/render/FormulaRules.h"

#include "sheet/formula/ConditionalStyling.h"
#include "sheet/formula/Evaluator.h"

#include <QSet>
#include <memory>
#include <unordered_map>

namespace orv::sheet {

namespace {

// Functions whose value follows the position of the cell they are computed for.
bool readsPosition(const QString &function)
{
    static const QSet<QString> functions = {QStringLiteral("ROW"),      QStringLiteral("COLUMN"),
                                            QStringLiteral("OFFSET"),   QStringLiteral("INDIRECT"),
                                            QStringLiteral("CELL"),     QStringLiteral("ADDRESS")};
    return functions.contains(function);
}

void addDependence(const FormulaNode &node, FormulaDependence &dependence)
{
    switch (node.kind) {
    case FormulaNode::Kind::Area:
        dependence.onRow = dependence.onRow || !node.ref2.rowAbsolute;
        dependence.onColumn = dependence.onColumn || !node.ref2.columnAbsolute;
        [[fallthrough]];
    case FormulaNode::Kind::Reference:
        dependence.onRow = dependence.onRow || !node.ref.rowAbsolute;
        dependence.onColumn = dependence.onColumn || !node.ref.columnAbsolute;
        break;
    case FormulaNode::Kind::Function:
        if (readsPosition(node.text))
            dependence = {true, true};
        break;
    default: break;
    }
    for (const auto &child : node.children)
        addDependence(*child, dependence);
}

// A node that stands for a bare reference: AND skips the empty cells such a
// reference gives, so its truth alone says nothing about the AND.
bool isBareReference(const FormulaNode *node)
{
    while (node->kind == FormulaNode::Kind::Parentheses && !node->children.empty())
        node = node->children.front().get();
    return node->kind == FormulaNode::Kind::Reference || node->kind == FormulaNode::Kind::Area;
}

// Decides rules for one picture, remembering the answers of formulas (whole
// rules, or conditions inside an AND) that hold along a whole row or column.
class RuleAnswers {
public:
    explicit RuleAnswers(const Evaluator &evaluator) : mEvaluator(evaluator) {}

    bool holds(const Sheet &sheet, const ConditionalFormat &format, const ConditionalRule &rule, CellAddress at)
    {
        if (!rule.formula)
            return false;
        const FormulaNode &formula = *rule.formula;
        const CellAddress anchor = anchorOf(format);
        if (!isEverywhere(formula))
            return remembered(formula, sheet, anchor, at);
        // An AND fails wherever one of its row- or column-wide conditions does.
        if (formula.kind == FormulaNode::Kind::Function && formula.text == QLatin1String("AND")) {
            for (const auto &condition : formula.children)
                if (!isBareReference(condition.get()) && !isEverywhere(*condition)
                    && !remembered(*condition, sheet, anchor, at))
                    return false;
        }
        return isTrue(mEvaluator.evaluateAt(formula, sheet, anchor, at));
    }

private:
    // True when the formula's value can change with both the row and the column.
    bool isEverywhere(const FormulaNode &formula)
    {
        auto known = mDependence.find(&formula);
        if (known == mDependence.end())
            known = mDependence.emplace(&formula, dependenceOf(formula)).first;
        return known->second.onRow && known->second.onColumn;
    }

    bool remembered(const FormulaNode &formula, const Sheet &sheet, CellAddress anchor, CellAddress at)
    {
        // Rows are numbered after the columns so that one map serves both.
        const int line = mDependence.at(&formula).onRow ? kMaxColumns + at.row : at.column;
        auto &answers = mAnswers[&formula];
        const auto found = answers.find(line);
        if (found != answers.end())
            return found->second;
        const bool holds = isTrue(mEvaluator.evaluateAt(formula, sheet, anchor, at));
        answers.emplace(line, holds);
        return holds;
    }

    const Evaluator &mEvaluator;
    std::unordered_map<const FormulaNode *, FormulaDependence> mDependence;
    std::unordered_map<const FormulaNode *, std::unordered_map<int, bool>> mAnswers;
};

} // namespace

FormulaDependence dependenceOf(const FormulaNode &formula)
{
    FormulaDependence dependence;
    addDependence(formula, dependence);
    return dependence;
}

RuleTest formulaRules(const Evaluator &evaluator)
{
    auto answers = std::make_shared<RuleAnswers>(evaluator);
    return [answers](const Sheet &sheet, const ConditionalFormat &format, const ConditionalRule &rule,
                     CellAddress at) { return answers->holds(sheet, format, rule, at); };
}

} // namespace orv::sheet
