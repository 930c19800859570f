#include "chart/ChartBuilder.h"

#include "app/Conversions.h"
#include "app/FileOperations.h"
#include "app/ReportingOperation.h"
#include "app/TempFolderLock.h"
#include "chart/BuilderWindow.h"
#include "chart/ChartPreview.h"
#include "chart/Excel1.h"
#include "chart/ObjectVariable.h"
#include "chart/OutsideCalendar.h"
#include "chart/PercentText.h"
#include "chart/PictureFileWriting.h"
#include "chart/PlanDates.h"
#include "chart/ProjectSource.h"
#include "chart/SpreadsheetApplication.h"
#include "chart/template/ChartLayout.h"
#include "chart/template/ChartTemplate.h"
#include "files/Failure.h"
#include "sheet/DateSerial.h"
#include "sheet/xls/XlsWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <utility>

namespace orv::chart {

namespace {

using namespace layout;

const QString kLocation = QStringLiteral("in Orvantis2021/08/31.Form1.PushButton6_Click ");

using List = ProjectSource::List;

// The most characters a cell holds.
constexpr qsizetype kMaxCellText = 32767;

// "The name of task", "The end of special event"...
QString fieldName(List list, int column)
{
    const QString item = list == List::Categories ? QStringLiteral("category")
                         : list == List::Tasks    ? QStringLiteral("task")
                                                  : QStringLiteral("special event");
    const int startColumn = list == List::Tasks ? 3 : 2;
    const QString field = column == 1             ? QStringLiteral("name")
                          : column == startColumn ? QStringLiteral("start")
                                                  : QStringLiteral("end");
    return QStringLiteral("The %1 of %2").arg(field, item);
}

} // namespace

// One run of the builder: the numbered steps and the state they share.
class BuildRun {
public:
    BuildRun(ChartBuilder &builder)
        : mBuilder(builder), mParts(builder.mParts),
          mOp(*mParts.services.messages, kLocation)
    {
    }

    void run();

private:
    Application &xl() const { return need(mXl); }
    QString tempPath(const QString &name) const
    {
        return QDir(mParts.services.folders->tempFolder()).filePath(name);
    }
    QString item(List list, int position, int column) const
    {
        return mParts.project.itemText(list, position, column);
    }
    // An item's text for a cell; a text longer than a cell holds is refused
    // rather than cut or wrapped.
    QString cellText(List list, int position, int column) const
    {
        QString text = item(list, position, column);
        if (text.size() > kMaxCellText)
            throw Failure(QStringLiteral("%1 %2 has %3 characters, more than the %4 a cell holds")
                              .arg(fieldName(list, column))
                              .arg(position)
                              .arg(text.size())
                              .arg(kMaxCellText));
        return text;
    }

    // A name (first column of every list) goes in as the user typed it.
    LiteralText nameText(List list, int position) const { return {cellText(list, position, 1)}; }
    int count(List list) const { return checkedInt16(mParts.project.itemCount(list)); }

    void waitForTheTemporaryFolder();
    CalendarScale scale() const { return mParts.scale ? mParts.scale() : CalendarScale::Days; }
    QByteArray templateForScale(const PlanDates &dates) const;
    QString outsideWord(const PlanDates &dates) const;
    void openTemplate();
    void placeSpecialEvents();
    void placeCategoryBlocks();
    void placeTasks();
    void placeTask(int c, int t, int r, int m, int &n, int &k);
    void nameWorkbook();
    void saveAndExport();
    void handOver();

