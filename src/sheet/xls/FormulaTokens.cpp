#include "sheet/xls/FormulaTokens.h"

#include "files/Failure.h"
#include "sheet/xls/BiffRecords.h"
#include "sheet/xls/ByteBuffer.h"

#include <cmath>

namespace orv::sheet::xls {

namespace {

namespace ptg {
constexpr unsigned Add = 0x03;
constexpr unsigned Range = 0x11;
constexpr unsigned UnaryPlus = 0x12;
constexpr unsigned UnaryMinus = 0x13;
constexpr unsigned Percent = 0x14;
constexpr unsigned Paren = 0x15;
constexpr unsigned MissArg = 0x16;
constexpr unsigned Str = 0x17;
constexpr unsigned Attr = 0x19;
constexpr unsigned Err = 0x1C;
constexpr unsigned Bool = 0x1D;
constexpr unsigned Int = 0x1E;
constexpr unsigned Num = 0x1F;
constexpr unsigned Func = 0x21;
constexpr unsigned FuncVar = 0x22;
constexpr unsigned Ref = 0x24;
constexpr unsigned Area = 0x25;
constexpr unsigned MemArea = 0x26;
constexpr unsigned MemErr = 0x27;
constexpr unsigned MemNoMem = 0x28;
constexpr unsigned MemFunc = 0x29;
constexpr unsigned RefErr = 0x2A;
constexpr unsigned AreaErr = 0x2B;
constexpr unsigned RefN = 0x2C;
constexpr unsigned AreaN = 0x2D;
constexpr unsigned MemAreaN = 0x2E;
constexpr unsigned MemNoMemN = 0x2F;
constexpr unsigned Ref3d = 0x3A;
constexpr unsigned Area3d = 0x3B;
constexpr unsigned RefErr3d = 0x3C;
constexpr unsigned AreaErr3d = 0x3D;
} // namespace ptg

namespace attr {
constexpr unsigned Volatile = 0x01;
constexpr unsigned If = 0x02;
constexpr unsigned Choose = 0x04;
constexpr unsigned Skip = 0x08;
constexpr unsigned Sum = 0x10;
} // namespace attr

// Binary operators in token order 0x03..0x11.
constexpr Operator kBinaryOperators[] = {
    Operator::Add,       Operator::Subtract,       Operator::Multiply,    Operator::Divide, Operator::Power,
    Operator::Concatenate, Operator::Less,         Operator::LessOrEqual, Operator::Equal,  Operator::GreaterOrEqual,
    Operator::Greater,   Operator::NotEqual,       Operator::Intersection, Operator::Union, Operator::Range,
};

constexpr int kMaxArgs = 30;

// What functions ask of their arguments' classes.
constexpr OperandRule kAsGiven{Conversion::Original, false};        // a reference stays one
constexpr OperandRule kValueAsGiven{Conversion::Original, true};    // IF's and CHOOSE's first argument
constexpr OperandRule kValue{Conversion::RepeatParent, true};       // a value
constexpr OperandRule kAnyRange{Conversion::RepeatExplicit, false}; // references or values (SUM, AND...)
constexpr TokenClass V = TokenClass::Value;
constexpr TokenClass R = TokenClass::Reference;

const std::vector<FunctionInfo> kFunctions = {
    {"COUNT", 0, 0, kMaxArgs, V, {kAnyRange}},
    {"IF", 1, 2, 3, R, {kValueAsGiven, kAsGiven}},
    {"ISNA", 2, 1, 1, V, {kValue}},
    {"ISERROR", 3, 1, 1, V, {kValue}},
    {"SUM", 4, 1, kMaxArgs, V, {kAnyRange}},
    {"AVERAGE", 5, 1, kMaxArgs, V, {kAnyRange}},
    {"MIN", 6, 1, kMaxArgs, V, {kAnyRange}},
    {"MAX", 7, 1, kMaxArgs, V, {kAnyRange}},
    {"ROW", 8, 0, 1, V, {kAsGiven}},
    {"COLUMN", 9, 0, 1, V, {kAsGiven}},
    {"NA", 10, 0, 0, V, {}},
    {"ABS", 24, 1, 1, V, {kValue}},
    {"INT", 25, 1, 1, V, {kValue}},
    {"SIGN", 26, 1, 1, V, {kValue}},
    {"ROUND", 27, 2, 2, V, {kValue}},
    {"MID", 31, 3, 3, V, {kValue}},
    {"LEN", 32, 1, 1, V, {kValue}},
    {"VALUE", 33, 1, 1, V, {kValue}},
    {"TRUE", 34, 0, 0, V, {}},
    {"FALSE", 35, 0, 0, V, {}},
    {"AND", 36, 1, kMaxArgs, V, {kAnyRange}},
    {"OR", 37, 1, kMaxArgs, V, {kAnyRange}},
    {"NOT", 38, 1, 1, V, {kValue}},
    {"MOD", 39, 2, 2, V, {kValue}},
    {"TEXT", 48, 2, 2, V, {kValue}},
    {"RAND", 63, 0, 0, V, {}},
    {"DATE", 65, 3, 3, V, {kValue}},
    {"TIME", 66, 3, 3, V, {kValue}},
    {"DAY", 67, 1, 1, V, {kValue}},
    {"MONTH", 68, 1, 1, V, {kValue}},
    {"YEAR", 69, 1, 1, V, {kValue}},
    {"WEEKDAY", 70, 1, 2, V, {kValue}},
    {"HOUR", 71, 1, 1, V, {kValue}},
    {"MINUTE", 72, 1, 1, V, {kValue}},
    {"SECOND", 73, 1, 1, V, {kValue}},
    {"NOW", 74, 0, 0, V, {}},
    {"CHOOSE", 100, 2, kMaxArgs, R, {kValueAsGiven, kAsGiven}},
    {"LOWER", 112, 1, 1, V, {kValue}},
    {"UPPER", 113, 1, 1, V, {kValue}},
    {"LEFT", 115, 1, 2, V, {kValue}},
    {"RIGHT", 116, 1, 2, V, {kValue}},
    {"TRIM", 118, 1, 1, V, {kValue}},
    {"ISTEXT", 127, 1, 1, V, {kValue}},
    {"ISNUMBER", 128, 1, 1, V, {kValue}},
    {"ISBLANK", 129, 1, 1, V, {kValue}},
    {"COUNTA", 169, 0, kMaxArgs, V, {kAnyRange}},
    {"ROUNDUP", 212, 2, 2, V, {kValue}},
    {"ROUNDDOWN", 213, 2, 2, V, {kValue}},
    {"DAYS360", 220, 2, 3, V, {kValue}},
    {"TODAY", 221, 0, 0, V, {}},
    {"CONCATENATE", 336, 1, kMaxArgs, V, {kValue}},
    {"SUMIF", 345, 2, 3, V, {kAsGiven, kValue, kAsGiven}},
    {"COUNTIF", 346, 2, 2, V, {kAsGiven, kValue}},
};

bool isVolatile(const QString &name)
{
    return name == QLatin1String("TODAY") || name == QLatin1String("NOW") || name == QLatin1String("RAND");
}

ClassRules classRulesOf(FormulaPlace place)
{
    switch (place) {
    case FormulaPlace::Cell:
        return ClassRules::Cell;
    case FormulaPlace::Conditional:
        return ClassRules::Array;
    case FormulaPlace::Name:
        break;
    }
    return ClassRules::Name;
}

// A classed token's identifier in class `c`, from its reference-class one.
unsigned classed(unsigned referenceToken, TokenClass c) { return (referenceToken & 0x1F) | static_cast<unsigned>(c); }

bool hasRelativePart(const Reference &ref) { return !ref.rowAbsolute || !ref.columnAbsolute; }

class Encoder {
public:
    Encoder(FormulaPlace place, CellAddress base, const SheetLinks &links) : mPlace(place), mBase(base), mLinks(links) {}

