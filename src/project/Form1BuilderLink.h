#pragma once

#include "chart/BuilderWindow.h"
#include "chart/ProjectSource.h"
#include "project/Form1.h"
#include "project/ListNote.h"
#include "project/ListViewItems.h"

#include <QTreeWidget>

namespace orv {

// The main window as the chart builder sees it: the three list views, read
// at the moment each step runs, the window's pointer and visibility, and
// the note that says what the chart's calendar leaves out.
class Form1::BuilderLink : public chart::ProjectSource, public chart::BuilderWindow {
public:
    explicit BuilderLink(Form1 &form) : mForm(form) {}

    int itemCount(List list) const override { return orv::itemCount(view(list)); }
    QString itemText(List list, int position, int column) const override
    {
        return orv::itemText(view(list), position, column);
    }
    void setPointer(PointerSetting pointer) override { mForm.setPointer(pointer); }
    void hideMainWindow() override { mForm.hide(); }
    // A plan that fits its calendar leaves the note as it is, unless the
    // note is the word of an earlier chart, which no longer holds.
    void noteOutsideCalendar(const QString &word) override
    {
        if (!word.isEmpty())
            mForm.mNote->show(word);
        else if (mForm.mNote->text() == mShownWord)
            mForm.mNote->clear();
        mShownWord = word;
    }

private:
    const QTreeWidget &view(List list) const
    {
        switch (list) {
        case List::Categories:
            return *mForm.ListView1;
        case List::Tasks:
            return *mForm.ListView2;
        case List::Events:
            break;
        }
        return *mForm.ListView3;
    }

    Form1 &mForm;
    QString mShownWord; // the last chart's word
};

} // namespace orv
