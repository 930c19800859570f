#include "PreviewFixture.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

namespace orv::preview::test {
namespace {

// ---- preparation and zoom ------------------------------------------------------

class PreviewZoom : public PreviewTest {};

// The sample's picture: the 196-day calendar makes every chart 4,108 pixels
// wide.
TEST_F(PreviewZoom, TheSampleChartIsDrawnAtEveryLevel)
{
    Form2 &window = handOver(chartPicture(4108, 300));
    EXPECT_EQ(window.Picture1->paintCount(), 1);
    EXPECT_EQ(window.HScroll1->maximum(), 3488); // (61620 - 9300) / 15
    EXPECT_FALSE(window.VScroll1->isEnabled());
    for (int press = 0; press < 11; ++press)
        QTest::mouseClick(window.PushButton1, Qt::LeftButton);
    EXPECT_EQ(window.viewport().zoomFactor(), 3.75f);
    EXPECT_EQ(window.Picture1->paintCount(), 12);
    EXPECT_EQ(window.Picture1->size(), QSize(15404, 1124)); // 3.75 x 61618 x 4498 twips
    EXPECT_TRUE(window.VScroll1->isEnabled());
    EXPECT_TRUE(s.messages.shown.empty());
}

TEST_F(PreviewZoom, ZoomingOutPaintsTheSmallerPictureOnceAndSetsTheBarsUpForIt)
{
    Form2 &window = handOver(chartPicture(4000, 220));
    QTest::mouseClick(window.PushButton2, Qt::LeftButton);
    EXPECT_EQ(window.viewport().zoomFactor(), 0.75f);
    EXPECT_EQ(window.Picture1->paintCount(), 2);
    EXPECT_EQ(window.Picture1->size(), QSize(3000, 165)); // 44998 x 2473 twips
    QImage far(300, 165, QImage::Format_RGB32);
    QPainter painter(&far);
    window.Picture1->paintShown(painter, far.rect(), QPoint(2700, 0));
    EXPECT_EQ(window.Picture1->grab().toImage().pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(far.pixelColor(299, 164), QColor(Qt::blue));
    EXPECT_EQ(window.HScroll1->maximum(), 2380); // (44998 - 9300) / 15, up
    EXPECT_EQ(window.HScroll1->value(), 0);
}

TEST_F(PreviewZoom, BeyondTheLowestLevelNothingIsRepainted)
{
    Form2 &window = handOver(chartPicture(400, 150));
    for (int press = 0; press < 3; ++press)
        QTest::mouseClick(window.PushButton2, Qt::LeftButton);
    ASSERT_EQ(window.viewport().zoomFactor(), 0.25f);
    const int paints = window.Picture1->paintCount();
    QTest::mouseClick(window.PushButton2, Qt::LeftButton);
    EXPECT_EQ(window.viewport().zoomFactor(), 0.25f);
    EXPECT_EQ(window.Picture1->paintCount(), paints);
}

// ---- scrolling and dragging -------------------------------------------------------

class PreviewPanning : public PreviewTest {
protected:
    // Delivered as the window system does: to the innermost widget under
    // the pointer, from where an unhandled event travels up to its parents.
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
    {
        QWidget *box = form().Picture1;
        QWidget *under = box->childAt(at);
        QWidget *target = under ? under : box;
        const QPointF local = target->mapFrom(box, QPointF(at));
        QMouseEvent event(type, local, box->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &event);
    }
    void press(QPoint at) { mouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton); }
    void dragTo(QPoint at) { mouse(QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton); }
    void release(QPoint at) { mouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton); }
};

TEST_F(PreviewPanning, DraggingLeavesThePictureWhereTheMouseLeftItAndTheBarsFollow)
{
    Form2 &window = handOver(chartPicture(1000, 200)); // 14998 x 2998 twips
    ASSERT_EQ(window.Picture1->paintCount(), 1);
    ASSERT_EQ(window.HScroll1->maximum(), 380);

    window.HScroll1->setValue(100);
    EXPECT_EQ(window.viewport().left(), -1500);
    EXPECT_EQ(window.Picture1->x(), -100);

    press({300, 50});
    dragTo({193, 50});
    // Shorter than the frame: the first clamp puts the bottom edge at the frame's.
    EXPECT_EQ(window.viewport().left(), -3105);
    EXPECT_EQ(window.viewport().top(), 7395 - 2998);
    release({193, 50});
    EXPECT_EQ(window.viewport().left(), -3105);
    EXPECT_EQ(window.Picture1->x(), -207);
    EXPECT_EQ(window.HScroll1->value(), 207);

    EXPECT_EQ(window.Picture1->paintCount(), 1);
    EXPECT_TRUE(s.messages.shown.empty());
}

TEST_F(PreviewPanning, AnArrowMovesATenthOfTheViewAndTheTroughAWholeView)
{
    Form2 &window = handOver(chartPicture(2000, 200));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QScrollBar &bar = *window.HScroll1;
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(bar.width() - 4, bar.height() / 2));
    EXPECT_EQ(bar.value(), 62);
    EXPECT_EQ(window.Picture1->x(), -62);
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(bar.width() - 40, bar.height() / 2));
    EXPECT_EQ(bar.value(), 62 + 620);
    EXPECT_EQ(window.Picture1->x(), -682);
}

