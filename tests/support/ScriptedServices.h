#pragma once

#include "app/MessageBoxes.h"
#include "app/Services.h"

#include <QDateTime>
#include <QMap>
#include <QPageLayout>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <vector>

namespace orv::test {

// One message box as the user saw it.
struct ShownMessage {
    QString text;
    QString title;
    MessageButtons buttons;
    MessageIcon icon;
};

// Records every box in order and answers from a script; an unscripted box
// is answered with OK (or Yes for a question).
class ScriptedMessageBoxes : public MessageBoxes {
public:
    MessageAnswer show(const QString &text, const QString &title, MessageButtons buttons,
                       MessageIcon icon) override;
    void answerNext(MessageAnswer answer) { mAnswers.push_back(answer); }
    // The texts of the boxes shown, in order.
    QStringList shownTexts() const;

    std::vector<ShownMessage> shown;

private:
    std::deque<MessageAnswer> mAnswers;
};

class ScriptedSaveDialog : public SaveFileDialog {
public:
    QString askSavePath(const QString &title, const QString &filter, int *chosenFilter = nullptr) override;
    // The next answer: a path and the position of the filter selected with it.
    void answerNext(const QString &path, int filter = 0) { mAnswers.push_back({path, filter}); }

    QStringList titles;
    QStringList filters;

private:
    std::deque<std::pair<QString, int>> mAnswers;
};

// Prints to the PDF file given by the script, or cancels when no file is
// scripted; remembers each dialog's page count and the paper it was shown.
class ScriptedPrintDialog : public PrintDialog {
public:
    bool askPrinter(QPrinter &printer, int pageCount) override;
    // The next answer: print pages `from` to `to` (0: all) into `pdfPath`,
    // on `paper` when given.
    void answerNext(const QString &pdfPath, int from = 0, int to = 0, std::optional<QPageLayout> paper = {})
    {
        mAnswers.push_back({pdfPath, from, to, paper});
    }

    std::vector<int> pageCounts;
    std::vector<QPageLayout> papersShown;
    QStringList documentNames;

private:
    struct Answer {
        QString pdfPath;
        int from, to;
        std::optional<QPageLayout> paper;
    };
    std::deque<Answer> mAnswers;
};

// Answers from a script; an unscripted dialog is cancelled.
class ScriptedOpenDialog : public OpenFileDialog {
public:
    QString askOpenPath(const QString &title, const QString &filter) override;
    void answerNext(const QString &path) { mAnswers.push_back(path); }

    QStringList titles;

private:
    std::deque<QString> mAnswers;
};

class MemorySettingsStore : public SettingsStore {
public:
    std::optional<QString> read(const QString &key) const override;
    void write(const QString &key, const QString &value) override;
    void remove(const QString &key) override;

    QMap<QString, QString> values;
    QStringList writes; // keys in the order they were written
};

class FixedClock : public Clock {
public:
    explicit FixedClock(QDateTime at = QDateTime(QDate(2024, 3, 15), QTime(10, 0))) : at(at) {}
    QDateTime now() const override { return at; }
    QDateTime at;
};

class RecordingExit : public ProgramExit {
public:
    void endProgram() override { ++calls; }
    int calls = 0;
};

// A program folder and a temporary folder of the test's own.
class TempFolders : public Folders {
public:
    TempFolders();
    QString programFolder() const override { return mProgram.path(); }
    QString tempFolder() const override { return mTemp.path(); }
    QString rescueFolder() const override { return mProgram.filePath(QStringLiteral("rescue")); }

private:
    QTemporaryDir mProgram;
    QTemporaryDir mTemp;
};

// All of the above, wired into one Services object.
struct ScriptedServices {
    ScriptedServices();
    ScriptedMessageBoxes messages;
    ScriptedSaveDialog saveDialog;
    ScriptedPrintDialog printDialog;
    ScriptedOpenDialog openDialog;
    MemorySettingsStore settings;
    RecordingExit exit;
    TempFolders folders;
    FixedClock clock;
    Services services;
};

} // namespace orv::test
