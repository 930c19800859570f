#include "sheet/formula/FormulaParser.h"

#include "files/Failure.h"
#include "sheet/formula/FormulaPrinter.h"
#include "sheet/model/CellAddress.h"

#include <array>
#include <cmath>
#include <optional>
#include <utility>

namespace orv::sheet {

namespace {

using NodePtr = std::shared_ptr<FormulaNode>;

// Deeper nesting than this is refused rather than risking the stack of the
// parser and of everything that walks the tree recursively.
constexpr int kMaxDepth = 200;
constexpr int kMaxTreeDepth = 1000;
constexpr int kMaxLength = 8192;

NodePtr makeNode(FormulaNode::Kind kind)
{
    auto node = std::make_shared<FormulaNode>();
    node->kind = kind;
    return node;
}

NodePtr makeOperation(Operator op, std::vector<FormulaPtr> children)
{
    auto node = makeNode(FormulaNode::Kind::Operation);
    node->op = op;
    node->children = std::move(children);
    return node;
}

const std::array<std::pair<const char *, ErrorCode>, 7> kErrorLiterals{{
    {"#NULL!", ErrorCode::Null},
    {"#DIV/0!", ErrorCode::Div0},
    {"#VALUE!", ErrorCode::Value},
    {"#REF!", ErrorCode::Ref},
    {"#NAME?", ErrorCode::Name},
    {"#NUM!", ErrorCode::Num},
    {"#N/A", ErrorCode::NA},
}};

bool isWordChar(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'.' || c == u'\\'; }

// Reads "$A$1", "a1", "B$7" in full; nothing when the text is not exactly a
// reference inside the sheet's limits.
std::optional<Reference> readReference(const QString &word)
{
    Reference ref;
    int i = 0;
    if (i < word.size() && word[i] == u'$') {
        ref.columnAbsolute = true;
        ++i;
    }
    int column = 0;
    int letters = 0;
    while (i < word.size() && word[i].isLetter() && word[i].unicode() < 128) {
        if (++letters > 3)
            return std::nullopt;
        column = column * 26 + (word[i].toUpper().unicode() - 'A' + 1);
        ++i;
    }
    if (letters == 0)
        return std::nullopt;
    if (i < word.size() && word[i] == u'$') {
        ref.rowAbsolute = true;
        ++i;
    }
    long long row = 0;
    int digits = 0;
    while (i < word.size() && word[i].isDigit() && word[i].unicode() < 128) {
        row = row * 10 + (word[i].unicode() - '0');
        ++digits;
        ++i;
        if (row > kMaxRows)
            return std::nullopt;
    }
    if (digits == 0 || i != word.size() || row < 1 || column > kMaxColumns)
        return std::nullopt;
    ref.row = static_cast<int>(row - 1);
    ref.column = column - 1;
    return ref;
}

// Chains such as 1+1+1+... are read in a loop but still make a deep tree.
int treeDepth(const FormulaNode &root)
{
    int deepest = 0;
    std::vector<std::pair<const FormulaNode *, int>> pending{{&root, 1}};
    while (!pending.empty()) {
        const auto [node, depth] = pending.back();
        pending.pop_back();
        deepest = std::max(deepest, depth);
        for (const FormulaPtr &child : node->children)
            pending.push_back({child.get(), depth + 1});
    }
    return deepest;
}

class Parser {
public:
    explicit Parser(const QString &text) : mText(text)
    {
        if (mText.startsWith(u'='))
            mPos = 1;
    }

    FormulaPtr parseAll()
    {
        if (mText.size() > kMaxLength)
            throw Failure(QStringLiteral("The formula is longer than %1 characters").arg(kMaxLength));
        skipBlanks();
        if (atEnd())
            fail(QStringLiteral("The formula is empty"));
        FormulaPtr root = parseComparison();
        skipBlanks();
        if (!atEnd())
            unexpected();
        if (treeDepth(*root) > kMaxTreeDepth)
            throw Failure(QStringLiteral("The formula \"%1\" is nested too deeply").arg(mText));
        return root;
    }

private:
    [[noreturn]] void fail(const QString &what) const
    {
        throw Failure(QStringLiteral("%1 in the formula \"%2\" (at character %3)").arg(what, mText).arg(mPos + 1));
    }
    [[noreturn]] void unexpected() const
    {
        if (atEnd())
            fail(QStringLiteral("The formula ends too early"));
        fail(QStringLiteral("Unexpected \"%1\"").arg(mText[mPos]));
    }

    bool atEnd() const { return mPos >= mText.size(); }
    QChar peek(int ahead = 0) const { return mPos + ahead < mText.size() ? mText[mPos + ahead] : QChar(); }
    // Skips blanks and says whether there were any.
    bool skipBlanks()
    {
        const int start = mPos;
        while (!atEnd() && (peek() == u' ' || peek() == u'\n' || peek() == u'\r' || peek() == u'\t'))
            ++mPos;
        return mPos > start;
    }
    // Takes the token after any blanks; leaves the blanks when it is not there.
    bool accept(QStringView token)
    {
        const int before = mPos;
        skipBlanks();
        if (QStringView(mText).mid(mPos).startsWith(token)) {
            mPos += static_cast<int>(token.size());
            return true;
        }
        mPos = before;
        return false;
    }

