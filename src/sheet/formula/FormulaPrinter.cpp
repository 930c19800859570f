#include "sheet/formula/FormulaPrinter.h"

#include <QRegularExpression>
#include <charconv>

namespace orv::sheet {

namespace {

QString operatorText(Operator op)
{
    switch (op) {
    case Operator::Range: return QStringLiteral(":");
    case Operator::Union: return QStringLiteral(",");
    case Operator::Intersection: return QStringLiteral(" ");
    case Operator::Power: return QStringLiteral("^");
    case Operator::Multiply: return QStringLiteral("*");
    case Operator::Divide: return QStringLiteral("/");
    case Operator::Add: return QStringLiteral("+");
    case Operator::Subtract: return QStringLiteral("-");
    case Operator::Concatenate: return QStringLiteral("&");
    case Operator::Equal: return QStringLiteral("=");
    case Operator::NotEqual: return QStringLiteral("<>");
    case Operator::Less: return QStringLiteral("<");
    case Operator::Greater: return QStringLiteral(">");
    case Operator::LessOrEqual: return QStringLiteral("<=");
    case Operator::GreaterOrEqual: return QStringLiteral(">=");
    case Operator::Negate: return QStringLiteral("-");
    case Operator::UnaryPlus: return QStringLiteral("+");
    case Operator::Percent: return QStringLiteral("%");
    }
    return {};
}

void print(const FormulaNode &node, QString &out);

void printOperation(const FormulaNode &node, QString &out)
{
    switch (node.op) {
    case Operator::Negate:
    case Operator::UnaryPlus:
        out += operatorText(node.op);
        print(*node.children.at(0), out);
        return;
    case Operator::Percent:
        print(*node.children.at(0), out);
        out += u'%';
        return;
    default:
        print(*node.children.at(0), out);
        out += operatorText(node.op);
        print(*node.children.at(1), out);
    }
}

QString sheetPrefix(const FormulaNode &node)
{
    return node.sheet.isEmpty() ? QString() : quoteSheetName(node.sheet) + u'!';
}

void print(const FormulaNode &node, QString &out)
{
    using Kind = FormulaNode::Kind;
    switch (node.kind) {
    case Kind::Number: out += printNumber(node.number); return;
    case Kind::String:
        out += u'"';
        out += QString(node.text).replace(u'"', QStringLiteral("\"\""));
        out += u'"';
        return;
    case Kind::Boolean: out += node.boolean ? QStringLiteral("TRUE") : QStringLiteral("FALSE"); return;
    case Kind::Error: out += errorText(node.error); return;
    case Kind::Reference: out += sheetPrefix(node) + printReference(node.ref); return;
    case Kind::Area: out += sheetPrefix(node) + printReference(node.ref) + u':' + printReference(node.ref2); return;
    case Kind::Operation: printOperation(node, out); return;
    case Kind::Function:
        out += node.text;
        out += u'(';
        for (std::size_t i = 0; i < node.children.size(); ++i) {
            if (i > 0)
                out += u',';
            print(*node.children[i], out);
        }
        out += u')';
        return;
    case Kind::Missing: return;
    case Kind::Parentheses:
        out += u'(';
        print(*node.children.at(0), out);
        out += u')';
        return;
    }
}

} // namespace

QString printFormula(const FormulaNode &formula)
{
    QString out;
    print(formula, out);
    return out;
}

QString columnName(int column)
{
    QString name;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        name.prepend(QChar(u'A' + (n - 1) % 26));
    return name;
}

QString printReference(const Reference &reference)
{
    QString text;
    if (reference.columnAbsolute)
        text += u'$';
    text += columnName(reference.column);
    if (reference.rowAbsolute)
        text += u'$';
    text += QString::number(reference.row + 1);
    return text;
}

QString quoteSheetName(const QString &name)
{
    // A plain word that cannot be mistaken for a number, a reference or a
    // boolean may stand unquoted.
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_.]*$"));
    static const QRegularExpression referenceLike(QStringLiteral("^[A-Za-z]{1,3}[0-9]+$"));
    const bool needsQuotes = !plain.match(name).hasMatch() || referenceLike.match(name).hasMatch()
                             || name.compare(u"TRUE", Qt::CaseInsensitive) == 0
                             || name.compare(u"FALSE", Qt::CaseInsensitive) == 0;
    if (!needsQuotes)
        return name;
    return u'\'' + QString(name).replace(u'\'', QStringLiteral("''")) + u'\'';
}

QString printNumber(double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    QString text = QString::fromLatin1(buffer, static_cast<int>(result.ptr - buffer));
    return text.toUpper();
}

QString errorText(ErrorCode error)
{
    switch (error) {
    case ErrorCode::Null: return QStringLiteral("#NULL!");
    case ErrorCode::Div0: return QStringLiteral("#DIV/0!");
    case ErrorCode::Value: return QStringLiteral("#VALUE!");
    case ErrorCode::Ref: return QStringLiteral("#REF!");
    case ErrorCode::Name: return QStringLiteral("#NAME?");
    case ErrorCode::Num: return QStringLiteral("#NUM!");
    case ErrorCode::NA: return QStringLiteral("#N/A");
    }
    return QStringLiteral("#N/A");
}

} // namespace orv::sheet
