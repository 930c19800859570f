#include "chart/SpreadsheetApplication.h"

#include "chart/ObjectVariable.h"
#include "chart/PictureFileWriting.h"
#include "files/Failure.h"
#include "files/FileAccess.h"
#include "sheet/RowOperations.h"
#include "sheet/TypedInput.h"
#include "sheet/formula/Recalculation.h"
#include "sheet/model/Workbook.h"
#include "sheet/formula/Evaluator.h"
#include "sheet/render/FormulaRules.h"
#include "sheet/render/RangePicture.h"
#include "sheet/render/SheetPicture.h"
#include "sheet/xls/XlsFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace orv::chart {

namespace {

[[noreturn]] void subscriptOutOfRange() { throw Failure(QStringLiteral("Subscript out of range")); }
[[noreturn]] void objectDefinedError() { throw Failure(QStringLiteral("Application-defined or object-defined error")); }

void checkRow(int row)
{
    if (row < 1 || row > sheet::kMaxRows)
        objectDefinedError();
}

void checkColumn(int column)
{
    if (column < 1 || column > sheet::kMaxColumns)
        objectDefinedError();
}

} // namespace

// A workbook open in the instance.
struct Application::OpenBook {
    int handle = 0;
    std::shared_ptr<sheet::Workbook> book;
    QString path;
    bool readOnly = false;
};

struct Application::CopyBuffer {
    int workbook = 0;
    sheet::CopiedRows rows;
};

// ---- CopiedPicture -----------------------------------------------------------

// The picture goes to a file beside the path and is renamed over it, so a
// link at the path is never written through; a link found there is refused.
// A failed save leaves no picture file, so that an older one cannot stand in.
HandedPicture CopiedPicture::save(const QString &path) const
{
    if (QFileInfo(path).isSymLink())
        throw Failure(QStringLiteral("Could not write the picture %1: it is a symbolic link, which is not followed")
                          .arg(path));
    if (mShown)
        return {path, mShown, PictureFileWriting::start(mShown, path)};
    try {
        files::replaceFile(mEncoded, path, files::Durability::Scratch);
    } catch (const Failure &) {
        QFile::remove(path);
        throw;
    }
    return {path, {}, {}};
}

// ---- Range ------------------------------------------------------------------

Range::Range(Application &app, int workbook, int sheet, sheet::CellRange cells, bool wholeRows)
    : Range(app, workbook, sheet, cells, wholeRows, Part::All)
{
}

Range::Range(Application &app, int workbook, int sheet, sheet::CellRange cells, bool wholeRows, Part part)
    : mApp(&app), mWorkbook(workbook), mSheet(sheet), mCells(cells), mWholeRows(wholeRows), mPart(part)
{
}

void Range::setValue(const CellInput &value) { mApp->setCellValue(*this, value); }
void Range::Select() { mApp->select(*this); }
void Range::Copy() { mApp->copy(*this); }
void Range::Insert(int Shift) { mApp->insert(*this, Shift); }
void Range::CopyPicture() { mApp->copyPicture(*this); }

Range Range::Rows() const { return {*mApp, mWorkbook, mSheet, mCells, mWholeRows, Part::Rows}; }
Range Range::Columns() const { return {*mApp, mWorkbook, mSheet, mCells, mWholeRows, Part::Columns}; }

int Range::count() const
{
    mApp->call("count");
    switch (mPart) {
    case Part::Rows:
        return mCells.rowCount();
    case Part::Columns:
        return mCells.columnCount();
    case Part::All:
        break;
    }
    return mCells.rowCount() * mCells.columnCount();
}

