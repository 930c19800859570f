#include "app/AppTitle.h"
#include "app/ErrorReport.h"
#include "app/qt/QtMessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

namespace orv {
namespace {

// What the open box showed; it is answered with `button`.
struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

// Answers the next modal box with `button` and records what it showed.
void answerNextBox(QMessageBox::StandardButton button, SeenBox &seen)
{
    QTimer::singleShot(0, [&seen, button] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons()};
        box->button(button)->click();
    });
}

TEST(QtMessageBoxesTest, ErrorReportShowsItsLinesWithWarningIcon)
{
    QtMessageBoxes boxes;
    SeenBox seen;
    answerNextBox(QMessageBox::Ok, seen);
    ReportError(boxes, "in Orvantis2021/08/31.Form1.Form_Load ", 104, "Overflow");
    EXPECT_EQ(seen.title, "Application Error");
    EXPECT_EQ(seen.text, "Overflow\nin Orvantis2021/08/31.Form1.Form_Load at line 104\n\n"
                         "Please email screenshot of this message to support@orvantis.example.com");
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(seen.buttons, QMessageBox::Ok);
}

TEST(QtMessageBoxesTest, BoxWithoutTitleTakesTheAppTitleAndAnswersYesNo)
{
    SetAppTitle();
    QtMessageBoxes boxes;
    for (const auto [button, answer] : {std::pair{QMessageBox::Yes, MessageAnswer::Yes},
                                        std::pair{QMessageBox::No, MessageAnswer::No}}) {
        SeenBox seen;
        answerNextBox(button, seen);
        EXPECT_EQ(boxes.show("Overwrite?", QString(), MessageButtons::YesNo, MessageIcon::None), answer);
        EXPECT_EQ(seen.title, "Orvantis");
        EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
        EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    }
}

} // namespace
} // namespace orv
