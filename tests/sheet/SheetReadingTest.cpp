// A sheet is only read through its const side: threads may read one sheet
// at once (a picture made of it while the window paints it) and each sees
// every formula cell.
#include "sheet/formula/FormulaParser.h"
#include "sheet/model/Sheet.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace orv::sheet {
namespace {

TEST(SheetReading, ThreadsVisitTheFormulaCellsAtOnce)
{
    Sheet sheet(QStringLiteral("Plan"));
    // Cells handed out for writing that end up without a formula: the ones
    // a visit passes over.
    for (int row = 0; row < 2000; ++row)
        for (int column = 0; column < 50; ++column)
            sheet.cellAt({row, column}).value = double(row);
    for (int row = 0; row < 2000; row += 100)
        sheet.cellAt({row, 7}).formula = parseFormula(QStringLiteral("A1+1"));
    const Sheet &reading = sheet;

    std::atomic<int> waiting{4};
    std::vector<int> found(4, 0);
    std::vector<std::thread> readers;
    for (int reader = 0; reader < 4; ++reader)
        readers.emplace_back([&, reader] {
            for (--waiting; waiting > 0;) {
            }
            reading.forEachFormulaCell([&](CellAddress, const Cell &) { ++found[reader]; });
        });
    for (std::thread &reader : readers)
        reader.join();
    EXPECT_EQ(found, std::vector<int>(4, 20));
}

} // namespace
} // namespace orv::sheet
