#pragma once

#include "chart/SpreadsheetApplication.h"

#include <QLocale>

namespace orv::chart {

// Creates instances of the spreadsheet application backed by the program's
// own workbook engine; it is always available. The instances read typed
// text under `locale` and take the day from `clock`.
class EngineApplicationFactory final : public ApplicationFactory {
public:
    explicit EngineApplicationFactory(const Clock &clock, QLocale locale = QLocale());
    std::unique_ptr<Application> create() override;

private:
    const Clock &mClock;
    QLocale mLocale;
};

} // namespace orv::chart
