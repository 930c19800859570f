#pragma once

#include "chart/HandedPicture.h"
#include "sheet/model/CellAddress.h"

#include <QByteArray>
#include <QImage>
#include <QLocale>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

namespace orv {
class Clock;
namespace sheet { class Workbook; }
}

namespace orv::chart {

// The numbers the object model gives its constants.
inline constexpr int xlExcel8 = 56;            // SaveAs: the 97-2003 workbook, versions 12 and later
inline constexpr int xlWorkbookNormal = -4143; // SaveAs: the default workbook format before version 12
inline constexpr int xlShiftDown = -4121;      // Insert: move the cells below down

class Application;

// What CopyPicture leaves in the instance's copy buffer: the picture of a
// range as the screen shows it, kept encoded (a chart's picture is a few
// megabytes that way, against hundreds once decoded), or, for a window that
// paints it from the sheet, the sheet's picture, encoded only when saved.
class CopiedPicture {
public:
    explicit CopiedPicture(QByteArray encoded) : mEncoded(std::move(encoded)) {}
    explicit CopiedPicture(std::shared_ptr<sheet::RangePicture> shown) : mShown(std::move(shown)) {}
    // Writes the picture file, replacing any file of that name; gives back
    // the file with the picture for the screen, if any. The file of a
    // picture for the screen is written in the background.
    HandedPicture save(const QString &path) const;

private:
    QByteArray mEncoded;
    std::shared_ptr<sheet::RangePicture> mShown;
};

// Text that a cell takes exactly as it stands, never read as a number, a
// date or a truth value ("007", "1e5" and "TRUE" stay text).
struct LiteralText {
    QString text;
};

// What Cells(r, c).Value takes: a text, read as typed input, a number, or a
// literal text.
using CellInput = std::variant<QString, double, LiteralText>;

// A block of cells of one sheet, as Cells(), Rows(), UsedRange and
// Selection designate it. Row and column numbers are 1-based.
class Range {
public:
    Range(Application &app, int workbook, int sheet, sheet::CellRange cells, bool wholeRows);

    void setValue(const CellInput &value);
    void Select();
    // Copies whole rows into the copy buffer; the selection is gone then, so
    // that an Insert needs a new Select of its target.
    void Copy();
    void Insert(int Shift);
    void CopyPicture();

    Range Rows() const;
    Range Columns() const;
    int count() const;
    Range Item(int number) const;
    int Row() const;
    int Column() const;

    int workbook() const { return mWorkbook; }
    int sheet() const { return mSheet; }
    const sheet::CellRange &cells() const { return mCells; }
    bool wholeRows() const { return mWholeRows; }

private:
    enum class Part { All, Rows, Columns };
    Range(Application &app, int workbook, int sheet, sheet::CellRange cells, bool wholeRows, Part part);

    Application *mApp;
    int mWorkbook;
    int mSheet;
    sheet::CellRange mCells;
    bool mWholeRows;
    Part mPart = Part::All;
};

class Worksheet {
public:
    Worksheet(Application &app, int workbook, int sheet) : mApp(&app), mWorkbook(workbook), mSheet(sheet) {}
    void Select();
    void Activate();
    Range UsedRange() const;
    QString Name() const;

private:
    Application *mApp;
    int mWorkbook;
    int mSheet;
};

class Worksheets {
public:
    Worksheets(Application &app, int workbook) : mApp(&app), mWorkbook(workbook) {}
    Worksheet Item(int number) const;
    int count() const;

private:
    Application *mApp;
    int mWorkbook;
};

class Workbook {
public:
    Workbook(Application &app, int handle) : mApp(&app), mHandle(handle) {}
    chart::Worksheets Worksheets() const { return {*mApp, mHandle}; }
    Worksheet ActiveSheet() const;
    void SaveAs(const QString &path, int FileFormat);
    void Close();
    int handle() const { return mHandle; }
    Application &application() const { return *mApp; }

private:
    Application *mApp;
    int mHandle;
};

class Workbooks {
public:
    explicit Workbooks(Application &app) : mApp(&app) {}
    // Open(path) opens for writing; Open(path, {}, true) read-only.
    Workbook Open(const QString &path, std::optional<int> updateLinks = std::nullopt,
                  std::optional<bool> readOnly = std::nullopt);
    int count() const;
    Workbook Item(int number) const;

private:
    Application *mApp;
};

// One instance of the spreadsheet application: its open workbooks, the
// active sheet, the selection and the copy buffer. Nothing is shown on screen.
// The object model is kept so that the chart builder reads as its steps:
//
//     app.Workbooks().Open(path, {}, true);
//     app.Rows("10:13").Select();
//     app.Selection().Copy();
class Application {
public:
    // `clock` feeds TODAY() and NOW(); `locale` decides how typed text is read.
    explicit Application(const Clock *clock = nullptr, QLocale locale = QLocale());
    virtual ~Application();

