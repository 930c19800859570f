#include "chart/PercentText.h"

#include <cmath>

namespace orv::chart {

namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }

// Reads the leading number the way a spreadsheet macro's Val() does:
// blanks anywhere are passed over, then an optional sign, digits, one
// period and more digits, and an optional exponent.
QString leadingNumber(const QString &text)
{
    QString number;
    bool seenDigit = false;
    bool seenPeriod = false;
    bool inExponent = false;
    bool exponentDigit = false;
    for (const QChar c : text) {
        if (isBlank(c))
            continue;
        const bool atStart = number.isEmpty() || number.endsWith(u'e');
        if ((c == u'+' || c == u'-') && atStart) {
            number += c;
        } else if (c.isDigit() && c.unicode() < 128) {
            number += c;
            (inExponent ? exponentDigit : seenDigit) = true;
        } else if (c == u'.' && !seenPeriod && !inExponent) {
            number += c;
            seenPeriod = true;
        } else if ((c == u'e' || c == u'E' || c == u'd' || c == u'D') && seenDigit && !inExponent) {
            number += u'e';
            inExponent = true;
        } else {
            break;
        }
    }
    if (inExponent && !exponentDigit)
        number.truncate(number.indexOf(u'e'));
    return seenDigit ? number : QString();
}

} // namespace

double fractionFromPercentText(const QString &text)
{
    bool ok = false;
    const double percent = leadingNumber(text).toDouble(&ok);
    if (!ok || !std::isfinite(percent))
        return 0.0;
    return percent / 100.0;
}

} // namespace orv::chart
