#include "chart/IsInstalled.h"

#include "app/AppTitle.h"
#include "app/MessageBoxes.h"
#include "app/Services.h"
#include "chart/SpreadsheetApplication.h"

#include <QStringList>
#include <exception>

namespace orv {

namespace {

bool instanceCanBeCreated(chart::ApplicationFactory &factory)
{
    try {
        return factory.create() != nullptr;
    } catch (const std::exception &) {
        return false;
    }
}

} // namespace

QString excelMissingMessage()
{
    const QStringList parts{
        QStringLiteral("Error 842001. A normal instance of Excel could not be created."),
        QStringLiteral("1. Please make sure Excel is installed on this computer."),
        QStringLiteral("2. Please open Excel normally and make sure a blank spreadsheet opens immediately without "
                       "any interrupting window (such as an Excel file recovery window)."),
        QStringLiteral("3. Please make sure that when you double-click on a XLS or XLSX file that Excel opens "
                       "normally without any interrupting messages."),
        QStringLiteral("4. All versions of Excel are supported by this software except for the rare Excel Starter "
                       "and Student editions."),
    };
    return parts.join(QStringLiteral("\r\n\r\n"));
}

void CheckExcelInstalled(const Services &services)
{
    if (services.spreadsheets && instanceCanBeCreated(*services.spreadsheets))
        return;
    services.messages->show(excelMissingMessage(), appTitle(), MessageButtons::Ok, MessageIcon::None);
    services.exit->endProgram();
}

} // namespace orv
