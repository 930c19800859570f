#include "sheet/formula/ValueText.h"

#include "sheet/formula/FormulaPrinter.h"

#include <cmath>

namespace orv::sheet {

void trimFractionZeros(QString &number)
{
    if (!number.contains(u'.'))
        return;
    while (number.endsWith(u'0'))
        number.chop(1);
    if (number.endsWith(u'.'))
        number.chop(1);
}

QString generalNumberText(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    const double magnitude = std::fabs(value);
    if (magnitude >= 1e15 || magnitude < 1e-9) {
        // "1.5E+20": the mantissa without trailing zeros, a signed two-digit exponent at least.
        QString text = QString::number(value, 'E', 14);
        const qsizetype e = text.indexOf(u'E');
        QString mantissa = text.left(e);
        trimFractionZeros(mantissa);
        return mantissa + text.mid(e);
    }
    QString text = QString::number(value, 'g', 15);
    if (text.contains(u'e')) // 'g' switched to exponent form for a small fraction
        text = QString::number(value, 'f', 15 - static_cast<int>(std::floor(std::log10(magnitude))) - 1);
    trimFractionZeros(text);
    return text;
}

QString valueText(const Value &value)
{
    struct Visitor {
        QString operator()(std::monostate) const { return {}; }
        QString operator()(double number) const { return generalNumberText(number); }
        QString operator()(const QString &text) const { return text; }
        QString operator()(bool boolean) const { return boolean ? QStringLiteral("TRUE") : QStringLiteral("FALSE"); }
        QString operator()(ErrorCode error) const { return errorText(error); }
    };
    return std::visit(Visitor{}, value);
}

} // namespace orv::sheet
