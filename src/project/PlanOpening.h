#pragma once

#include <QObject>

namespace orv {

class Form1;
class ListHistory;
class ListNote;

// "Open...": replaces the three lists with the plan in a chart workbook,
// CSV or tab-separated file, chosen with the Open File dialog (Ctrl+O),
// dropped on the window or named at start-up. The file is read whole
// first: one that is no plan is refused with a message and the lists stay
// as they are. Lists that hold anything are replaced only when the user
// says so, in one step of the lists' history; the note says what came in
// and what the file could not hold.
class PlanOpening : public QObject {
public:
    PlanOpening(Form1 &form, ListHistory &history, ListNote &note);

    void openChosenFile();
    void open(const QString &path);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool askToReplace(const QString &name);

    Form1 &mForm;
    ListHistory &mHistory;
    ListNote &mNote;
};

} // namespace orv
