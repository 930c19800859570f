#include "PreviewFixture.h"

#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>

namespace orv::preview::test {
namespace {

// ---- preparation and zoom ------------------------------------------------------

class PreviewZoom : public PreviewTest {};

TEST_F(PreviewZoom, ASamplePictureTooWideToRedrawIsShownAsAssignedAndHeldOnce)
{
    const QImage sample = chartPicture(4000, 220); // 60000 x 3300 twips
    Form2 &window = handOver(sample);
    EXPECT_EQ(window.viewport().zoomFactor(), 1.0f);
    EXPECT_EQ(window.Picture1->paintCount(), 0);
    EXPECT_EQ(window.Picture1->picture().cacheKey(), sample.cacheKey());
    EXPECT_EQ(window.Zoom_Ori->picture().cacheKey(), sample.cacheKey());
    EXPECT_FALSE(window.Zoom_Ori->isVisible());
    EXPECT_EQ(window.Picture1->size(), QSize(4000, 220));
    EXPECT_TRUE(window.HScroll1->isEnabled());
    EXPECT_EQ(window.HScroll1->maximum(), 5067); // (60000 - 9330) / 10
    EXPECT_EQ(window.viewport().scrollStep(Axis::Horizontal), 10);
    EXPECT_FALSE(window.VScroll1->isEnabled());
    EXPECT_TRUE(s.messages.shown.empty());
}

TEST_F(PreviewZoom, ZoomingOutPaintsTheSmallerPictureOnceAndSetsTheBarsUpForIt)
{
    Form2 &window = handOver(chartPicture(4000, 220));
    window.PushButton2->click();
    EXPECT_EQ(window.viewport().zoomFactor(), 0.75f);
    EXPECT_EQ(window.Picture1->paintCount(), 1);
    EXPECT_TRUE(window.Picture1->picture().isNull());
    const QImage &painted = window.Picture1->paintedImage();
    EXPECT_EQ(painted.size(), QSize(3000, 165)); // 44998 x 2473 twips
    EXPECT_EQ(painted.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(painted.pixelColor(2999, 164), QColor(Qt::blue));
    EXPECT_EQ(window.HScroll1->maximum(), 3567); // (44998 - 9330) / 10
    EXPECT_EQ(window.HScroll1->value(), 0);
}

TEST_F(PreviewZoom, ARefusedZoomGoesBackToTheUnscaledPicture)
{
    const QImage sample = chartPicture(4000, 220);
    Form2 &window = handOver(sample);
    window.PushButton2->click(); // 0.75, drawn
    window.HScroll1->setValue(300);
    window.PushButton1->click(); // 1.0: 59998 wide, refused
    EXPECT_EQ(window.viewport().zoomFactor(), 1.0f);
    EXPECT_EQ(window.Picture1->paintCount(), 1);
    EXPECT_EQ(window.Picture1->picture().cacheKey(), sample.cacheKey());
    EXPECT_TRUE(window.Picture1->paintedImage().isNull());
    EXPECT_EQ(window.Picture1->size(), QSize(4000, 220));
    EXPECT_EQ(window.HScroll1->maximum(), 5067);
    EXPECT_EQ(window.HScroll1->value(), 0);
    EXPECT_EQ(window.viewport().left(), 0);
    EXPECT_TRUE(s.messages.shown.empty());
}

TEST_F(PreviewZoom, StepsUpToTheLimitThenStartAgainFromOne)
{
    Form2 &window = handOver(chartPicture(400, 150)); // 5998 x 2248 unscaled
    EXPECT_EQ(window.Picture1->paintCount(), 1);
    for (int press = 0; press < 4; ++press)
        window.PushButton1->click();
    EXPECT_EQ(window.viewport().zoomFactor(), 2.0f);
    EXPECT_EQ(window.Picture1->paintCount(), 5);
    EXPECT_EQ(window.viewport().scaled(), (Extent{11996, 4496}));
    EXPECT_EQ(window.Picture1->size(), QSize(800, 300));

    window.PushButton1->click(); // 2.25: 5058 tall, refused
    EXPECT_EQ(window.viewport().zoomFactor(), 1.0f);
    EXPECT_EQ(window.viewport().scaled(), (Extent{5998, 2248}));
    EXPECT_EQ(window.Picture1->paintCount(), 5);

    window.PushButton1->click();
    EXPECT_EQ(window.viewport().zoomFactor(), 1.25f);
    EXPECT_EQ(window.Picture1->paintCount(), 6);
}

TEST_F(PreviewZoom, BeyondTheLowestLevelNothingIsRepainted)
{
    Form2 &window = handOver(chartPicture(400, 150));
    for (int press = 0; press < 3; ++press)
        window.PushButton2->click();
    ASSERT_EQ(window.viewport().zoomFactor(), 0.25f);
    const int paints = window.Picture1->paintCount();
    window.PushButton2->click();
    EXPECT_EQ(window.viewport().zoomFactor(), 0.25f);
    EXPECT_EQ(window.Picture1->paintCount(), paints);
}

TEST_F(PreviewZoom, ATallPictureIsPaintedOnceZoomedOutBelowTheLimit)
{
    Form2 &window = handOver(chartPicture(400, 400)); // 5998 tall: not painted at 1.0
    EXPECT_EQ(window.Picture1->paintCount(), 0);
    window.PushButton2->click();
    EXPECT_EQ(window.viewport().scaled(), (Extent{4498, 4498}));
    EXPECT_EQ(window.Picture1->paintCount(), 1);
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

TEST_F(PreviewPanning, ScrollingAndDraggingOnlyMoveThePaintedBox)
{
    Form2 &window = handOver(chartPicture(1000, 200)); // painted at 14998 x 2998
    ASSERT_EQ(window.Picture1->paintCount(), 1);
    ASSERT_EQ(window.HScroll1->maximum(), 567);

    window.HScroll1->setValue(100);
    EXPECT_EQ(window.viewport().left(), -1000);
    EXPECT_EQ(window.Picture1->x(), -67);

    press({300, 50});
    dragTo({200, 50});
    // Shorter than the frame: the first clamp puts the bottom edge at the frame's.
    EXPECT_EQ(window.viewport().left(), -2500);
    EXPECT_EQ(window.viewport().top(), 7395 - 2998);
    release({200, 50});
    // 2500 / 5668 gives 44 percent, 249.48 of 567 gives bar value 249.
    EXPECT_EQ(window.HScroll1->value(), 249);
    EXPECT_EQ(window.viewport().left(), -2490);
    EXPECT_EQ(window.viewport().top(), 7395 - 2998);

    EXPECT_EQ(window.Picture1->paintCount(), 1);
    EXPECT_TRUE(s.messages.shown.empty());
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
    EXPECT_EQ(window.viewport().left(), -1000);
}

TEST_F(PreviewPanning, AClickOnABoxAsWideAsTheFrameReportsNothing)
{
    Form2 &window = handOver(chartPicture(622, 400)); // 9330 twips: the frame's outer width
    ASSERT_EQ(window.Picture1->width(), 622);
    press({10, 10});
    release({10, 10});
    EXPECT_TRUE(s.messages.shown.empty());
    EXPECT_EQ(window.HScroll1->value(), 0);
    EXPECT_EQ(window.viewport().left(), 0);
}

} // namespace
} // namespace orv::preview::test
