#pragma once

class QWidget;

namespace orv::preview {

// Gives a window, and every option button, check box, frame and label on it,
// the system's button-face colour. Other controls keep their colours.
void ApplySystemBackColor(QWidget &window);

} // namespace orv::preview
