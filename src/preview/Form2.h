#pragma once

#include "app/Services.h"
#include "app/PointerSetting.h"
#include "preview/Viewport.h"
#include "preview/WheelNotches.h"
#include "sheet/model/CellAddress.h"

#include <QRect>
#include <QString>
#include <QWidget>
#include <optional>

class QAction;
class QComboBox;
class QContextMenuEvent;
class QHelpEvent;
class QGroupBox;
class QLabel;
class QMenu;
class QMouseEvent;
class QWheelEvent;
class QPushButton;
class QScrollBar;

namespace orv {
namespace chart {
enum class CalendarScale;
}
class HoverPointer;
class ReportingOperation;
class ReportingOperation;
}

namespace orv::preview {

class ColourLegend;
class FrozenPane;
class MainWindowLink;
class PictureBox;

// The columns among a sheet's frozen ones (left and width in pixels at zoom
// 1) that stay in view whole, beside the start of those before them, when
// the frozen columns take more than their share of the view.
struct KeptColumns {
    int left = 0;
    int width = 0;
};

// The preview window: shows the chart picture in a viewport with zoom, scroll
// bars and drag-panning, saves a copy of the chart workbook, and leads back
// to the main window. Constructing it loads it (`Form_Load` runs).
class Form2 : public QWidget {
    Q_OBJECT
public:
    Form2(const Services &services, MainWindowLink &mainWindow, QWidget *parent = nullptr);
    ~Form2() override;

    // Full path of the chart workbook in the temporary folder.
    QString mExcelFile;

    void RedrawImage();
    // What "< Back" does: the chart workbook goes and the main window shows.
    void backToMainWindow() { PushButton8_Click(); }
    // Shows the window with its frame where `mainWindow`'s frame is, or
    // centred on the screen without one; the whole frame, title bar
    // included, stays within the screen's free area. A window the user
    // maximised comes back maximised.
    void showInPlaceOf(const QWidget *mainWindow);
    // The sheet's frozen panes in the picture, in its pixels at zoom 1.0:
    // the width of the frozen columns and the height of the frozen rows.
    // `kept`: see KeptColumns.
    void setFrozenPanes(QSize pixels, KeptColumns kept = {});
    // The cell of the chart sheet the frame shows at a point, over the
    // frozen panes or the scrolled part; none without a sheet or beyond it.
    std::optional<sheet::CellAddress> cellShownAt(QPoint inFrame) const;
    // The chart's calendar scale in "Scale" and the line that says what its
    // calendar leaves out of the plan (hidden when empty).
    void showCalendar(chart::CalendarScale scale, const QString &outside);

    PointerSetting mousePointer() const;
    void setMousePointer(PointerSetting setting);
    bool hasCustomCursor() const;
    const Viewport &viewport() const { return mViewport; }

    PictureBox *Picture2;
    PictureBox *Picture1;
    PictureBox *Zoom_Ori;
    QScrollBar *VScroll1;
    QScrollBar *HScroll1;
    QGroupBox *Frame1;
    QPushButton *PushButton1;
    QPushButton *PushButton2;
    // The zoom level beside the zoom buttons ("150 %").
    QLabel *Label1;
    // Room beside the zoom frame for more buttons, laid out left to right.
    QWidget *ButtonRoom;
    QPushButton *PushButton8;
    QPushButton *PushButton6;
    QPushButton *PrintButton;
    QPushButton *ExportPdfButton;
    // "Fit": the whole calendar's width in the window.
    QPushButton *FitButton;
    // "Scale": another scale rebuilds the chart at once.
    QComboBox *ScaleCombo;
    QLabel *CalendarNote;

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void createControls();
    void createShortcuts();
    // Places the controls for the window's size: the viewport takes what
    // the zoom frame and the buttons along the bottom edge leave.
    void layOutControls();
    void createPrintControls();
    void createScaleControls();
    void createFitControl();
    void FitButton_Click();
    void ScaleCombo_Change(int index);
    void Form_Load();
    void Form_Activate();
    void prepareViewport(ReportingOperation &op);
    void Form_QueryUnload();
    void Form_Unload();
    void PushButton1_Click();
    void PushButton2_Click();
    void PushButton6_Click();
    void PushButton8_Click();
    void HScroll1_Change(int value);
    void VScroll1_Change(int value);
    void Picture1_MouseDown(QMouseEvent *event);
    void Picture1_MouseMove(QMouseEvent *event);
    void Picture1_MouseUp();
    void Picture1_MouseWheel(QWheelEvent *event);
    void Picture1_ContextMenu(QContextMenuEvent *event);
    void announceControls();
    void announceChart();
    void announceZoom();
    QString meaningAt(QPoint inFrame) const;
    void showMeaning(const QHelpEvent &event);
    void showLegend(bool shown);
    void CopyPicture();
    void SavePictureAs();
    void PrintChart();
    void ExportPdf();
    QString askFileToWrite(ReportingOperation &op, const QString &title, const QString &filter, const QString &suffix);
    void InitScrollbars();
    void ChangeZoom(std::int32_t direction);
    // Zooms to `z` keeping the picture point at `anchor` (twips in the
    // frame) in place.
    void zoomAround(float z, Extent anchor);
    void showZoomLevel();
    void scrollBy(Axis axis, int units);
    void scrollToEnd(Axis axis, bool end);
    void releasePictures();
    // Maps the viewport's state onto the display box and the scroll bars.
    void syncViewport();
    // Where the frozen panes go: how much of the frame they take, how much of
    // that the names and the kept columns have, and how much of the frozen
    // rows gives way at the top.
    struct FrozenLayout {
        QSize whole;
        int paneWidth = 0;
        int paneHeight = 0;
        int names = 0;
        int kept = 0;
        int keptFrom = 0;
        int hiddenTop = 0;
    };
    FrozenLayout frozenLayout() const;
    // The point of the zoomed picture the frame shows at a point.
    QPoint pictureShownAt(QPoint inFrame) const;
    void showFrozenPanes();

    const Services &mServices;
    MainWindowLink &mMainWindow;
    Viewport mViewport;
    bool FirstActivate = true;
    // Where the chart on show was last saved; empty until it is.
    QString mSavedAs;
    HoverPointer *mHover;
    WheelNotches mWheel;
    QMenu *mPictureMenu = nullptr;
    ColourLegend *mLegend = nullptr;
    QAction *mLegendAction = nullptr;
    FrozenPane *mCornerPane;
    FrozenPane *mTopPane;
    FrozenPane *mLeftPane;
    FrozenPane *mCornerKeptPane;
    FrozenPane *mLeftKeptPane;
    KeptColumns mKept;
};

} // namespace orv::preview
