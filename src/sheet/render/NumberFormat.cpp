#include "sheet/render/NumberFormat.h"

#include "sheet/DateSerial.h"
#include "sheet/formula/ValueText.h"

#include <QDate>
#include <algorithm>
#include <cmath>

namespace orv::sheet {

namespace {

const char *const kMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
const char *const kDayNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

std::optional<QColor> namedColor(const QString &name)
{
    static const std::pair<const char *, QRgb> colors[] = {
        {"black", 0x000000}, {"white", 0xFFFFFF}, {"red", 0xFF0000},     {"green", 0x00FF00},
        {"blue", 0x0000FF},  {"yellow", 0xFFFF00}, {"magenta", 0xFF00FF}, {"cyan", 0x00FFFF},
    };
    for (const auto &[colorName, rgb] : colors)
        if (name.compare(QLatin1String(colorName), Qt::CaseInsensitive) == 0)
            return QColor(rgb);
    return std::nullopt;
}

bool isDateLetter(QChar c)
{
    const QChar lower = c.toLower();
    return lower == u'y' || lower == u'm' || lower == u'd' || lower == u'h' || lower == u's';
}

// Splits a format code at the ";" that are not quoted, escaped or bracketed.
QStringList splitSections(const QString &code)
{
    QStringList sections;
    QString current;
    bool quoted = false;
    bool bracketed = false;
    for (int i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == u'\\' && i + 1 < code.size() && !quoted) {
            current += c;
            current += code[++i];
            continue;
        }
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && c == u'[')
            bracketed = true;
        else if (!quoted && c == u']')
            bracketed = false;
        if (c == u';' && !quoted && !bracketed) {
            sections << current;
            current.clear();
        } else {
            current += c;
        }
    }
    sections << current;
    return sections;
}

FormattedValue plain(const QString &text) { return {text, std::nullopt, false}; }

QString twoDigits(int value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); }

QString groupThousands(const QString &digits)
{
    QString grouped;
    for (int i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += u',';
        grouped += digits[i];
    }
    return grouped;
}

} // namespace

QString formatGeneral(double number, int maxSignificant)
{
    if (number == 0 || !std::isfinite(number))
        return QStringLiteral("0");
    const double magnitude = std::abs(number);
    if (magnitude >= 1e11 || magnitude < 1e-9) {
        QString text = QString::number(number, 'E', std::max(0, std::min(5, maxSignificant - 1)));
        const int exponent = text.indexOf(u'E');
        QString mantissa = text.left(exponent);
        trimFractionZeros(mantissa);
        return mantissa + text.mid(exponent);
    }
    const int integerDigits = std::max(1, static_cast<int>(std::floor(std::log10(magnitude))) + 1);
    QString text = QString::number(number, 'f', std::max(0, maxSignificant - integerDigits));
    trimFractionZeros(text);
    return text == QStringLiteral("-0") ? QStringLiteral("0") : text;
}

NumberFormat::NumberFormat(const QString &code)
{
    const QStringList sections = splitSections(code.isEmpty() ? QStringLiteral("General") : code);
    for (const QString &section : sections.mid(0, 4))
        mSections.push_back(parseSection(section));
}

