#include "sheet/render/FormulaRules.h"

#include "sheet/formula/ConditionalStyling.h"
#include "sheet/formula/Evaluation.h"
#include "sheet/formula/Evaluator.h"

#include <QSet>
#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

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

const FormulaNode &unwrapped(const FormulaNode &node)
{
    const FormulaNode *inner = &node;
    while (inner->kind == FormulaNode::Kind::Parentheses && !inner->children.empty())
        inner = inner->children.front().get();
    return *inner;
}

// A condition whose value is a plain value, never a reference: AND judges
// such a value itself rather than the cells behind it.
bool givesPlainValue(const FormulaNode &node)
{
    const FormulaNode &inner = unwrapped(node);
    return inner.kind == FormulaNode::Kind::Operation && inner.op != Operator::Range
           && inner.op != Operator::Union && inner.op != Operator::Intersection;
}

// Whether AND would count a plain value as a true condition.
bool judgedTrue(const Value &value)
{
    const auto truth = toBoolean(value);
    const bool *boolean = std::get_if<bool>(&truth);
    return boolean && *boolean;
}

// What one formula (or part of one) gives, remembered along rows or columns.
template <typename Result>
class LineMemo {
public:
    LineMemo(const FormulaNode &formula, FormulaDependence dependence)
        : mFormula(&formula), mAlongRows(dependence.onRow)
    {
    }

    template <typename Compute>
    const Result &get(CellAddress at, Compute compute)
    {
        const size_t line = size_t(mAlongRows ? at.row : at.column);
        if (line >= mResults.size())
            mResults.resize(line + 1);
        std::optional<Result> &known = mResults[line];
        if (!known)
            known = compute(*mFormula);
        return *known;
    }

private:
    const FormulaNode *mFormula;
    bool mAlongRows;
    std::vector<std::optional<Result>> mResults; // by row or by column
};

bool isEverywhere(FormulaDependence dependence) { return dependence.onRow && dependence.onColumn; }

bool holdsAnArea(const FormulaNode &node)
{
    if (node.kind == FormulaNode::Kind::Area)
        return true;
    return std::any_of(node.children.begin(), node.children.end(),
                       [](const auto &child) { return holdsAnArea(*child); });
}

// A part whose value follows only rows or only columns, and never a cell's
// position otherwise: an area's value would follow the cell it is met in.
bool remembersAlongALine(const FormulaNode &part)
{
    return !isEverywhere(dependenceOf(part)) && !holdsAnArea(part);
}

// A comparison of two numbers, the commonest condition of a chart's rules,
// decided without making a value of its result; nothing for anything else.
std::optional<bool> numbersCompared(Operator op, const Value &left, const Value &right)
{
    const double *a = std::get_if<double>(&left);
    const double *b = std::get_if<double>(&right);
    if (!a || !b)
        return std::nullopt;
    switch (op) {
    case Operator::Equal: return *a == *b;
    case Operator::NotEqual: return *a != *b;
    case Operator::Less: return *a < *b;
    case Operator::Greater: return *a > *b;
    case Operator::LessOrEqual: return *a <= *b;
    case Operator::GreaterOrEqual: return *a >= *b;
    default: return std::nullopt;
    }
}

// A condition decided cell by cell. An operator between two parts that each
// follow only rows or only columns (a day against a task's start) is worked
// out from their remembered values.
struct CellCondition {
    explicit CellCondition(const FormulaNode &condition) : node(&condition)
    {
        const FormulaNode &inner = unwrapped(condition);
        if (inner.kind != FormulaNode::Kind::Operation || inner.children.size() != 2)
            return;
        const FormulaNode &left = *inner.children[0];
        const FormulaNode &right = *inner.children[1];
        if (!remembersAlongALine(left) || !remembersAlongALine(right))
            return;
        op = inner.op;
        leftValues.emplace(left, dependenceOf(left));
        rightValues.emplace(right, dependenceOf(right));
    }

    const FormulaNode *node;
    Operator op = Operator::Add;
    std::optional<LineMemo<Value>> leftValues;
    std::optional<LineMemo<Value>> rightValues;
};