    bool volatileResult = false;

    void root(ByteWriter &out, const FormulaNode &n)
    {
        const ClassRules rules = classRulesOf(mPlace);
        node(out, n, ClassScope::rootOperand(rules), ClassScope::root(rules));
    }

private:
    // Writes `n` given as `operand` of a parent whose scope is `scope`.
    void node(ByteWriter &out, const FormulaNode &n, OperandRule operand, const ClassScope &scope)
    {
        switch (n.kind) {
        case FormulaNode::Kind::Number:
            number(out, n.number);
            break;
        case FormulaNode::Kind::String:
            if (n.text.size() > 255)
                throw Failure(QStringLiteral("A text constant in a formula is longer than 255 characters"));
            out.u8(ptg::Str);
            appendShortUnicodeString(out, n.text);
            break;
        case FormulaNode::Kind::Boolean:
            out.u8(ptg::Bool);
            out.u8(n.boolean ? 1 : 0);
            break;
        case FormulaNode::Kind::Error:
            out.u8(ptg::Err);
            out.u8(static_cast<unsigned>(n.error));
            break;
        case FormulaNode::Kind::Reference:
        case FormulaNode::Kind::Area:
            reference(out, n, *scope.decide(operand, TokenClass::Reference).tokenClass);
            break;
        case FormulaNode::Kind::Operation:
            operation(out, n, scope.decide(operand, std::nullopt).inner);
            break;
        case FormulaNode::Kind::Function:
            function(out, n, operand, scope);
            break;
        case FormulaNode::Kind::Missing:
            out.u8(ptg::MissArg);
            break;
        case FormulaNode::Kind::Parentheses:
            if (n.children.size() != 1)
                throw Failure(QStringLiteral("A formula has empty parentheses"));
            node(out, *n.children[0], operand, scope);
            out.u8(ptg::Paren);
            break;
        }
    }

