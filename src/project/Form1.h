#pragma once

#include "app/PointerSetting.h"
#include "app/qt/SkinFramework.h"

#include <QWidget>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTreeWidget;

namespace orv {

namespace chart {
class ChartBuilder;
class ChartPreview;
enum class CalendarScale;
}

struct Services;
class HoverPointer;
class ListHistory;
class ListNote;
class PlanOpening;
class ReportingOperation;
class SelectAllOnFocus;

// The main window: the three project lists on their tabs, their editing,
// the sample project and the start of chart creation. The controls are
// public, as the chart builder and the preview window read and drive them.
class Form1 : public QWidget {
public:
    explicit Form1(const Services &services, QWidget *parent = nullptr);
    ~Form1() override;

    // Start-up: skin, caption, icon, title, cursor, tab, lists, spreadsheet
    // check. Runs before the window is first shown.
    void Form_Load();
    // Writes the three lists to the settings store; also what the preview
    // window calls when it is closed.
    void Form_QueryUnload();
    // The same three values, written without a report: what keeping the
    // lists as they are typed does. Throws what the store throws.
    void storeLists();

    // "Create Template!": builds the chart and hands it to `preview`.
    void setChartPreview(chart::ChartPreview &preview);
    void PushButton6_Click();
    bool isBuilding() const;
    // The lists now hold another plan: a chart on show is of a plan that is
    // gone, and the preview gives way to the main window.
    void listsReplaced();

    // The calendar scale of the next chart, shown in "Scale" and kept in
    // the settings.
    void setCalendarScale(chart::CalendarScale scale);

    void RefillCategoryCombo();
    void UpdateEventAddButton();

    // Replaces the three lists with the plan in a chart workbook, CSV or
    // tab-separated file, after asking when they are not empty: what
    // "Open...", a dropped file and a file named at start-up do.
    void openPlanFile(const QString &path);

    PointerSetting pointer() const;
    void setPointer(PointerSetting pointer);
    HoverPointer &hoverPointer() { return *mHover; }

    const Services &services() const { return mServices; }

    QPushButton *PushButton1, *PushButton2, *PushButton3, *PushButton4, *PushButton5, *PushButton6, *PushButton7,
        *PushButton8, *PushButton9;
    QTabWidget *TabControl1;
    QGroupBox *Frame1, *Frame2, *Frame5;
    QLineEdit *txtCat, *txtTask, *txtProc, *txtStart, *TxtEnd, *TxtEvent, *txtEvStart, *txtEvEnd;
    QComboBox *Combo1;
    // "Scale" beside "Create Template!": days, weeks or months.
    QComboBox *cboScale;
    QCheckBox *Check1;
    QTreeWidget *ListView1, *ListView2, *ListView3;
    SkinFramework SkinFramework1;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildButtons();
    void buildScaleChooser();
    void buildCategoriesTab();
    void buildTasksTab();
    void buildEventsTab();
    void setFocusOrder();
    void letControlsGrow();
    void announceControls();
    void paintDesignedWhite();
    void watchHover();

    void PushButton1_Click();
    void PushButton2_Click();
    void PushButton3_Click();
    void PushButton4_Click();
    void PushButton5_Click();
    void PushButton7_Click();
    void PushButton8_Click();
    void PushButton9_Click();
    void TabControl1_Change();
    void Form_Unload();

    void loadCursor(ReportingOperation &op);
    void checkSettingsFile();
    void selectStoredTab();
    void loadList(ReportingOperation &op, QTreeWidget &view, const QString &key, int firstLine);
    bool saveList(ReportingOperation &op, const QTreeWidget &view, const QString &key, int firstLine,
                  int storeLine);
    void keepListsElsewhere();
    void deleteSelected(ReportingOperation &op, QTreeWidget &view);

    const Services &mServices;
    HoverPointer *mHover;
    SelectAllOnFocus *mSelectAll;
    ListNote *mNote;
    ListHistory *mHistory;
    PlanOpening *mOpening;
    class BuilderLink;
    std::unique_ptr<BuilderLink> mBuilderLink;
    std::unique_ptr<chart::ChartBuilder> mBuilder;
    chart::ChartPreview *mPreview = nullptr;
};

} // namespace orv
