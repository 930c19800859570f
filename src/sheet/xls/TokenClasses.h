#pragma once

// The class of each classed formula token (reference, value or array), by
// the rules the 97-2003 format's own application follows: a token's class
// follows from where it stands, what its parent asks of its operands, and
// the kind of formula. Parentheses and jump attributes do not take part.

#include <optional>

namespace orv::sheet::xls {

// Bits 5-6 of a classed token.
enum class TokenClass : unsigned { Reference = 0x20, Value = 0x40, Array = 0x60 };

// What an operator or a function asks of one operand's class.
enum class Conversion {
    Original,       // keep what the operand is
    Value,          // arrays become values
    Array,          // values become arrays
    RepeatParent,   // as the parent was converted
    RepeatExplicit, // the parent's conversion where it was explicit
    AsOperator,     // an operator's operand: as the operator itself
};

struct OperandRule {
    Conversion conversion;
    bool valueType; // a reference given here is used for its value
};

// The operands of an arithmetic, comparison or text operator.
inline constexpr OperandRule kValueOperand{Conversion::AsOperator, true};
// The operands of the reference operators (range, union, intersection).
inline constexpr OperandRule kReferenceOperand{Conversion::AsOperator, false};

// Cell formulas keep their tokens' own classes where nothing converts them;
// conditional formats work on arrays; defined names start from arrays and
// references.
enum class ClassRules { Cell, Array, Name };

struct ClassDecision;

// What a token passes on to its operands.
class ClassScope {
public:
    // The scope of a whole formula's root token.
    static ClassScope root(ClassRules rules);
    // The rule for the root token itself.
    static OperandRule rootOperand(ClassRules rules);

    // The class of a token given as `operand` in this scope, from the class
    // it has of its own (nothing for tokens without a class), and the scope
    // it passes on to its own operands.
    ClassDecision decide(OperandRule operand, std::optional<TokenClass> own) const;

private:
    enum class Applied { Original, Value, Array };
    ClassScope(ClassRules rules, Conversion conversion, Applied applied, bool reference)
        : mRules(rules), mConversion(conversion), mApplied(applied), mReference(reference)
    {
    }

    ClassRules mRules;
    Conversion mConversion; // the parent's effective conversion
    Applied mApplied;       // what was done to the parent's class
    bool mReference;        // the parent kept the reference class
};

struct ClassDecision {
    std::optional<TokenClass> tokenClass;
    ClassScope inner;
};

} // namespace orv::sheet::xls