    void number(ByteWriter &out, double value)
    {
        if (value >= 0 && value <= 65535 && std::floor(value) == value && !std::signbit(value)) {
            out.u8(ptg::Int);
            out.u16(static_cast<unsigned>(value));
        } else {
            out.u8(ptg::Num);
            out.f64(value);
        }
    }

    void checkReference(const Reference &ref)
    {
        if (ref.row < 0 || ref.row >= kMaxRows || ref.column < 0 || ref.column >= kMaxColumns)
            throw Failure(QStringLiteral("A formula refers to a cell outside the sheet"));
    }

    // Row and column fields of a reference in this place.
    void corner(ByteWriter &rows, ByteWriter &columns, const Reference &ref, bool relativeOffsets)
    {
        checkReference(ref);
        const bool offsetRow = relativeOffsets && !ref.rowAbsolute;
        const bool offsetColumn = relativeOffsets && !ref.columnAbsolute;
        rows.u16(offsetRow ? static_cast<unsigned>((ref.row - mBase.row) & 0xFFFF) : static_cast<unsigned>(ref.row));
        unsigned column = offsetColumn ? static_cast<unsigned>((ref.column - mBase.column) & 0xFF)
                                       : static_cast<unsigned>(ref.column);
        if (!ref.columnAbsolute)
            column |= 0x4000;
        if (!ref.rowAbsolute)
            column |= 0x8000;
        columns.u16(column);
    }

