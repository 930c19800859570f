#include "app/qt/QtProgramExit.h"

#include <cstdio>
#include <cstdlib>

namespace orv {

void QtProgramExit::endProgram()
{
    std::fflush(nullptr);
    std::_Exit(EXIT_SUCCESS);
}

} // namespace orv
