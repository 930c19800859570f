#include "preview/Form2.h"

#include "app/FileExists.h"
#include "app/FileOperations.h"
#include "app/ReportingOperation.h"
#include "app/WindowPlace.h"
#include "app/CursorFile.h"
#include "app/qt/HoverPointer.h"
#include "app/qt/ProgramIcon.h"
#include "app/qt/RememberedPlace.h"
#include "preview/FrozenPane.h"
#include "preview/MainWindowLink.h"
#include "preview/PictureBox.h"
#include "preview/SystemBackColor.h"
#include "preview/Twips.h"
#include "preview/WindowPlacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QResizeEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QWheelEvent>

namespace orv::preview {

namespace {

const QString kProductTitle = QStringLiteral("Orvantis");
const QString kCursorFile = QStringLiteral("HAND-M.CUR");

// The frame has a one-pixel border: its inner size is 30 twips smaller.
constexpr int kFrameBorderPixels = 1;
constexpr Extent kFrameOuter{9330, 7425};

Extent innerOf(Extent outer)
{
    constexpr std::int32_t border = 2 * kFrameBorderPixels * kTwipsPerPixel;
    return {outer.width - border, outer.height - border};
}

// The client area the window opens with, and the least it can be made:
// room for the buttons along the bottom edge and a few rows of the chart.
constexpr QSize kClientSize(656, 624);
constexpr QSize kSmallestClient(656, 400);

// Pixels from the client area's right and bottom edges to the controls that
// follow them: the frame leaves room for the vertical bar on its right and
// for the horizontal bar, the zoom frame and the buttons below it.
constexpr int kFrameRightMargin = 34;
constexpr int kFrameBottomMargin = 129;
constexpr int kZoomFrameFromBottom = 100;
constexpr int kButtonsFromBottom = 34;

QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

QFont arialBold(double points)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

QPushButton *pushButton(QWidget *parent, const QString &caption, const QRect &geometry)
{
    auto *button = new QPushButton(caption, parent);
    button->setGeometry(geometry);
    button->setFont(arialBold(11.25));
    button->setAttribute(Qt::WA_NoMousePropagation);
    return button;
}

QScrollBar *scrollBar(QWidget *parent, Qt::Orientation orientation, const QRect &geometry)
{
    auto *bar = new QScrollBar(orientation, parent);
    bar->setGeometry(geometry);
    bar->setRange(0, 32767);
    // The picture follows a dragged thumb only when it is released.
    bar->setTracking(false);
    bar->setAttribute(Qt::WA_NoMousePropagation);
    return bar;
}

} // namespace

Form2::Form2(const Services &services, MainWindowLink &mainWindow, QWidget *parent)
    : QWidget(parent), mServices(services), mMainWindow(mainWindow), mViewport(kFrameOuter, innerOf(kFrameOuter)),
      mHover(new HoverPointer(*this))
{
    createControls();
    new RememberedPlace(*this, *mServices.settings, QLatin1String(kPreviewWindowPlaceKey),
                        RememberedPlace::Keep::Size);
    Form_Load();
}

Form2::~Form2() = default;

void Form2::createControls()
{
    resize(kClientSize);
    setMinimumSize(kSmallestClient);
    setFont(arialBold(9));

    Picture2 = new PictureBox(this, kFrameBorderPixels);
    Picture2->setGeometry(twipsRect(120, 120, kFrameOuter.width, kFrameOuter.height));
    Picture2->setOuterSize(kFrameOuter);
    Picture1 = new PictureBox(Picture2->client());
    Picture1->installEventFilter(this);
    for (QWidget *viewport : {static_cast<QWidget *>(Picture2), Picture2->client(), Picture1->client()})
        viewport->installEventFilter(this);
    mCornerPane = new FrozenPane(Picture2->client(), *Picture1, Qt::RightEdge | Qt::BottomEdge);
    mTopPane = new FrozenPane(Picture2->client(), *Picture1, Qt::BottomEdge);
    mLeftPane = new FrozenPane(Picture2->client(), *Picture1, Qt::RightEdge);
    mCornerKeptPane = new FrozenPane(Picture2->client(), *Picture1, Qt::RightEdge | Qt::BottomEdge);
    mLeftKeptPane = new FrozenPane(Picture2->client(), *Picture1, Qt::RightEdge);
    Zoom_Ori = new PictureBox(this);
    Zoom_Ori->setGeometry(twipsRect(10320, 480, 735, 375));
    Zoom_Ori->setOuterSize({735, 375});
    VScroll1 = scrollBar(this, Qt::Vertical, twipsRect(9450, 120, 255, 7425));
    HScroll1 = scrollBar(this, Qt::Horizontal, twipsRect(120, 7545, 9330, 255));
    connect(HScroll1, &QScrollBar::valueChanged, this, &Form2::HScroll1_Change);
    connect(VScroll1, &QScrollBar::valueChanged, this, &Form2::VScroll1_Change);

    Frame1 = new QGroupBox(QStringLiteral("Zoom:"), this);
    Frame1->setGeometry(twipsRect(120, 7860, 9600, 855));
    Frame1->setAttribute(Qt::WA_NoMousePropagation);
    Frame1->installEventFilter(this);
    PushButton1 = pushButton(Frame1, QStringLiteral("Zoom In"), twipsRect(240, 300, 1680, 405));
    PushButton2 = pushButton(Frame1, QStringLiteral("Zoom Out"), twipsRect(2040, 300, 1680, 405));
    Label1 = new QLabel(Frame1);
    Label1->setGeometry(twipsRect(3780, 300, 960, 405));
    Label1->setAlignment(Qt::AlignCenter);
    ButtonRoom = new QWidget(this);
    auto *room = new QHBoxLayout(ButtonRoom);
    room->setContentsMargins(0, 0, 0, 0);
    room->setSpacing(toPixels(120));
    room->addStretch();
    PushButton8 = pushButton(this, QStringLiteral("< Back"), twipsRect(120, 8850, 4680, 405));
    PushButton6 = pushButton(this, QStringLiteral("Save Results To Excel File"), twipsRect(4920, 8850, 4800, 405));
    layOutControls();
    mHover->watchSurface(*this);
    mHover->watchSurface(*Frame1);
    for (QPushButton *button : {PushButton1, PushButton2, PushButton8, PushButton6})
        mHover->watchButton(*button);
    connect(PushButton1, &QPushButton::clicked, this, &Form2::PushButton1_Click);
    connect(PushButton2, &QPushButton::clicked, this, &Form2::PushButton2_Click);
    connect(PushButton8, &QPushButton::clicked, this, &Form2::PushButton8_Click);
    connect(PushButton6, &QPushButton::clicked, this, &Form2::PushButton6_Click);
    createShortcuts();
    createPrintControls();
    createScaleControls();
    createFitControl();
    announceControls();
}

void Form2::layOutControls()
{
    const int width = this->width();
    const int height = this->height();
    const int frameWidth = width - kFrameRightMargin;
    const int frameHeight = height - kFrameBottomMargin;
    Picture2->move(8, 8);
    Picture2->setOuterSize({toTwips(frameWidth), toTwips(frameHeight)});
    VScroll1->setGeometry(8 + frameWidth, 8, VScroll1->width(), frameHeight);
    HScroll1->setGeometry(8, 8 + frameHeight, frameWidth, HScroll1->height());
    Frame1->setGeometry(8, height - kZoomFrameFromBottom, toPixels(4800), toPixels(855));
    const int roomLeft = Frame1->geometry().right() + 1 + toPixels(240);
    ButtonRoom->setGeometry(roomLeft, Frame1->y() + PushButton1->y(), width - 8 - roomLeft, PushButton1->height());
    PushButton8->move(8, height - kButtonsFromBottom);
    PushButton6->move(PushButton6->x(), height - kButtonsFromBottom);
    mViewport.setFrame(Picture2->outerSize(), innerOf(Picture2->outerSize()));
    syncViewport();
}

void Form2::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOutControls();
}