    // A conditional format stores references with a relative part as
    // offsets (tRefN, tAreaN) and wholly absolute ones as they are.
    void reference(ByteWriter &out, const FormulaNode &n, TokenClass tokenClass)
    {
        const bool area = n.kind == FormulaNode::Kind::Area;
        const bool otherSheet = !n.sheet.isEmpty() || mPlace == FormulaPlace::Name;
        if (otherSheet && mPlace == FormulaPlace::Conditional)
            throw Failure(QStringLiteral("A conditional format cannot refer to another sheet"));
        const bool offsets = mPlace == FormulaPlace::Conditional
                             && (hasRelativePart(n.ref) || (area && hasRelativePart(n.ref2)));
        unsigned token;
        if (otherSheet)
            token = area ? ptg::Area3d : ptg::Ref3d;
        else if (offsets)
            token = area ? ptg::AreaN : ptg::RefN;
        else
            token = area ? ptg::Area : ptg::Ref;
        out.u8(classed(token, tokenClass));
        if (otherSheet)
            out.u16(static_cast<unsigned>(mLinks.indexOf(n.sheet)));
        ByteWriter rows, columns;
        corner(rows, columns, n.ref, offsets);
        if (area)
            corner(rows, columns, n.ref2, offsets);
        out.append(rows.bytes());
        out.append(columns.bytes());
    }

    void operation(ByteWriter &out, const FormulaNode &n, const ClassScope &scope)
    {
        const bool unary = n.op == Operator::Negate || n.op == Operator::UnaryPlus || n.op == Operator::Percent;
        if (n.children.size() != (unary ? 1u : 2u))
            throw Failure(QStringLiteral("A formula operation has the wrong number of operands"));
        const bool referenceOperands =
            n.op == Operator::Range || n.op == Operator::Union || n.op == Operator::Intersection;
        for (const auto &child : n.children)
            node(out, *child, referenceOperands ? kReferenceOperand : kValueOperand, scope);
        switch (n.op) {
        case Operator::Negate:
            out.u8(ptg::UnaryMinus);
            return;
        case Operator::UnaryPlus:
            out.u8(ptg::UnaryPlus);
            return;
        case Operator::Percent:
            out.u8(ptg::Percent);
            return;
        default:
            break;
        }
        for (unsigned i = 0; i < std::size(kBinaryOperators); ++i) {
            if (kBinaryOperators[i] == n.op) {
                out.u8(ptg::Add + i);
                return;
            }
        }
    }

    void attribute(ByteWriter &out, unsigned kind, unsigned data)
    {
        out.u8(ptg::Attr);
        out.u8(kind);
        out.u16(data);
    }

    // A function's arguments, each written with what the function asks of it.
    struct Call {
        const FunctionInfo &info;
        ClassScope scope;
        TokenClass tokenClass;
    };

    void argument(ByteWriter &out, const Call &call, size_t i, const FormulaNode &n)
    {
        node(out, n, call.info.argument(i), call.scope);
    }

    void function(ByteWriter &out, const FormulaNode &n, OperandRule operand, const ClassScope &scope)
    {
        const FunctionInfo *info = functionByName(n.text);
        if (!info)
            throw Failure(QStringLiteral("The function %1 cannot be saved in a 97-2003 workbook").arg(n.text));
        const int argc = static_cast<int>(n.children.size());
        if (argc < info->minArgs || argc > info->maxArgs)
            throw Failure(QStringLiteral("The function %1 has the wrong number of arguments").arg(n.text));
        if (isVolatile(n.text))
            volatileResult = true;
        const ClassDecision decision = scope.decide(operand, info->result);
        const Call call{*info, decision.inner, *decision.tokenClass};
        if (n.text == QLatin1String("IF")) {
            ifFunction(out, n, call);
            return;
        }
        if (n.text == QLatin1String("CHOOSE")) {
            chooseFunction(out, n, call);
            return;
        }
        for (size_t i = 0; i < n.children.size(); ++i)
            argument(out, call, i, *n.children[i]);
        functionToken(out, call, argc);
    }

    void functionToken(ByteWriter &out, const Call &call, int argc)
    {
        if (call.info.minArgs == call.info.maxArgs) {
            out.u8(classed(ptg::Func, call.tokenClass));
            out.u16(static_cast<unsigned>(call.info.index));
        } else {
            out.u8(classed(ptg::FuncVar, call.tokenClass));
            out.u8(static_cast<unsigned>(argc));
            out.u16(static_cast<unsigned>(call.info.index));
        }
    }

