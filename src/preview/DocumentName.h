#pragma once

#include <QDate>
#include <QString>

namespace orv::preview {

// The name a printed or exported chart goes by: that of the file the chart
// was saved to, or, before it is saved, "Gantt chart" and the day's date.
QString chartDocumentName(const QString &savedAs, QDate today);

} // namespace orv::preview
