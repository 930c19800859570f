#pragma once

#include <QString>
#include <variant>

namespace orv::sheet {

// The error values of a spreadsheet, with their BIFF codes.
enum class ErrorCode : unsigned char {
    Null = 0x00,  // #NULL!
    Div0 = 0x07,  // #DIV/0!
    Value = 0x0F, // #VALUE!
    Ref = 0x17,   // #REF!
    Name = 0x1D,  // #NAME?
    Num = 0x24,   // #NUM!
    NA = 0x2A,    // #N/A
};

// What a cell holds or a formula yields: nothing, a number (dates are serial
// numbers in the 1900 date system), a text, a boolean or an error.
using Value = std::variant<std::monostate, double, QString, bool, ErrorCode>;

inline bool isEmpty(const Value &value) { return std::holds_alternative<std::monostate>(value); }

} // namespace orv::sheet