NumberFormat::Section NumberFormat::parseSection(const QString &code)
{
    Section section;
    auto literal = [&](const QString &text) {
        if (!section.tokens.empty() && section.tokens.back().kind == Token::Kind::Literal)
            section.tokens.back().text += text;
        else
            section.tokens.push_back({Token::Kind::Literal, text});
    };
    bool afterDecimalPoint = false;
    for (int i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == u'"') {
            const int end = code.indexOf(u'"', i + 1);
            literal(code.mid(i + 1, (end < 0 ? code.size() : end) - i - 1));
            i = end < 0 ? code.size() : end;
        } else if (c == u'\\' && i + 1 < code.size()) {
            literal(code[++i]);
        } else if (c == u'_' && i + 1 < code.size()) {
            literal(QStringLiteral(" ")); // a space as wide as the next character
            ++i;
        } else if (c == u'*' && i + 1 < code.size()) {
            ++i; // repeat-to-fill: drawn as nothing on a picture
        } else if (c == u'[') {
            const int end = code.indexOf(u']', i + 1);
            const QString inside = code.mid(i + 1, (end < 0 ? code.size() : end) - i - 1);
            if (const auto color = namedColor(inside))
                section.color = color;
            else if (inside.startsWith(u'$'))
                literal(inside.mid(1).section(u'-', 0, 0)); // currency symbol, locale ignored
            i = end < 0 ? code.size() : end;
        } else if (code.mid(i, 7).compare(QLatin1String("General"), Qt::CaseInsensitive) == 0) {
            section.tokens.push_back({Token::Kind::General, {}});
            section.isGeneral = true;
            i += 6;
        } else if (code.mid(i, 5).compare(QLatin1String("AM/PM"), Qt::CaseInsensitive) == 0) {
            section.tokens.push_back({Token::Kind::Date, QStringLiteral("AM/PM")});
            section.isDate = true;
            i += 4;
        } else if (code.mid(i, 3).compare(QLatin1String("A/P"), Qt::CaseInsensitive) == 0) {
            section.tokens.push_back({Token::Kind::Date, QStringLiteral("A/P")});
            section.isDate = true;
            i += 2;
        } else if (c == u'@') {
            section.tokens.push_back({Token::Kind::TextValue, {}});
            section.hasTextValue = true;
        } else if (c == u'0' || c == u'#' || c == u'?') {
            section.tokens.push_back({Token::Kind::Digit, QString(c)});
        } else if (c == u'.' && !afterDecimalPoint && !section.isDate) {
            section.tokens.push_back({Token::Kind::DecimalPoint, {}});
            afterDecimalPoint = true;
        } else if (c == u',') {
            section.tokens.push_back({Token::Kind::Thousands, {}});
        } else if (c == u'%') {
            section.tokens.push_back({Token::Kind::Percent, {}});
        } else if ((c == u'E' || c == u'e') && i + 1 < code.size() && (code[i + 1] == u'+' || code[i + 1] == u'-')) {
            section.tokens.push_back({Token::Kind::Exponent, code.mid(i, 2)});
            ++i;
        } else if (isDateLetter(c)) {
            int end = i;
            while (end < code.size() && code[end].toLower() == c.toLower())
                ++end;
            section.tokens.push_back({Token::Kind::Date, code.mid(i, end - i).toLower()});
            section.isDate = true;
            i = end - 1;
        } else {
            literal(QString(c));
        }
    }
    return section;
}

const NumberFormat::Section &NumberFormat::sectionFor(double number, bool &dropSign) const
{
    dropSign = false;
    // A text-only last section never takes numbers.
    const int numeric = mSections.size() > 1 && mSections.back().hasTextValue ? int(mSections.size()) - 1
                                                                                : int(mSections.size());
    if (number < 0 && numeric >= 2) {
        dropSign = true; // the negative section writes its own sign, if any
        return mSections[1];
    }
    if (number == 0 && numeric >= 3)
        return mSections[2];
    return mSections[0];
}

bool NumberFormat::isGeneralFor(double number) const
{
    bool dropSign = false;
    return sectionFor(number, dropSign).isGeneral;
}

bool NumberFormat::showsNothingFor(double number) const
{
    bool dropSign = false;
    const Section &section = sectionFor(number, dropSign);
    return section.tokens.empty() && !section.isDate && !section.isGeneral && !section.hasTextValue;
}

bool NumberFormat::isDateFor(double number) const
{
    bool dropSign = false;
    return sectionFor(number, dropSign).isDate;
}

