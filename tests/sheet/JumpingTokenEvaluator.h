#pragma once

// Runs the token bytes of a formula the way the 97-2003 format's own
// application does: one token after the other on a stack, following the
// jumps of tAttrIf, tAttrSkip and tAttrChoose, so that only the arguments
// chosen are evaluated and IF's and CHOOSE's function tokens are skipped.
// Operators and functions other than IF and CHOOSE are computed by the
// engine on a one-level tree of the operands taken from the stack: what is
// checked here is the layout of the bytes, not the functions' arithmetic.
// A condition holds as isTrue() says; an error as condition takes the false
// branch instead of giving the error, which the workbooks checked never need.

#include "sheet/formula/Evaluator.h"
#include "sheet/model/Sheet.h"
#include "sheet/xls/FormulaTokens.h"

#include <QByteArray>
#include <cstring>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace orv::sheet::xls::testing {

// A token stream that the format's own application could not evaluate.
struct TokenFault : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class JumpingTokenEvaluator {
public:
    JumpingTokenEvaluator(const Evaluator &functions, const Sheet &sheet) : mFunctions(functions), mSheet(sheet) {}

    // The value of `tokens` standing in cell `at`. In a conditional format
    // (FormulaPlace::Conditional) relative references are offsets from `at`.
    Value run(const QByteArray &tokens, FormulaPlace place, CellAddress at) const
    {
        Run run(*this, tokens, place, at);
        return run.all();
    }

private:
    struct Run {
        Run(const JumpingTokenEvaluator &owner, const QByteArray &tokens, FormulaPlace place, CellAddress at)
            : owner(owner), tokens(tokens), place(place), at(at)
        {
        }

        const JumpingTokenEvaluator &owner;
        const QByteArray &tokens;
        FormulaPlace place;
        CellAddress at;
        std::vector<FormulaPtr> stack;
        std::set<int> starts; // offsets where a token begins
        int pos = 0;
        // Where the last jump of a tAttrIf and of a tAttrChoose led. Jumps go
        // forward only, so the token there is reached once, by that jump.
        int ifLanding = -1;
        int chooseLanding = -1;

        [[noreturn]] void fault(const std::string &what) const
        {
            throw TokenFault(what + " (at byte " + std::to_string(pos) + " of " + std::to_string(tokens.size()) + ")");
        }

        unsigned u8(int at) const
        {
            if (at >= tokens.size())
                fault("token runs past the end");
            return static_cast<unsigned char>(tokens[at]);
        }
        unsigned u16(int at) const { return u8(at) | (u8(at + 1) << 8); }

        int sizeAt(int at) const
        {
            const unsigned t = u8(at);
            if (t >= 0x03 && t <= 0x16)
                return 1;
            switch (t) {
            case 0x17: return 3 + static_cast<int>(u8(at + 1)) * ((u8(at + 2) & 1) ? 2 : 1);
            case 0x19: return (u8(at + 1) & 0x04) ? 4 + 2 * (static_cast<int>(u16(at + 2)) + 1) : 4;
            case 0x1C:
            case 0x1D: return 2;
            case 0x1E: return 3;
            case 0x1F: return 9;
            default: break;
            }
            if (t < 0x20 || t >= 0x80)
                fault("token " + std::to_string(t) + " is not modelled");
            switch (t & 0x1F) {
            case 0x01: return 3; // tFunc
            case 0x02: return 4; // tFuncVar
            case 0x04:           // tRef
            case 0x0A:           // tRefErr
            case 0x0C: return 5; // tRefN
            case 0x05:           // tArea
            case 0x0B:           // tAreaErr
            case 0x0D: return 9; // tAreaN
            default: fault("token " + std::to_string(t) + " is not modelled");
            }
        }

