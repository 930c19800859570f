// The lists survive a restart as they were typed, through the settings file.
#include "Form1Fixture.h"

#include "app/MessageBoxes.h"
#include "app/qt/IniSettingsStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

namespace orv::test {
namespace {

// The main window on a real settings file.
class KeepingLists : public Form1Test {
protected:
    KeepingLists() { scripted.services.settings = &ini; }

    void clickTab(Form1 &f, int index)
    {
        QTabBar *bar = f.TabControl1->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }
    static void type(QWidget *field, const QString &text)
    {
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, text);
    }
    QByteArray bytesOf(const QString &file)
    {
        QFile opened(file);
        return opened.open(QIODevice::ReadOnly) ? opened.readAll() : QByteArray("(unreadable)");
    }

    QTemporaryDir dir;
    QString path = dir.filePath("Varnholt.ini");
    IniSettingsStore ini{path};
};

TEST_F(KeepingLists, TypedSeparatorsComeBackAfterARestart)
{
    const QStringList texts{"QA | Ops^Test", "|", "^^", "50%7C%", "a|b^c", "%5E", " Ops | ^ ", "V^"};
    Form1 &f = loaded();
    f.show();
    type(f.txtCat, texts[0]);
    QTest::mouseClick(f.PushButton1, Qt::LeftButton);
    QTest::mouseClick(f.PushButton1, Qt::LeftButton);
    clickTab(f, 1);
    const std::pair<QWidget *, QString> taskFields[]{
        {f.txtTask, texts[1]}, {f.txtProc, texts[2]}, {f.Combo1, texts[3]}, {f.txtStart, texts[4]}, {f.TxtEnd, texts[5]}};
    for (const auto &[field, text] : taskFields)
        type(field, text);
    QTest::mouseClick(f.Check1, Qt::LeftButton);
    QTest::mouseClick(f.PushButton3, Qt::LeftButton);
    clickTab(f, 2);
    type(f.TxtEvent, texts[6]);
    type(f.txtEvEnd, texts[7]);
    QTest::mouseClick(f.PushButton5, Qt::LeftButton);
    const ListRecords categories = rows(f.ListView1), tasks = rows(f.ListView2), events = rows(f.ListView3);
    ASSERT_EQ(categories, (ListRecords{{texts[0]}, {""}}));
    ASSERT_EQ(tasks, (ListRecords{{texts[1], texts[2], texts[4], texts[5], texts[3], "V"}}));
    ASSERT_EQ(events, (ListRecords{{texts[6], "", texts[7]}}));
    f.close();

    expectNextStartGives(categories, tasks, events);
    EXPECT_TRUE(scripted.messages.shown.empty()) << shownTexts().join('\n').toStdString();
    EXPECT_EQ(ini.read("Categories"), texts[0] + "|") << "the plain value is written as it always was";
}

TEST_F(KeepingLists, PlainListsLeaveTheFileAsItWas)
{
    const QByteArray stored = "[Orvantis]\nCategories=Design|Build\nEvents=E^1/2/2024^1/3/2024\n"
                              "Tasks=Plan^50^1/2/2024^1/9/2024^Design^|Review^^^^Design^V\n";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(stored);
    file.close();
    loaded().close();
    EXPECT_EQ(bytesOf(path), stored);
}

TEST_F(KeepingLists, DamagedFileIsKeptAsideBeforeTheFirstWriteAndTheUserIsToldOnce)
{
    const QByteArray damaged = "[Orvantis]\nTabSel=2\nCategories=\"Design|Build\nTasks=Plan^^^^^\nEvents=E^^\n";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(damaged);
    file.close();
    Form1 &f = loaded();
    const QString copy = path + ".unreadable-20240315-100000";
    // The swallowed lines come back as one category, whose "^" are reported.
    ASSERT_FALSE(scripted.messages.shown.empty());
    const ShownMessage &told = scripted.messages.shown.front();
    EXPECT_TRUE(told.text.contains(copy)) << told.text.toStdString();
    EXPECT_TRUE(told.title.isEmpty());
    EXPECT_EQ(told.icon, MessageIcon::None);
    EXPECT_EQ(told.buttons, MessageButtons::Ok);
    EXPECT_EQ(shownTexts().filter(copy).size(), 1);
    EXPECT_EQ(f.TabControl1->currentIndex(), 2);
    f.close();
    EXPECT_EQ(bytesOf(copy), damaged);
    EXPECT_EQ(shownTexts().filter("unreadable").size(), 1);
}

// Categories "Development" and "Research", on the "Tasks" tab.
class CategoryBox : public KeepingLists {
protected:
    CategoryBox()
    {
        ini.write("Categories", "Development|Research");
        Form1 &f = loaded();
        f.show();
        clickTab(f, 1);
        f.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&f));
        f.Combo1->setFocus();
    }
    QString addedCategory()
    {
        QTest::mouseClick(form().PushButton3, Qt::LeftButton);
        return rows(form().ListView2).value(0).value(4);
    }
};

struct TypedCase {
    const char *name;
    QString typed;
    bool pressReturn;
};

void PrintTo(const TypedCase &c, std::ostream *out) { *out << c.name; }

class TypedCategory : public CategoryBox, public ::testing::WithParamInterface<TypedCase> {};

TEST_P(TypedCategory, IsStoredExactlyAsTyped)
{
    QTest::keyClicks(form().Combo1, GetParam().typed);
    if (GetParam().pressReturn)
        QTest::keyClick(form().Combo1, Qt::Key_Return);
    EXPECT_EQ(addedCategory(), GetParam().typed);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TypedCategory,
    ::testing::Values(TypedCase{"LowerCasePrefix", "dev", false}, TypedCase{"SameCasePrefix", "Dev", false},
                      TypedCase{"OtherCase", "research", false}, TypedCase{"OtherCaseAndReturn", "research", true},
                      TypedCase{"PrefixAndReturn", "Res", true}, TypedCase{"ExactName", "Research", true}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(CategoryBox, ChoosingFromTheDropDownStillWorks)
{
    QTest::keyClick(form().Combo1, Qt::Key_Down);
    QTest::keyClick(form().Combo1, Qt::Key_Down);
    EXPECT_EQ(addedCategory(), "Research");
}

} // namespace
} // namespace orv::test