TEST_F(PreviewPanning, MovingWithoutAButtonDoesNothing)
{
    Form2 &window = handOver(chartPicture(1000, 200));
    mouse(QEvent::MouseMove, {10, 10}, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(window.viewport().left(), 0);
    EXPECT_EQ(window.viewport().top(), 0);
}

TEST_F(PreviewPanning, TheThumbMovesThePictureOnlyWhenReleased)
{
    Form2 &window = handOver(chartPicture(1000, 200));
    window.HScroll1->setSliderDown(true);
    window.HScroll1->setSliderPosition(100);
    EXPECT_EQ(window.viewport().left(), 0);
    window.HScroll1->setSliderDown(false);
    EXPECT_EQ(window.viewport().left(), -1500);
}

TEST_F(PreviewPanning, AClickOnABoxAsWideAsTheFrameReportsNothing)
{
    Form2 &window = handOver(chartPicture(620, 400)); // 9300 twips: the frame's inner width
    ASSERT_EQ(window.Picture1->width(), 620);
    press({10, 10});
    release({10, 10});
    EXPECT_TRUE(s.messages.shown.empty());
    EXPECT_EQ(window.HScroll1->value(), 0);
    EXPECT_EQ(window.viewport().left(), 0);
}

// ---- the wheel ---------------------------------------------------------------------

class PreviewWheel : public PreviewPanning {
protected:
    void wheel(int angle, Qt::KeyboardModifiers modifiers)
    {
        QWidget *box = form().Picture1;
        QWidget *under = box->childAt(QPoint(20, 20));
        QWidget *target = under ? under : box;
        QWheelEvent event(QPointF(20, 20), box->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, angle),
                          Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(target, &event);
    }
    const int lines = QApplication::wheelScrollLines();
};

TEST_F(PreviewWheel, ScrollsDownWithShiftAcrossAndZoomsWithCtrl)
{
    Form2 &window = handOver(chartPicture(1000, 1000));
    wheel(-120, Qt::NoModifier);
    EXPECT_EQ(window.VScroll1->value(), lines * 49);
    EXPECT_EQ(window.viewport().top(), -15 * lines * 49);
    wheel(120, Qt::NoModifier);
    EXPECT_EQ(window.VScroll1->value(), 0);
    wheel(-120, Qt::ShiftModifier);
    EXPECT_EQ(window.HScroll1->value(), lines * 62);
    EXPECT_EQ(window.VScroll1->value(), 0);

    wheel(120, Qt::ControlModifier);
    EXPECT_EQ(window.viewport().zoomFactor(), 1.25f);
    EXPECT_EQ(window.Picture1->size(), QSize(1250, 1250));
    wheel(-240, Qt::ControlModifier);
    EXPECT_EQ(window.viewport().zoomFactor(), 0.75f);
    EXPECT_TRUE(s.messages.shown.empty());
}

TEST_F(PreviewWheel, ASmallPictureDoesNotScroll)
{
    Form2 &window = handOver(chartPicture(300, 200));
    wheel(-360, Qt::NoModifier);
    wheel(-360, Qt::ShiftModifier);
    EXPECT_EQ(window.viewport().left(), 0);
    EXPECT_EQ(window.viewport().top(), 0);
}

} // namespace
} // namespace orv::preview::test