Range Range::Item(int number) const
{
    mApp->call("Item");
    if (number < 1 || number > count())
        subscriptOutOfRange();
    sheet::CellRange one = mCells;
    switch (mPart) {
    case Part::Rows:
        one.firstRow = one.lastRow = mCells.firstRow + number - 1;
        return {*mApp, mWorkbook, mSheet, one, mWholeRows};
    case Part::Columns:
        one.firstColumn = one.lastColumn = mCells.firstColumn + number - 1;
        return {*mApp, mWorkbook, mSheet, one, false};
    case Part::All:
        break;
    }
    const int row = (number - 1) / mCells.columnCount();
    const int column = (number - 1) % mCells.columnCount();
    return {*mApp, mWorkbook, mSheet, sheet::CellRange::single({mCells.firstRow + row, mCells.firstColumn + column}),
            false};
}

int Range::Row() const
{
    mApp->call("Row");
    return mCells.firstRow + 1;
}

int Range::Column() const
{
    mApp->call("Column");
    return mCells.firstColumn + 1;
}

// ---- Worksheet, Worksheets, Workbook, Workbooks -----------------------------

void Worksheet::Select()
{
    mApp->call("Select");
    mApp->selectSheet(mWorkbook, mSheet);
}

void Worksheet::Activate()
{
    mApp->call("Activate");
    mApp->selectSheet(mWorkbook, mSheet);
}

Range Worksheet::UsedRange() const
{
    mApp->call("UsedRange");
    return mApp->usedRange(mWorkbook, mSheet);
}

QString Worksheet::Name() const
{
    mApp->call("Name");
    return mApp->book(mWorkbook).sheet(mSheet).name();
}

Worksheet Worksheets::Item(int number) const
{
    mApp->call("Item");
    if (number < 1 || number > count())
        subscriptOutOfRange();
    return {*mApp, mWorkbook, number - 1};
}

int Worksheets::count() const
{
    mApp->call("count");
    return mApp->book(mWorkbook).sheetCount();
}

Worksheet Workbook::ActiveSheet() const
{
    mApp->call("ActiveSheet");
    return {*mApp, mHandle, mApp->book(mHandle).activeSheet()};
}

void Workbook::SaveAs(const QString &path, int FileFormat)
{
    mApp->call("SaveAs");
    mApp->saveWorkbook(mHandle, path, FileFormat);
}

void Workbook::Close()
{
    mApp->call("Close");
    mApp->closeWorkbook(mHandle);
}

Workbook Workbooks::Open(const QString &path, std::optional<int> /*updateLinks*/, std::optional<bool> readOnly)
{
    mApp->call("Open");
    return {*mApp, mApp->openWorkbook(path, readOnly.value_or(false))};
}

int Workbooks::count() const
{
    mApp->call("count");
    return static_cast<int>(mApp->mBooks.size());
}

Workbook Workbooks::Item(int number) const
{
    mApp->call("Item");
    if (number < 1 || number > count())
        subscriptOutOfRange();
    return {*mApp, mApp->mBooks[number - 1]->handle};
}

// ---- Application ------------------------------------------------------------

Application::Application(const Clock *clock, QLocale locale) : mClock(clock), mLocale(std::move(locale)) {}

Application::~Application() = default;

void Application::call(const char *member) const
{
    if (mQuit)
        throw Failure(QStringLiteral("The spreadsheet application has quit; %1 cannot be used any more")
                          .arg(QLatin1String(member)));
    if (mCallHook)
        mCallHook(member);
}

QString Application::Version() const
{
    call("Version");
    return QStringLiteral("16.0");
}

void Application::Quit()
{
    call("Quit");
    mBooks.clear();
    mCopyBuffer.reset();
    mSelection.reset();
    mQuit = true;
}

void Application::setDisplayAlerts(bool on)
{
    call("DisplayAlerts");
    mDisplayAlerts = on;
}

void Application::setVisible(bool on)
{
    call("Visible");
    mVisible = on;
}

void Application::setCutCopyMode(bool on)
{
    call("CutCopyMode");
    if (!on)
        mCopyBuffer.reset();
}

