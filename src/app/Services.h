#pragma once

#include "sheet/Clock.h"

#include <QString>
#include <QStringList>
#include <optional>

class QPrinter;

namespace orv {

class MessageBoxes;
namespace chart { class ApplicationFactory; }

// The Save File dialog: returns the chosen path, or an empty text when the
// user cancelled. `filter` lists "description|pattern|" pairs; when
// `chosenFilter` is given it receives the position (from 0) of the pair that
// was selected when the user confirmed.
class SaveFileDialog {
public:
    virtual ~SaveFileDialog() = default;
    virtual QString askSavePath(const QString &title, const QString &filter, int *chosenFilter = nullptr) = 0;
};

// The platform's print dialog: the user picks the printer, the paper and the
// pages (1 to `pageCount`) of `printer`. False when the user cancelled.
class PrintDialog {
public:
    virtual ~PrintDialog() = default;
    virtual bool askPrinter(QPrinter &printer, int pageCount) = 0;
};

// The Open File dialog: returns the chosen path of an existing file, or an
// empty text when the user cancelled. `filter` as for SaveFileDialog.
class OpenFileDialog {
public:
    virtual ~OpenFileDialog() = default;
    virtual QString askOpenPath(const QString &title, const QString &filter) = 0;
};

// Per-user text values under application "Varnholt", section "Orvantis".
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::optional<QString> read(const QString &key) const = 0;
    virtual void write(const QString &key, const QString &value) = 0;
    // Removing a value that is not there does nothing.
    virtual void remove(const QString &key) = 0;
    // Runs once at start-up, before anything is written. A store whose
    // values under `keys` cannot all be read back as stored keeps them aside
    // and returns what the user has to be told; empty text when all is well.
    virtual QString checkAtStartUp(const QStringList &keys, const QDateTime &now) { return {}; }
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
    // Where the lists go when the settings file does not take them; empty
    // text: nowhere.
    virtual QString rescueFolder() const { return {}; }
};

// What the windows reach the outside world through. The program wires the
// Qt implementations in main(); each test wires its own.
struct Services {
    MessageBoxes *messages = nullptr;
    SaveFileDialog *saveDialog = nullptr;
    PrintDialog *printDialog = nullptr;
    OpenFileDialog *openDialog = nullptr;
    SettingsStore *settings = nullptr;
    ProgramExit *exit = nullptr;
    Folders *folders = nullptr;
    const Clock *clock = nullptr;
    chart::ApplicationFactory *spreadsheets = nullptr;
};

} // namespace orv
