// The main window's controls and their designed places: a client area of
// 616 x 426 pixels, buttons on top, the three tabs below; a larger window
// gives its room to the lists, their columns and the wide entry fields.
#include "project/Form1.h"

#include "app/qt/HoverPointer.h"
#include "app/Services.h"
#include "app/WindowPlace.h"
#include "app/qt/RememberedPlace.h"
#include "chart/ChartBuilder.h"
#include "project/Form1BuilderLink.h"
#include "project/GrowingLayout.h"
#include "project/ListEditing.h"
#include "project/ListHistory.h"
#include "project/ListNote.h"
#include "project/ListTransfer.h"
#include "project/PlanOpening.h"
#include "project/SelectAllOnFocus.h"
#include "project/WindowKeys.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>

namespace orv {

namespace {

constexpr int kWideField = 435;   // category and name fields
constexpr int kStartField = 136;  // first date field of a row
constexpr int kEndField = 120;    // second date field of a row
constexpr int kListWidth = 562;
constexpr int kFieldLeft = 112;
constexpr int kRowHeight = 22;
constexpr int kButtonHeight = 26;
constexpr QSize kDesignedSize(616, 426);

template <typename Widget>
Widget *named(Widget *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QPushButton *button(QWidget *parent, const char *name, const QString &caption, QRect place)
{
    auto *created = named(new QPushButton(caption, parent), name);
    created->setGeometry(place);
    return created;
}

void label(QWidget *parent, const QString &text, QRect place)
{
    auto *created = new QLabel(text, parent);
    created->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    created->setGeometry(place);
}

QLineEdit *field(QWidget *parent, const char *name, QRect place)
{
    auto *created = named(new QLineEdit(parent), name);
    created->setGeometry(place);
    return created;
}

QTreeWidget *listView(QWidget *parent, const char *name, const QList<QPair<QString, int>> &columns, QRect place)
{
    auto *view = named(new QTreeWidget(parent), name);
    view->setGeometry(place);
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setAllColumnsShowFocus(true);
    view->setColumnCount(int(columns.size()));
    QStringList headers;
    for (const auto &column : columns)
        headers << column.first;
    view->setHeaderLabels(headers);
    view->header()->setStretchLastSection(false);
    for (int i = 0; i < columns.size(); ++i)
        view->setColumnWidth(i, columns[i].second);
    return view;
}

// An editable box completes case-insensitively and inline by default, so
// "dev" typed and added became "Development", and Return swaps "research"
// for the item "Research". Without a completer nothing is completed, and
// with duplicates allowed Return looks no item up; the drop-down list still
// chooses. A completion popup would take the next click meant for another
// field.
void keepTypedText(QComboBox &box)
{
    box.setCompleter(nullptr);
    box.setDuplicatesEnabled(true);
}

QGroupBox *frame(QTabWidget *tabs, const char *name, const QString &tab)
{
    auto *page = new QWidget;
    auto *created = named(new QGroupBox(page), name);
    created->setGeometry(2, 2, 588, 312);
    tabs->addTab(page, tab);
    return created;
}

} // namespace

Form1::Form1(const Services &services, QWidget *parent)
    : QWidget(parent), mServices(services), mHover(new HoverPointer(*this)), mSelectAll(new SelectAllOnFocus(this))
{
    setObjectName(QStringLiteral("Form1"));
    resize(kDesignedSize);
    buildButtons();
    TabControl1 = named(new QTabWidget(this), "TabControl1");
    TabControl1->setGeometry(8, 74, 600, 344);
    buildCategoriesTab();
    buildTasksTab();
    buildEventsTab();
    setFocusOrder();
    // Typing right after start-up goes into the first field of the order;
    // on another stored tab the focus moves on to that tab's first field.
    txtCat->setFocus();
    paintDesignedWhite();
    watchHover();
    for (QLineEdit *edit : {txtCat, txtTask, txtProc, txtStart, TxtEnd, TxtEvent, txtEvStart, txtEvEnd})
        mSelectAll->watch(*edit);
    mNote = new ListNote(*Frame2, *Frame5, *Frame1, this);
    letControlsGrow();
    new RememberedPlace(*this, *mServices.settings, QLatin1String(kMainWindowPlaceKey),
                        RememberedPlace::Keep::SizeAndPosition);
    mHistory = new ListHistory({ListView1, ListView2, ListView3}, this);
    new ListEditing(*this, *mHistory, *mNote,
                    {[this] { PushButton2_Click(); }, [this] { PushButton4_Click(); },
                     [this] { PushButton7_Click(); }});

    mOpening = new PlanOpening(*this, *mHistory, *mNote);
    new ListTransfer(*this, *mHistory, *mNote, [this] { mOpening->openChosenFile(); });

    // Each "Add" and the sample are one step of the lists' history.
    const auto step = [this](const char *what, void (Form1::*handler)()) {
        return [this, what, handler] { mHistory->record(QLatin1String(what), [&] { (this->*handler)(); }); };
    };
    connect(PushButton1, &QPushButton::clicked, this, step("category added", &Form1::PushButton1_Click));
    connect(PushButton2, &QPushButton::clicked, this, &Form1::PushButton2_Click);
    connect(PushButton3, &QPushButton::clicked, this, step("task added", &Form1::PushButton3_Click));
    connect(PushButton4, &QPushButton::clicked, this, &Form1::PushButton4_Click);
    connect(PushButton5, &QPushButton::clicked, this, step("special event added", &Form1::PushButton5_Click));
    connect(PushButton6, &QPushButton::clicked, this, &Form1::PushButton6_Click);
    connect(PushButton7, &QPushButton::clicked, this, &Form1::PushButton7_Click);
    connect(PushButton8, &QPushButton::clicked, this, &Form1::PushButton8_Click);
    connect(PushButton9, &QPushButton::clicked, this, step("sample loaded", &Form1::PushButton9_Click));
    // After the handlers: Return and "Add" hand the focus back once the
    // item is in.
    new WindowKeys(*this, *mHistory, *mNote, [this] { mOpening->openChosenFile(); });
    announceControls();
    connect(TabControl1, &QTabWidget::currentChanged, this, [this] {
        // The tab change has no error report; a failure to store the tab
        // leaves the stored value as it was.
        try {
            TabControl1_Change();
        } catch (const std::exception &) {
        }
    });
}


void Form1::buildButtons()
{
    PushButton6 = button(this, "PushButton6", QStringLiteral("Create Template!"), {8, 6, 464, 32});
    buildScaleChooser();
    PushButton8 = button(this, "PushButton8", QStringLiteral("Help"), {8, 42, 298, kButtonHeight});
    PushButton9 = button(this, "PushButton9", QStringLiteral("Load Sample/Example Data"), {310, 42, 298, kButtonHeight});
}

void Form1::buildCategoriesTab()
{
    Frame2 = frame(TabControl1, "Frame2", QStringLiteral("Categories"));
    label(Frame2, QStringLiteral("Category:"), {4, 20, 104, kRowHeight});
    txtCat = field(Frame2, "txtCat", {kFieldLeft, 20, kWideField, kRowHeight});
    PushButton1 = button(Frame2, "PushButton1", QStringLiteral("Add"), {kFieldLeft, 50, 100, kButtonHeight});
    PushButton2 = button(Frame2, "PushButton2", QStringLiteral("Delete Selected"), {218, 50, 120, kButtonHeight});
    ListView1 = listView(Frame2, "ListView1", {{QStringLiteral("Category"), 287}}, {12, 84, kListWidth, 216});
}

void Form1::buildTasksTab()
{
    Frame5 = frame(TabControl1, "Frame5", QStringLiteral("Tasks"));
    label(Frame5, QStringLiteral("Task:"), {4, 14, 104, kRowHeight});
    txtTask = field(Frame5, "txtTask", {kFieldLeft, 14, kWideField, kRowHeight});
    label(Frame5, QStringLiteral("% Completed:"), {4, 40, 104, kRowHeight});
    txtProc = field(Frame5, "txtProc", {kFieldLeft, 40, kStartField, kRowHeight});
    label(Frame5, QStringLiteral("Category:"), {4, 66, 104, kRowHeight});
    Combo1 = named(new QComboBox(Frame5), "Combo1");
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    keepTypedText(*Combo1);
    Combo1->setGeometry(kFieldLeft, 66, kWideField, kRowHeight);
    label(Frame5, QStringLiteral("Start:"), {4, 92, 104, kRowHeight});
    txtStart = field(Frame5, "txtStart", {kFieldLeft, 92, kStartField, kRowHeight});
    label(Frame5, QStringLiteral("End:"), {252, 92, 50, kRowHeight});
    TxtEnd = field(Frame5, "TxtEnd", {306, 92, kEndField, kRowHeight});
    Check1 = named(new QCheckBox(QStringLiteral("Sub Task"), Frame5), "Check1");
    Check1->setGeometry(kFieldLeft, 120, 90, 24);
    // A button fills with the button colour; the box takes the frame's.
    Check1->setBackgroundRole(QPalette::Window);
    PushButton3 = button(Frame5, "PushButton3", QStringLiteral("Add"), {206, 119, 100, kButtonHeight});
    PushButton4 = button(Frame5, "PushButton4", QStringLiteral("Delete Selected"), {312, 119, 120, kButtonHeight});
    ListView2 = listView(Frame5, "ListView2",
                         {{QStringLiteral("Task"), 193},
                          {QStringLiteral("% Compl."), 96},
                          {QStringLiteral("Start"), 96},
                          {QStringLiteral("End"), 96},
                          {QStringLiteral("Category"), 96},
                          {QStringLiteral("Sub Task"), 96}},
                         {12, 152, kListWidth, 148});
}

void Form1::buildEventsTab()
{
    Frame1 = frame(TabControl1, "Frame1", QStringLiteral("Special Events"));
    label(Frame1, QStringLiteral("Event:"), {4, 20, 104, kRowHeight});
    TxtEvent = field(Frame1, "TxtEvent", {kFieldLeft, 20, kWideField, kRowHeight});
    label(Frame1, QStringLiteral("Start:"), {4, 48, 104, kRowHeight});
    txtEvStart = field(Frame1, "txtEvStart", {kFieldLeft, 48, kStartField, kRowHeight});
    label(Frame1, QStringLiteral("End:"), {252, 48, 50, kRowHeight});
    txtEvEnd = field(Frame1, "txtEvEnd", {306, 48, kEndField, kRowHeight});
    PushButton5 = button(Frame1, "PushButton5", QStringLiteral("Add"), {kFieldLeft, 78, 100, kButtonHeight});
    PushButton7 = button(Frame1, "PushButton7", QStringLiteral("Delete Selected"), {218, 78, 120, kButtonHeight});
    ListView3 = listView(Frame1, "ListView3",
                         {{QStringLiteral("Task"), 193}, {QStringLiteral("Start"), 96}, {QStringLiteral("End"), 96}},
                         {12, 112, kListWidth, 188});
}

void Form1::letControlsGrow()
{
    auto *layout = new GrowingLayout(*this, kDesignedSize);
    const GrowthShare across{0, 0, 1, 0};
    const GrowthShare both{0, 0, 1, 1};
    layout->add(*PushButton6, across);
    // "Scale" stays at the right end of "Create Template!".
    const GrowthShare right{1, 0, 0, 0};
    layout->add(*findChild<QWidget *>(QStringLiteral("lblScale")), right);
    layout->add(*cboScale, right);
    layout->add(*PushButton8, {0, 0, 0.5, 0});
    layout->add(*PushButton9, {0.5, 0, 0.5, 0});
    for (QWidget *grows : std::initializer_list<QWidget *>{TabControl1, Frame1, Frame2, Frame5})
        layout->add(*grows, both);
    for (QWidget *field : std::initializer_list<QWidget *>{txtCat, txtTask, Combo1, TxtEvent})
        layout->add(*field, across);
    for (const char *note : {"lblNote", "lblTaskNote", "lblEventNote"})
        layout->add(*findChild<QWidget *>(QLatin1String(note)), across);
    for (QTreeWidget *list : {ListView1, ListView2, ListView3}) {
        layout->add(*list, both);
        layout->addColumns(*list);
    }
}

// Row by row on each tab, then the buttons above the tabs; the tab control
// takes the focus in its tab bar.
void Form1::setFocusOrder()
{
    const QList<QWidget *> order{txtCat,     PushButton1, PushButton2, ListView1,  txtTask,     txtProc,
                                 Combo1,     txtStart,    TxtEnd,      Check1,     PushButton3, PushButton4,
                                 ListView2,  TxtEvent,    txtEvStart,  txtEvEnd,   PushButton5, PushButton7,
                                 ListView3,  PushButton6, cboScale,    TabControl1->findChild<QTabBar *>(),
                                 PushButton8, PushButton9};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
}

// The designed look: window, frames and the "Sub Task" box are white until
// a skin gives them the button-face colour.
void Form1::paintDesignedWhite()
{
    for (QWidget *widget : {static_cast<QWidget *>(this), static_cast<QWidget *>(Frame1),
                            static_cast<QWidget *>(Frame2), static_cast<QWidget *>(Frame5),
                            static_cast<QWidget *>(Check1)}) {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Window, Qt::white);
        widget->setPalette(palette);
        widget->setAutoFillBackground(true);
    }
}

void Form1::watchHover()
{
    for (QPushButton *each : {PushButton1, PushButton2, PushButton3, PushButton4, PushButton5, PushButton6,
                              PushButton7, PushButton8, PushButton9})
        mHover->watchButton(*each);
    mHover->watchSurface(*this);
    for (QWidget *surface : std::initializer_list<QWidget *>{Frame1, Frame2, Frame5, ListView1, ListView2, ListView3})
        mHover->watchSurface(*surface);
}

} // namespace orv
