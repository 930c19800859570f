// The main window's layout, focus, hover pointer, sample and help.
#include "Form1Fixture.h"

#include "app/AppTitle.h"
#include "app/MessageBoxes.h"
#include "app/ShortDate.h"
#include "app/qt/HoverPointer.h"
#include "help/HelpMessage.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

namespace orv::test {
namespace {

using Layout = Form1Test;

TEST_F(Layout, DesignedClientAreaCaptionsAndTabs)
{
    Form1 &f = form();
    EXPECT_EQ(f.size(), QSize(616, 426));
    EXPECT_EQ(f.minimumSize(), QSize(616, 426));
    EXPECT_GT(f.maximumWidth(), 616);
    EXPECT_EQ(f.PushButton6->text(), "Create Template!");
    EXPECT_EQ(f.PushButton8->text(), "Help");
    EXPECT_EQ(f.PushButton9->text(), "Load Sample/Example Data");
    EXPECT_LT(f.PushButton8->x(), f.PushButton9->x());
    EXPECT_LT(f.PushButton6->y(), f.PushButton8->y());
    EXPECT_LT(f.PushButton8->y(), f.TabControl1->y());
    ASSERT_EQ(f.TabControl1->count(), 3);
    EXPECT_EQ(f.TabControl1->tabText(0), "Categories");
    EXPECT_EQ(f.TabControl1->tabText(1), "Tasks");
    EXPECT_EQ(f.TabControl1->tabText(2), "Special Events");
    EXPECT_TRUE(f.TabControl1->widget(0)->isAncestorOf(f.Frame2));
    EXPECT_TRUE(f.TabControl1->widget(1)->isAncestorOf(f.Frame5));
    EXPECT_TRUE(f.TabControl1->widget(2)->isAncestorOf(f.Frame1));
    EXPECT_TRUE(f.Combo1->isEditable());
    EXPECT_EQ(f.Check1->text(), "Sub Task");
    for (QPushButton *add : {f.PushButton1, f.PushButton3, f.PushButton5})
        EXPECT_EQ(add->text(), "Add");
    for (QPushButton *remove : {f.PushButton2, f.PushButton4, f.PushButton7})
        EXPECT_EQ(remove->text(), "Delete Selected");
}

TEST_F(Layout, ListColumnsAndWidths)
{
    Form1 &f = form();
    const auto columns = [](QTreeWidget *view) {
        QList<QPair<QString, int>> found;
        for (int i = 0; i < view->columnCount(); ++i)
            found.append({view->headerItem()->text(i), view->columnWidth(i)});
        return found;
    };
    using Columns = QList<QPair<QString, int>>;
    EXPECT_EQ(columns(f.ListView1), (Columns{{"Category", 287}}));
    EXPECT_EQ(columns(f.ListView2), (Columns{{"Task", 193}, {"% Compl.", 96}, {"Start", 96}, {"End", 96},
                                            {"Category", 96}, {"Sub Task", 96}}));
    EXPECT_EQ(columns(f.ListView3), (Columns{{"Task", 193}, {"Start", 96}, {"End", 96}}));
    for (QTreeWidget *view : {f.ListView1, f.ListView2, f.ListView3})
        EXPECT_EQ(view->width(), 562);
}

TEST_F(Layout, FocusFollowsTheRowsThenTheTopButtons)
{
    Form1 &f = form();
    const QList<QWidget *> order{f.txtCat,      f.PushButton1, f.PushButton2, f.ListView1,   f.txtTask,
                                 f.txtProc,     f.Combo1,      f.txtStart,    f.TxtEnd,      f.Check1,
                                 f.PushButton3, f.PushButton4, f.ListView2,   f.TxtEvent,    f.txtEvStart,
                                 f.txtEvEnd,    f.PushButton5, f.PushButton7, f.ListView3,   f.PushButton6,
                                 f.cboScale,    f.TabControl1->findChild<QTabBar *>(), f.PushButton8, f.PushButton9};
    // Walk the chain, leaving out what cannot take the focus by tabbing and
    // the inner parts of the combo box and the list views.
    QList<QWidget *> found{order.first()};
    for (QWidget *next = order.first()->nextInFocusChain(); found.size() < order.size() && next != order.first();
         next = next->nextInFocusChain()) {
        const bool inner = std::any_of(order.begin(), order.end(), [&](QWidget *w) { return w != next && w->isAncestorOf(next); });
        if ((next->focusPolicy() & Qt::TabFocus) && !inner && !next->focusProxy())
            found << next;
    }
    const auto names = [](const QList<QWidget *> &widgets) {
        QStringList list;
        for (QWidget *w : widgets)
            list << w->objectName();
        return list.join(' ').toStdString();
    };
    EXPECT_EQ(names(found), names(order));
}

struct StartFocusCase {
    const char *storedTab;
    const char *field;
};

class StartFocus : public Form1Test, public ::testing::WithParamInterface<StartFocusCase> {};

// Typing right after start-up goes into the first field of the shown tab.
TEST_P(StartFocus, TypingAfterStartUpGoesIntoTheFirstField)
{
    store("TabSel", GetParam().storedTab);
    Form1 &f = loaded();
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    QCoreApplication::processEvents(); // the field selects its text once it has the focus
    for (const char key : std::string("design"))
        QTest::keyClick(f.windowHandle(), key);
    const auto *field = f.findChild<QLineEdit *>(GetParam().field);
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->text(), "design");
}

INSTANTIATE_TEST_SUITE_P(Tabs, StartFocus,
                         ::testing::Values(StartFocusCase{"0", "txtCat"}, StartFocusCase{"1", "txtTask"},
                                           StartFocusCase{"2", "TxtEvent"}));

TEST_F(Layout, DesignedWhiteWithoutSkin)
{
    Form1 &f = loaded();
    for (QWidget *widget : std::initializer_list<QWidget *>{&f, f.Frame1, f.Frame2, f.Frame5, f.Check1})
        EXPECT_EQ(widget->palette().color(QPalette::Window), QColor(Qt::white)) << widget->objectName().toStdString();
    // Right of its caption, "Sub Task" shows the frame's white, not a grey block.
    const QImage box = f.Check1->grab().toImage();
    EXPECT_EQ(box.pixelColor(box.width() - 2, box.height() / 2), QColor(Qt::white));
}

TEST_F(Layout, SkinGivesTheButtonFaceAndItsStyleSheet)
{
    const QString folder = scripted.folders.programFolder();
    ASSERT_TRUE(QDir(folder).mkpath("x"));
    QFile skin(folder + "/x/o.cjs");
    ASSERT_TRUE(skin.open(QIODevice::WriteOnly));
    skin.write("#PushButton6 { font-weight: bold; }");
    skin.close();
    Form1 &f = loaded();
    const QColor face = QApplication::palette().color(QPalette::Button);
    for (QWidget *widget : std::initializer_list<QWidget *>{&f, f.Frame1, f.Frame2, f.Frame5, f.Check1})
        EXPECT_EQ(widget->palette().color(QPalette::Window), face) << widget->objectName().toStdString();
    EXPECT_EQ(f.styleSheet(), "#PushButton6 { font-weight: bold; }");
    EXPECT_TRUE(scripted.messages.shown.empty());
}

TEST_F(Layout, SelectsTheWholeTextOnFocus)
{
    Form1 &f = loaded();
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    f.TabControl1->setCurrentIndex(1);
    for (QLineEdit *edit : {f.txtTask, f.TxtEnd}) {
        edit->setText("old text");
        edit->deselect();
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(5, 5));
        QCoreApplication::processEvents();
        EXPECT_EQ(edit->selectedText(), "old text") << edit->objectName().toStdString();
    }
}

