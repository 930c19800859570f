#include "app/AppTitle.h"

namespace orv {

namespace {

// Kept here rather than as the platform's application display name: the
// window system would append that name to every window title.
QString &storedTitle()
{
    static QString title;
    return title;
}

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

void SetAppTitle() { storedTitle() = appTitleFor(QLatin1String(kProductTitle)); }

QString appTitle()
{
    return storedTitle().isEmpty() ? appTitleFor(QLatin1String(kProductTitle)) : storedTitle();
}

} // namespace orv
