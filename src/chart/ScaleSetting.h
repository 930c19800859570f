#pragma once

#include "app/Services.h"
#include "chart/template/CalendarScale.h"

namespace orv::chart {

// The calendar scale the user chose last, kept in the settings under
// calendarScaleKey() as "days", "weeks" or "months". Settings without the key,
// or with a value of another kind, read as days.
CalendarScale storedScale(const SettingsStore &settings);
void storeScale(SettingsStore &settings, CalendarScale scale);

} // namespace orv::chart
