#include "PreviewFixture.h"

#include "app/CursorFile.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QGroupBox>
#include <QImageWriter>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

namespace orv::preview::test {
namespace {

// ---- load and layout ------------------------------------------------------------

class PreviewLoad : public PreviewTest {};

TEST_F(PreviewLoad, TheFirstTouchLoadsTheWindowBeforeThePictureArrives)
{
    EXPECT_EQ(preview.loaded(), nullptr);
    const QImage picture = chartPicture(300, 200);
    preview.assignPicture(picture);
    ASSERT_NE(preview.loaded(), nullptr);
    EXPECT_EQ(form().windowTitle(), QStringLiteral("Orvantis"));
    EXPECT_TRUE(form().mExcelFile.isEmpty());
    EXPECT_EQ(form().Picture1->picture().cacheKey(), picture.cacheKey());
    EXPECT_FALSE(form().isVisible());
    EXPECT_TRUE(s.messages.shown.empty());
}

struct ControlLayout {
    const char *name;
    QRect pixels; // twips / 15, relative to the parent
    const char *caption;
};

class PreviewLayout : public PreviewTest, public ::testing::WithParamInterface<ControlLayout> {};

TEST_P(PreviewLayout, ControlsSitWhereTheFormPutsThem)
{
    preview.assignPicture(chartPicture(10, 10));
    const std::map<QString, QWidget *> controls{
        {"Picture2", form().Picture2},       {"Zoom_Ori", form().Zoom_Ori},       {"VScroll1", form().VScroll1},
        {"HScroll1", form().HScroll1},       {"Frame1", form().Frame1},           {"PushButton1", form().PushButton1},
        {"PushButton2", form().PushButton2}, {"PushButton8", form().PushButton8}, {"PushButton6", form().PushButton6}};
    const ControlLayout &c = GetParam();
    QWidget *control = controls.at(QString::fromLatin1(c.name));
    EXPECT_EQ(control->geometry(), c.pixels);
    if (auto *button = qobject_cast<QPushButton *>(control)) {
        EXPECT_EQ(button->text(), QString::fromUtf8(c.caption));
        EXPECT_EQ(button->font().family(), QStringLiteral("Arial"));
        EXPECT_DOUBLE_EQ(button->font().pointSizeF(), 11.25);
        EXPECT_TRUE(button->font().bold());
    }
    if (auto *frame = qobject_cast<QGroupBox *>(control)) {
        EXPECT_EQ(frame->title(), QString::fromUtf8(c.caption));
        EXPECT_DOUBLE_EQ(frame->font().pointSizeF(), 9.0);
        EXPECT_TRUE(frame->font().bold());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Form, PreviewLayout,
    ::testing::Values(ControlLayout{"Picture2", {8, 8, 622, 495}, ""},
                      ControlLayout{"Zoom_Ori", {688, 32, 49, 25}, ""},
                      ControlLayout{"VScroll1", {630, 8, 17, 495}, ""},
                      ControlLayout{"HScroll1", {8, 503, 622, 17}, ""},
                      ControlLayout{"Frame1", {8, 524, 320, 57}, "Zoom:"},
                      ControlLayout{"PushButton1", {16, 20, 112, 27}, "Zoom In"},
                      ControlLayout{"PushButton2", {136, 20, 112, 27}, "Zoom Out"},
                      ControlLayout{"PushButton8", {8, 590, 312, 27}, "< Back"},
                      ControlLayout{"PushButton6", {328, 590, 320, 27}, "Save Results To Excel File"}));

TEST_F(PreviewLoad, TheClientAreaOpensAtTheFormsSizeInButtonFaceColour)
{
    Form2 &window = handOver(chartPicture(300, 200));
    EXPECT_EQ(window.size(), QSize(656, 624));

    const QColor face = QApplication::palette().color(QPalette::Button);
    EXPECT_EQ(window.palette().color(window.backgroundRole()), face);
    EXPECT_EQ(window.Frame1->palette().color(window.Frame1->backgroundRole()), face);
    EXPECT_TRUE(window.Frame1->autoFillBackground());
    EXPECT_FALSE(window.PushButton1->autoFillBackground());
    // The picture box shows the picture painted at zoom 1.0.
    EXPECT_EQ(window.Picture1->grab().toImage().pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(window.Picture1->grab().toImage().pixelColor(window.Picture1->width() - 1, 0), QColor(Qt::blue));
}

// ---- the hand cursor ----------------------------------------------------------

class PreviewCursor : public PreviewTest {
protected:
    QString cursorPath() const { return QDir(s.folders.programFolder()).filePath(QStringLiteral("HAND-M.CUR")); }
};

TEST_F(PreviewCursor, AMissingFileLeavesTheWindowWithoutACustomCursor)
{
    preview.assignPicture(chartPicture(10, 10));
    EXPECT_FALSE(form().hasCustomCursor());
    EXPECT_TRUE(s.messages.shown.empty());
}

TEST_F(PreviewCursor, ACursorFileIsLoadedWithItsHotSpot)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImage hand(32, 32, QImage::Format_ARGB32);
    hand.fill(Qt::black);
    ASSERT_TRUE(QImageWriter(&buffer, "cur").write(hand));
    QByteArray bytes = buffer.data();
    bytes[2] = 2;  // a cursor, not an icon
    bytes[10] = 5; // hot spot x
    bytes[12] = 7; // hot spot y
    writeFile(cursorPath(), bytes);
    const QCursor cursor = cursorFromFile(cursorPath());
    EXPECT_EQ(cursor.pixmap().size(), QSize(32, 32));
    EXPECT_EQ(cursor.hotSpot(), QPoint(5, 7));

    preview.assignPicture(chartPicture(10, 10));
    EXPECT_TRUE(form().hasCustomCursor());
    EXPECT_TRUE(s.messages.shown.empty());
}

TEST_F(PreviewCursor, AnUnreadableFileIsReportedAtLine110)
{
    writeFile(cursorPath(), "not a cursor");
    preview.assignPicture(chartPicture(10, 10));
    EXPECT_FALSE(form().hasCustomCursor());
    ASSERT_EQ(errorReports().size(), 1u);
    EXPECT_TRUE(errorReports()[0].text.startsWith(QStringLiteral("Not a cursor file: ")));
    EXPECT_TRUE(
        errorReports()[0].text.contains(QStringLiteral("\r\nin Orvantis2021/08/31.Form2.Form_Load at line 110\r\r")));
}

// ---- hover feedback ------------------------------------------------------------

struct HoverCase {
    const char *control;
    PointerSetting before;
    PointerSetting after;
};

class PreviewHover : public PreviewTest, public ::testing::WithParamInterface<HoverCase> {};

TEST_P(PreviewHover, ButtonsShowTheHandTheSurfaceTheDefaultAndTheHourglassStays)
{
    Form2 &window = handOver(chartPicture(300, 200));
    const std::map<QString, QWidget *> controls{{"form", &window},
                                                {"Frame1", window.Frame1},
                                                {"PushButton1", window.PushButton1},
                                                {"PushButton2", window.PushButton2},
                                                {"PushButton6", window.PushButton6},
                                                {"PushButton8", window.PushButton8},
                                                {"Picture2", window.Picture2},
                                                {"HScroll1", window.HScroll1}};
    window.setMousePointer(GetParam().before);
    QWidget *control = controls.at(QString::fromLatin1(GetParam().control));
    QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), control->mapToGlobal(QPointF(3, 3)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(control, &move);
    EXPECT_EQ(window.mousePointer(), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, PreviewHover,
    ::testing::Values(HoverCase{"PushButton1", PointerSetting::Default, PointerSetting::Custom},
                      HoverCase{"PushButton2", PointerSetting::Default, PointerSetting::Custom},
                      HoverCase{"PushButton6", PointerSetting::Default, PointerSetting::Custom},
                      HoverCase{"PushButton8", PointerSetting::Default, PointerSetting::Custom},
                      HoverCase{"form", PointerSetting::Custom, PointerSetting::Default},
                      HoverCase{"Frame1", PointerSetting::Custom, PointerSetting::Default},
                      HoverCase{"Picture2", PointerSetting::Custom, PointerSetting::Custom},
                      HoverCase{"HScroll1", PointerSetting::Custom, PointerSetting::Custom},
                      HoverCase{"PushButton6", PointerSetting::Hourglass, PointerSetting::Hourglass},
                      HoverCase{"Frame1", PointerSetting::Hourglass, PointerSetting::Hourglass}));

// ---- activation, "< Back" and closing ---------------------------------------------

class PreviewLifecycle : public PreviewTest {};

TEST_F(PreviewLifecycle, ShowingTheWindowActivatesItAndPreparesTheViewport)
{
    preview.assignPicture(chartPicture(4000, 220));
    preview.setExcelFile(tempPath(QStringLiteral("kdrave12121212.xls")));
    preview.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
    EXPECT_EQ(form().HScroll1->maximum(), 3380); // (59998 - 9300) / 15, up
    EXPECT_FALSE(form().Zoom_Ori->isVisible());
}

TEST_F(PreviewLifecycle, ALaterActivationChangesNothing)
{
    Form2 &window = handOver(chartPicture(1000, 200));
    window.PushButton2->click();
    window.HScroll1->setValue(40);
    const float zoom = window.viewport().zoomFactor();
    const std::int32_t left = window.viewport().left();
    const int paints = window.Picture1->paintCount();
    s.messages.show(QStringLiteral("Done."), QStringLiteral("Orvantis"), MessageButtons::Ok, MessageIcon::None);
    activate();
    EXPECT_EQ(window.viewport().zoomFactor(), zoom);
    EXPECT_EQ(window.viewport().left(), left);
    EXPECT_EQ(window.HScroll1->value(), 40);
    EXPECT_EQ(window.Picture1->paintCount(), paints);
}

TEST_F(PreviewLifecycle, BackDeletesTheWorkbookShowsTheMainWindowAndHides)
{
    const QString workbook = writeFile(tempPath(QStringLiteral("kdrave11111111.xls")), "BIFF");
    Form2 &window = handOver(chartPicture(300, 200), workbook);
    window.PushButton8->click();
    EXPECT_FALSE(QFile::exists(workbook));
    EXPECT_EQ(mainWindow.shown, 1);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(window.Zoom_Ori->picture().isNull());
    EXPECT_TRUE(window.Picture1->picture().isNull());
    EXPECT_TRUE(s.messages.shown.empty());
    EXPECT_EQ(s.exit.calls, 0);
}

TEST_F(PreviewLifecycle, ASecondChartAfterBackIsPreparedAnew)
{
    Form2 &window = handOver(chartPicture(4000, 220));
    window.PushButton2->click(); // 0.75
    window.HScroll1->setValue(100);
    window.PushButton8->click();

    const QImage second = chartPicture(1000, 200);
    const QString workbook = writeFile(tempPath(QStringLiteral("kdrave22222222.xls")), "BIFF");
    EXPECT_EQ(&handOver(second, workbook), &window);
    EXPECT_EQ(window.mExcelFile, workbook);
    EXPECT_EQ(window.viewport().zoomFactor(), 1.0f);
    EXPECT_EQ(window.Zoom_Ori->picture().cacheKey(), second.cacheKey());
    EXPECT_EQ(window.viewport().ori(), (Extent{14998, 2998}));
    EXPECT_EQ(window.viewport().left(), 0);
    EXPECT_EQ(window.HScroll1->maximum(), 380); // (14998 - 9300) / 15, up
    EXPECT_EQ(window.HScroll1->value(), 0);
    EXPECT_FALSE(window.VScroll1->isEnabled());
}

TEST_F(PreviewLifecycle, ClosingDeletesTheWorkbookSavesTheListsAndEndsTheProgram)
{
    const QString workbook = writeFile(tempPath(QStringLiteral("kdrave33333333.xls")), "BIFF");
    Form2 &window = handOver(chartPicture(300, 200), workbook);
    window.close();
    EXPECT_FALSE(QFile::exists(workbook));
    EXPECT_EQ(s.settings.writes, (QStringList{"PreviewWindowPlace", "Categories", "Tasks", "Events"}));
    EXPECT_EQ(mainWindow.exitCallsAtSave, 0);
    EXPECT_EQ(s.exit.calls, 1);
    EXPECT_EQ(mainWindow.shown, 0);
    EXPECT_TRUE(s.messages.shown.empty());
}

// 22,500 pixels tall: far beyond 16 bits of twips, as a 1,200-task chart is.
TEST_F(PreviewLifecycle, ATallChartIsReachableToItsLastRowWithoutAReport)
{
    Form2 &window = handOver(chartPicture(2, 22500));
    EXPECT_TRUE(s.messages.shown.empty());
    ASSERT_TRUE(window.VScroll1->isEnabled());
    window.VScroll1->setValue(window.VScroll1->maximum());
    const QWidget &frame = *window.Picture1->parentWidget();
    EXPECT_EQ(window.Picture1->geometry().bottom(), frame.rect().bottom());
}

// ---- placement and icon ---------------------------------------------------------------

TEST_F(PreviewLoad, TheWindowCarriesTheProgramsIcon)
{
    preview.assignPicture(chartPicture(300, 200));
    EXPECT_FALSE(form().windowIcon().isNull());
    EXPECT_FALSE(form().windowIcon().availableSizes().isEmpty());
}

TEST_F(PreviewLoad, ShownWhereTheMainWindowIsAndOnTheScreen)
{
    preview.assignPicture(chartPicture(300, 200));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget mainWindow;
    mainWindow.setGeometry(screen.x() + 40, screen.y() + 30, 616, 426);
    mainWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainWindow));
    form().showInPlaceOf(&mainWindow);
    EXPECT_EQ(form().frameGeometry().topLeft(), mainWindow.frameGeometry().topLeft());
    form().hide();
    // Near the bottom-right corner the window moves left, and up as far as
    // its title bar stays on the screen.
    mainWindow.move(screen.right() - 100, screen.bottom() - 100);
    form().showInPlaceOf(&mainWindow);
    EXPECT_EQ(form().frameGeometry().right(), screen.right());
    EXPECT_EQ(form().frameGeometry().top(), std::max(screen.top(), screen.bottom() + 1 - form().frameGeometry().height()));
    form().hide();
    form().showInPlaceOf(nullptr);
    EXPECT_TRUE(screen.contains(form().frameGeometry()));
}

// ---- the picture's context menu -----------------------------------------------------------

class PictureMenu : public PreviewTest {
protected:
    // A right-click on the picture, then a click on the menu's entry.
    void choose(const QString &entry)
    {
        Form2 &window = form();
        QTest::mouseClick(window.windowHandle(), Qt::RightButton, {},
                          window.Picture2->client()->mapTo(&window, QPoint(30, 30)));
        auto *menu = window.findChild<QMenu *>();
        ASSERT_NE(menu, nullptr);
        ASSERT_TRUE(menu->isVisible());
        QStringList texts;
        for (QAction *action : menu->actions())
            texts << action->text();
        EXPECT_EQ(texts, QStringList({QStringLiteral("Copy Picture"), QStringLiteral("Save Picture As…"), QString(),
                                      QStringLiteral("Print..."), QStringLiteral("Export PDF..."), QString(),
                                      QStringLiteral("Colour Legend")}));
        for (QAction *action : menu->actions())
            if (action->text() == entry)
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
    }
    void SetUp() override
    {
        handOver(chartPicture(1000, 600));
        form().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form()));
    }
};

