#pragma once

#include "sheet/model/ConditionalFormat.h"
#include "sheet/model/Workbook.h"

#include <vector>

struct lxw_workbook;
struct lxw_format;

namespace orv::sheet::xlsx {

// The libxlsxwriter formats of one workbook being written: one per cell
// format of the model, made when first used, and one per conditional look.
// The library owns them and frees them with the workbook.
class XlsxFormats {
public:
    XlsxFormats(lxw_workbook *target, const Workbook &workbook);

    // The format of a cell, row or column, or null for the default look.
    // An index outside the workbook's format table is a Failure.
    lxw_format *cellFormat(int index);

    // The default look stated outright, for a cell in a row or column with
    // a format of its own: the library gives a cell without a format the
    // format of its row or column.
    lxw_format *defaultLook();

    // The differential format a conditional rule applies.
    lxw_format *conditionalFormat(const ConditionalStyle &style);

private:
    lxw_workbook *mTarget;
    const Workbook &mWorkbook;
    std::vector<lxw_format *> mCellFormats;
    std::vector<bool> mMade;
    lxw_format *mDefaultLook = nullptr;
};

} // namespace orv::sheet::xlsx
