#include "sheet/DateSerial.h"
#include "sheet/formula/Evaluation.h"
#include "sheet/formula/ValueText.h"

#include <QHash>
#include <cmath>

namespace orv::sheet {

namespace {

using Arguments = std::vector<FormulaPtr>;
using Function = Operand (*)(Evaluation &, const Arguments &);

Operand error(ErrorCode code) { return Operand::of(code); }
Operand wrongArguments() { return error(ErrorCode::Value); }

bool isMissing(const FormulaPtr &argument) { return argument->kind == FormulaNode::Kind::Missing; }

// The numbers of a function's arguments as SUM and its kind read them:
// references contribute their numbers (text, booleans and empty cells are
// skipped, errors count); values given directly are converted, so TRUE is 1
// and a text that is no number is #VALUE!. An omitted argument is 0.
struct NumberList {
    std::vector<double> numbers;
    std::optional<ErrorCode> error;
};

NumberList collectNumbers(Evaluation &evaluation, const Arguments &arguments)
{
    NumberList list;
    for (const FormulaPtr &argument : arguments) {
        const Operand operand = evaluation.evaluate(*argument);
        if (operand.isReference()) {
            forEachValue(operand, [&](const Value &value) {
                if (const double *number = std::get_if<double>(&value))
                    list.numbers.push_back(*number);
                else if (const auto code = errorOf(value); code && !list.error)
                    list.error = *code;
            });
        } else {
            const Number number = toNumber(operand.value);
            if (number.error && !list.error)
                list.error = number.error;
            list.numbers.push_back(number.value);
        }
        if (list.error)
            return list;
    }
    return list;
}

Number numberArgument(Evaluation &evaluation, const FormulaPtr &argument)
{
    return toNumber(evaluation.scalar(*argument));
}

Operand minOrMax(Evaluation &evaluation, const Arguments &arguments, bool maximum)
{
    const NumberList list = collectNumbers(evaluation, arguments);
    if (list.error)
        return error(*list.error);
    if (list.numbers.empty())
        return Operand::of(0.0);
    return Operand::of(maximum ? *std::max_element(list.numbers.begin(), list.numbers.end())
                               : *std::min_element(list.numbers.begin(), list.numbers.end()));
}

Operand fnMin(Evaluation &e, const Arguments &a) { return a.empty() ? wrongArguments() : minOrMax(e, a, false); }
Operand fnMax(Evaluation &e, const Arguments &a) { return a.empty() ? wrongArguments() : minOrMax(e, a, true); }

Operand fnSum(Evaluation &e, const Arguments &a)
{
    const NumberList list = collectNumbers(e, a);
    if (list.error)
        return error(*list.error);
    double sum = 0;
    for (const double number : list.numbers)
        sum += number;
    return Operand::of(numberResult(sum));
}

Operand fnAverage(Evaluation &e, const Arguments &a)
{
    const NumberList list = collectNumbers(e, a);
    if (list.error)
        return error(*list.error);
    if (list.numbers.empty())
        return error(ErrorCode::Div0);
    double sum = 0;
    for (const double number : list.numbers)
        sum += number;
    return Operand::of(numberResult(sum / static_cast<double>(list.numbers.size())));
}

// COUNT never fails: it counts numbers in references and the arguments
// that are or read as numbers.
Operand fnCount(Evaluation &e, const Arguments &a)
{
    double count = 0;
    for (const FormulaPtr &argument : a) {
        const Operand operand = e.evaluate(*argument);
        if (operand.isReference())
            forEachValue(operand, [&](const Value &value) { count += std::holds_alternative<double>(value); });
        else if (!errorOf(operand.value) && !toNumber(operand.value).error)
            count += 1;
    }
    return Operand::of(count);
}

Operand fnIf(Evaluation &e, const Arguments &a)
{
    if (a.empty() || a.size() > 3)
        return wrongArguments();
    const auto condition = toBoolean(e.scalar(*a[0]));
    if (const ErrorCode *code = std::get_if<ErrorCode>(&condition))
        return error(*code);
    const std::size_t chosen = std::get<bool>(condition) ? 1 : 2;
    if (chosen >= a.size())
        return Operand::of(chosen == 1);
    if (isMissing(a[chosen]))
        return Operand::of(0.0);
    return e.evaluate(*a[chosen]);
}

// AND and OR: references contribute their booleans and numbers, other
// arguments must read as conditions; with nothing to judge, #VALUE!.
Operand logical(Evaluation &e, const Arguments &a, bool any)
{
    bool seen = false;
    bool result = !any;
    for (const FormulaPtr &argument : a) {
        const Operand operand = e.evaluate(*argument);
        std::optional<ErrorCode> failure;
        const auto judge = [&](const Value &value) {
            const auto truth = toBoolean(value);
            if (const ErrorCode *code = std::get_if<ErrorCode>(&truth)) {
                if (!failure)
                    failure = *code;
                return;
            }
            seen = true;
            result = any ? (result || std::get<bool>(truth)) : (result && std::get<bool>(truth));
        };
        if (operand.isReference()) {
            forEachValue(operand, [&](const Value &value) {
                if (std::holds_alternative<double>(value) || std::holds_alternative<bool>(value) || errorOf(value))
                    judge(value);
            });
        } else {
            judge(operand.value);
        }
        if (failure)
            return error(*failure);
    }
    return seen ? Operand::of(result) : error(ErrorCode::Value);
}

Operand fnAnd(Evaluation &e, const Arguments &a) { return logical(e, a, false); }
Operand fnOr(Evaluation &e, const Arguments &a) { return logical(e, a, true); }

Operand fnNot(Evaluation &e, const Arguments &a)
{
    if (a.size() != 1)
        return wrongArguments();
    const auto truth = toBoolean(e.scalar(*a[0]));
    if (const ErrorCode *code = std::get_if<ErrorCode>(&truth))
        return error(*code);
    return Operand::of(!std::get<bool>(truth));
}

// Functions of one number.
template<double (*Apply)(double)>
Operand unary(Evaluation &e, const Arguments &a)
{
    if (a.size() != 1)
        return wrongArguments();
    const Number number = numberArgument(e, a[0]);
    if (number.error)
        return error(*number.error);
    return Operand::of(numberResult(Apply(number.value)));
}

double absolute(double value) { return std::fabs(value); }
double integerPart(double value) { return std::floor(value); }

Operand fnRound(Evaluation &e, const Arguments &a)
{
    if (a.size() != 2)
        return wrongArguments();
    const Number number = numberArgument(e, a[0]);
    const Number digits = numberArgument(e, a[1]);
    if (number.error || digits.error)
        return error(number.error ? *number.error : *digits.error);
    const double scale = std::pow(10.0, std::trunc(digits.value));
    // Rounding the scaled value to 15 significant digits first makes 2.675
    // round to 2.68 as its decimal text promises, not to its binary value.
    const double scaled = QString::number(number.value * scale, 'g', 15).toDouble();
    return Operand::of(numberResult(std::round(scaled) / scale));
}

Operand fnMod(Evaluation &e, const Arguments &a)
{
    if (a.size() != 2)
        return wrongArguments();
    const Number number = numberArgument(e, a[0]);
    const Number divisor = numberArgument(e, a[1]);
    if (number.error || divisor.error)
        return error(number.error ? *number.error : *divisor.error);
    if (divisor.value == 0)
        return error(ErrorCode::Div0);
    return Operand::of(numberResult(number.value - divisor.value * std::floor(number.value / divisor.value)));
}

Operand fnToday(Evaluation &e, const Arguments &a)
{
    if (!a.empty())
        return wrongArguments();
    return Operand::of(std::floor(serialFromDateTime(e.clock().now())));
}

Operand fnNow(Evaluation &e, const Arguments &a)
{
    if (!a.empty())
        return wrongArguments();
    return Operand::of(serialFromDateTime(e.clock().now()));
}

Operand fnDate(Evaluation &e, const Arguments &a)
{
    if (a.size() != 3)
        return wrongArguments();
    int parts[3];
    for (int i = 0; i < 3; ++i) {
        const Number number = numberArgument(e, a[i]);
        if (number.error)
            return error(*number.error);
        if (std::fabs(number.value) > 1e9)
            return error(ErrorCode::Num);
        parts[i] = static_cast<int>(std::trunc(number.value));
    }
    int year = parts[0];
    if (year < 0 || year > 9999)
        return error(ErrorCode::Num);
    if (year < 1900)
        year += 1900;
    const auto serial = serialFromParts(year, parts[1], parts[2]);
    return serial ? Operand::of(double(*serial)) : error(ErrorCode::Num);
}

// YEAR, MONTH and DAY of a serial.
template<int SerialDate::*Part>
Operand datePart(Evaluation &e, const Arguments &a)
{
    if (a.size() != 1)
        return wrongArguments();
    const Number number = numberArgument(e, a[0]);
    if (number.error)
        return error(*number.error);
    const auto date = dateFromSerial(number.value);
    return date ? Operand::of(double((*date).*Part)) : error(ErrorCode::Num);
}

Operand fnWeekday(Evaluation &e, const Arguments &a)
{
    if (a.empty() || a.size() > 2)
        return wrongArguments();
    const Number number = numberArgument(e, a[0]);
    if (number.error)
        return error(*number.error);
    int type = 1;
    if (a.size() == 2 && !isMissing(a[1])) {
        const Number given = numberArgument(e, a[1]);
        if (given.error)
            return error(*given.error);
        if (std::fabs(given.value) > 1e9)
            return error(ErrorCode::Num);
        type = static_cast<int>(std::trunc(given.value));
    }
    // Beyond the last date (9999-12-31) there is no day of the week.
    if (!dateFromSerial(number.value))
        return error(ErrorCode::Num);
    const int sundayFirst = weekdayFromSerial(number.value); // 1 = Sunday
    const int mondayFirst = (sundayFirst + 5) % 7 + 1;        // 1 = Monday
    switch (type) {
    case 1:
    case 17: return Operand::of(double(sundayFirst));
    case 2:
    case 11: return Operand::of(double(mondayFirst));
    case 3: return Operand::of(double(mondayFirst - 1));
    case 12:
    case 13:
    case 14:
    case 15:
    case 16: // the week starts on Tuesday (12) ... Saturday (16)
        return Operand::of(double((mondayFirst - (type - 10) + 7) % 7 + 1));
    default: return error(ErrorCode::Num);
    }
}

Operand fnIsBlank(Evaluation &e, const Arguments &a)
{
    if (a.size() != 1)
        return wrongArguments();
    const Operand operand = e.evaluate(*a[0]);
    return Operand::of(operand.isReference() && isEmpty(e.scalar(operand)));
}

Operand fnIsNumber(Evaluation &e, const Arguments &a)
{
    if (a.size() != 1)
        return wrongArguments();
    return Operand::of(std::holds_alternative<double>(e.scalar(*a[0])));
}

Operand fnIsError(Evaluation &e, const Arguments &a)
{
    if (a.size() != 1)
        return wrongArguments();
    return Operand::of(errorOf(e.scalar(*a[0])).has_value());
}

Operand fnConcatenate(Evaluation &e, const Arguments &a)
{
    if (a.empty())
        return wrongArguments();
    QString text;
    for (const FormulaPtr &argument : a) {
        const Value value = e.scalar(*argument);
        if (const auto code = errorOf(value))
            return error(*code);
        text += valueText(value);
    }
    return Operand::of(text);
}

Operand fnLen(Evaluation &e, const Arguments &a)
{
    if (a.size() != 1)
        return wrongArguments();
    const Value value = e.scalar(*a[0]);
    if (const auto code = errorOf(value))
        return error(*code);
    return Operand::of(double(valueText(value).size()));
}

const QHash<QString, Function> &library()
{
    static const QHash<QString, Function> functions{
        {QStringLiteral("IF"), fnIf},
        {QStringLiteral("AND"), fnAnd},
        {QStringLiteral("OR"), fnOr},
        {QStringLiteral("NOT"), fnNot},
        {QStringLiteral("MIN"), fnMin},
        {QStringLiteral("MAX"), fnMax},
        {QStringLiteral("SUM"), fnSum},
        {QStringLiteral("COUNT"), fnCount},
        {QStringLiteral("AVERAGE"), fnAverage},
        {QStringLiteral("ABS"), unary<absolute>},
        {QStringLiteral("INT"), unary<integerPart>},
        {QStringLiteral("ROUND"), fnRound},
        {QStringLiteral("MOD"), fnMod},
        {QStringLiteral("TODAY"), fnToday},
        {QStringLiteral("NOW"), fnNow},
        {QStringLiteral("DATE"), fnDate},
        {QStringLiteral("YEAR"), datePart<&SerialDate::year>},
        {QStringLiteral("MONTH"), datePart<&SerialDate::month>},
        {QStringLiteral("DAY"), datePart<&SerialDate::day>},
        {QStringLiteral("WEEKDAY"), fnWeekday},
        {QStringLiteral("ISBLANK"), fnIsBlank},
        {QStringLiteral("ISNUMBER"), fnIsNumber},
        {QStringLiteral("ISERROR"), fnIsError},
        {QStringLiteral("CONCATENATE"), fnConcatenate},
        {QStringLiteral("LEN"), fnLen},
    };
    return functions;
}

} // namespace

Operand callFunction(Evaluation &evaluation, const FormulaNode &call)
{
    const Function function = library().value(call.text);
    if (!function)
        return Operand::of(ErrorCode::Name);
    return function(evaluation, call.children);
}

} // namespace orv::sheet