TEST_F(PictureMenu, CopyPicturePutsTheChartPictureOnTheClipboard)
{
    QGuiApplication::clipboard()->clear();
    QTest::mouseClick(form().PushButton1, Qt::LeftButton); // the copy is the chart's own size
    choose(QStringLiteral("Copy Picture"));
    const QImage copied = QGuiApplication::clipboard()->image();
    EXPECT_EQ(copied.size(), QSize(1000, 600));
    EXPECT_EQ(copied.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(copied.pixelColor(999, 599), QColor(Qt::blue));
    EXPECT_TRUE(s.messages.shown.empty());
}

TEST_F(PictureMenu, SavePictureAsWritesAPngThroughTheSaveFileDialog)
{
    const QString path = tempPath(QStringLiteral("chart"));
    s.saveDialog.answerNext(path);
    choose(QStringLiteral("Save Picture As…"));
    EXPECT_EQ(s.saveDialog.titles, QStringList(QStringLiteral("Save File")));
    QImage saved;
    ASSERT_TRUE(saved.load(path + QStringLiteral(".png"), "PNG"));
    EXPECT_EQ(saved.size(), QSize(1000, 600));
    EXPECT_EQ(saved.pixelColor(999, 0), QColor(Qt::blue));
    EXPECT_TRUE(s.messages.shown.empty());
}

TEST_F(PictureMenu, AnExistingFileIsKeptWhenTheUserSaysNo)
{
    const QString path = writeFile(tempPath(QStringLiteral("chart.png")), "old");
    s.saveDialog.answerNext(path);
    s.messages.answerNext(MessageAnswer::No);
    choose(QStringLiteral("Save Picture As…"));
    ASSERT_EQ(s.messages.shown.size(), 1u);
    EXPECT_TRUE(s.messages.shown[0].text.startsWith(QStringLiteral("Are you sure you wish to overwrite ")));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("old"));
}

TEST_F(PictureMenu, AFolderThatCannotBeWrittenIsReported)
{
    s.saveDialog.answerNext(tempPath(QStringLiteral("no-such-folder/chart.png")));
    choose(QStringLiteral("Save Picture As…"));
    ASSERT_EQ(errorReports().size(), 1u);
    EXPECT_TRUE(errorReports()[0].text.contains(QStringLiteral("Form2.SavePictureAs at line 104")));
}

// The preview opens at the size it was left at, and maximised when it was.
TEST_F(PreviewLifecycle, ANewPreviewOpensAtTheSizeTheLastOneWasLeftAt)
{
    Form2 &window = handOver(chartPicture(300, 200));
    window.resize(760, 560);
    window.backToMainWindow();
    {
        LazyPreview next{s.services, mainWindow};
        next.assignPicture(chartPicture(300, 200));
        next.show();
        EXPECT_EQ(next.loaded()->size(), QSize(760, 560));
        next.loaded()->showMaximized();
        next.loaded()->backToMainWindow();
    }
    LazyPreview third{s.services, mainWindow};
    third.assignPicture(chartPicture(300, 200));
    third.show();
    EXPECT_TRUE(third.loaded()->isMaximized());
}

} // namespace
} // namespace orv::preview::test
