#pragma once

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
};

} // namespace orv::preview