    ChartBuilder &mBuilder;
    ChartBuilder::Parts &mParts;
    ReportingOperation mOp;
    std::unique_ptr<Application> mXl;
    QByteArray mTemplateBytes;
    CalendarScale mScale = CalendarScale::Days;
    // How the instance reads the plan's dates; the calendar is reckoned the same way.
    QLocale mLocale;
    QString mOutsideWord;
    QString mPath;
    std::unique_ptr<Application> mSecond;
    std::optional<Workbook> mSecondBook;
    std::shared_ptr<const sheet::Workbook> mChartBook;
    HandedPicture mPicture;
    ReservedFile mReservation;
    std::optional<TempFolderLock> mLock;
};

void BuildRun::run()
{
    bool alreadyRunning = false;
    mOp(100, [&] { alreadyRunning = mBuilder.mBusy; });
    if (alreadyRunning)
        return;
    mOp(102, [&] { mBuilder.mBusy = true; });
    mOp(104, [&] { mParts.window.setPointer(PointerSetting::Hourglass); });
    mOp(104, [&] { waitForTheTemporaryFolder(); });
    mOp(106, [&] {
        mXl = mParts.services.spreadsheets->create();
        mLocale = mXl->locale();
    });
    openTemplate();
    placeSpecialEvents();
    placeCategoryBlocks();
    placeTasks();
    mOp(204, [&] { mParts.window.setPointer(PointerSetting::Default); });
    mOp(206, [&] { xl().ActiveWorkbook().Worksheets().Item(1).Select(); });
    mOp(208, [&] { xl().Cells(2, 2).Select(); });
    mOp(210, [&] { xl().setDisplayAlerts(true); });
    mOp(212, [&] { xl().setVisible(false); });
    nameWorkbook();
    saveAndExport();
    handOver();
    mOp(264, [&] {
        if (mPicture.writing)
            mPicture.writing->deleteWhenWritten();
        else
            DeleteFileIfExists(tempPath(QStringLiteral("temp.bmp")));
    });
    mOp(266, [&] { DeleteFileIfExists(tempPath(QStringLiteral("template.xlt"))); });
    mOp(268, [&] { mBuilder.mBusy = false; });
}

// One build at a time per temporary folder, with the hourglass shown while
// another run holds it; then what dead runs left there goes.
void BuildRun::waitForTheTemporaryFolder()
{
    const QString folder = mParts.services.folders->tempFolder();
    mLock.emplace(folder, [] { QCoreApplication::processEvents(); });
    removeLeftovers(folder);
}

// The day chart's template as the program carries it; a week or month
// calendar from the plan's first date to its last.
QByteArray BuildRun::templateForScale(const PlanDates &dates) const
{
    if (mScale == CalendarScale::Days)
        return mParts.templateBytes();
    const std::optional<DateSpan> span = dates.whole();
    const CalendarShape shape =
        span ? calendarFor(mScale, span->start, span->end) : CalendarShape{mScale, kMinScaledColumns};
    return sheet::xls::writeXlsFile(buildChartTemplate(shape));
}

QString BuildRun::outsideWord(const PlanDates &dates) const
{
    const int today = static_cast<int>(sheet::serialFromDateTime(mParts.services.clock->now()));
    return outsideCalendarWord(outsideCalendar(dates, mScale, today), mScale, mLocale);
}

void BuildRun::openTemplate()
{
    mOp(108, [&] {
        mScale = scale();
        const PlanDates dates(mParts.project, mLocale);
        mOutsideWord = outsideWord(dates);
        mTemplateBytes = templateForScale(dates);
    });
    mOp(110, [&] { WriteBytesUnlessEqual(mTemplateBytes, tempPath(QStringLiteral("template.xlt"))); });
    mOp(112, [&] { xl().Workbooks().Open(tempPath(QStringLiteral("template.xlt")), std::nullopt, true); });
    mOp(114, [&] { xl().setDisplayAlerts(false); });
    mOp(116, [&] { xl().ActiveWorkbook().Worksheets().Item(1).Select(); });
    mOp(118, [&] { xl().ActiveWorkbook().Worksheets().Item(1).Activate(); });
}

void BuildRun::placeSpecialEvents()
{
    int r = 0;
    int events = 0;
    mOp(120, [&] { r = kFirstEventRow; });
    if (!mOp(122, [&] { events = count(List::Events); }))
        return;
    for (int e = 1; e <= events; ++e) {
        bool placed = false;
        mOp(124, [&] { placed = e <= kEventSlots; });
        if (placed) {
            const auto row = [&] { return checkedInt16(r + e - 1); };
            mOp(126, [&] { xl().Cells(row(), kTaskColumn).setValue(nameText(List::Events, e)); });
            mOp(128, [&] { xl().Cells(row(), kStartColumn).setValue(cellText(List::Events, e, 2)); });
            mOp(130, [&] { xl().Cells(row(), kEndColumn).setValue(cellText(List::Events, e, 3)); });
        }
        mOp(132, [&] { checkedInt16(e + 1); });
    }
}

void BuildRun::placeCategoryBlocks()
{
    int r = 0;
    int categories = 0;
    mOp(134, [&] { r = kBlockRow + kBlockRows; });
    if (!mOp(136, [&] { categories = count(List::Categories); }))
        return;
    for (int c = 1; c <= categories; ++c) {
        bool copyBlock = false;
        mOp(138, [&] { copyBlock = c > 1; });
        if (copyBlock) {
            mOp(140, [&] { xl().Rows(blockRowsText()).Select(); });
            mOp(142, [&] { xl().Selection().Copy(); });
            mOp(144, [&] { xl().Rows(checkedInt16(r + (c - 2) * kBlockRows)).Select(); });
            mOp(146, [&] { xl().Selection().Insert(xlShiftDown); });
            mOp(148, [&] { xl().setCutCopyMode(false); });
        }
        mOp(150, [&] { xl().Cells(checkedInt16(r - kBlockRows + (c - 1) * kBlockRows), kDeliverableColumn)
                .setValue(nameText(List::Categories, c)); });
        mOp(152, [&] { checkedInt16(c + 1); });
    }
}

void BuildRun::placeTasks()
{
    int r = 0;
    int k = 0;
    int categories = 0;
    mOp(154, [&] { r = kFirstTaskRow; });
    mOp(156, [&] { k = 0; });
    if (!mOp(158, [&] { categories = count(List::Categories); }))
        return;
    for (int c = 1; c <= categories; ++c) {
        int n = 0;
        int m = 0;
        int tasks = 0;
        mOp(160, [&] { n = 0; });
        mOp(162, [&] { m = k; });
        if (mOp(164, [&] { tasks = count(List::Tasks); })) {
            for (int t = 1; t <= tasks; ++t) {
                bool belongs = false;
                mOp(166, [&] { belongs = item(List::Categories, c, 1) == item(List::Tasks, t, 5); });
                if (belongs) {
                    placeTask(c, t, r, m, n, k);
                    mOp(196, [&] { n = checkedInt16(n + 1); });
                    mOp(198, [&] { m = checkedInt16(m + 1); });
                }
                mOp(200, [&] { checkedInt16(t + 1); });
            }
        }
        mOp(202, [&] { checkedInt16(c + 1); });
    }
}

// Writes task t into its row of category c: a further task of the category
// first gets a copy of the previous task's row inserted for it.
void BuildRun::placeTask(int c, int t, int r, int m, int &n, int &k)
{
    const auto taskRow = [&] { return checkedInt16(r + (c - 1) * kBlockRows + m); };
    bool further = false;
    mOp(168, [&] { further = n > 0; });
    if (further) {
        mOp(170, [&] { xl().Rows(checkedInt16(taskRow() - 1)).Select(); });
        mOp(172, [&] { xl().Selection().Copy(); });
        mOp(174, [&] { xl().Rows(taskRow()).Select(); });
        mOp(176, [&] { xl().Selection().Insert(xlShiftDown); });
        mOp(178, [&] { xl().setCutCopyMode(false); });
        mOp(180, [&] { k = checkedInt16(k + 1); });
    }
    bool subTask = false;
    mOp(182, [&] { subTask = item(List::Tasks, t, 6) == QStringLiteral("V"); });
    if (subTask) {
        mOp(184, [&] { xl().Cells(taskRow(), kTaskColumn).setValue(QString()); });
        mOp(186, [&] { xl().Cells(taskRow(), kSubTaskColumn).setValue(nameText(List::Tasks, t)); });
    } else {
        mOp(188, [&] {
            xl().Cells(taskRow(), kTaskColumn).setValue(nameText(List::Tasks, t));
            xl().Cells(taskRow(), kSubTaskColumn).setValue(QString());
        });
    }
    mOp(190, [&] { xl().Cells(taskRow(), kStartColumn).setValue(cellText(List::Tasks, t, 3)); });
    mOp(192, [&] { xl().Cells(taskRow(), kEndColumn).setValue(cellText(List::Tasks, t, 4)); });
    mOp(194, [&] { xl().Cells(taskRow(), kPercentColumn).setValue(fractionFromPercentText(item(List::Tasks, t, 2))); });
}

// Draws "kdrave" and eight digits from 1 to 9 until the name is free, and
// reserves it by creating the file exclusively, so that nothing already in
// the temporary folder (a file, or a link planted there) is ever written.
void BuildRun::nameWorkbook()
{
    std::uniform_int_distribution<int> digit(1, 9);
    for (;;) {
        QString name;
        mOp(214, [&] { name = QStringLiteral("kdrave"); });
        mOp(216, [] {});
        for (int i = 0; i < 8; ++i) {
            int d = 0;
            mOp(220, [&] { d = digit(mBuilder.mRandom); });
            mOp(222, [&] { name += QString::number(d); });
            mOp(224, [] {});
        }
        mOp(226, [&] { mPath = tempPath(name + QStringLiteral(".xls")); });
        bool taken = false;
        mOp(228, [&] {
            mReservation = ReservedFile::create(mPath);
            taken = !mReservation.isValid();
        });
        if (!taken)
            return;
    }
}

void BuildRun::saveAndExport()
{
    mOp(230, [&] {
        xl().ActiveWorkbook().SaveAs(mPath, GetSaveFileFormat(mXl.get()));
        mReservation.release();
        markInUse(mPath);
    });
    mOp(232, [&] { xl().setDisplayAlerts(false); });
    mOp(234, [&] { xl().ActiveWorkbook().Close(); });
    mOp(236, [&] { xl().Quit(); });
    mOp(238, [&] { mXl.reset(); });
    mOp(240, [&] { mSecond = OpenExcelWorkbook(*mParts.services.spreadsheets, mPath); });
    mOp(242, [&] { mParts.window.setPointer(PointerSetting::Hourglass); });
    mOp(244, [&] {
        mSecondBook = need(mSecond).Workbooks().Item(need(mSecond).Workbooks().count());
        mChartBook = need(mSecond).sharedBook(mSecondBook->handle());
    });
    mOp(246, [&] {
        mPicture.path = tempPath(QStringLiteral("temp.bmp"));
        if (mParts.preview.wantsPicture()) {
            need(mSecond).keepPicturesForScreen(mParts.preview.paintsFromSheet());
            mPicture = saveCellsActivesheet(*mParts.services.messages, need(mSecondBook), mPicture.path);
        }
    });
    mOp(248, [&] { need(mSecond).setDisplayAlerts(false); });
    mOp(250, [&] { need(mSecondBook).Close(); });
    mOp(252, [&] { need(mSecond).Quit(); });
    mSecondBook.reset();
    mSecond.reset();
    mOp(254, [&] { mParts.window.setPointer(PointerSetting::Default); });
}

void BuildRun::handOver()
{
    mOp(256, [&] {
        if (mParts.preview.wantsPicture())
            mParts.preview.takePicture(std::exchange(mPicture, HandedPicture{mPicture.path, {}, mPicture.writing}));
    });
    mOp(258, [&] {
        mParts.preview.setCalendar(mScale, mOutsideWord);
        mParts.window.noteOutsideCalendar(mOutsideWord);
        mParts.preview.setExcelFile(mPath);
        if (mChartBook)
            mParts.preview.takeWorkbook(std::move(mChartBook));
    });
    mOp(260, [&] { mParts.preview.show(); });
    mOp(262, [&] { mParts.window.hideMainWindow(); });
}

ChartBuilder::ChartBuilder(Parts parts, std::uint32_t seed) : mParts(std::move(parts)), mRandom(seed) {}

void ChartBuilder::PushButton6_Click()
{
    BuildRun(*this).run();
}

} // namespace orv::chart
