#pragma once

#include "sheet/model/Value.h"

#include <QColor>
#include <QString>
#include <optional>
#include <vector>

namespace orv::sheet {

// A cell value as text, the way a number format shows it.
struct FormattedValue {
    QString text;
    std::optional<QColor> color; // a colour the format names ("[Red]")
    // The value is shown as "###": a date or time outside the calendar.
    bool unrepresentable = false;
};

// A number format code ("General", "m/d;@", "0.00%", "#,##0;[Red]-#,##0")
// parsed once and applied to values. Up to four sections separated by ";"
// are used for positive numbers, negative numbers, zero and text.
class NumberFormat {
public:
    explicit NumberFormat(const QString &code);

    FormattedValue format(const Value &value) const;
    FormattedValue formatNumber(double number) const;
    FormattedValue formatText(const QString &text) const;

    // True when numbers are shown by the General rules in the section that
    // applies to `number`; General numbers lose decimals to fit a cell.
    bool isGeneralFor(double number) const;
    bool isDateFor(double number) const;
    // True when the section that applies to `number` is empty (";;;" hides
    // every number): the number shows as no text at all.
    bool showsNothingFor(double number) const;

private:
    struct Token {
        enum class Kind { Literal, Digit, DecimalPoint, Thousands, Percent, Exponent, Date, General, TextValue };
        Kind kind = Kind::Literal;
        QString text; // the literal, the digit placeholder, the date code
    };
    struct Section {
        std::vector<Token> tokens;
        std::optional<QColor> color;
        bool isDate = false;
        bool isGeneral = false;
        bool hasTextValue = false;
    };

    static Section parseSection(const QString &code);
    const Section &sectionFor(double number, bool &dropSign) const;
    static FormattedValue applyNumber(const Section &section, double number, bool dropSign);
    static FormattedValue applyDate(const Section &section, double serial);

    std::vector<Section> mSections;
};

// Numbers by the General rules: at most `maxSignificant` significant digits
// (10 on screen), trailing zeros dropped, scientific form for very large or
// small magnitudes.
QString formatGeneral(double number, int maxSignificant = 10);

} // namespace orv::sheet
