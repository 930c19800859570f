#include "PreviewFixture.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

namespace orv::preview::test {
namespace {

const QColor kCorner(Qt::yellow);
const QColor kNames(Qt::red);
const QColor kHeader(Qt::green);
const QColor kBars(Qt::blue);

// A chart with frozen panes: 100 columns of names on the left, 40 rows of
// calendar header on top, bars everywhere else.
QImage paneChart(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(kBars);
    QPainter painter(&picture);
    painter.fillRect(0, 0, 100, height, kNames);
    painter.fillRect(0, 0, width, 40, kHeader);
    painter.fillRect(0, 0, 100, 40, kCorner);
    return picture;
}

class PreviewViewer : public PreviewTest {
protected:
    Form2 &shown(const QImage &picture, QSize frozen = {})
    {
        Form2 &window = handOver(picture, QString(), frozen);
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        return window;
    }
    QColor frameAt(QPoint at) { return form().Picture2->client()->grab().toImage().pixelColor(at); }
    void keys(const QKeySequence &sequence) { QTest::keySequence(&form(), sequence); }
};

TEST_F(PreviewViewer, AResizedWindowShowsMoreOfTheChartWithTheButtonsAlongTheBottom)
{
    Form2 &window = shown(chartPicture(2000, 1000)); // red left half, blue right half
    const int maximum = window.HScroll1->maximum();
    EXPECT_EQ(frameAt({600, 100}), QColor(Qt::red));
    window.resize(1240, 900);
    EXPECT_EQ(window.Picture2->width(), 1240 - 34);
    EXPECT_EQ(frameAt({1150, 100}), QColor(Qt::blue));
    EXPECT_EQ(window.HScroll1->maximum(), maximum - 584);
    EXPECT_EQ(window.PushButton8->geometry().bottom(), 900 - 8);
    EXPECT_EQ(window.Frame1->y(), 900 - 100);
    // Scrolled to the far end, a larger window shows more of what lies before it.
    window.resize(656, 624);
    keys(QKeySequence(Qt::CTRL | Qt::Key_End));
    window.resize(1240, 900);
    EXPECT_EQ(window.Picture1->geometry().right(), window.Picture2->client()->width() - 1);
    EXPECT_EQ(window.HScroll1->value(), window.HScroll1->maximum());
    EXPECT_TRUE(s.messages.shown.empty());
}

TEST_F(PreviewViewer, TheFrozenPanesStayInViewWhereverTheChartIsScrolledAndZoomed)
{
    Form2 &window = shown(paneChart(3000, 2000), QSize(100, 40));
    keys(QKeySequence(Qt::CTRL | Qt::Key_End));
    ASSERT_EQ(window.VScroll1->value(), window.VScroll1->maximum());
    EXPECT_EQ(frameAt({50, 20}), kCorner);
    EXPECT_EQ(frameAt({300, 20}), kHeader);
    EXPECT_EQ(frameAt({50, 300}), kNames);
    EXPECT_EQ(frameAt({300, 300}), kBars);
    keys(QKeySequence(Qt::CTRL | Qt::Key_Plus));
    EXPECT_EQ(window.viewport().zoomFactor(), 1.25f);
    EXPECT_EQ(frameAt({115, 45}), kCorner); // the panes grow with the zoom
    EXPECT_EQ(frameAt({300, 300}), kBars);
}

TEST_F(PreviewViewer, KeysScrollAndZoomAndTheLevelShowsBesideTheButtons)
{
    Form2 &window = shown(chartPicture(3000, 3000));
    EXPECT_EQ(window.Label1->text(), QStringLiteral("100 %"));
    keys(QKeySequence(Qt::Key_PageDown));
    EXPECT_EQ(window.VScroll1->value(), window.VScroll1->pageStep());
    keys(QKeySequence(Qt::Key_Down));
    EXPECT_EQ(window.VScroll1->value(), window.VScroll1->pageStep() + window.VScroll1->singleStep());
    keys(QKeySequence(Qt::Key_End));
    EXPECT_EQ(window.HScroll1->value(), window.HScroll1->maximum());
    keys(QKeySequence(Qt::Key_Home));
    EXPECT_EQ(window.HScroll1->value(), 0);
    keys(QKeySequence(Qt::CTRL | Qt::Key_Home));
    EXPECT_EQ(window.VScroll1->value(), 0);

    keys(QKeySequence(Qt::CTRL | Qt::Key_Equal));
    EXPECT_EQ(window.Label1->text(), QStringLiteral("125 %"));
    keys(QKeySequence(Qt::CTRL | Qt::Key_0));
    EXPECT_EQ(window.Label1->text(), QStringLiteral("100 %"));
    for (int press = 0; press < 4; ++press)
        keys(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    EXPECT_EQ(window.viewport().zoomFactor(), 0.25f);
    EXPECT_EQ(window.Label1->text(), QStringLiteral("25 %"));
    EXPECT_FALSE(window.PushButton2->isEnabled());
    EXPECT_TRUE(window.PushButton1->isEnabled());
    EXPECT_TRUE(s.messages.shown.empty());
}

// Zooming keeps the point at the centre of the view in place.
TEST_F(PreviewViewer, TheZoomButtonsKeepTheCentreOfTheView)
{
    Form2 &window = shown(chartPicture(3000, 3000));
    window.HScroll1->setValue(1000);
    window.VScroll1->setValue(1000);
    const QPoint centre(window.Picture2->client()->width() / 2, window.Picture2->client()->height() / 2);
    const QPoint before = centre - window.Picture1->pos();
    QTest::mouseClick(window.PushButton1, Qt::LeftButton);
    const QPoint after = centre - window.Picture1->pos();
    EXPECT_NEAR(after.x(), before.x() * 1.25, 1.0);
    EXPECT_NEAR(after.y(), before.y() * 1.25, 1.0);
}

} // namespace
} // namespace orv::preview::test