        Value all()
        {
            for (int p = 0; p < tokens.size(); p += sizeAt(p))
                starts.insert(p);
            while (pos < tokens.size()) {
                pos = step(pos + sizeAt(pos));
            }
            if (stack.size() != 1)
                fault(std::to_string(stack.size()) + " values left on the stack instead of one");
            return owner.mFunctions.evaluate(*stack.back(), owner.mSheet, at);
        }

        int jump(int from, int distance)
        {
            const int target = from + distance;
            if (target > tokens.size() || (target < tokens.size() && !starts.count(target)))
                fault("jump to byte " + std::to_string(target) + ", which is not the start of a token");
            return target;
        }

        FormulaPtr pop()
        {
            if (stack.empty())
                fault("stack underflow");
            FormulaPtr top = stack.back();
            stack.pop_back();
            return top;
        }

        void push(FormulaNode node) { stack.push_back(std::make_shared<const FormulaNode>(std::move(node))); }

        void pushValue(const Value &value)
        {
            FormulaNode node;
            if (const double *d = std::get_if<double>(&value)) {
                node.kind = FormulaNode::Kind::Number;
                node.number = *d;
            } else if (const QString *s = std::get_if<QString>(&value)) {
                node.kind = FormulaNode::Kind::String;
                node.text = *s;
            } else if (const bool *b = std::get_if<bool>(&value)) {
                node.kind = FormulaNode::Kind::Boolean;
                node.boolean = *b;
            } else if (const ErrorCode *e = std::get_if<ErrorCode>(&value)) {
                node.kind = FormulaNode::Kind::Error;
                node.error = *e;
            } else {
                fault("an operation gave no value");
            }
            push(std::move(node));
        }

        // Builds the one-level tree of an operation or function on the
        // operands at the top of the stack and lets the engine compute it.
        void apply(FormulaNode node, int operands)
        {
            node.children.resize(operands);
            for (int i = operands - 1; i >= 0; --i)
                node.children[i] = pop();
            pushValue(owner.mFunctions.evaluate(node, owner.mSheet, at));
        }

        Reference corner(unsigned row, unsigned column) const
        {
            Reference ref;
            ref.rowAbsolute = !(column & 0x8000);
            ref.columnAbsolute = !(column & 0x4000);
            const bool offsets = place == FormulaPlace::Conditional;
            ref.row = offsets && !ref.rowAbsolute ? at.row + static_cast<std::int16_t>(row) : static_cast<int>(row);
            ref.column = offsets && !ref.columnAbsolute ? at.column + static_cast<std::int8_t>(column & 0xFF)
                                                        : static_cast<int>(column & 0xFF);
            return ref;
        }

        void reference(bool area)
        {
            FormulaNode node;
            node.kind = area ? FormulaNode::Kind::Area : FormulaNode::Kind::Reference;
            if (area) {
                node.ref = corner(u16(pos + 1), u16(pos + 5));
                node.ref2 = corner(u16(pos + 3), u16(pos + 7));
            } else {
                node.ref = corner(u16(pos + 1), u16(pos + 3));
            }
            push(std::move(node));
        }

        void function(int index, int argc)
        {
            constexpr int kIf = 1, kChoose = 100;
            if (index == kIf) {
                if (ifLanding != pos || argc != 2)
                    fault("IF's function token is executed: the jumps do not skip it");
                pushValue(false);
                return;
            }
            if (index == kChoose) {
                if (chooseLanding != pos)
                    fault("CHOOSE's function token is executed: the jumps do not skip it");
                pushValue(ErrorCode::Value);
                return;
            }
            const FunctionInfo *info = functionByIndex(index);
            if (!info)
                fault("unknown function " + std::to_string(index));
            FormulaNode node;
            node.kind = FormulaNode::Kind::Function;
            node.text = QString::fromLatin1(info->name);
            apply(std::move(node), argc < 0 ? info->minArgs : argc);
        }

