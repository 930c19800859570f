#pragma once

#include <QString>

namespace orv {

class MessageBoxes;

inline constexpr char kSupportAddress[] = "support@orvantis.example.com";
inline constexpr char kErrorTitle[] = "Application Error";

// The text of the error report, composed exactly as the user sees it.
QString composeErrorReport(const QString &location, int line, const QString &description);

// Shows the report and returns once the user has dismissed it.
void ReportError(MessageBoxes &messages, const QString &location, int line, const QString &description);

} // namespace orv
