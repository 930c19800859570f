#include "app/DelimitedText.h"

#include "app/ColumnNames.h"

#include <array>
#include <limits>

namespace orv {

namespace {

constexpr QChar kQuote = u'"';
constexpr QChar kTab = u'\t';

bool isLineBreak(QChar c) { return c == u'\n' || c == u'\r'; }

// Walks a text field by field. Each call of nextField() reads one field and
// says whether a line ended after it.
class FieldReader {
public:
    FieldReader(QStringView text, QChar separator) : mText(text), mSeparator(separator) {}

    bool atEnd() const { return mAt >= mText.size(); }
    bool atBlankLine() const { return !atEnd() && isLineBreak(mText[mAt]); }
    void skipLineBreak()
    {
        if (mText[mAt] == u'\r' && mAt + 1 < mText.size() && mText[mAt + 1] == u'\n')
            ++mAt;
        ++mAt;
    }

    // The field at the reading position; `lineEnded` is set when a line
    // break or the end of the text follows it.
    QString nextField(bool &lineEnded)
    {
        QString field;
        if (!atEnd() && mText[mAt] == kQuote)
            readQuoted(field);
        while (!atEnd() && mText[mAt] != mSeparator && !isLineBreak(mText[mAt]))
            field += mText[mAt++];
        lineEnded = atEnd() || isLineBreak(mText[mAt]);
        if (!atEnd())
            lineEnded ? skipLineBreak() : void(++mAt);
        return field;
    }

private:
    // Reads up to the closing quote; text after it up to the separator is
    // kept as it stands, the way spreadsheets forgive a stray quote.
    void readQuoted(QString &field)
    {
        ++mAt;
        while (!atEnd()) {
            const QChar c = mText[mAt++];
            if (c != kQuote) {
                field += c;
            } else if (!atEnd() && mText[mAt] == kQuote) {
                field += kQuote;
                ++mAt;
            } else {
                return;
            }
        }
    }

    QStringView mText;
    QChar mSeparator;
    qsizetype mAt = 0;
};

// The position of the quote that closes the quoted field opened at `open`
// (doubled quotes stand inside it), or the text's end.
qsizetype closingQuote(QStringView text, qsizetype open)
{
    for (qsizetype at = open + 1; at < text.size(); ++at) {
        if (text[at] != kQuote)
            continue;
        if (at + 1 < text.size() && text[at + 1] == kQuote)
            ++at;
        else
            return at;
    }
    return text.size();
}

} // namespace

LimitedRows parseDelimitedText(QStringView text, QChar separator, ReadingLimits limits)
{
    LimitedRows read;
    FieldReader reader(text, separator);
    while (!reader.atEnd() && read.rows.size() < limits.rows) {
        if (reader.atBlankLine()) {
            reader.skipLineBreak();
            continue;
        }
        QStringList row;
        bool lineEnded = false;
        while (!lineEnded) {
            row << reader.nextField(lineEnded);
            if (row.last().size() > limits.fieldLength) {
                read.longField = true;
                return read;
            }
        }
        read.rows << row;
    }
    return read;
}

ListRecords parseDelimitedText(QStringView text, QChar separator)
{
    const qsizetype unlimited = std::numeric_limits<qsizetype>::max();
    return parseDelimitedText(text, separator, {unlimited, unlimited}).rows;
}

QChar detectSeparator(QStringView text)
{
    std::array<int, 3> counts{}; // tab, semicolon, comma
    const auto count = [&counts](QChar c) {
        const qsizetype index = QStringView(u"\t;,").indexOf(c);
        if (index >= 0)
            ++counts[index];
        return index >= 0;
    };
    bool fieldStart = true;
    for (qsizetype at = 0; at < text.size(); ++at) {
        const QChar c = text[at];
        if (c == kQuote && fieldStart) {
            at = closingQuote(text, at);
            fieldStart = false;
            continue;
        }
        if (isLineBreak(c) && (counts[0] || counts[1] || counts[2]))
            break;
        fieldStart = count(c) || isLineBreak(c);
    }
    if (counts[0] || (!counts[1] && !counts[2]))
        return kTab;
    return counts[1] > counts[2] ? QChar(u';') : QChar(u',');
}

ListRecords parseDelimitedText(QStringView text) { return parseDelimitedText(text, detectSeparator(text)); }

QString delimitedText(const ListRecords &rows, QChar separator, bool crlf)
{
    const QString lineEnd = crlf ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QString text;
    for (const QStringList &row : rows) {
        for (qsizetype column = 0; column < row.size(); ++column) {
            const QString &field = row[column];
            const bool quote = field.contains(separator) || field.contains(kQuote) || field.contains(u'\n')
                               || field.contains(u'\r') || (row.size() == 1 && field.isEmpty());
            if (column > 0)
                text += separator;
            if (quote)
                text += kQuote + QString(field).replace(kQuote, QStringLiteral("\"\"")) + kQuote;
            else
                text += field;
        }
        text += lineEnd;
    }
    return text;
}

const QStringList &listCaptions(ListKind kind)
{
    static const auto captionsOf = [](ListKind list) {
        QStringList captions;
        for (const PlanField field : listFields(list))
            captions << fieldNames(field).front();
        return captions;
    };
    static const std::array<QStringList, 3> captions = {captionsOf(ListKind::Categories), captionsOf(ListKind::Tasks),
                                                        captionsOf(ListKind::Events)};
    return captions[static_cast<size_t>(kind)];
}

bool fitsColumns(const QStringList &row, int columns)
{
    for (qsizetype column = columns; column < row.size(); ++column)
        if (!row[column].isEmpty())
            return false;
    return true;
}

} // namespace orv
