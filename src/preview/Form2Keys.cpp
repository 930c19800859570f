// The preview's keys: the arrows, PgUp/PgDn, Home/End and Ctrl+Home/End
// scroll as in a spreadsheet application; Ctrl++, Ctrl+- and Ctrl+0 zoom in,
// out and back to 100 %, about the centre of the view; Ctrl+S saves the
// workbook, Escape and Alt+Left go back, Ctrl+Q closes the window.
#include "app/ReportingOperation.h"
#include "app/qt/ButtonKeys.h"
#include "preview/Form2.h"

#include <QPushButton>
#include <QShortcut>

namespace orv::preview {

void Form2::createShortcuts()
{
    const auto on = [this](const QKeySequence &keys, auto action) { new QShortcut(keys, this, action); };
    const auto arrow = [this](Axis axis, int direction) {
        return [this, axis, direction] { scrollBy(axis, direction * mViewport.bar(axis).singleStep); };
    };
    const auto page = [this](int direction) {
        return [this, direction] { scrollBy(Axis::Vertical, direction * mViewport.bar(Axis::Vertical).pageStep); };
    };
    on(Qt::Key_Left, arrow(Axis::Horizontal, -1));
    on(Qt::Key_Right, arrow(Axis::Horizontal, 1));
    on(Qt::Key_Up, arrow(Axis::Vertical, -1));
    on(Qt::Key_Down, arrow(Axis::Vertical, 1));
    on(Qt::Key_PageUp, page(-1));
    on(Qt::Key_PageDown, page(1));
    on(Qt::Key_Home, [this] { scrollToEnd(Axis::Horizontal, false); });
    on(Qt::Key_End, [this] { scrollToEnd(Axis::Horizontal, true); });
    on(Qt::CTRL | Qt::Key_Home, [this] {
        scrollToEnd(Axis::Horizontal, false);
        scrollToEnd(Axis::Vertical, false);
    });
    on(Qt::CTRL | Qt::Key_End, [this] {
        scrollToEnd(Axis::Horizontal, true);
        scrollToEnd(Axis::Vertical, true);
    });
    // Ctrl+= is Ctrl++ on keyboards where + needs Shift.
    pressOnKeys(*PushButton1, QStringLiteral("Zoom In"),
                {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    pressOnKeys(*PushButton2, QStringLiteral("Zoom Out"), {QKeySequence(Qt::CTRL | Qt::Key_Minus)});
    pressOnKeys(*PushButton6, QStringLiteral("Save Results To Excel File"), {QKeySequence(Qt::CTRL | Qt::Key_S)});
    pressOnKeys(*PushButton8, QStringLiteral("< Back"),
                {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::ALT | Qt::Key_Left)});
    returnActsAsSpace({PushButton1, PushButton2, PushButton8, PushButton6});
    closeOnQuitKey(*this);
    on(Qt::CTRL | Qt::Key_0, [this] {
        ReportingOperation op(*mServices.messages, QStringLiteral("in Orvantis2021/08/31.Form2.ZoomTo100 "));
        op(100, [&] { zoomAround(1.0f, mViewport.centre()); });
    });
}

} // namespace orv::preview
