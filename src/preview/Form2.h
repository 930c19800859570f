#pragma once

#include "app/Services.h"
#include "app/PointerSetting.h"
#include "preview/Viewport.h"

#include <QString>
#include <QWidget>

class QGroupBox;
class QMouseEvent;
class QPushButton;
class QScrollBar;

namespace orv {
class HoverPointer;
class ReportingOperation;
}

namespace orv::preview {

class MainWindowLink;
class PictureBox;

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
    void SetHScrollbarByPercent(std::int16_t percent);
    void SetVScrollbarByPercent(std::int16_t percent);

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
    QPushButton *PushButton8;
    QPushButton *PushButton6;

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
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
    void InitScrollbars();
    void ChangeZoom(std::int32_t direction);
    void showUnscaledPicture();
    void releasePictures();
    // Maps the viewport's state onto the display box and the scroll bars.
    void syncViewport();

    const Services &mServices;
    MainWindowLink &mMainWindow;
    Viewport mViewport;
    bool FirstActivate = true;
    HoverPointer *mHover;
};

} // namespace orv::preview
