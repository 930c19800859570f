#pragma once

#include <locale.h>

namespace orv::sheet::xlsx {

// While it lives, the C library writes and reads numbers on this thread
// with a decimal point, whatever LC_NUMERIC the process took from its
// environment. libxlsxwriter formats every number of the package with
// printf; under a decimal-comma locale it would write "0,8", which no
// reader of the format accepts.
class ClassicNumbers {
public:
    ClassicNumbers();
    ~ClassicNumbers();
    ClassicNumbers(const ClassicNumbers &) = delete;
    ClassicNumbers &operator=(const ClassicNumbers &) = delete;

private:
    locale_t mClassic;
    locale_t mPrevious = nullptr;
};

} // namespace orv::sheet::xlsx