    struct Depth {
        explicit Depth(Parser &parser) : parser(parser)
        {
            if (++parser.mDepth > kMaxDepth)
                parser.fail(QStringLiteral("The formula is nested too deeply"));
        }
        ~Depth() { --parser.mDepth; }
        Parser &parser;
    };

    FormulaPtr parseComparison()
    {
        FormulaPtr left = parseConcatenation();
        for (;;) {
            Operator op;
            if (accept(u"<>"))
                op = Operator::NotEqual;
            else if (accept(u"<="))
                op = Operator::LessOrEqual;
            else if (accept(u">="))
                op = Operator::GreaterOrEqual;
            else if (accept(u"<"))
                op = Operator::Less;
            else if (accept(u">"))
                op = Operator::Greater;
            else if (accept(u"="))
                op = Operator::Equal;
            else
                return left;
            left = makeOperation(op, {left, parseConcatenation()});
        }
    }

    FormulaPtr parseConcatenation()
    {
        FormulaPtr left = parseAdditive();
        while (accept(u"&"))
            left = makeOperation(Operator::Concatenate, {left, parseAdditive()});
        return left;
    }

    FormulaPtr parseAdditive()
    {
        FormulaPtr left = parseMultiplicative();
        for (;;) {
            if (accept(u"+"))
                left = makeOperation(Operator::Add, {left, parseMultiplicative()});
            else if (accept(u"-"))
                left = makeOperation(Operator::Subtract, {left, parseMultiplicative()});
            else
                return left;
        }
    }

    FormulaPtr parseMultiplicative()
    {
        FormulaPtr left = parsePower();
        for (;;) {
            if (accept(u"*"))
                left = makeOperation(Operator::Multiply, {left, parsePower()});
            else if (accept(u"/"))
                left = makeOperation(Operator::Divide, {left, parsePower()});
            else
                return left;
        }
    }

    // "^" binds looser than the unary signs (-2^2 is 4) and is evaluated
    // left to right.
    FormulaPtr parsePower()
    {
        FormulaPtr left = parseUnary();
        while (accept(u"^"))
            left = makeOperation(Operator::Power, {left, parseUnary()});
        return left;
    }

    FormulaPtr parseUnary()
    {
        const Depth depth(*this);
        if (accept(u"-"))
            return makeOperation(Operator::Negate, {parseUnary()});
        if (accept(u"+"))
            return makeOperation(Operator::UnaryPlus, {parseUnary()});
        return parsePercent();
    }

    FormulaPtr parsePercent()
    {
        FormulaPtr operand = parseIntersection();
        while (accept(u"%"))
            operand = makeOperation(Operator::Percent, {operand});
        return operand;
    }

    // A blank between two operands is the intersection operator.
    FormulaPtr parseIntersection()
    {
        FormulaPtr left = parseRange();
        for (;;) {
            const int before = mPos;
            if (!skipBlanks() || !startsOperand()) {
                mPos = before;
                return left;
            }
            left = makeOperation(Operator::Intersection, {left, parseRange()});
        }
    }

    bool startsOperand() const
    {
        const QChar c = peek();
        return c.isLetterOrNumber() || c == u'$' || c == u'\'' || c == u'(' || c == u'"' || c == u'#' || c == u'_'
               || c == u'.';
    }

    FormulaPtr parseRange()
    {
        FormulaPtr left = parsePrimary();
        while (accept(u":"))
            left = makeOperation(Operator::Range, {left, parsePrimary()});
        return left;
    }

    FormulaPtr parsePrimary()
    {
        const Depth depth(*this);
        skipBlanks();
        if (atEnd())
            unexpected();
        const QChar c = peek();
        if (c == u'(')
            return parseParentheses();
        if (c == u'"')
            return parseString();
        if (c == u'#')
            return parseError();
        if (c == u'\'')
            return parseQualified(parseQuotedSheetName());
        if (c.isDigit() || (c == u'.' && peek(1).isDigit()))
            return parseNumberOrReference();
        if (c == u'$' || isWordChar(c))
            return parseWord();
        unexpected();
    }

    FormulaPtr parseParentheses()
    {
        ++mPos;
        FormulaPtr inner = parseComparison();
        while (accept(u","))
            inner = makeOperation(Operator::Union, {inner, parseComparison()});
        if (!accept(u")"))
            unexpected();
        auto node = makeNode(FormulaNode::Kind::Parentheses);
        node->children = {inner};
        return node;
    }

    FormulaPtr parseString()
    {
        ++mPos;
        QString value;
        for (;;) {
            if (atEnd())
                fail(QStringLiteral("A text in quotes is not closed"));
            const QChar c = mText[mPos++];
            if (c == u'"') {
                if (peek() != u'"')
                    break;
                ++mPos;
            }
            value += c;
        }
        auto node = makeNode(FormulaNode::Kind::String);
        node->text = value;
        return node;
    }

