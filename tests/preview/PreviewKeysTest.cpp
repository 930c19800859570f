// The preview's keys for its buttons: each does what its button does.
#include "PreviewFixture.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace orv::preview::test {
namespace {

struct ButtonKey {
    const char *button;
    QKeyCombination key;
};

class PreviewButtonKeys : public PreviewTest, public ::testing::WithParamInterface<ButtonKey> {
protected:
    Form2 &shown()
    {
        Form2 &window = handOver(chartPicture(300, 200));
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        return window;
    }
    QPushButton *button(const char *caption)
    {
        for (QPushButton *each : form().findChildren<QPushButton *>())
            if (each->text() == QLatin1String(caption))
                return each;
        return nullptr;
    }
};

TEST_P(PreviewButtonKeys, PressesItsButtonAndIsNamedInItsTooltip)
{
    Form2 &window = shown();
    QPushButton *pressed = button(GetParam().button);
    ASSERT_NE(pressed, nullptr);
    QSignalSpy clicks(pressed, &QPushButton::clicked);
    QTest::keyClick(&window, GetParam().key.key(), GetParam().key.keyboardModifiers());
    EXPECT_EQ(clicks.count(), 1);
    const QString named = QKeySequence(GetParam().key).toString(QKeySequence::NativeText);
    EXPECT_TRUE(pressed->toolTip().contains(named)) << pressed->toolTip().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, PreviewButtonKeys,
    ::testing::Values(ButtonKey{"Save Results To Excel File", QKeyCombination(Qt::ControlModifier, Qt::Key_S)},
                      ButtonKey{"< Back", QKeyCombination(Qt::Key_Escape)},
                      ButtonKey{"< Back", QKeyCombination(Qt::AltModifier, Qt::Key_Left)},
                      ButtonKey{"Zoom In", QKeyCombination(Qt::ControlModifier, Qt::Key_Plus)},
                      ButtonKey{"Zoom Out", QKeyCombination(Qt::ControlModifier, Qt::Key_Minus)}));

TEST_F(PreviewButtonKeys, EscapeGoesBackAndReturnOnAFocusedButtonPressesIt)
{
    Form2 &window = shown();
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_EQ(mainWindow.shown, 1);
    EXPECT_FALSE(window.isVisible());

    shown();
    window.PushButton8->setFocus();
    QTest::keyClick(window.PushButton8, Qt::Key_Return);
    EXPECT_EQ(mainWindow.shown, 2);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(PreviewButtonKeys, CtrlQClosesThePreviewKeepingTheLists)
{
    Form2 &window = shown();
    QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(s.exit.calls, 1);
    EXPECT_EQ(s.settings.values.value(QStringLiteral("Categories")), QStringLiteral("Design"));
}

} // namespace
} // namespace orv::preview::test