    QString Version() const;
    void Quit();
    void setDisplayAlerts(bool on);
    void setVisible(bool on);
    void setCutCopyMode(bool on);
    bool displayAlerts() const { return mDisplayAlerts; }
    // How the instance reads typed text, dates among them.
    const QLocale &locale() const { return mLocale; }

    chart::Workbooks Workbooks() { return chart::Workbooks(*this); }
    Workbook ActiveWorkbook();
    Range Cells(int row, int column);
    Range Rows(int row);
    Range Rows(const QString &rows);
    Range Selection();

    // The picture that CopyPicture left in the instance's own copy buffer.
    std::optional<CopiedPicture> clipboardPicture() const;
    // Whether CopyPicture keeps the sheet's picture for a window that paints
    // it from the sheet, instead of encoding it at once (off at first: it
    // holds on to the workbook).
    void keepPicturesForScreen(bool keep) { mKeepsPicturesForScreen = keep; }

    // Tests make a chosen call fail: the hook sees every call's member name
    // before it runs and may throw.
    void setCallHook(std::function<void(const char *member)> hook) { mCallHook = std::move(hook); }

    // Engine access for the workbook behind a handle.
    sheet::Workbook &book(int handle);
    std::shared_ptr<const sheet::Workbook> sharedBook(int handle);

private:
    friend class Range;
    friend class Worksheet;
    friend class Worksheets;
    friend class chart::Workbook;
    friend class chart::Workbooks;

    struct OpenBook;

    void call(const char *member) const;
    OpenBook &openBook(int handle);
    int activeBookHandle() const;
    const Clock &clock() const;
    Range activeSheetRange(sheet::CellRange cells, bool wholeRows);

    // The members the proxies forward to.
    int openWorkbook(const QString &path, bool readOnly);
    void saveWorkbook(int handle, const QString &path, int fileFormat);
    void closeWorkbook(int handle);
    void selectSheet(int handle, int sheet);
    void setCellValue(const Range &range, const CellInput &value);
    void select(const Range &range);
    void copy(const Range &range);
    void insert(const Range &range, int shift);
    void copyPicture(const Range &range);
    Range usedRange(int handle, int sheet);

    const Clock *mClock;
    QLocale mLocale;
    std::vector<std::unique_ptr<OpenBook>> mBooks; // in opening order
    int mNextHandle = 1;
    int mActiveBook = 0;
    bool mDisplayAlerts = true;
    bool mVisible = false;
    bool mQuit = false;
    bool mKeepsPicturesForScreen = false;
    std::optional<Range> mSelection;
    std::optional<CopiedPicture> mPicture;
    std::function<void(const char *)> mCallHook;
    struct CopyBuffer;
    std::unique_ptr<CopyBuffer> mCopyBuffer;
};

// Creates spreadsheet application instances; creation may throw a Failure.
class ApplicationFactory {
public:
    virtual ~ApplicationFactory() = default;
    virtual std::unique_ptr<Application> create() = 0;
};

} // namespace orv::chart