// How one rule is decided, worked out at its first use.
struct RulePlan {
    // A rule that holds along a whole row or column is answered once per line.
    std::optional<LineMemo<bool>> whole;
    // Conditions of an AND answered once per line; the rule fails where one fails.
    std::vector<LineMemo<bool>> lineConditions;
    // When every condition of the AND gives a plain value, the AND holds exactly
    // when each of them does, so only the rest is evaluated per cell.
    bool splitsIntoConditions = false;
    std::vector<CellCondition> cellConditions;
};

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
        RulePlan &plan = planFor(formula);
        if (plan.whole)
            return plan.whole->get(at, [&](const FormulaNode &node) { return valueHolds(node, sheet, anchor, at); });
        for (LineMemo<bool> &condition : plan.lineConditions)
            if (!condition.get(at, [&](const FormulaNode &node) { return conditionHolds(node, sheet, anchor, at); }))
                return false;
        if (!plan.splitsIntoConditions)
            return valueHolds(formula, sheet, anchor, at);
        for (CellCondition &condition : plan.cellConditions)
            if (!cellConditionHolds(condition, sheet, anchor, at))
                return false;
        return true;
    }

private:
    bool valueHolds(const FormulaNode &formula, const Sheet &sheet, CellAddress anchor, CellAddress at) const
    {
        return isTrue(mEvaluator.evaluateAt(formula, sheet, anchor, at));
    }

    bool conditionHolds(const FormulaNode &condition, const Sheet &sheet, CellAddress anchor, CellAddress at) const
    {
        return judgedTrue(mEvaluator.evaluateAt(condition, sheet, anchor, at));
    }

    bool cellConditionHolds(CellCondition &condition, const Sheet &sheet, CellAddress anchor, CellAddress at) const
    {
        if (!condition.leftValues)
            return conditionHolds(*condition.node, sheet, anchor, at);
        const auto operand = [&](const FormulaNode &part) { return mEvaluator.operandAt(part, sheet, anchor, at); };
        const Value &left = condition.leftValues->get(at, operand);
        const Value &right = condition.rightValues->get(at, operand);
        if (const std::optional<bool> compared = numbersCompared(condition.op, left, right))
            return *compared;
        return judgedTrue(binaryResult(condition.op, left, right));
    }

    // A sheet's rules are few and asked for cell after cell: a small table
    // indexed by the formula's address answers most before the map is asked.
    RulePlan &planFor(const FormulaNode &formula)
    {
        RecentPlan &recent = mRecent[(reinterpret_cast<std::uintptr_t>(&formula) / alignof(FormulaNode)) % kRecent];
        if (recent.formula == &formula)
            return *recent.plan;
        auto known = mPlans.find(&formula);
        if (known == mPlans.end())
            known = mPlans.emplace(&formula, planOf(formula)).first;
        recent = {&formula, &known->second};
        return known->second;
    }

    static RulePlan planOf(const FormulaNode &formula)
    {
        RulePlan plan;
        const FormulaDependence dependence = dependenceOf(formula);
        if (!isEverywhere(dependence)) {
            plan.whole.emplace(formula, dependence);
            return plan;
        }
        if (formula.kind != FormulaNode::Kind::Function || formula.text != QLatin1String("AND")
            || formula.children.empty())
            return plan;
        plan.splitsIntoConditions = true;
        for (const auto &child : formula.children) {
            const FormulaNode &condition = *child;
            // A bare reference or a function may stand for cells, whose empty or
            // text values AND skips: such a condition says nothing on its own.
            if (!givesPlainValue(condition)) {
                plan.splitsIntoConditions = false;
                continue;
            }
            const FormulaDependence conditionDependence = dependenceOf(condition);
            if (isEverywhere(conditionDependence))
                plan.cellConditions.emplace_back(condition);
            else
                plan.lineConditions.emplace_back(condition, conditionDependence);
        }
        return plan;
    }

    struct RecentPlan {
        const FormulaNode *formula = nullptr;
        RulePlan *plan = nullptr;
    };
    static constexpr size_t kRecent = 64;

    const Evaluator &mEvaluator;
    std::unordered_map<const FormulaNode *, RulePlan> mPlans; // nodes stay where they are
    std::array<RecentPlan, kRecent> mRecent{};
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
