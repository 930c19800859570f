#pragma once

#include "sheet/Clock.h"

#include <QString>
#include <optional>

namespace orv {

class MessageBoxes;
namespace chart { class ApplicationFactory; }

// The Save File dialog: returns the chosen path, or an empty text when the
// user cancelled.
class SaveFileDialog {
public:
    virtual ~SaveFileDialog() = default;
    virtual QString askSavePath(const QString &title, const QString &filter) = 0;
};

// Per-user text values under application "Varnholt", section "Orvantis".
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::optional<QString> read(const QString &key) const = 0;
    virtual void write(const QString &key, const QString &value) = 0;
    // Why the store cannot be read as a whole (a file that is not a regular
    // file, unreadable or damaged), or an empty text when it can.
    virtual QString unreadableReason() const { return {}; }
};

// Ends the program at once: no further window event runs.
class ProgramExit {
public:
    virtual ~ProgramExit() = default;
    virtual void endProgram() = 0;
};

// Where the program lives and where it keeps its temporary files.
class Folders {
public:
    virtual ~Folders() = default;
    virtual QString programFolder() const = 0;
    // May throw a Failure when no safe temporary folder can be had.
    virtual QString tempFolder() const = 0;
};

// What the windows reach the outside world through. The program wires the
// Qt implementations in main(); each test wires its own.
struct Services {
    MessageBoxes *messages = nullptr;
    SaveFileDialog *saveDialog = nullptr;
    SettingsStore *settings = nullptr;
    ProgramExit *exit = nullptr;
    Folders *folders = nullptr;
    const Clock *clock = nullptr;
    chart::ApplicationFactory *spreadsheets = nullptr;
};

} // namespace orv