FormattedValue NumberFormat::format(const Value &value) const
{
    if (const auto *number = std::get_if<double>(&value))
        return formatNumber(*number);
    if (const auto *text = std::get_if<QString>(&value))
        return formatText(*text);
    if (const auto *boolean = std::get_if<bool>(&value))
        return plain(*boolean ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
    if (const auto *error = std::get_if<ErrorCode>(&value)) {
        switch (*error) {
        case ErrorCode::Null: return plain(QStringLiteral("#NULL!"));
        case ErrorCode::Div0: return plain(QStringLiteral("#DIV/0!"));
        case ErrorCode::Value: return plain(QStringLiteral("#VALUE!"));
        case ErrorCode::Ref: return plain(QStringLiteral("#REF!"));
        case ErrorCode::Name: return plain(QStringLiteral("#NAME?"));
        case ErrorCode::Num: return plain(QStringLiteral("#NUM!"));
        case ErrorCode::NA: return plain(QStringLiteral("#N/A"));
        }
    }
    return plain({});
}

FormattedValue NumberFormat::formatText(const QString &text) const
{
    const Section *section = nullptr;
    if (mSections.size() == 4)
        section = &mSections[3];
    else if (mSections.back().hasTextValue)
        section = &mSections.back();
    if (!section)
        return plain(text);
    FormattedValue result{{}, section->color, false};
    for (const Token &token : section->tokens) {
        if (token.kind == Token::Kind::TextValue)
            result.text += text;
        else if (token.kind == Token::Kind::Literal)
            result.text += token.text;
    }
    return result;
}

FormattedValue NumberFormat::formatNumber(double number) const
{
    bool dropSign = false;
    const Section &section = sectionFor(number, dropSign);
    if (section.isDate)
        return applyDate(section, number);
    if (section.hasTextValue) // a text format shows numbers as General does
        return plain(formatGeneral(number));
    return applyNumber(section, number, dropSign);
}

FormattedValue NumberFormat::applyNumber(const Section &section, double number, bool dropSign)
{
    int integerZeros = 0, decimals = 0, decimalZeros = 0, percents = 0, scaleCommas = 0;
    bool decimalPoint = false, grouping = false, exponent = false, sawDigit = false;
    for (size_t i = 0; i < section.tokens.size(); ++i) {
        const Token &token = section.tokens[i];
        switch (token.kind) {
        case Token::Kind::Digit:
            sawDigit = true;
            if (exponent)
                break;
            if (decimalPoint) {
                ++decimals;
                decimalZeros += token.text != QStringLiteral("#") ? 1 : 0;
            } else {
                integerZeros += token.text == QStringLiteral("0") ? 1 : 0;
            }
            scaleCommas = 0;
            break;
        case Token::Kind::DecimalPoint: decimalPoint = true; break;
        case Token::Kind::Thousands:
            if (sawDigit && !decimalPoint) {
                const bool digitFollows = i + 1 < section.tokens.size()
                                          && section.tokens[i + 1].kind == Token::Kind::Digit;
                grouping = grouping || digitFollows;
                scaleCommas += digitFollows ? 0 : 1;
            }
            break;
        case Token::Kind::Percent: ++percents; break;
        case Token::Kind::Exponent: exponent = true; break;
        default: break;
        }
    }

    double value = dropSign ? std::abs(number) : number;
    value *= std::pow(100.0, percents) / std::pow(1000.0, scaleCommas);
    const bool negative = value < 0;
    value = std::abs(value);

    QString digits;
    if (section.isGeneral) {
        digits = formatGeneral(value);
    } else if (exponent) {
        digits = QString::number(value, 'E', decimals);
        const int e = digits.indexOf(u'E');
        const int power = digits.mid(e + 1).toInt();
        digits = digits.left(e) + u'E' + (power < 0 ? u'-' : u'+') + twoDigits(std::abs(power));
    } else if (sawDigit) {
        const QString fixed = QString::number(value, 'f', decimals);
        QString integer = fixed.section(u'.', 0, 0);
        QString fraction = fixed.section(u'.', 1);
        if (integer == QStringLiteral("0") && integerZeros == 0)
            integer.clear();
        while (integer.size() < integerZeros)
            integer.prepend(u'0');
        while (fraction.size() > decimalZeros && fraction.endsWith(u'0'))
            fraction.chop(1);
        digits = (grouping ? groupThousands(integer) : integer) + (decimalPoint ? QStringLiteral(".") + fraction : QString());
    }
    const bool showsNonZero = std::any_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'1' && c <= u'9'; });

    FormattedValue result{{}, section.color, false};
    bool numberWritten = false;
    for (const Token &token : section.tokens) {
        switch (token.kind) {
        case Token::Kind::Literal: result.text += token.text; break;
        case Token::Kind::Percent: result.text += u'%'; break;
        case Token::Kind::General:
        case Token::Kind::Digit:
        case Token::Kind::DecimalPoint:
            if (!numberWritten)
                result.text += digits;
            numberWritten = true;
            break;
        default: break;
        }
    }
    if (negative && showsNonZero)
        result.text.prepend(u'-');
    return result;
}