Workbook Application::ActiveWorkbook()
{
    call("ActiveWorkbook");
    return {*this, activeBookHandle()};
}

Range Application::Cells(int row, int column)
{
    call("Cells");
    checkRow(row);
    checkColumn(column);
    return activeSheetRange(sheet::CellRange::single({row - 1, column - 1}), false);
}

Range Application::Rows(int row)
{
    call("Rows");
    checkRow(row);
    return activeSheetRange({row - 1, 0, row - 1, sheet::kMaxColumns - 1}, true);
}

Range Application::Rows(const QString &rows)
{
    call("Rows");
    static const QRegularExpression pattern(QStringLiteral("^\\s*(\\d+)\\s*(?::\\s*(\\d+)\\s*)?$"));
    const QRegularExpressionMatch match = pattern.match(rows);
    if (!match.hasMatch())
        throw Failure(QStringLiteral("Type mismatch"));
    int first = match.captured(1).toInt();
    int last = match.captured(2).isEmpty() ? first : match.captured(2).toInt();
    checkRow(first);
    checkRow(last);
    if (first > last)
        std::swap(first, last);
    return activeSheetRange({first - 1, 0, last - 1, sheet::kMaxColumns - 1}, true);
}

Range Application::Selection()
{
    call("Selection");
    if (!mSelection)
        objectVariableNotSet();
    return *mSelection;
}

std::optional<CopiedPicture> Application::clipboardPicture() const
{
    call("GetClipboardPicture");
    return mPicture;
}

sheet::Workbook &Application::book(int handle) { return *openBook(handle).book; }

std::shared_ptr<const sheet::Workbook> Application::sharedBook(int handle) { return openBook(handle).book; }

Application::OpenBook &Application::openBook(int handle)
{
    for (const auto &open : mBooks)
        if (open->handle == handle)
            return *open;
    throw Failure(QStringLiteral("The workbook has been closed"));
}

int Application::activeBookHandle() const
{
    if (mBooks.empty())
        objectVariableNotSet();
    return mActiveBook;
}

Range Application::activeSheetRange(sheet::CellRange cells, bool wholeRows)
{
    const int handle = activeBookHandle();
    return {*this, handle, book(handle).activeSheet(), cells, wholeRows};
}

const Clock &Application::clock() const
{
    static const SystemClock system;
    return mClock ? *mClock : system;
}

int Application::openWorkbook(const QString &path, bool readOnly)
{
    auto open = std::make_unique<OpenBook>();
    open->handle = mNextHandle++;
    open->book = std::make_shared<sheet::Workbook>(sheet::xls::openWorkbook(path, files::Links::Refuse));
    open->path = QFileInfo(path).absoluteFilePath();
    open->readOnly = readOnly;
    sheet::recalculate(*open->book, clock());
    mBooks.push_back(std::move(open));
    mActiveBook = mBooks.back()->handle;
    mSelection.reset();
    return mActiveBook;
}

// Saving an opened template writes a plain workbook, which from then on
// bears the new name.
void Application::saveWorkbook(int handle, const QString &path, int fileFormat)
{
    OpenBook &open = openBook(handle);
    sheet::recalculate(*open.book, clock());
    sheet::xls::saveWorkbookAs(*open.book, path, fileFormat);
    open.book->setTemplate(false);
    open.path = QFileInfo(path).absoluteFilePath();
    open.readOnly = false;
}

void Application::closeWorkbook(int handle)
{
    openBook(handle);
    std::erase_if(mBooks, [handle](const auto &open) { return open->handle == handle; });
    if (mActiveBook == handle)
        mActiveBook = mBooks.empty() ? 0 : mBooks.back()->handle;
    if (mCopyBuffer && mCopyBuffer->workbook == handle)
        mCopyBuffer.reset();
    if (mSelection && mSelection->workbook() == handle)
        mSelection.reset();
}

