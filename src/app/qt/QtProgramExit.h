#pragma once

#include "app/Services.h"

namespace orv {

// Ends the process on the spot: no window event, no closing handler and no
// destructor runs any more. The settings store has written every value
// already, so nothing is lost.
class QtProgramExit final : public ProgramExit {
public:
    [[noreturn]] void endProgram() override;
};

} // namespace orv
