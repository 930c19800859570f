#pragma once

#include "app/ListCodec.h"

namespace orv {

class SettingsStore;

// A project list in the settings store. The list's own key always holds the
// plain form, exactly as it always has. Only when the plain form would not
// bring the list back (a "|" or "^" typed into a field, a category with an
// empty name) does the companion key "<key>Exact" hold the exact form as
// well; otherwise the companion is removed, so such files stay as they were.
QString exactListKey(const QString &key);

// The key of the chart calendar's scale ("days", "weeks" or "months").
QString calendarScaleKey();

// Every key the program keeps in the settings store: the three lists, their
// companions, the selected tab and the calendar's scale.
QStringList knownSettingsKeys();

// Throws what the store throws; the companion is written after the plain
// value, so a failure leaves no companion that agrees with the new value.
void writeStoredList(SettingsStore &settings, const QString &key, const ListRecords &records);

// The exact form wins only while it agrees with the plain value, that is
// while the plain form of its records is the stored plain text: a plain
// value written or edited without the companion is read as it stands.
ListRecords readStoredList(const SettingsStore &settings, const QString &key);

} // namespace orv