void Form2::setFrozenPanes(QSize pixels, KeptColumns kept)
{
    const int left = std::clamp(kept.left, 0, std::max(0, pixels.width()));
    mKept = {left, std::clamp(kept.width, 0, std::max(0, pixels.width()) - left)};
    mViewport.setFrozen({toTwips(std::max(0, pixels.width())), toTwips(std::max(0, pixels.height()))});
}

void Form2::Form_Load()
{
    ReportingOperation op(*mServices.messages, QStringLiteral("in Orvantis2021/08/31.Form2.Form_Load "));
    op(100, [&] { FirstActivate = true; });
    op(102, [&] { ApplySystemBackColor(*this); });
    op(104, [&] { setWindowTitle(kProductTitle); });
    op.more([&] { setWindowIcon(programIcon()); });
    const QString cursorPath = QDir(mServices.folders->programFolder()).filePath(kCursorFile);
    bool cursorExists = false;
    op(108, [&] { cursorExists = FileExists(cursorPath); });
    if (cursorExists)
        op(110, [&] { mHover->setCustomCursor(cursorFromFile(cursorPath)); });
}

void Form2::Form_Activate()
{
    ReportingOperation op(*mServices.messages, QStringLiteral("in Orvantis2021/08/31.Form2.Form_Activate "));
    bool pending = false;
    op(100, [&] { pending = FirstActivate; });
    if (pending)
        prepareViewport(op);
    op(138, [&] { FirstActivate = false; });
}