class MainHover : public Form1Test {
protected:
    MainHover()
    {
        loaded().show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form()));
    }
    void moveOver(QWidget *widget) { QTest::mouseMove(widget, widget->rect().center()); }
};

TEST_F(MainHover, HandOverButtonsDefaultOverSurfaces)
{
    Form1 &f = form();
    moveOver(f.PushButton9);
    EXPECT_EQ(f.pointer(), PointerSetting::Custom);
    moveOver(f.txtCat);
    EXPECT_EQ(f.pointer(), PointerSetting::Custom);
    moveOver(f.ListView1->viewport());
    EXPECT_EQ(f.pointer(), PointerSetting::Default);
    moveOver(f.PushButton1);
    EXPECT_EQ(f.pointer(), PointerSetting::Custom);
    QTest::mouseMove(f.Frame2, QPoint(f.Frame2->width() - 4, 30));
    EXPECT_EQ(f.pointer(), PointerSetting::Default);
    moveOver(f.PushButton6);
    QTest::mouseMove(&f, QPoint(2, 40));
    EXPECT_EQ(f.pointer(), PointerSetting::Default);
}

// A disabled button still gets the mouse's moves, which its parent does not.
TEST_F(MainHover, NoHandOverADisabledButton)
{
    Form1 &f = form();
    const auto moveOn = [](QWidget *button) {
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), button->mapToGlobal(QPointF(5, 5)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(button, &move);
    };
    f.PushButton5->setEnabled(false);
    moveOn(f.PushButton5);
    EXPECT_EQ(f.pointer(), PointerSetting::Default);
    moveOn(f.PushButton7);
    EXPECT_EQ(f.pointer(), PointerSetting::Custom);
    moveOn(f.PushButton5);
    EXPECT_EQ(f.pointer(), PointerSetting::Default);
}

TEST_F(MainHover, HourglassIsKept)
{
    Form1 &f = form();
    f.setPointer(PointerSetting::Hourglass);
    for (QWidget *widget : std::initializer_list<QWidget *>{f.PushButton6, f.ListView1->viewport(), f.PushButton1})
        moveOver(widget);
    EXPECT_EQ(f.pointer(), PointerSetting::Hourglass);
    EXPECT_EQ(f.cursor().shape(), Qt::WaitCursor);
    f.setPointer(PointerSetting::Default);
    moveOver(f.PushButton8);
    EXPECT_EQ(f.pointer(), PointerSetting::Custom);
}

