#include "help/HelpMessage.h"

#include "app/AppTitle.h"
#include "app/MessageBoxes.h"

namespace orv {

QString helpText()
{
    return QStringLiteral("Questions? Please contact Team Varnholt at ") + QLatin1String(kContactPage);
}

void showHelpMessage(MessageBoxes &messages)
{
    messages.show(helpText(), appTitle(), MessageButtons::Ok, MessageIcon::None);
}

} // namespace orv
