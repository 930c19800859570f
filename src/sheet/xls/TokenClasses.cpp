#include "sheet/xls/TokenClasses.h"

namespace orv::sheet::xls {

ClassScope ClassScope::root(ClassRules rules)
{
    if (rules == ClassRules::Name)
        return ClassScope(rules, Conversion::Array, Applied::Array, true);
    return ClassScope(rules, Conversion::Value, Applied::Value, false);
}

OperandRule ClassScope::rootOperand(ClassRules rules)
{
    if (rules == ClassRules::Name)
        return {Conversion::Array, false};
    return {Conversion::Value, true};
}

ClassDecision ClassScope::decide(OperandRule operand, std::optional<TokenClass> own) const
{
    std::optional<TokenClass> cls = own;
    // A reference whose value is used counts as a value.
    if (operand.valueType && cls == TokenClass::Reference)
        cls = TokenClass::Value;

    const Conversion conversion = operand.conversion == Conversion::AsOperator ? mConversion : operand.conversion;
    Applied applied = Applied::Original;
    switch (conversion) {
    case Conversion::Original:
    case Conversion::AsOperator:
        applied = Applied::Original;
        break;
    case Conversion::Value:
        applied = Applied::Value;
        break;
    case Conversion::Array:
        applied = Applied::Array;
        break;
    case Conversion::RepeatParent:
        if (mConversion == Conversion::RepeatParent)
            applied = mApplied;
        else if (mConversion == Conversion::RepeatExplicit)
            applied = mReference ? mApplied : Applied::Original;
        else
            // Below a reference the repetition falls back to values.
            applied = mReference ? Applied::Value : mApplied;
        break;
    case Conversion::RepeatExplicit:
        applied = cls == TokenClass::Reference || mApplied == Applied::Array ? mApplied : Applied::Original;
        break;
    }

    switch (applied) {
    case Applied::Original:
        // Only cell formulas let a value token keep its class unconverted.
        if (mRules != ClassRules::Cell && cls == TokenClass::Value)
            cls = TokenClass::Array;
        break;
    case Applied::Value:
        if (cls == TokenClass::Array)
            cls = TokenClass::Value;
        break;
    case Applied::Array:
        if (cls == TokenClass::Value)
            cls = TokenClass::Array;
        break;
    }
    return {cls, ClassScope(mRules, conversion, applied, cls == TokenClass::Reference)};
}

} // namespace orv::sheet::xls