TEST_F(MainHover, CustomPointerShowsTheHandImageOrTheStandardArrow)
{
    Form1 &f = form();
    moveOver(f.ListView1->viewport()); // the mouse may still rest where an earlier test left it
    moveOver(f.PushButton8);
    ASSERT_EQ(f.pointer(), PointerSetting::Custom);
    EXPECT_EQ(f.cursor().shape(), Qt::ArrowCursor);
    QPixmap hand(16, 16);
    hand.fill(Qt::black);
    f.hoverPointer().setCustomCursor(QCursor(hand, 3, 4));
    EXPECT_EQ(f.cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(f.cursor().hotSpot(), QPoint(3, 4));
}

class Sample : public Form1Test, public ::testing::WithParamInterface<std::pair<const char *, QString>> {
protected:
    Sample() { QLocale::setDefault(QLocale(QLatin1String(GetParam().first))); }
    ~Sample() override { QLocale::setDefault(QLocale::system()); }
    static QString on(int year, int month, int day) { return shortDateText(QDate(year, month, day)); }
};

TEST_P(Sample, AppendsTheExampleProjectInTheUsersDateForm)
{
    Form1 &f = loaded();
    f.PushButton9->click();
    EXPECT_EQ(on(2016, 8, 11), GetParam().second);
    EXPECT_EQ(rows(f.ListView1), (ListRecords{{"Research"}, {"Development"}}));
    EXPECT_EQ(rows(f.ListView2),
              (ListRecords{{"Initial researching", "80", GetParam().second, on(2016, 8, 24), "Research", ""},
                           {"Draft project", "10", on(2016, 8, 23), on(2016, 11, 24), "Development", ""}}));
    EXPECT_EQ(rows(f.ListView3), (ListRecords{{"General meeting", on(2016, 8, 12), on(2016, 8, 12)}}));
    EXPECT_EQ(f.txtCat->text(), "Development");
    EXPECT_EQ(f.txtTask->text(), "Draft project");
    EXPECT_EQ(f.txtProc->text(), "10");
    EXPECT_EQ(f.txtStart->text(), on(2016, 8, 23));
    EXPECT_EQ(f.TxtEnd->text(), on(2016, 11, 24));
    EXPECT_EQ(f.Combo1->currentText(), "Development");
    EXPECT_EQ(f.Combo1->count(), 0) << "the choices wait for the next tab change";
    EXPECT_EQ(f.TxtEvent->text(), "General meeting");
    EXPECT_EQ(f.TabControl1->currentIndex(), 0);
    EXPECT_TRUE(scripted.messages.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Locales, Sample,
                         ::testing::Values(std::pair{"en_US", QString("8/11/2016")},
                                           std::pair{"de_DE", QString("11.08.2016")},
                                           std::pair{"en_GB", QString("11/08/2016")},
                                           std::pair{"C", QString("2016-08-11")}),
                         [](const auto &info) { return std::string(info.param.first); });

using SampleAgain = Form1Test;

TEST_F(SampleAgain, TwiceGivesEverythingTwiceAndASixthEventDisablesAdd)
{
    Form1 &f = loaded();
    for (int i = 0; i < 5; ++i)
        appendItem(*f.ListView3, "e");
    f.PushButton9->click();
    EXPECT_EQ(itemCount(*f.ListView3), 6);
    EXPECT_FALSE(f.PushButton5->isEnabled());
    f.PushButton9->click();
    EXPECT_EQ(itemCount(*f.ListView1), 4);
    EXPECT_EQ(itemCount(*f.ListView2), 4);
    EXPECT_EQ(rows(f.ListView2)[0], rows(f.ListView2)[2]);
}

using Help = Form1Test;

TEST_F(Help, ShowsTheContactMessageEachTime)
{
    Form1 &f = loaded();
    f.PushButton8->click();
    f.PushButton8->click();
    ASSERT_EQ(scripted.messages.shown.size(), 2u);
    for (const ShownMessage &shown : scripted.messages.shown) {
        EXPECT_EQ(shown.text, "Questions? Please contact Team Varnholt at https://www.orvantis.example.com/contact");
        EXPECT_EQ(shown.title, appTitle());
        EXPECT_NE(shown.title, "Application Error");
        EXPECT_EQ(shown.buttons, MessageButtons::Ok);
        EXPECT_EQ(shown.icon, MessageIcon::None);
    }
    EXPECT_TRUE(scripted.settings.writes.isEmpty());
}

TEST_F(Help, FailingBoxIsReportedAtLine100)
{
    class BrokenBoxes : public ScriptedMessageBoxes {
    public:
        MessageAnswer show(const QString &text, const QString &title, MessageButtons buttons,
                           MessageIcon icon) override
        {
            const MessageAnswer answer = ScriptedMessageBoxes::show(text, title, buttons, icon);
            if (title != "Application Error")
                throw Failure("No window");
            return answer;
        }
    } broken;
    scripted.services.messages = &broken;
    form().PushButton8->click();
    ASSERT_EQ(broken.shown.size(), 2u);
    EXPECT_EQ(broken.shown[1].text, report("PushButton8_Click", 100, "No window"));
}

} // namespace
} // namespace orv::test
