// The main window's keys for its buttons: each does what its button does.
#include "Form1Fixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

namespace orv::test {
namespace {

class MainWindowKeys : public ActiveForm1Test {};

TEST_F(MainWindowKeys, ReturnOnTheSubTaskBoxAndOnAddActsAsSpaceAndTheMarkStays)
{
    Form1 &f = form();
    f.TabControl1->setCurrentIndex(1);
    QTest::keyClicks(f.txtTask, "Build");
    f.Check1->setFocus();
    QTest::keyClick(f.Check1, Qt::Key_Return);
    EXPECT_TRUE(f.Check1->isChecked());
    f.PushButton3->setFocus();
    QTest::keyClick(f.PushButton3, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClicks(f.txtTask, "Test");
    f.PushButton3->setFocus();
    QTest::keyClick(f.PushButton3, Qt::Key_Return);
    EXPECT_EQ(rows(f.ListView2), (ListRecords{{"Build", "", "", "", "", "V"}, {"Test", "", "", "", "", "V"}}));

    f.TabControl1->setCurrentIndex(0);
    QTest::keyClicks(f.txtCat, "Design");
    f.PushButton1->setFocus();
    QTest::keyClick(f.PushButton1, Qt::Key_Return);
    EXPECT_EQ(rows(f.ListView1), ListRecords{{"Design"}});
}

class CreateTemplateKeys : public ActiveForm1Test, public ::testing::WithParamInterface<QKeyCombination> {};

// With no spreadsheet application the build reports that and ends quickly.
TEST_P(CreateTemplateKeys, PressCreateTemplateFromAnyField)
{
    Form1 &f = form();
    factory.failing = true;
    QSignalSpy pressed(f.PushButton6, &QPushButton::clicked);
    f.txtCat->setFocus();
    QTest::keyClick(f.txtCat, GetParam().key(), GetParam().keyboardModifiers());
    EXPECT_EQ(pressed.count(), 1);
    EXPECT_TRUE(rows(f.ListView1).empty()) << "the field's Return adds nothing as well";
    const QString named = QKeySequence(GetParam()).toString(QKeySequence::NativeText);
    EXPECT_TRUE(f.PushButton6->toolTip().contains(named)) << f.PushButton6->toolTip().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Keys, CreateTemplateKeys,
                         ::testing::Values(QKeyCombination(Qt::ControlModifier, Qt::Key_Return),
                                           QKeyCombination(Qt::Key_F5)));

TEST_F(MainWindowKeys, CtrlQClosesTheWindowKeepingTheListsAsTyped)
{
    Form1 &f = form();
    QTest::keyClicks(f.txtCat, "Design");
    QTest::keyClick(f.txtCat, Qt::Key_Return);
    QTest::keyClick(f.txtCat, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(scripted.exit.calls, 1);
    EXPECT_FALSE(f.isVisible());
    expectNextStartGives({{"Design"}}, {}, {});
}

} // namespace
} // namespace orv::test
