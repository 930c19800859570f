#include "app/qt/ApplySkin.h"

#include "app/qt/SkinFramework.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

namespace orv {

namespace {

bool isOrdinaryFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && !info.isHidden();
}

void paintButtonFace(QWidget &widget)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, QApplication::palette().color(QPalette::Button));
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

bool takesButtonFace(const QWidget *widget)
{
    return qobject_cast<const QCheckBox *>(widget) || qobject_cast<const QRadioButton *>(widget)
           || qobject_cast<const QGroupBox *>(widget) || qobject_cast<const QLabel *>(widget);
}

} // namespace

QString skinFilePath(const QString &programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("x/o.cjs"));
}

void applyButtonFaceColour(QWidget &window)
{
    paintButtonFace(window);
    for (QWidget *child : window.findChildren<QWidget *>()) {
        if (takesButtonFace(child))
            paintButtonFace(*child);
    }
}

void ApplySkin(QWidget &window, const QString &programFolder, SkinFramework &skin)
{
    const QString path = skinFilePath(programFolder);
    if (!isOrdinaryFile(path))
        return;
    applyButtonFaceColour(window);
    skin.loadSkin(path, QString());
    skin.setOptionFlags(skin.optionFlags() | SkinFramework::kSkinActive);
    skin.setPolishChildren(true);
    skin.setRepaintWindow(true);
    skin.applyToWindow(window);
}

} // namespace orv