    FormulaPtr parseError()
    {
        for (const auto &[text, code] : kErrorLiterals) {
            const QLatin1StringView literal(text);
            if (QStringView(mText).mid(mPos).startsWith(literal, Qt::CaseInsensitive)) {
                mPos += static_cast<int>(literal.size());
                auto node = makeNode(FormulaNode::Kind::Error);
                node->error = code;
                return node;
            }
        }
        fail(QStringLiteral("Unknown error value"));
    }

    QString parseQuotedSheetName()
    {
        ++mPos;
        QString name;
        for (;;) {
            if (atEnd())
                fail(QStringLiteral("A sheet name in quotes is not closed"));
            const QChar c = mText[mPos++];
            if (c == u'\'') {
                if (peek() != u'\'')
                    break;
                ++mPos;
            }
            name += c;
        }
        if (peek() != u'!')
            fail(QStringLiteral("A quoted sheet name must be followed by \"!\""));
        return name;
    }

    QString readWord()
    {
        const int start = mPos;
        if (peek() == u'$')
            ++mPos;
        while (!atEnd() && (isWordChar(peek()) || peek() == u'$'))
            ++mPos;
        return mText.mid(start, mPos - start);
    }

    // After "Sheet!": a reference or an area on that sheet.
    FormulaPtr parseQualified(const QString &sheet)
    {
        ++mPos; // "!"
        const QString word = readWord();
        const auto ref = readReference(word);
        if (!ref)
            fail(QStringLiteral("\"%1\" is not a cell reference").arg(word));
        return parseReferenceTail(sheet, *ref);
    }

    // A reference, and a second corner when ":" and a plain reference follow.
    FormulaPtr parseReferenceTail(const QString &sheet, const Reference &first)
    {
        const int before = mPos;
        if (peek() == u':') {
            ++mPos;
            const QString word = readWord();
            if (const auto second = readReference(word); second && peek() != u'(' && peek() != u'!') {
                auto node = makeNode(FormulaNode::Kind::Area);
                node->sheet = sheet;
                node->ref = first;
                node->ref2 = *second;
                return node;
            }
            mPos = before;
        }
        auto node = makeNode(FormulaNode::Kind::Reference);
        node->sheet = sheet;
        node->ref = first;
        return node;
    }

    FormulaPtr parseNumberOrReference()
    {
        // A word that starts with a digit can still be a sheet name ("2024!A1").
        const int start = mPos;
        const QString word = readWord();
        if (peek() == u'!')
            return parseQualified(word);
        mPos = start;
        return parseNumber();
    }

    FormulaPtr parseNumber()
    {
        const int start = mPos;
        while (peek().isDigit())
            ++mPos;
        if (peek() == u'.') {
            ++mPos;
            while (peek().isDigit())
                ++mPos;
        }
        if ((peek() == u'e' || peek() == u'E')
            && (peek(1).isDigit() || ((peek(1) == u'+' || peek(1) == u'-') && peek(2).isDigit()))) {
            mPos += 2;
            while (peek().isDigit())
                ++mPos;
        }
        bool ok = false;
        const double value = QStringView(mText).mid(start, mPos - start).toDouble(&ok);
        if (!ok || !std::isfinite(value))
            fail(QStringLiteral("The number \"%1\" cannot be read").arg(mText.mid(start, mPos - start)));
        auto node = makeNode(FormulaNode::Kind::Number);
        node->number = value;
        return node;
    }

    FormulaPtr parseWord()
    {
        const QString word = readWord();
        if (peek() == u'!')
            return parseQualified(word);
        if (peek() == u'(' && !word.contains(u'$'))
            return parseFunction(word.toUpper());
        if (word.compare(u"TRUE", Qt::CaseInsensitive) == 0 || word.compare(u"FALSE", Qt::CaseInsensitive) == 0) {
            auto node = makeNode(FormulaNode::Kind::Boolean);
            node->boolean = word.compare(u"TRUE", Qt::CaseInsensitive) == 0;
            return node;
        }
        if (const auto ref = readReference(word))
            return parseReferenceTail(QString(), *ref);
        fail(QStringLiteral("The name \"%1\" is not known").arg(word));
    }

    FormulaPtr parseFunction(const QString &name)
    {
        ++mPos; // "("
        auto node = makeNode(FormulaNode::Kind::Function);
        node->text = name;
        if (accept(u")"))
            return node;
        for (;;) {
            skipBlanks();
            if (peek() == u',' || peek() == u')')
                node->children.push_back(makeNode(FormulaNode::Kind::Missing));
            else
                node->children.push_back(parseComparison());
            if (accept(u","))
                continue;
            if (accept(u")"))
                return node;
            unexpected();
        }
    }

    QString mText;
    int mPos = 0;
    int mDepth = 0;
};

} // namespace

FormulaPtr parseFormula(const QString &text) { return Parser(text).parseAll(); }

} // namespace orv::sheet
