#pragma once

#include "sheet/model/CellAddress.h"
#include "sheet/model/Value.h"

#include <QLocale>
#include <QString>

namespace orv::sheet {

class Sheet;
class Workbook;

// Typed text read as a person typing it into a cell would be read under a
// locale.
struct TypedValue {
    Value value;
    bool isDate = false; // the text was a date; the value is its serial
};

// Reads numbers (the locale's decimal and group separators, a sign, a
// trailing percent sign), dates (the locale's short-date order of day,
// month and year with "/", "-", "." or blanks between; two-digit years
// 00-29 are 20xx and 30-99 19xx; yyyy-mm-dd; a day with a month name as in
// "11 Aug 2016"), TRUE and FALSE. The C locale's short date is ISO 8601:
// there a numeric date must start with a four-digit year. An empty text gives an empty value; any
// other text, an impossible date among them, stays text exactly as given.
TypedValue readTypedInput(const QString &text, const QLocale &locale);
Value typedInput(const QString &text, const QLocale &locale);

// The number format code of the locale's short date with a four-digit
// year: "m/d/yyyy" for American English, "dd.mm.yyyy" for German,
// "yyyy-mm-dd" for the C locale.
QString shortDateFormatCode(const QLocale &locale);

// Enters typed text into a cell the way a spreadsheet application does: the
// cell loses any formula and takes the value read from the text; a date
// entered into a cell formatted General gets the locale's short date format.
void enterText(Workbook &workbook, Sheet &sheet, CellAddress at, const QString &text, const QLocale &locale);
// Enters a value as it is (a number stays that number).
void enterValue(Sheet &sheet, CellAddress at, const Value &value);

} // namespace orv::sheet
