#pragma once

#include "chart/HandedPicture.h"

#include <QString>
#include <memory>
#include <optional>

namespace orv {
class MessageBoxes;
}

namespace orv::chart {

class Application;
class ApplicationFactory;
class CopiedPicture;
class Workbook;

// Starts a new instance and opens the workbook at `path` in it, for
// writing. The caller finds the workbook as the instance's last one and
// closes it and quits the instance when done.
std::unique_ptr<Application> OpenExcelWorkbook(ApplicationFactory &factory, const QString &path);

// The SaveAs format number for an instance: 56 for major version 12 and
// later, -4143 before. Without an instance, one is started for the question.
int GetSaveFileFormat(Application *instance, ApplicationFactory *factory = nullptr);
// The format number for a version text such as "11.0", read with the user's
// number settings.
int saveFileFormatForVersion(const QString &version);

// Replaces every period, then every comma, with the user's decimal separator.
QString ConvertDecimalSeparator(const QString &text);
// The user's decimal separator: the second character of 0.5 written as text.
QString GetDecimalSeparator();

// Writes a picture of the active sheet's used range of `workbook` to `path`,
// under its own error report. Nothing is written when the used range ends in
// row 1 or column A. Gives back the file with the picture held for the
// screen, when the instance keeps one.
HandedPicture saveCellsActivesheet(MessageBoxes &messages, Workbook &workbook, const QString &path);

// The picture the instance's CopyPicture left in its copy buffer; nothing
// when there is none. `format` 0 lets the buffer choose.
std::optional<CopiedPicture> GetClipboardPicture(Application &app, int format);

} // namespace orv::chart
