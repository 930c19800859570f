#include "app/PlanValues.h"

#include "app/ShortDate.h"
#include "sheet/DateSerial.h"
#include "sheet/TypedInput.h"

#include <QRegularExpression>
#include <cmath>

namespace orv {

std::optional<double> plainNumber(const QString &text, const QLocale &locale)
{
    const QString trimmed = text.trimmed();
    static const QRegularExpression number(QStringLiteral("^[+-]?([0-9]+([.,][0-9]*)?|[.,][0-9]+)$"));
    if (!number.match(trimmed).hasMatch())
        return std::nullopt;
    QString period = trimmed;
    if (locale.decimalPoint() == QStringLiteral(",") || !trimmed.contains(u'.'))
        period.replace(u',', u'.');
    bool ok = false;
    const double value = period.toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

QString percentOfFraction(double fraction)
{
    return QString::number(fraction * 100, 'g', 12);
}

QString percentText(const QString &text, const QLocale &locale)
{
    QString number = text.trimmed();
    if (!number.endsWith(u'%'))
        return text;
    number.chop(1);
    const std::optional<double> value = plainNumber(number, locale);
    return value ? QString::number(*value, 'g', 12) : text;
}

std::optional<QDate> textDate(const QString &text, const QLocale &locale)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    // A date, then maybe a time of day with seconds, fractions and a zone.
    static const QRegularExpression iso(QStringLiteral("^([0-9]{4})-([0-9]{2})-([0-9]{2})"
                                                       "(?:[T ][0-9]{2}:[0-9]{2}(?::[0-9]{2}(?:[.,][0-9]+)?)?"
                                                       "(?:Z|[+-][0-9]{2}:?[0-9]{2})?)?$"));
    if (const auto match = iso.match(trimmed); match.hasMatch()) {
        const QDate date(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
        return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
    }
    const sheet::TypedValue typed = sheet::readTypedInput(trimmed, locale);
    if (typed.isDate) {
        const QDate date = sheet::qdateFromSerial(std::get<double>(typed.value));
        return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
    }
    const QDate longForm = locale.toDate(trimmed, QLocale::LongFormat);
    return longForm.isValid() ? std::optional<QDate>(longForm) : std::nullopt;
}

QString dateText(const QString &text, const QLocale &locale)
{
    const std::optional<QDate> date = textDate(text, locale);
    return date ? shortDateText(*date, locale) : text;
}

QString subTaskMark(const QString &text)
{
    static const QStringList yes = {"v", "x", "yes", "y", "true", "1", "\u2713", "\u2714", "\u2611"};
    static const QStringList no = {"", "no", "n", "false", "0", "\u2717", "\u2610"};
    const QString word = text.trimmed().toCaseFolded();
    if (yes.contains(word))
        return QStringLiteral("V");
    if (no.contains(word))
        return QString();
    return text;
}

bool isSubLevel(const QString &level)
{
    bool ok = false;
    const int value = level.trimmed().toInt(&ok);
    return ok && value >= 2;
}

} // namespace orv
