#include "app/qt/ProgramIcon.h"

// The resource lives in a static library, so it is registered by hand.
static void registerResources()
{
    Q_INIT_RESOURCE(orvantis);
}

namespace orv {

QIcon programIcon()
{
    registerResources();
    return QIcon(QStringLiteral(":/orvantis/orvantis.png"));
}

} // namespace orv