void Form2::PushButton8_Click()
{
    ReportingOperation op(*mServices.messages, QStringLiteral("in Orvantis2021/08/31.Form2.PushButton8_Click "));
    op(102, [&] { DeleteFileIfExists(mExcelFile); });
    op(104, [&] { mMainWindow.showMainWindow(); });
    op(106, [&] { hide(); });
    // The next chart handed over gets a viewport of its own. The hidden
    // picture is let go now, so that it is never held next to the next one.
    op.more([&] { FirstActivate = true; });
    op.more([&] { releasePictures(); });
}

// Closing the preview ends the program; the lists are written first so that
// no edit is lost on this way out.
void Form2::Form_QueryUnload()
{
    ReportingOperation op(*mServices.messages, QStringLiteral("in Orvantis2021/08/31.Form2.Form_QueryUnload "));
    op(100, [&] { DeleteFileIfExists(mExcelFile); });
    op(102, [] { QCoreApplication::processEvents(); });
    op(104, [] { QCoreApplication::processEvents(); });
    op(106, [&] { mMainWindow.saveProjectLists(); });
}

void Form2::Form_Unload() { mServices.exit->endProgram(); }

PointerSetting Form2::mousePointer() const { return mHover->pointer(); }

void Form2::setMousePointer(PointerSetting setting) { mHover->setPointer(setting); }

bool Form2::hasCustomCursor() const { return mHover->customCursor().has_value(); }

// Being shown counts as being activated: a window manager may decline to
// activate a window the user did not click.
bool Form2::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::Show)
        Form_Activate();
    return QWidget::event(event);
}

void Form2::closeEvent(QCloseEvent *event)
{
    Form_QueryUnload();
    event->accept();
    Form_Unload();
}

// The client area is placed rather than the frame: before the window is
// first shown its frame is not known, and a frame position would then be
// taken for the client area's, putting the title bar above the screen. The
// main window's frame margins stand in for the preview's own.
void Form2::showInPlaceOf(const QWidget *mainWindow)
{
    if (windowState().testFlag(Qt::WindowMaximized)) {
        show();
        return;
    }
    const QRect anchor = mainWindow != nullptr ? mainWindow->frameGeometry() : QRect();
    const QScreen *screen = anchor.isValid() ? QGuiApplication::screenAt(anchor.center()) : nullptr;
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    const QRect available = screen != nullptr ? screen->availableGeometry() : QRect();
    QMargins frame;
    if (mainWindow != nullptr) {
        const QRect client = mainWindow->geometry();
        frame = QMargins(client.left() - anchor.left(), client.top() - anchor.top(), anchor.right() - client.right(),
                         anchor.bottom() - client.bottom());
    }
    const QSize frameSize = size().grownBy(frame);
    const QRect place = anchor.isValid() ? QRect(anchor.topLeft(), frameSize) : available;
    const QPoint frameTopLeft = centredPosition(frameSize, place, available);
    setGeometry(QRect(frameTopLeft + QPoint(frame.left(), frame.top()), size()));
    show();
}

// The wheel and the context menu work over the whole viewport, also where a
// small picture leaves the frame empty.
bool Form2::eventFilter(QObject *watched, QEvent *event)
{
    const auto type = event->type();
    if (watched == Picture1 || watched == Picture2 || watched == Picture1->client() || watched == Picture2->client()) {
        if (type == QEvent::Wheel) {
            Picture1_MouseWheel(static_cast<QWheelEvent *>(event));
            return true;
        }
        if (type == QEvent::ContextMenu) {
            Picture1_ContextMenu(static_cast<QContextMenuEvent *>(event));
            return true;
        }
        if (type == QEvent::ToolTip) {
            showMeaning(*static_cast<QHelpEvent *>(event));
            return true;
        }
    }
    if (watched == Picture1) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (type == QEvent::MouseButtonPress)
            Picture1_MouseDown(mouse);
        else if (type == QEvent::MouseMove)
            Picture1_MouseMove(mouse);
        else if (type == QEvent::MouseButtonRelease)
            Picture1_MouseUp();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace orv::preview
