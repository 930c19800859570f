#include "app/AppTitle.h"
#include "app/ErrorReport.h"
#include "app/qt/QtMessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
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

// The help message ends with the contact page's address; the box must not
// break it after "https://".
TEST(QtMessageBoxesTest, ALineThatFitsTheScreenIsNotWrapped)
{
    QtMessageBoxes boxes;
    const QString text = QStringLiteral("Questions? Please contact Team Varnholt at https://www.orvantis.example.com/contact");
    int labelWidth = 0;
    int textWidth = 0;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        const auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
        ASSERT_NE(label, nullptr);
        labelWidth = label->contentsRect().width();
        textWidth = label->fontMetrics().horizontalAdvance(text);
        box->button(QMessageBox::Ok)->click();
    });
    boxes.show(text, QString(), MessageButtons::Ok, MessageIcon::None);
    EXPECT_GT(textWidth, 0);
    EXPECT_GE(labelWidth, textWidth);
}

} // namespace
} // namespace orv
