#pragma once

namespace orv::chart {
enum class CalendarScale;
}

namespace orv::preview {

// What the preview window needs of the main window.
class MainWindowLink {
public:
    virtual ~MainWindowLink() = default;
    // Shows the main window, not modal.
    virtual void showMainWindow() = 0;
    // Writes the three project lists to the settings store, as closing the
    // main window does; may throw a Failure.
    virtual void saveProjectLists() = 0;
    // Builds the chart anew at `scale`, which the main window keeps for the
    // charts after it; the new chart comes to the preview as every chart does.
    virtual void rebuildChart(chart::CalendarScale /*scale*/) {}
};

} // namespace orv::preview