FormattedValue NumberFormat::applyDate(const Section &section, double serial)
{
    if (serial < 0 || serial >= kLastSerial + 1)
        return {{}, section.color, true};
    int days = static_cast<int>(std::floor(serial));
    int seconds = static_cast<int>(std::lround((serial - days) * 86400.0));
    if (seconds >= 86400) {
        ++days;
        seconds -= 86400;
    }
    const SerialDate date = dateFromSerial(days).value_or(SerialDate{});
    const int dayOfWeek = weekdayFromSerial(days) - 1; // 0 = Sunday
    const int hour = seconds / 3600, minute = seconds / 60 % 60, second = seconds % 60;
    bool twelveHour = false;
    for (const Token &token : section.tokens)
        twelveHour = twelveHour || (token.kind == Token::Kind::Date && token.text.contains(u'/'));

    // "m" means minutes right after an hour or right before a second.
    auto isMinutes = [&](size_t at) {
        for (size_t i = at; i-- > 0;)
            if (section.tokens[i].kind == Token::Kind::Date)
                return section.tokens[i].text.startsWith(u'h');
        for (size_t i = at + 1; i < section.tokens.size(); ++i)
            if (section.tokens[i].kind == Token::Kind::Date)
                return section.tokens[i].text.startsWith(u's');
        return false;
    };

    FormattedValue result{{}, section.color, false};
    for (size_t i = 0; i < section.tokens.size(); ++i) {
        const Token &token = section.tokens[i];
        if (token.kind == Token::Kind::Literal) {
            result.text += token.text;
            continue;
        }
        if (token.kind != Token::Kind::Date)
            continue;
        const QString &code = token.text;
        const int length = code.size();
        switch (code[0].unicode()) {
        case 'y': result.text += length <= 2 ? twoDigits(date.year % 100) : QString::number(date.year); break;
        case 'd':
            if (length <= 2)
                result.text += length == 1 ? QString::number(date.day) : twoDigits(date.day);
            else
                result.text += QString::fromLatin1(kDayNames[dayOfWeek]).left(length == 3 ? 3 : -1);
            break;
        case 'm':
            if (length <= 2 && isMinutes(i)) {
                result.text += length == 1 ? QString::number(minute) : twoDigits(minute);
            } else if (length <= 2) {
                result.text += length == 1 ? QString::number(date.month) : twoDigits(date.month);
            } else {
                const QString name = QString::fromLatin1(kMonthNames[date.month - 1]);
                result.text += length == 3 ? name.left(3) : length == 5 ? name.left(1) : name;
            }
            break;
        case 'h': {
            const int shown = twelveHour ? (hour % 12 == 0 ? 12 : hour % 12) : hour;
            result.text += length == 1 ? QString::number(shown) : twoDigits(shown);
            break;
        }
        case 's': result.text += length == 1 ? QString::number(second) : twoDigits(second); break;
        default: // AM/PM or A/P
            result.text += code == QStringLiteral("A/P") ? (hour < 12 ? u"A" : u"P")
                                                         : (hour < 12 ? u"AM" : u"PM");
            break;
        }
    }
    return result;
}

} // namespace orv::sheet
