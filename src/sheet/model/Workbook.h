#pragma once

#include "sheet/model/CellFormat.h"
#include "sheet/model/Sheet.h"

#include <memory>
#include <vector>

namespace orv::sheet {

// A workbook: its sheets in order and the format table their cells refer
// to. Format 0 is the workbook's default (Calibri 11, General).
class Workbook {
public:
    Workbook();

    int sheetCount() const { return static_cast<int>(mSheets.size()); }
    Sheet &sheet(int index);
    const Sheet &sheet(int index) const;
    Sheet *findSheet(const QString &name);
    const Sheet *findSheet(const QString &name) const;
    Sheet &addSheet(const QString &name);
    int activeSheet() const { return mActiveSheet; }
    void setActiveSheet(int index);

    int formatCount() const { return static_cast<int>(mFormats.size()); }
    const CellFormat &format(int index) const;
    // The index of an equal format, added to the table when new.
    int addFormat(const CellFormat &format);

    // A template opens as an untitled copy; saving it as a workbook drops
    // the mark.
    bool isTemplate() const { return mTemplate; }
    void setTemplate(bool isTemplate) { mTemplate = isTemplate; }

private:
    std::vector<std::unique_ptr<Sheet>> mSheets;
    std::vector<CellFormat> mFormats;
    int mActiveSheet = 0;
    bool mTemplate = false;
};

} // namespace orv::sheet
