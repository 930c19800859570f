#include "app/AppTitle.h"

#include <QGuiApplication>

namespace orv {

namespace {

// Keeps what stands before the last space; false when there is none.
bool cutAtLastSpace(QString &text)
{
    const qsizetype space = text.lastIndexOf(u' ');
    if (space < 0)
        return false;
    text.truncate(space);
    return true;
}

} // namespace

QString appTitleFor(const QString &productTitle)
{
    QString title = productTitle;
    if (!cutAtLastSpace(title))
        return title;
    while (title.size() > 40 && cutAtLastSpace(title)) {
    }
    return title;
}

void SetAppTitle()
{
    QGuiApplication::setApplicationDisplayName(appTitleFor(QLatin1String(kProductTitle)));
}

QString appTitle()
{
    return QGuiApplication::applicationDisplayName();
}

} // namespace orv
