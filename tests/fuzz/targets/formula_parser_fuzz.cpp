// Any text either parses or fails with a Failure; what parses prints back
// to text that parses to the same print, and evaluates, moves and adjusts
// without crashing.

#include "sheet/Clock.h"
#include "files/Failure.h"
#include "sheet/formula/Evaluator.h"
#include "sheet/formula/FormulaParser.h"
#include "sheet/formula/FormulaPrinter.h"
#include "sheet/formula/ReferenceAdjustment.h"
#include "sheet/model/Workbook.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

class FixedClock : public orv::Clock {
public:
    QDateTime now() const override { return QDateTime(QDate(2024, 3, 15), QTime(12, 0)); }
};

const orv::sheet::Workbook &sampleWorkbook()
{
    static const orv::sheet::Workbook workbook = [] {
        orv::sheet::Workbook book;
        orv::sheet::Sheet &sheet = book.addSheet(QStringLiteral("Plan"));
        sheet.cellAt({0, 0}).value = 1.0;
        sheet.cellAt({1, 0}).value = QStringLiteral("text");
        sheet.cellAt({2, 0}).value = true;
        sheet.cellAt({3, 0}).value = orv::sheet::ErrorCode::NA;
        sheet.cellAt({5, 7}).value = 45366.0;
        book.addSheet(QStringLiteral("My Sheet")).cellAt({0, 0}).value = 2.0;
        return book;
    }();
    return workbook;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace orv::sheet;
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    FormulaPtr formula;
    try {
        formula = parseFormula(text);
    } catch (const orv::Failure &) {
        return 0;
    }
    const QString printed = printFormula(*formula);
    try {
        const QString again = printFormula(*parseFormula(printed));
        if (again != printed) {
            std::fprintf(stderr, "printed \"%s\" prints back as \"%s\"\n", qPrintable(printed), qPrintable(again));
            std::abort();
        }
    } catch (const orv::Failure &failure) {
        std::fprintf(stderr, "printed \"%s\" does not parse: %s\n", qPrintable(printed),
                     qPrintable(failure.description()));
        std::abort();
    }
    static const FixedClock clock;
    const Workbook &workbook = sampleWorkbook();
    const Evaluator evaluator(workbook, clock);
    evaluator.evaluate(*formula, workbook.sheet(0), {9, 2});
    evaluator.evaluateAt(*formula, workbook.sheet(0), {0, 0}, {300, 20});
    printFormula(*adjustForInsertedRows(formula, QStringLiteral("Plan"), {QStringLiteral("plan"), 3, 65000}));
    printFormula(*translateFormula(formula, -5, 3));
    return 0;
}
