#include "app/ErrorReport.h"

#include "app/MessageBoxes.h"

namespace orv {

QString composeErrorReport(const QString &location, int line, const QString &description)
{
    // Two lone carriage returns make the empty line before the request.
    return description + QStringLiteral("\r\n") + location + QStringLiteral("at line ") + QString::number(line)
           + QStringLiteral("\r\r") + QStringLiteral("Please email screenshot of this message to ")
           + QLatin1String(kSupportAddress);
}

void ReportError(MessageBoxes &messages, const QString &location, int line, const QString &description)
{
    messages.show(composeErrorReport(location, line, description), QLatin1String(kErrorTitle),
                  MessageButtons::Ok, MessageIcon::Exclamation);
}

} // namespace orv
