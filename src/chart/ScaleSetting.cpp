#include "chart/ScaleSetting.h"

#include "app/StoredList.h"

namespace orv::chart {

CalendarScale storedScale(const SettingsStore &settings)
{
    return scaleFromName(settings.read(calendarScaleKey()).value_or(QString())).value_or(CalendarScale::Days);
}

void storeScale(SettingsStore &settings, CalendarScale scale) { settings.write(calendarScaleKey(), scaleName(scale)); }

} // namespace orv::chart