        // The offset of the token after this one, or where a jump leads.
        int attribute(int next)
        {
            const unsigned kind = u8(pos + 1);
            const int data = static_cast<int>(u16(pos + 2));
            if (kind & 0x02) { // tAttrIf: the false branch starts `data` bytes on
                const FormulaPtr condition = pop();
                if (isTrue(owner.mFunctions.evaluate(*condition, owner.mSheet, at)))
                    return next;
                return ifLanding = jump(next, data);
            }
            if (kind & 0x04) { // tAttrChoose: a table of distances from its own start
                const int choices = data;
                const Value index = owner.mFunctions.evaluate(*pop(), owner.mSheet, at);
                const double *number = std::get_if<double>(&index);
                const int chosen = number && *number >= 1 && *number < choices + 1 ? static_cast<int>(*number) : 0;
                const int entry = chosen ? chosen - 1 : choices;
                return chooseLanding = jump(pos + 4, static_cast<int>(u16(pos + 4 + 2 * entry)));
            }
            if (kind & 0x08) // tAttrSkip: one less than the bytes to pass over
                return jump(next, data + 1);
            if (kind & 0x10) { // tAttrSum: SUM of one argument
                function(4, 1);
                return next;
            }
            return next; // volatile and space attributes do nothing
        }

        int step(int next)
        {
            const unsigned t = u8(pos);
            FormulaNode node;
            if (t >= 0x03 && t <= 0x11) {
                static constexpr Operator kBinary[] = {
                    Operator::Add,  Operator::Subtract,       Operator::Multiply, Operator::Divide,
                    Operator::Power, Operator::Concatenate,   Operator::Less,     Operator::LessOrEqual,
                    Operator::Equal, Operator::GreaterOrEqual, Operator::Greater,  Operator::NotEqual,
                    Operator::Intersection, Operator::Union,  Operator::Range};
                node.kind = FormulaNode::Kind::Operation;
                node.op = kBinary[t - 0x03];
                apply(std::move(node), 2);
                return next;
            }
            switch (t) {
            case 0x12:
            case 0x13:
            case 0x14:
                node.kind = FormulaNode::Kind::Operation;
                node.op = t == 0x12 ? Operator::UnaryPlus : t == 0x13 ? Operator::Negate : Operator::Percent;
                apply(std::move(node), 1);
                return next;
            case 0x15: // parentheses only matter for display
                if (stack.empty())
                    fault("stack underflow");
                return next;
            case 0x16:
                push(std::move(node));
                return next;
            case 0x17: {
                const int count = static_cast<int>(u8(pos + 1));
                const bool wide = u8(pos + 2) & 1;
                node.kind = FormulaNode::Kind::String;
                for (int i = 0; i < count; ++i)
                    node.text += QChar(static_cast<char16_t>(wide ? u16(pos + 3 + 2 * i) : u8(pos + 3 + i)));
                push(std::move(node));
                return next;
            }
            case 0x19:
                return attribute(next);
            case 0x1C:
                pushValue(static_cast<ErrorCode>(u8(pos + 1)));
                return next;
            case 0x1D:
                pushValue(u8(pos + 1) != 0);
                return next;
            case 0x1E:
                pushValue(static_cast<double>(u16(pos + 1)));
                return next;
            case 0x1F: {
                double number;
                const QByteArray bytes = tokens.mid(pos + 1, 8);
                std::memcpy(&number, bytes.constData(), sizeof number);
                pushValue(number);
                return next;
            }
            default:
                break;
            }
            switch (t & 0x1F) {
            case 0x01:
                function(static_cast<int>(u16(pos + 1)), -1);
                break;
            case 0x02:
                function(static_cast<int>(u16(pos + 2)), static_cast<int>(u8(pos + 1) & 0x7F));
                break;
            case 0x04:
            case 0x0C:
                reference(false);
                break;
            case 0x05:
            case 0x0D:
                reference(true);
                break;
            default: // the deleted references
                pushValue(ErrorCode::Ref);
                break;
            }
            return next;
        }
    };

    const Evaluator &mFunctions;
    const Sheet &mSheet;
};

} // namespace orv::sheet::xls::testing