    // IF and CHOOSE carry jump attributes so that an application following
    // them evaluates only the argument chosen. Every argument ends with a
    // skip to the end of the function token, so that the function token
    // itself runs only when no argument is chosen: for IF without a false
    // branch (FALSE) and for CHOOSE with an index out of range (#VALUE!).
    // A skip's offset counts one byte less than the bytes it passes over.
    static constexpr int kAttrSize = 4;
    static constexpr int kFuncVarSize = 4;

    // c tAttrIf(t + skip) t tAttrSkip(f + skip + IF - 1) f tAttrSkip(IF - 1) tFuncVar(IF)
    void ifFunction(ByteWriter &out, const FormulaNode &n, const Call &call)
    {
        argument(out, call, 0, *n.children[0]);
        ByteWriter whenTrue;
        argument(whenTrue, call, 1, *n.children[1]);
        attribute(out, attr::If, static_cast<unsigned>(whenTrue.size() + kAttrSize));
        out.append(whenTrue.bytes());
        if (n.children.size() > 2) {
            ByteWriter whenFalse;
            argument(whenFalse, call, 2, *n.children[2]);
            attribute(out, attr::Skip, static_cast<unsigned>(whenFalse.size() + kAttrSize + kFuncVarSize - 1));
            out.append(whenFalse.bytes());
        }
        attribute(out, attr::Skip, kFuncVarSize - 1);
        functionToken(out, call, static_cast<int>(n.children.size()));
    }

    // i tAttrChoose(n, table) v1 tAttrSkip ... vn tAttrSkip tFuncVar(CHOOSE).
    // Entry k of the table is the distance from the table's start to the
    // first token of value k+1; the last entry leads to the function token.
    void chooseFunction(ByteWriter &out, const FormulaNode &n, const Call &call)
    {
        argument(out, call, 0, *n.children[0]);
        const int choices = static_cast<int>(n.children.size()) - 1;
        std::vector<ByteWriter> values(choices);
        for (int i = 0; i < choices; ++i)
            argument(values[i], call, static_cast<size_t>(i) + 1, *n.children[i + 1]);
        qsizetype remaining = kFuncVarSize;
        for (const ByteWriter &value : values)
            remaining += value.size() + kAttrSize;
        out.u8(ptg::Attr);
        out.u8(attr::Choose);
        out.u16(static_cast<unsigned>(choices));
        qsizetype distance = 2 * (choices + 1);
        for (const ByteWriter &value : values) {
            out.u16(static_cast<unsigned>(distance));
            distance += value.size() + kAttrSize;
        }
        out.u16(static_cast<unsigned>(distance));
        for (const ByteWriter &value : values) {
            out.append(value.bytes());
            remaining -= value.size() + kAttrSize;
            attribute(out, attr::Skip, static_cast<unsigned>(remaining - 1));
        }
        functionToken(out, call, choices + 1);
    }

    FormulaPlace mPlace;
    CellAddress mBase;
    const SheetLinks &mLinks;
};

FormulaPtr leaf(FormulaNode n) { return std::make_shared<const FormulaNode>(std::move(n)); }

class Decoder {
public:
    Decoder(const QByteArray &tokens, FormulaPlace place, CellAddress base, const SheetLinks &links)
        : mIn(tokens, "formula"), mPlace(place), mBase(base), mLinks(links) {}

    FormulaPtr run()
    {
        while (!mIn.atEnd())
            token(mIn.u8());
        if (mStack.size() != 1)
            unsupported();
        return mStack.back().node;
    }

private:
    [[noreturn]] static void unsupported() { throw Failure(QStringLiteral("unsupported formula")); }

    FormulaPtr pop()
    {
        if (mStack.empty())
            unsupported();
        const Entry top = mStack.back();
        mStack.pop_back();
        mPoppedDepth = std::max(mPoppedDepth, top.depth);
        return top.node;
    }

