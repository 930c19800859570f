#include "app/WindowPlace.h"

#include <QList>
#include <QStringList>
#include <algorithm>

namespace orv {

namespace {

const QString kMaximized = QStringLiteral("maximized");

} // namespace

QString WindowPlace::encoded() const
{
    QString text = QStringLiteral("%1,%2,%3,%4").arg(normal.x()).arg(normal.y()).arg(normal.width()).arg(normal.height());
    if (maximized)
        text += u',' + kMaximized;
    return text;
}

std::optional<WindowPlace> WindowPlace::decoded(const QString &text)
{
    const QStringList parts = text.split(u',');
    if (parts.size() != 4 && !(parts.size() == 5 && parts[4] == kMaximized))
        return std::nullopt;
    int numbers[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = parts[i].trimmed().toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    const QRect normal(numbers[0], numbers[1], numbers[2], numbers[3]);
    if (normal.width() <= 0 || normal.height() <= 0)
        return std::nullopt;
    return WindowPlace{normal, parts.size() == 5};
}

QRect placeOnScreens(const QRect &kept, const QList<QRect> &screens)
{
    if (screens.isEmpty())
        return kept;
    const auto holding = std::find_if(screens.begin(), screens.end(),
                                      [&kept](const QRect &screen) { return screen.contains(kept.center()); });
    const QRect screen = holding != screens.end() ? *holding : screens.first();
    const QSize size = kept.size().boundedTo(screen.size());
    const int left = std::clamp(kept.left(), screen.left(), screen.right() + 1 - size.width());
    const int top = std::clamp(kept.top(), screen.top(), screen.bottom() + 1 - size.height());
    return {QPoint(left, top), size};
}

} // namespace orv
