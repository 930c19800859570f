#pragma once

#include "chart/SpreadsheetApplication.h"

namespace orv::chart {

// Creates instances of the spreadsheet application backed by the program's
// own workbook engine; it is always available.
class EngineApplicationFactory final : public ApplicationFactory {
public:
    std::unique_ptr<Application> create() override;
};

} // namespace orv::chart