    // Nesting deeper than any spreadsheet application writes is refused, so
    // that hostile files cannot exhaust the stack of code walking the tree.
    void push(FormulaNode n)
    {
        const int depth = n.children.empty() ? 1 : mPoppedDepth + 1;
        mPoppedDepth = 0;
        if (depth > kMaxDepth)
            unsupported();
        mStack.push_back({leaf(std::move(n)), depth});
    }


    void operation(Operator op, int operands)
    {
        FormulaNode n;
        n.kind = FormulaNode::Kind::Operation;
        n.op = op;
        n.children.resize(operands);
        for (int i = operands - 1; i >= 0; --i)
            n.children[i] = pop();
        push(std::move(n));
    }

    void function(int index, int argc)
    {
        const FunctionInfo *info = functionByIndex(index);
        if (!info)
            unsupported();
        if (argc < 0)
            argc = info->minArgs;
        FormulaNode n;
        n.kind = FormulaNode::Kind::Function;
        n.text = QString::fromLatin1(info->name);
        n.children.resize(argc);
        for (int i = argc - 1; i >= 0; --i)
            n.children[i] = pop();
        push(std::move(n));
    }

    Reference corner(unsigned row, unsigned column, bool offsets)
    {
        Reference ref;
        ref.rowAbsolute = !(column & 0x8000);
        ref.columnAbsolute = !(column & 0x4000);
        if (offsets && !ref.rowAbsolute)
            ref.row = (mBase.row + static_cast<std::int16_t>(row)) & 0xFFFF;
        else
            ref.row = static_cast<int>(row);
        if (offsets && !ref.columnAbsolute)
            ref.column = (mBase.column + static_cast<std::int8_t>(column & 0xFF)) & 0xFF;
        else
            ref.column = static_cast<int>(column & 0xFF);
        return ref;
    }

    void reference(bool area, bool offsets, bool threeD)
    {
        FormulaNode n;
        n.kind = area ? FormulaNode::Kind::Area : FormulaNode::Kind::Reference;
        if (threeD) {
            const int index = static_cast<int>(mIn.u16());
            n.sheet = mLinks.nameOf ? mLinks.nameOf(index) : QString();
            if (n.sheet.isEmpty())
                unsupported();
        }
        if (area) {
            const unsigned row1 = mIn.u16(), row2 = mIn.u16(), col1 = mIn.u16(), col2 = mIn.u16();
            n.ref = corner(row1, col1, offsets);
            n.ref2 = corner(row2, col2, offsets);
        } else {
            const unsigned row = mIn.u16(), col = mIn.u16();
            n.ref = corner(row, col, offsets);
        }
        push(std::move(n));
    }

    void refError(qsizetype size)
    {
        mIn.skip(size);
        FormulaNode n;
        n.kind = FormulaNode::Kind::Error;
        n.error = ErrorCode::Ref;
        push(std::move(n));
    }

