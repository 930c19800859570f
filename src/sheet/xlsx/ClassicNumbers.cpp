#include "sheet/xlsx/ClassicNumbers.h"

namespace orv::sheet::xlsx {

namespace {

// The process's locale with a classic LC_NUMERIC; nothing when the C library
// cannot make one.
locale_t classicNumbersLocale()
{
    const locale_t current = duplocale(LC_GLOBAL_LOCALE);
    if (!current)
        return nullptr;
    const locale_t classic = newlocale(LC_NUMERIC_MASK, "C", current);
    if (!classic)
        freelocale(current);
    return classic;
}

} // namespace

ClassicNumbers::ClassicNumbers() : mClassic(classicNumbersLocale())
{
    if (mClassic)
        mPrevious = uselocale(mClassic);
}

ClassicNumbers::~ClassicNumbers()
{
    if (!mClassic)
        return;
    uselocale(mPrevious);
    freelocale(mClassic);
}

} // namespace orv::sheet::xlsx
