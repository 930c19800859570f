#include "sheet/TypedInput.h"

#include "sheet/DateSerial.h"
#include "sheet/model/Sheet.h"
#include "sheet/model/Workbook.h"

#include <QRegularExpression>

namespace orv::sheet {

namespace {

enum class DateOrder { DayMonthYear, MonthDayYear, YearMonthDay };

bool isGroupSeparator(QChar c, const QLocale &locale)
{
    const QString group = locale.groupSeparator();
    if (group.size() == 1 && c == group[0])
        return true;
    // Locales that group with a (narrow) no-break space also take a plain one.
    return group.size() == 1 && group[0].isSpace() && c.isSpace();
}

// The digits of an integer part with group separators, checked: the first
// group has 1-3 digits, every further group exactly 3.
std::optional<QString> readGroupedDigits(const QString &text, const QLocale &locale)
{
    QString digits;
    int groupLength = 0;
    bool grouped = false;
    for (const QChar c : text) {
        if (c.isDigit() && c.unicode() < 128) {
            digits += c;
            ++groupLength;
        } else if (isGroupSeparator(c, locale)) {
            if (groupLength == 0 || (grouped && groupLength != 3) || (!grouped && groupLength > 3))
                return std::nullopt;
            grouped = true;
            groupLength = 0;
        } else {
            return std::nullopt;
        }
    }
    if (grouped && groupLength != 3)
        return std::nullopt;
    return digits;
}

std::optional<double> readNumber(QString text, const QLocale &locale)
{
    bool percent = false;
    if (text.endsWith(u'%')) {
        percent = true;
        text.chop(1);
        text = text.trimmed();
    }
    QString number;
    const QString minus = locale.negativeSign();
    if (text.startsWith(u'+')) {
        text.remove(0, 1);
    } else if (text.startsWith(u'-') || text.startsWith(minus)) {
        number += u'-';
        text.remove(0, text.startsWith(u'-') ? 1 : minus.size());
    }
    static const QRegularExpression exponent(QStringLiteral("[eE][+-]?[0-9]+$"));
    QString exponentText;
    if (const auto match = exponent.match(text); match.hasMatch()) {
        exponentText = match.captured(0);
        text.chop(exponentText.size());
    }
    const QString decimal = locale.decimalPoint();
    const qsizetype point = text.indexOf(decimal);
    const QString integerText = point < 0 ? text : text.left(point);
    const QString fractionText = point < 0 ? QString() : text.mid(point + decimal.size());
    const auto integerDigits = integerText.isEmpty() ? std::optional<QString>(QString())
                                                     : readGroupedDigits(integerText, locale);
    static const QRegularExpression digitsOnly(QStringLiteral("^[0-9]*$"));
    if (!integerDigits || !digitsOnly.match(fractionText).hasMatch())
        return std::nullopt;
    if (integerDigits->isEmpty() && fractionText.isEmpty())
        return std::nullopt;
    number += (integerDigits->isEmpty() ? QStringLiteral("0") : *integerDigits) + u'.' + fractionText + exponentText;
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return percent ? value / 100 : value;
}

// The C locale (C, POSIX, C.UTF-8) has no numeric short date of its own;
// its short date form is ISO 8601.
bool isIsoLocale(const QLocale &locale) { return locale.language() == QLocale::C; }

DateOrder dateOrder(const QLocale &locale)
{
    if (isIsoLocale(locale))
        return DateOrder::YearMonthDay;
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    const qsizetype day = format.indexOf(u'd');
    const qsizetype month = format.indexOf(u'M');
    const qsizetype year = format.indexOf(u'y');
    if (year >= 0 && year < month && year < day)
        return DateOrder::YearMonthDay;
    if (month >= 0 && month < day)
        return DateOrder::MonthDayYear;
    return DateOrder::DayMonthYear;
}

// Two-digit years as spreadsheets read them: 00-29 are 2000-2029, 30-99
// are 1930-1999. Three-digit years are not read.
std::optional<int> readYear(const QString &digits)
{
    const int value = digits.toInt();
    if (digits.size() <= 2)
        return value < 30 ? 2000 + value : 1900 + value;
    if (digits.size() == 4)
        return value;
    return std::nullopt;
}

std::optional<int> dateSerial(int year, int month, int day)
{
    if (month < 1 || month > 12 || day < 1)
        return std::nullopt;
    if (year == 1900 && month == 2 && day == 29)
        return kFictitiousLeapDay;
    const QDate date(year, month, day);
    return date.isValid() ? serialFromDate(date) : std::nullopt;
}

// The text the locale's short date writes after its last field, such as
// the Bulgarian " г.", unquoted and trimmed.
QString shortDateSuffix(const QLocale &locale)
{
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    qsizetype end = format.size();
    while (end > 0 && format[end - 1] != u'd' && format[end - 1] != u'M' && format[end - 1] != u'y')
        --end;
    return format.mid(end).remove(u'\'').trimmed();
}

// Some short-date forms end in a period ("2016. 08. 11.") or a word.
std::optional<int> readNumericDate(QString text, const QLocale &locale)
{
    const QString suffix = shortDateSuffix(locale);
    if (!suffix.isEmpty() && suffix != QStringLiteral(".") && text.endsWith(suffix, Qt::CaseInsensitive))
        text = text.chopped(suffix.size()).trimmed();
    static const QRegularExpression pattern(
        QStringLiteral("^([0-9]{1,4})\\s*(?:[/.\\-]|\\s)\\s*([0-9]{1,2})\\s*(?:[/.\\-]|\\s)\\s*([0-9]{1,4})\\.?$"));
    const auto match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QString first = match.captured(1);
    const QString second = match.captured(2);
    const QString third = match.captured(3);
    // A four-digit first part is a year whatever the locale (2016-08-11).
    if (isIsoLocale(locale) && first.size() != 4)
        return std::nullopt;
    const DateOrder order = first.size() == 4 ? DateOrder::YearMonthDay : dateOrder(locale);
    if (order == DateOrder::YearMonthDay) {
        if (third.size() > 2)
            return std::nullopt;
        const auto year = readYear(first);
        return year ? dateSerial(*year, second.toInt(), third.toInt()) : std::nullopt;
    }
    if (first.size() > 2)
        return std::nullopt;
    const auto year = readYear(third);
    if (!year)
        return std::nullopt;
    return order == DateOrder::DayMonthYear ? dateSerial(*year, second.toInt(), first.toInt())
                                            : dateSerial(*year, first.toInt(), second.toInt());
}

QString withoutDot(QString name)
{
    if (name.endsWith(u'.'))
        name.chop(1);
    return name;
}

// The month a name stands for, in the locale's language or in English.
std::optional<int> monthFromName(const QString &name, const QLocale &locale)
{
    const QString wanted = withoutDot(name);
    for (const QLocale &language : {locale, QLocale::c()})
        for (int month = 1; month <= 12; ++month)
            for (const auto format : {QLocale::LongFormat, QLocale::ShortFormat})
                if (withoutDot(language.monthName(month, format)).compare(wanted, Qt::CaseInsensitive) == 0
                    || withoutDot(language.standaloneMonthName(month, format)).compare(wanted, Qt::CaseInsensitive)
                           == 0)
                    return month;
    return std::nullopt;
}

// "11 Aug 2016", "11-Aug-16", "11. August 2016", "Aug 11, 2016".
std::optional<int> readNamedMonthDate(const QString &text, const QLocale &locale)
{
    static const QRegularExpression dayFirst(
        QStringLiteral("^([0-9]{1,2})\\.?[\\s/\\-]*([^\\d\\s/\\-,]+)[\\s/\\-]+([0-9]{2}|[0-9]{4})$"));
    static const QRegularExpression monthFirst(
        QStringLiteral("^([^\\d\\s/\\-,]+)[\\s/\\-]+([0-9]{1,2}),?\\s+([0-9]{2}|[0-9]{4})$"));
    int day = 0;
    QString monthName;
    QString yearText;
    if (const auto match = dayFirst.match(text); match.hasMatch()) {
        day = match.captured(1).toInt();
        monthName = match.captured(2);
        yearText = match.captured(3);
    } else if (const auto other = monthFirst.match(text); other.hasMatch()) {
        monthName = other.captured(1);
        day = other.captured(2).toInt();
        yearText = other.captured(3);
    } else {
        return std::nullopt;
    }
    const auto month = monthFromName(monthName, locale);
    const auto year = readYear(yearText);
    if (!month || !year)
        return std::nullopt;
    return dateSerial(*year, *month, day);
}

} // namespace

TypedValue readTypedInput(const QString &text, const QLocale &locale)
{
    if (text.isEmpty())
        return {};
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return {text, false};
    if (const auto number = readNumber(trimmed, locale))
        return {*number, false};
    if (const auto serial = readNumericDate(trimmed, locale))
        return {double(*serial), true};
    if (const auto serial = readNamedMonthDate(trimmed, locale))
        return {double(*serial), true};
    if (trimmed.compare(u"TRUE", Qt::CaseInsensitive) == 0)
        return {true, false};
    if (trimmed.compare(u"FALSE", Qt::CaseInsensitive) == 0)
        return {false, false};
    return {text, false};
}

Value typedInput(const QString &text, const QLocale &locale) { return readTypedInput(text, locale).value; }

QString shortDateFormatCode(const QLocale &locale)
{
    if (isIsoLocale(locale))
        return QStringLiteral("yyyy-mm-dd");
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    QString code;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        if (c == u'\'') {
            // Quoted text stays literal: in a number format it is written in double quotes.
            const qsizetype close = format.indexOf(u'\'', i + 1);
            const QString literal = format.mid(i + 1, (close < 0 ? format.size() : close) - i - 1);
            code += literal.isEmpty() ? QStringLiteral("'") : u'"' + literal + u'"';
            i = close < 0 ? format.size() : close + 1;
            continue;
        }
        qsizetype run = 1;
        while (i + run < format.size() && format[i + run] == c)
            ++run;
        if (c == u'y')
            code += QStringLiteral("yyyy");
        else if (c == u'M' || c == u'd')
            code += QString(run, c.toLower());
        else
            code += QString(run, c);
        i += run;
    }
    return code;
}

void enterText(Workbook &workbook, Sheet &sheet, CellAddress at, const QString &text, const QLocale &locale)
{
    const TypedValue typed = readTypedInput(text, locale);
    Cell &cell = sheet.cellAt(at);
    cell.formula.reset();
    cell.value = typed.value;
    if (typed.isDate && workbook.format(cell.formatIndex).numberFormat == QStringLiteral("General")) {
        CellFormat dated = workbook.format(cell.formatIndex);
        dated.numberFormat = shortDateFormatCode(locale);
        cell.formatIndex = workbook.addFormat(dated);
    }
}

void enterValue(Sheet &sheet, CellAddress at, const Value &value)
{
    Cell &cell = sheet.cellAt(at);
    cell.formula.reset();
    cell.value = value;
}

} // namespace orv::sheet