    void token(unsigned t)
    {
        if (t >= ptg::Add && t <= ptg::Range) {
            operation(kBinaryOperators[t - ptg::Add], 2);
            return;
        }
        FormulaNode n;
        switch (t) {
        case ptg::UnaryPlus:
            operation(Operator::UnaryPlus, 1);
            return;
        case ptg::UnaryMinus:
            operation(Operator::Negate, 1);
            return;
        case ptg::Percent:
            operation(Operator::Percent, 1);
            return;
        case ptg::Paren:
            n.kind = FormulaNode::Kind::Parentheses;
            n.children.push_back(pop());
            push(std::move(n));
            return;
        case ptg::MissArg:
            push(std::move(n));
            return;
        case ptg::Str:
            n.kind = FormulaNode::Kind::String;
            n.text = readShortUnicodeString(mIn);
            push(std::move(n));
            return;
        case ptg::Attr:
            attribute();
            return;
        case ptg::Err:
            n.kind = FormulaNode::Kind::Error;
            n.error = static_cast<ErrorCode>(mIn.u8());
            push(std::move(n));
            return;
        case ptg::Bool:
            n.kind = FormulaNode::Kind::Boolean;
            n.boolean = mIn.u8() != 0;
            push(std::move(n));
            return;
        case ptg::Int:
            n.kind = FormulaNode::Kind::Number;
            n.number = mIn.u16();
            push(std::move(n));
            return;
        case ptg::Num:
            n.kind = FormulaNode::Kind::Number;
            n.number = mIn.f64();
            push(std::move(n));
            return;
        default:
            break;
        }
        if (t < 0x20 || t >= 0x80)
            unsupported();
        switch ((t & 0x1F) | 0x20) {
        case ptg::Func:
            function(static_cast<int>(mIn.u16()), -1);
            return;
        case ptg::FuncVar: {
            const int argc = static_cast<int>(mIn.u8() & 0x7F);
            const unsigned index = mIn.u16();
            if (index & 0x8000)
                unsupported();
            function(static_cast<int>(index), argc);
            return;
        }
        case ptg::Ref:
            reference(false, mPlace == FormulaPlace::Conditional, false);
            return;
        case ptg::Area:
            reference(true, mPlace == FormulaPlace::Conditional, false);
            return;
        case ptg::RefN:
            reference(false, true, false);
            return;
        case ptg::AreaN:
            reference(true, true, false);
            return;
        case ptg::Ref3d:
            reference(false, false, true);
            return;
        case ptg::Area3d:
            reference(true, false, true);
            return;
        case ptg::MemArea:
        case ptg::MemErr:
        case ptg::MemNoMem:
            mIn.skip(6);
            return;
        case ptg::MemFunc:
        case ptg::MemAreaN:
        case ptg::MemNoMemN:
            mIn.skip(2);
            return;
        case ptg::RefErr:
            refError(4);
            return;
        case ptg::AreaErr:
            refError(8);
            return;
        case ptg::RefErr3d:
            refError(6);
            return;
        case ptg::AreaErr3d:
            refError(10);
            return;
        default:
            unsupported();
        }
    }

    void attribute()
    {
        const unsigned kind = mIn.u8();
        const unsigned data = mIn.u16();
        if (kind & attr::Choose) {
            mIn.skip(static_cast<qsizetype>(data + 1) * 2);
        } else if (kind & attr::Sum) {
            function(4, 1);
        }
    }

    ByteReader mIn;
    FormulaPlace mPlace;
    CellAddress mBase;
    const SheetLinks &mLinks;
    struct Entry {
        FormulaPtr node;
        int depth;
    };
    static constexpr int kMaxDepth = 200;
    std::vector<Entry> mStack;
    int mPoppedDepth = 0; // deepest operand taken by the node being built
};

} // namespace

const std::vector<FunctionInfo> &functionTable() { return kFunctions; }

const FunctionInfo *functionByName(const QString &upperName)
{
    for (const FunctionInfo &info : kFunctions)
        if (upperName == QLatin1String(info.name))
            return &info;
    return nullptr;
}

const FunctionInfo *functionByIndex(int index)
{
    for (const FunctionInfo &info : kFunctions)
        if (info.index == index)
            return &info;
    return nullptr;
}

EncodedFormula encodeFormula(const FormulaNode &formula, FormulaPlace place, CellAddress base, const SheetLinks &links)
{
    Encoder encoder(place, base, links);
    ByteWriter body;
    encoder.root(body, formula);
    EncodedFormula result;
    result.volatileResult = encoder.volatileResult;
    ByteWriter out;
    if (result.volatileResult) {
        out.u8(ptg::Attr);
        out.u8(attr::Volatile);
        out.u16(0);
    }
    out.append(body.bytes());
    result.tokens = out.bytes();
    return result;
}

FormulaPtr decodeFormula(const QByteArray &tokens, FormulaPlace place, CellAddress base, const SheetLinks &links)
{
    return Decoder(tokens, place, base, links).run();
}

} // namespace orv::sheet::xls
