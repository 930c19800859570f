#include "app/qt/SkinFramework.h"

#include "files/Failure.h"

#include <QDir>
#include <QFile>
#include <QWidget>

namespace orv {

void SkinFramework::loadSkin(const QString &path, const QString &)
{
    QFile file(path);
    const QByteArray sheet = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (file.error() != QFileDevice::NoError)
        throw Failure(QStringLiteral("Cannot read the skin file %1").arg(QDir::toNativeSeparators(path)));
    mStyleSheet = QString::fromUtf8(sheet);
}

void SkinFramework::applyToWindow(QWidget &window)
{
    if ((mOptions & kSkinActive) == 0)
        return;
    window.setStyleSheet(mStyleSheet);
    if (mPolishChildren) {
        for (QWidget *child : window.findChildren<QWidget *>())
            child->ensurePolished();
    }
    if (mRepaintWindow)
        window.update();
}

} // namespace orv
