#pragma once

#include "app/ErrorReport.h"
#include "app/qt/HoverPointer.h"
#include "chart/SpreadsheetApplication.h"
#include "project/Form1.h"
#include "project/ListViewItems.h"
#include "files/Failure.h"
#include "support/ScriptedServices.h"

#include <QLabel>
#include <QLocale>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

// Readable test names and failure messages for QString values.
inline void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }

namespace orv::test {

// A spreadsheet factory that works, or fails like a missing application.
class SwitchableFactory : public chart::ApplicationFactory {
public:
    std::unique_ptr<chart::Application> create() override
    {
        ++created;
        if (failing)
            throw Failure("Cannot create the spreadsheet application");
        return std::make_unique<chart::Application>();
    }
    bool failing = false;
    int created = 0;
};

// The main window on scripted services.
class Form1Test : public ::testing::Test {
protected:
    Form1Test() { scripted.services.spreadsheets = &factory; }

    Form1 &form()
    {
        if (!mForm)
            mForm = std::make_unique<Form1>(scripted.services);
        return *mForm;
    }
    Form1 &loaded()
    {
        form().Form_Load();
        return form();
    }
    void store(const QString &key, const QString &value) { scripted.settings.values.insert(key, value); }

    static ListRecords rows(const QTreeWidget *view) { return listRecords(*view); }
    // A second main window on the same services starts as the next run would.
    void expectNextStartGives(const ListRecords &categories, const ListRecords &tasks, const ListRecords &events)
    {
        Form1 next(scripted.services);
        next.Form_Load();
        EXPECT_EQ(rows(next.ListView1), categories);
        EXPECT_EQ(rows(next.ListView2), tasks);
        EXPECT_EQ(rows(next.ListView3), events);
    }
    static QString report(const char *operation, int line, const QString &description)
    {
        return composeErrorReport(QStringLiteral("in Orvantis2021/08/31.Form1.%1 ").arg(operation), line,
                                  description);
    }
    QStringList shownTexts() const { return scripted.messages.shownTexts(); }

    // The note under the lists (what an undo or a paste says), in full.
    QString note() { return form().findChild<QLabel *>(QStringLiteral("lblNote"))->toolTip(); }

    ScriptedServices scripted;
    SwitchableFactory factory;

private:
    std::unique_ptr<Form1> mForm;
};

// The loaded main window on screen and active, as a user finds it, with dates
// read the US way.
class ActiveForm1Test : public Form1Test {
protected:
    ActiveForm1Test()
    {
        QLocale::setDefault(QLocale(QStringLiteral("en_US")));
        loaded().show();
        form().activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form()));
    }
    ~ActiveForm1Test() override { QLocale::setDefault(QLocale::system()); }
};

} // namespace orv::test
