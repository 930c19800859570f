#pragma once

#include <QString>

class QWidget;

namespace orv {

class SkinFramework;

// The skin file under the program folder.
QString skinFilePath(const QString &programFolder);

// Applies the optional skin: when the skin file is an ordinary file (a
// hidden file or a folder does not count), the window and its check boxes,
// option buttons, frames and labels take the button-face colour, and the
// skin is loaded and applied through `skin`. Failures of the skin pass up.
void ApplySkin(QWidget &window, const QString &programFolder, SkinFramework &skin);

// Gives a window and its check boxes, option buttons, frames and labels the
// button-face colour.
void applyButtonFaceColour(QWidget &window);

} // namespace orv
