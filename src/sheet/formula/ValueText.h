#pragma once

#include "sheet/model/Value.h"

#include <QString>

namespace orv::sheet {

// A number as the General format shows it in a formula result: up to 15
// significant digits, no trailing zeros, exponent form for very large and
// very small magnitudes ("1E+20").
QString generalNumberText(double value);

// Drops the zeros that end a decimal fraction, and the point when nothing
// is left after it ("2.50" -> "2.5", "3.00" -> "3"); whole numbers stay.
void trimFractionZeros(QString &number);

// A value as text, as CONCATENATE and "&" see it: numbers in General form,
// TRUE/FALSE, error texts, "" for empty.
QString valueText(const Value &value);

} // namespace orv::sheet
