// "Save Results To Excel File": a byte copy of the chart workbook at a path
// the user picks, or the same workbook as an .xlsx file.
#include "app/AppTitle.h"
#include "app/FileExists.h"
#include "app/MessageBoxes.h"
#include "app/ReportingOperation.h"
#include "chart/XlsxExport.h"
#include "preview/Form2.h"
#include "preview/WorkbookCopy.h"

namespace orv::preview {

namespace {

const QString kSaveTitle = QStringLiteral("Save File");
const QString kSaveFilter = QStringLiteral("Excel Files (*.xls)|*.xls|Excel Workbook (*.xlsx)|*.xlsx|");
constexpr int kXlsxFilter = 1;

// Message boxes without a caption of their own carry the application title.
QString applicationTitle() { return appTitle(); }

} // namespace

// An existing file is replaced only once the copy is complete, and a failed
// copy ends with its error report rather than "Done.". A name ending in
// .xlsx, or the .xlsx filter, saves the workbook in that format; the name is
// used as typed either way.
void Form2::PushButton6_Click()
{
    ReportingOperation op(*mServices.messages, QStringLiteral("in Orvantis2021/08/31.Form2.PushButton6_Click "));
    MessageBoxes &messages = *mServices.messages;
    QString name;
    bool cancelled = false;
    bool exists = false;
    MessageAnswer answer = MessageAnswer::No;
    int filter = 0;
    op(112, [&] { name = mServices.saveDialog->askSavePath(kSaveTitle, kSaveFilter, &filter); });
    op(116, [&] { cancelled = name.isEmpty(); });
    if (!cancelled) {
        op(118, [&] { exists = FileExists(name); });
        if (!exists) {
            op(126, [&] { answer = MessageAnswer::Yes; });
        } else {
            op(120, [&] {
                answer = messages.show(QStringLiteral("Are you sure you wish to overwrite ") + name + QStringLiteral(" ?"),
                                       applicationTitle(), MessageButtons::YesNo, MessageIcon::None);
            });
        }
    }
    bool copied = true;
    if (answer == MessageAnswer::Yes)
        copied = op(130, [&] {
            if (filter == kXlsxFilter || chart::isXlsxPath(name))
                chart::saveChartWorkbookAsXlsx(mExcelFile, name);
            else
                copyFileReplacing(mExcelFile, name);
        });
    if (copied && answer == MessageAnswer::Yes)
        mSavedAs = name;
    if (copied)
        op(132, [&] { messages.show(QStringLiteral("Done."), applicationTitle(), MessageButtons::Ok, MessageIcon::None); });
}

} // namespace orv::preview
