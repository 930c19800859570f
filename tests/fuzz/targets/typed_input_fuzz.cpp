// Any typed text is read under month-first, day-first and year-first
// locales without crashing, and a date it reads is a real serial.

#include "sheet/DateSerial.h"
#include "sheet/TypedInput.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace orv::sheet;
    static const QLocale locales[] = {QLocale(QStringLiteral("en_US")), QLocale(QStringLiteral("de_DE")),
                                      QLocale(QStringLiteral("sv_SE")), QLocale::c()};
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    for (const QLocale &locale : locales) {
        const TypedValue typed = readTypedInput(text, locale);
        if (typed.isDate && !dateFromSerial(std::get<double>(typed.value)))
            std::abort();
    }
    return 0;
}