// Selecting a sheet makes it the active sheet and its workbook the active one.
void Application::selectSheet(int handle, int sheetIndex)
{
    sheet::Workbook &workbook = book(handle);
    if (workbook.sheet(sheetIndex).visibility() != sheet::SheetVisibility::Visible)
        throw Failure(QStringLiteral("The sheet \"%1\" is hidden and cannot be selected")
                          .arg(workbook.sheet(sheetIndex).name()));
    workbook.setActiveSheet(sheetIndex);
    mActiveBook = handle;
    mSelection.reset();
}

void Application::setCellValue(const Range &range, const CellInput &value)
{
    call("Value");
    sheet::Workbook &workbook = book(range.workbook());
    sheet::Sheet &target = workbook.sheet(range.sheet());
    const sheet::CellRange &cells = range.cells();
    for (int row = cells.firstRow; row <= cells.lastRow; ++row)
        for (int column = cells.firstColumn; column <= cells.lastColumn; ++column) {
            if (const QString *text = std::get_if<QString>(&value))
                sheet::enterText(workbook, target, {row, column}, *text, mLocale);
            else if (const LiteralText *literal = std::get_if<LiteralText>(&value))
                sheet::enterValue(target, {row, column},
                                  literal->text.isEmpty() ? sheet::Value() : sheet::Value(literal->text));
            else
                sheet::enterValue(target, {row, column}, std::get<double>(value));
        }
}

void Application::select(const Range &range)
{
    call("Select");
    sheet::Sheet &target = book(range.workbook()).sheet(range.sheet());
    target.view().activeCell = range.cells().topLeft();
    target.view().selection = {range.cells()};
    mSelection = range;
}

void Application::copy(const Range &range)
{
    call("Copy");
    if (!range.wholeRows())
        throw Failure(QStringLiteral("Only whole rows can be copied"));
    const sheet::CellRange &cells = range.cells();
    mCopyBuffer = std::make_unique<CopyBuffer>(
        CopyBuffer{range.workbook(), sheet::copyRows(book(range.workbook()).sheet(range.sheet()), cells.firstRow,
                                                     cells.lastRow)});
    // The copied rows are no place to insert them: when selecting the
    // target fails, Insert fails too rather than pasting over the source.
    mSelection.reset();
}

void Application::insert(const Range &range, int shift)
{
    call("Insert");
    if (shift != xlShiftDown)
        throw Failure(QStringLiteral("Rows can only be inserted by moving the cells below down (Shift -4121)"));
    if (!range.wholeRows())
        throw Failure(QStringLiteral("Only whole rows can be inserted"));
    sheet::Workbook &workbook = book(range.workbook());
    sheet::Sheet &target = workbook.sheet(range.sheet());
    if (mCopyBuffer)
        sheet::insertCopiedRows(workbook, target, range.cells().firstRow, mCopyBuffer->rows);
    else
        sheet::insertRows(workbook, target, range.cells().firstRow, range.cells().rowCount());
}

void Application::copyPicture(const Range &range)
{
    call("CopyPicture");
    sheet::Workbook &workbook = book(range.workbook());
    sheet::recalculate(workbook, clock());
    mPicture.reset();
    if (mKeepsPicturesForScreen) {
        mPicture = CopiedPicture(
            std::make_shared<sheet::RangePicture>(sharedBook(range.workbook()), range.sheet(), range.cells(), clock()));
        return;
    }
    const sheet::Evaluator evaluator(workbook, clock());
    sheet::RenderOptions options;
    options.ruleHolds = sheet::formulaRules(evaluator);
    mPicture = CopiedPicture(sheet::encodePicture(workbook, range.sheet(), range.cells(), options));
}

Range Application::usedRange(int handle, int sheetIndex)
{
    const std::optional<sheet::CellRange> used = book(handle).sheet(sheetIndex).usedRange();
    return {*this, handle, sheetIndex, used.value_or(sheet::CellRange{}), false};
}

} // namespace orv::chart
