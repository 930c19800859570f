// Start-up of the main window from the stored project, and its closing.
#include "Form1Fixture.h"

#include "app/AppTitle.h"
#include "app/MessageBoxes.h"
#include "app/qt/IniSettingsStore.h"

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTabWidget>

namespace orv::test {
namespace {

using Startup = Form1Test;

TEST_F(Startup, EmptyStoreGivesEmptyListsOnTheFirstTab)
{
    Form1 &f = loaded();
    EXPECT_TRUE(scripted.messages.shown.empty());
    EXPECT_EQ(f.TabControl1->currentIndex(), 0);
    EXPECT_EQ(itemCount(*f.ListView1) + itemCount(*f.ListView2) + itemCount(*f.ListView3), 0);
    EXPECT_EQ(f.Combo1->count(), 0);
    EXPECT_TRUE(f.PushButton5->isEnabled());
    EXPECT_EQ(f.windowTitle(), "Orvantis");
    EXPECT_FALSE(f.windowIcon().isNull());
    EXPECT_EQ(appTitle(), "Orvantis");
    EXPECT_EQ(factory.created, 1);
    EXPECT_EQ(scripted.exit.calls, 0);
    EXPECT_TRUE(scripted.settings.writes.isEmpty());
}

class StoredTab : public Form1Test, public ::testing::WithParamInterface<int> {};

TEST_P(StoredTab, OpensOnTheStoredTab)
{
    store("TabSel", QString::number(GetParam()));
    EXPECT_EQ(loaded().TabControl1->currentIndex(), GetParam());
    EXPECT_TRUE(scripted.messages.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Tabs, StoredTab, ::testing::Values(0, 1, 2));

TEST_F(Startup, StoredListsComeBackInOrder)
{
    store("Categories", "Design||Build|Design|");
    store("Tasks", "Plan^50^1/2/2024^1/9/2024^Design^|Solo|^^^^^");
    store("Events", "E^1/2/2024^1/3/2024");
    store("TabSel", "1");
    Form1 &f = loaded();
    EXPECT_EQ(rows(f.ListView1), (ListRecords{{"Design"}, {"Build"}, {"Design"}}));
    EXPECT_EQ(rows(f.ListView2), (ListRecords{{"Plan", "50", "1/2/2024", "1/9/2024", "Design", ""},
                                             {"Solo", "", "", "", "", ""},
                                             {"", "", "", "", "", ""}}));
    EXPECT_EQ(rows(f.ListView3), (ListRecords{{"E", "1/2/2024", "1/3/2024"}}));
    ASSERT_EQ(f.Combo1->count(), 3);
    EXPECT_EQ(f.Combo1->itemText(2), "Design");
    EXPECT_TRUE(f.Combo1->currentText().isEmpty());
    EXPECT_TRUE(scripted.messages.shown.empty());
}

TEST_F(Startup, FiveOrMoreEventsDisableTheEventsAdd)
{
    store("Events", "1^^|2^^|3^^|4^^|5^^|6^^");
    Form1 &f = loaded();
    EXPECT_EQ(itemCount(*f.ListView3), 6);
    EXPECT_FALSE(f.PushButton5->isEnabled());
}

struct SurplusCase {
    const char *key;
    QString stored;
    int line;
    int reports;
    int loaded;
};

class SurplusFields : public Form1Test, public ::testing::WithParamInterface<SurplusCase> {};

TEST_P(SurplusFields, AreReportedOneByOneAndLoadingGoesOn)
{
    const SurplusCase &c = GetParam();
    store(c.key, c.stored);
    Form1 &f = loaded();
    const QString expected = report("Form_Load", c.line, "Index out of bounds");
    EXPECT_EQ(shownTexts(), QStringList(c.reports, expected));
    for (const ShownMessage &shown : scripted.messages.shown) {
        EXPECT_EQ(shown.title, "Application Error");
        EXPECT_EQ(shown.icon, MessageIcon::Exclamation);
    }
    QTreeWidget *view = QString(c.key) == "Categories" ? f.ListView1 : QString(c.key) == "Tasks" ? f.ListView2
                                                                                                   : f.ListView3;
    EXPECT_EQ(itemCount(*view), c.loaded);
    EXPECT_EQ(scripted.exit.calls, 0);
}

INSTANTIATE_TEST_SUITE_P(Lists, SurplusFields,
                         ::testing::Values(SurplusCase{"Categories", "A^x^y|B", 142, 2, 2},
                                           SurplusCase{"Tasks", "T^1^2^3^4^5^extra|U", 162, 1, 2},
                                           SurplusCase{"Events", "E^1/2/2024^1/3/2024^x", 180, 1, 1}),
                         [](const auto &info) { return std::string(info.param.key); });

TEST_F(Startup, SurplusFieldLeavesTheRestOfTheRecordInPlace)
{
    store("Events", "E^s^e^x");
    EXPECT_EQ(rows(loaded().ListView3), (ListRecords{{"E", "s", "e"}}));
}

struct BadTabCase {
    QString stored;
    QString description;
};

class BadStoredTab : public Form1Test, public ::testing::WithParamInterface<BadTabCase> {};

TEST_P(BadStoredTab, IsReportedAndStartupGoesOn)
{
    store("TabSel", GetParam().stored);
    store("Categories", "A");
    Form1 &f = loaded();
    EXPECT_EQ(shownTexts(), QStringList{report("Form_Load", 128, GetParam().description)});
    EXPECT_EQ(f.TabControl1->currentIndex(), 0);
    EXPECT_EQ(itemCount(*f.ListView1), 1);
    EXPECT_EQ(factory.created, 1) << "the spreadsheet check still runs";
    // Corrected once: the next start opens on the first tab without a word.
    EXPECT_EQ(scripted.settings.values.value("TabSel"), "0");
    scripted.messages.shown.clear();
    expectNextStartGives({{"A"}}, {}, {});
    EXPECT_TRUE(scripted.messages.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Values, BadStoredTab,
                         ::testing::Values(BadTabCase{"abc", "Type mismatch"}, BadTabCase{"", "Type mismatch"},
                                           BadTabCase{"1.5", "Type mismatch"},
                                           BadTabCase{"3", "Invalid property value"},
                                           BadTabCase{"-1", "Invalid property value"}));

TEST_F(Startup, HandCursorComesFromTheProgramFolder)
{
    ASSERT_TRUE(QFile::copy(ORVANTIS_SOURCE_DIR "/resources/HAND-M.CUR",
                            scripted.folders.programFolder() + "/HAND-M.CUR"));
    Form1 &f = loaded();
    ASSERT_TRUE(f.hoverPointer().customCursor().has_value());
    EXPECT_EQ(f.hoverPointer().customCursor()->hotSpot(), QPoint(6, 0));
    EXPECT_TRUE(scripted.messages.shown.empty());
}

TEST_F(Startup, WithoutCursorFileNothingIsReported)
{
    Form1 &f = loaded();
    EXPECT_FALSE(f.hoverPointer().customCursor().has_value());
    EXPECT_TRUE(scripted.messages.shown.empty());
}

TEST_F(Startup, BrokenCursorFileIsReportedAtItsLine)
{
    QFile file(scripted.folders.programFolder() + "/HAND-M.CUR");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a cursor");
    file.close();
    loaded();
    ASSERT_EQ(scripted.messages.shown.size(), 1u);
    EXPECT_TRUE(scripted.messages.shown[0].text.contains("at line 108")) << scripted.messages.shown[0].text.toStdString();
}

TEST_F(Startup, MissingSpreadsheetShowsTheMessageAndEndsTheProgram)
{
    factory.failing = true;
    store("Categories", "A");
    loaded();
    ASSERT_EQ(scripted.messages.shown.size(), 1u);
    const ShownMessage &shown = scripted.messages.shown[0];
    EXPECT_EQ(shown.text,
              "Error 842001. A normal instance of Excel could not be created.\r\n\r\n"
              "1. Please make sure Excel is installed on this computer.\r\n\r\n"
              "2. Please open Excel normally and make sure a blank spreadsheet opens immediately without any "
              "interrupting window (such as an Excel file recovery window).\r\n\r\n"
              "3. Please make sure that when you double-click on a XLS or XLSX file that Excel opens normally "
              "without any interrupting messages.\r\n\r\n"
              "4. All versions of Excel are supported by this software except for the rare Excel Starter and "
              "Student editions.");
    EXPECT_EQ(shown.title, "Orvantis");
    EXPECT_EQ(shown.buttons, MessageButtons::Ok);
    EXPECT_EQ(shown.icon, MessageIcon::None);
    EXPECT_EQ(scripted.exit.calls, 1);
    EXPECT_TRUE(scripted.settings.writes.isEmpty());
    EXPECT_FALSE(form().isVisible());
}

using Closing = Form1Test;

TEST_F(Closing, WritesTheThreeListsInOrderAndEnds)
{
    store("Categories", "Design|Build");
    store("Tasks", "Plan^50^1/2/2024^1/9/2024^Design^|Review^^^^Design^V");
    store("Events", "^^");
    Form1 &f = loaded();
    f.show();
    scripted.settings.values.clear();
    f.close();
    EXPECT_EQ(scripted.settings.writes, (QStringList{"MainWindowPlace", "Categories", "Tasks", "Events"}));
    EXPECT_EQ(scripted.settings.values.value("Categories"), "Design|Build");
    EXPECT_EQ(scripted.settings.values.value("Tasks"), "Plan^50^1/2/2024^1/9/2024^Design^|Review^^^^Design^V");
    EXPECT_EQ(scripted.settings.values.value("Events"), "^^");
    EXPECT_EQ(scripted.exit.calls, 1);
    EXPECT_TRUE(scripted.messages.shown.empty());
    EXPECT_FALSE(scripted.settings.values.contains("TabSel"));
}

TEST_F(Closing, EmptyListsAreWrittenAsEmptyTexts)
{
    Form1 &f = loaded();
    f.close();
    EXPECT_EQ(scripted.settings.writes, (QStringList{"Categories", "Tasks", "Events"}));
    for (const char *key : {"Categories", "Tasks", "Events"}) {
        ASSERT_TRUE(scripted.settings.values.contains(key)) << key;
        EXPECT_TRUE(scripted.settings.values.value(key).isEmpty()) << key;
    }
}

// A settings store that refuses one key.
class RefusingStore : public MemorySettingsStore {
public:
    void write(const QString &key, const QString &value) override
    {
        if (key == refused)
            throw Failure("Cannot write the settings file");
        MemorySettingsStore::write(key, value);
    }
    QString refused;
};

class FailingWrite : public Form1Test, public ::testing::WithParamInterface<std::pair<const char *, int>> {};

// ... and all three lists are kept in a file of their own, where the user
// is told to find them.
TEST_P(FailingWrite, IsReportedAndTheOtherListsAreStillWritten)
{
    RefusingStore refusing;
    refusing.refused = GetParam().first;
    refusing.values = {{"Categories", "A"}, {"Tasks", "T^1^^^A^"}};
    scripted.services.settings = &refusing;
    loaded().close();
    const QString kept = QDir(scripted.folders.rescueFolder()).filePath("Varnholt-unsaved-20240315-100000.ini");
    EXPECT_EQ(shownTexts(),
              (QStringList{report("Form_QueryUnload", GetParam().second, "Cannot write the settings file"),
                           QStringLiteral("The lists could not be saved in the settings file. They are kept in %1, "
                                          "in the same form: put that file in the settings file's place to have "
                                          "them at the next start.")
                               .arg(kept)}));
    EXPECT_EQ(refusing.writes.size(), 2);
    EXPECT_EQ(scripted.exit.calls, 1);
    IniSettingsStore rescued(kept);
    EXPECT_EQ(rescued.read("Categories"), QString("A"));
    EXPECT_EQ(rescued.read("Tasks"), QString("T^1^^^A^"));
    EXPECT_EQ(rescued.read("Events"), QString());
}

INSTANTIATE_TEST_SUITE_P(Keys, FailingWrite,
                         ::testing::Values(std::pair{"Categories", 112}, std::pair{"Tasks", 134},
                                           std::pair{"Events", 152}));

TEST_F(Closing, SavedListsComeBackAtTheNextStart)
{
    Form1 &f = loaded();
    f.PushButton9->click();
    const ListRecords categories = rows(f.ListView1), tasks = rows(f.ListView2), events = rows(f.ListView3);
    f.close();
    expectNextStartGives(categories, tasks, events);
}

} // namespace
} // namespace orv::test
