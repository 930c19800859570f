#pragma once

#include "app/qt/HandOverQueue.h"

class QWidget;

namespace orv {

class Form1;
class SingleInstance;

// The files later starts hand to the one instance: each brings the program's
// windows to the front and is opened as "Open..." opens a file, one at a
// time, once no question, dialog or chart building is under way.
class LaterStarts {
public:
    LaterStarts(Form1 &form, SingleInstance &instance);

private:
    HandOverQueue mQueue;
};

// The windows that are shown come to the front; with none shown (a hidden
// main window while no preview is open), the main window is shown.
void bringToFront(QWidget &mainWindow);

} // namespace orv
