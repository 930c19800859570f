// The main window's keyboard between the tabs and the buttons above them.
#include "Form1Fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

namespace orv::test {
namespace {

struct TabKeys {
    int tab;
    const char *first;                           // the tab's first field
    std::vector<std::pair<const char *, const char *>> typed; // field, text
    const char *returnIn;                        // where Return is pressed
    QStringList item;
};

class WindowKeysTest : public ActiveForm1Test, public ::testing::WithParamInterface<TabKeys> {};

// Tab from "Load Sample/Example Data" comes back to the tab's first field;
// Return in any entry field adds the item and the focus goes back there.
TEST_P(WindowKeysTest, TabComesBackAndReturnAdds)
{
    const TabKeys &c = GetParam();
    Form1 &f = form();
    f.TabControl1->setCurrentIndex(c.tab);
    f.PushButton9->setFocus();
    QTest::keyClick(f.PushButton9, Qt::Key_Tab);
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), c.first);

    for (const auto &[field, text] : c.typed)
        QTest::keyClicks(f.findChild<QWidget *>(field), text);
    QTest::keyClick(f.findChild<QWidget *>(c.returnIn), Qt::Key_Return);
    QTreeWidget *list = QList<QTreeWidget *>{f.ListView1, f.ListView2, f.ListView3}[c.tab];
    EXPECT_EQ(rows(list), ListRecords{c.item});
    EXPECT_EQ(QApplication::focusWidget()->objectName(), c.first);
    EXPECT_EQ(f.findChild<QLineEdit *>(c.first)->text(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Tabs, WindowKeysTest,
    ::testing::Values(TabKeys{0, "txtCat", {{"txtCat", "Design"}}, "txtCat", {"Design"}},
                      TabKeys{1, "txtTask", {{"txtTask", "Draft"}, {"txtProc", "5"}, {"Combo1", "Design"}},
                              "Combo1", {"Draft", "5", "", "", "Design", ""}},
                      TabKeys{2, "TxtEvent", {{"TxtEvent", "Meeting"}, {"txtEvEnd", "8/1/2026"}}, "txtEvEnd",
                              {"Meeting", "", "8/1/2026"}}));

} // namespace
} // namespace orv::test
