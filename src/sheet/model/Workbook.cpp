#include "sheet/model/Workbook.h"

#include "files/Failure.h"

#include <algorithm>

namespace orv::sheet {

Workbook::Workbook() : mFormats{CellFormat{}} {}

Sheet &Workbook::sheet(int index)
{
    if (index < 0 || index >= sheetCount())
        throw Failure(QStringLiteral("The workbook has no sheet number %1").arg(index + 1));
    return *mSheets[index];
}

const Sheet &Workbook::sheet(int index) const { return const_cast<Workbook *>(this)->sheet(index); }

Sheet *Workbook::findSheet(const QString &name)
{
    const auto found = std::find_if(mSheets.begin(), mSheets.end(), [&](const auto &sheet) {
        return sheet->name().compare(name, Qt::CaseInsensitive) == 0;
    });
    return found == mSheets.end() ? nullptr : found->get();
}

const Sheet *Workbook::findSheet(const QString &name) const { return const_cast<Workbook *>(this)->findSheet(name); }

Sheet &Workbook::addSheet(const QString &name)
{
    if (name.isEmpty() || name.size() > 31)
        throw Failure(QStringLiteral("A sheet name must have 1 to 31 characters: \"%1\"").arg(name));
    if (findSheet(name))
        throw Failure(QStringLiteral("The workbook already has a sheet named \"%1\"").arg(name));
    mSheets.push_back(std::make_unique<Sheet>(name));
    return *mSheets.back();
}

void Workbook::setActiveSheet(int index)
{
    sheet(index);
    mActiveSheet = index;
}

const CellFormat &Workbook::format(int index) const
{
    if (index < 0 || index >= formatCount())
        throw Failure(QStringLiteral("The workbook has no cell format number %1").arg(index));
    return mFormats[index];
}

int Workbook::addFormat(const CellFormat &format)
{
    // Workbooks hold a few dozen formats; a linear search is the simplest
    // way to share equal ones.
    const auto found = std::find(mFormats.begin(), mFormats.end(), format);
    if (found != mFormats.end())
        return static_cast<int>(found - mFormats.begin());
    mFormats.push_back(format);
    return formatCount() - 1;
}

} // namespace orv::sheet
