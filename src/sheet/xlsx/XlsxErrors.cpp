#include "sheet/xlsx/XlsxErrors.h"

#include "files/Failure.h"

#include <xlsxwriter.h>

namespace orv::sheet::xlsx {

QString xlsxErrorText(int code)
{
    switch (static_cast<lxw_error>(code)) {
    case LXW_NO_ERROR:
        return QStringLiteral("No error");
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
        return QStringLiteral("Out of memory");
    case LXW_ERROR_CREATING_XLSX_FILE:
        return QStringLiteral("The file cannot be created");
    case LXW_ERROR_CREATING_TMPFILE:
        return QStringLiteral("No temporary file can be created (is the temporary folder full or not writable?)");
    case LXW_ERROR_READING_TMPFILE:
        return QStringLiteral("A temporary file cannot be read back");
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE:
        return QStringLiteral("Writing the file failed (is the disk full?)");
    case LXW_ERROR_ZIP_PARAMETER_ERROR:
    case LXW_ERROR_ZIP_BAD_ZIP_FILE:
    case LXW_ERROR_ZIP_INTERNAL_ERROR:
        return QStringLiteral("The compressed file could not be put together");
    case LXW_ERROR_FEATURE_NOT_SUPPORTED:
        return QStringLiteral("The format does not support this feature");
    case LXW_ERROR_NULL_PARAMETER_IGNORED:
        return QStringLiteral("A required value is missing");
    case LXW_ERROR_PARAMETER_VALIDATION:
        return QStringLiteral("A value is not valid in this format");
    case LXW_ERROR_SHEETNAME_LENGTH_EXCEEDED:
        return QStringLiteral("A sheet name is longer than 31 characters");
    case LXW_ERROR_INVALID_SHEETNAME_CHARACTER:
        return QStringLiteral("A sheet name holds one of the characters [ ] : * ? / \\");
    case LXW_ERROR_SHEETNAME_START_END_APOSTROPHE:
        return QStringLiteral("A sheet name starts or ends with an apostrophe");
    case LXW_ERROR_SHEETNAME_ALREADY_USED:
        return QStringLiteral("Two sheets have the same name");
    case LXW_ERROR_32_STRING_LENGTH_EXCEEDED:
        return QStringLiteral("A text is longer than 32 characters");
    case LXW_ERROR_128_STRING_LENGTH_EXCEEDED:
        return QStringLiteral("A text is longer than 128 characters");
    case LXW_ERROR_255_STRING_LENGTH_EXCEEDED:
        return QStringLiteral("A text is longer than 255 characters");
    case LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED:
        return QStringLiteral("A text is longer than 32,767 characters");
    case LXW_ERROR_SHARED_STRING_INDEX_NOT_FOUND:
        return QStringLiteral("A text of the workbook went missing");
    case LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE:
        return QStringLiteral("A row or column lies outside the sheet");
    case LXW_ERROR_WORKSHEET_MAX_URL_LENGTH_EXCEEDED:
    case LXW_ERROR_WORKSHEET_MAX_NUMBER_URLS_EXCEEDED:
        return QStringLiteral("A sheet holds too many or too long links");
    case LXW_ERROR_IMAGE_DIMENSIONS:
        return QStringLiteral("A picture's size cannot be read");
    default:
        return QStringLiteral("The workbook writer failed with error %1").arg(code);
    }
}

void checkXlsx(int code, const QString &what)
{
    if (code != LXW_NO_ERROR)
        throw Failure(what + QStringLiteral(": ") + xlsxErrorText(code));
}

} // namespace orv::sheet::xlsx
