#include "chart/ScaleSetting.h"

namespace orv::chart {

namespace {
const QString kKey = QStringLiteral("CalendarScale");
}

CalendarScale storedScale(const SettingsStore &settings)
{
    return scaleFromName(settings.read(kKey).value_or(QString())).value_or(CalendarScale::Days);
}

void storeScale(SettingsStore &settings, CalendarScale scale) { settings.write(kKey, scaleName(scale)); }

} // namespace orv::chart
