#include "sheet/xlsx/XmlText.h"

namespace orv::sheet::xlsx {

namespace {

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}

// True when an escape _xHHHH_ starts at `at`.
bool startsEscape(QStringView text, qsizetype at)
{
    if (at + 7 > text.size() || text[at] != u'_' || text[at + 1] != u'x' || text[at + 6] != u'_')
        return false;
    for (qsizetype i = at + 2; i < at + 6; ++i)
        if (!isHexDigit(text[i]))
            return false;
    return true;
}

bool isXmlUnit(QStringView text, qsizetype at)
{
    const char16_t c = text[at].unicode();
    if (c < 0x20)
        return c == u'\t' || c == u'\n' || c == u'\r';
    if (c == 0xFFFE || c == 0xFFFF)
        return false;
    if (QChar::isHighSurrogate(c))
        return at + 1 < text.size() && QChar::isLowSurrogate(text[at + 1].unicode());
    if (QChar::isLowSurrogate(c))
        return at > 0 && QChar::isHighSurrogate(text[at - 1].unicode());
    return true;
}

QString escapeOf(char16_t unit)
{
    return QStringLiteral("_x%1_").arg(QString::number(unit, 16).toUpper().rightJustified(4, u'0'));
}

} // namespace

QString escapedXmlText(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isXmlUnit(text, i) || text[i] == u'\r' || startsEscape(text, i))
            escaped += escapeOf(text[i].unicode());
        else
            escaped += text[i];
    }
    return escaped;
}

QString unescapedXmlText(const QString &text)
{
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (startsEscape(text, i)) {
            plain += QChar(static_cast<char16_t>(QStringView(text).mid(i + 2, 4).toUInt(nullptr, 16)));
            i += 6;
        } else {
            plain += text[i];
        }
    }
    return plain;
}

bool isXmlText(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i)
        if (!isXmlUnit(text, i))
            return false;
    return true;
}

} // namespace orv::sheet::xlsx
