#pragma once

#include "sheet/model/Value.h"

#include <QString>
#include <memory>
#include <vector>

namespace orv::sheet {

// One end of a cell reference as written in A1 syntax. The coordinates are
// 0-based sheet positions; the flags say which of them carry a "$".
struct Reference {
    int row = 0;
    int column = 0;
    bool rowAbsolute = false;
    bool columnAbsolute = false;

    friend bool operator==(const Reference &, const Reference &) = default;
};

enum class Operator {
    Range,        // A1:B2
    Union,        // A1,B2 (inside parentheses)
    Intersection, // A1:B2 B1:C3
    Power,
    Multiply,
    Divide,
    Add,
    Subtract,
    Concatenate,
    Equal,
    NotEqual,
    Less,
    Greater,
    LessOrEqual,
    GreaterOrEqual,
    Negate,    // unary -
    UnaryPlus, // unary +
    Percent,   // postfix %
};

// A node of a parsed formula. The tree prints back to the text it was parsed
// from (parentheses are kept as nodes of their own).
struct FormulaNode {
    enum class Kind {
        Number,
        String,
        Boolean,
        Error,
        Reference,   // ref
        Area,        // ref : ref2 written as one reference
        Operation,   // op with one (unary, percent) or two children
        Function,    // name with its arguments as children
        Missing,     // an omitted function argument
        Parentheses, // one child
    };

    Kind kind = Kind::Missing;
    double number = 0;
    QString text;          // string literal, or the function's name in upper case
    bool boolean = false;
    ErrorCode error = ErrorCode::NA;
    QString sheet;         // for Reference and Area: the other sheet's name, empty for this sheet
    Reference ref;         // Reference, or the first corner of an Area
    Reference ref2;        // the second corner of an Area
    Operator op = Operator::Add;
    std::vector<std::shared_ptr<const FormulaNode>> children;

    // Memo of the last row any reference under this node reaches (see
    // lastReferencedRow()); kNotYetKnown until asked. Nodes are not changed
    // once built: code that copies a node to change it resets the memo.
    static constexpr int kNotYetKnown = -2;
    mutable int lastRowMemo = kNotYetKnown;
};

using FormulaPtr = std::shared_ptr<const FormulaNode>;

} // namespace orv::sheet
