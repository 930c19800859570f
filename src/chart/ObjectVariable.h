#pragma once

#include "files/Failure.h"

#include <memory>
#include <optional>

namespace orv::chart {

// An object reference that an earlier, failed step never set: using it
// fails the way the object model reports it.
[[noreturn]] inline void objectVariableNotSet()
{
    throw Failure(QStringLiteral("Object variable or With block variable not set"));
}

template <typename T>
T &need(std::optional<T> &object)
{
    if (!object)
        objectVariableNotSet();
    return *object;
}

template <typename T>
T &need(const std::unique_ptr<T> &object)
{
    if (!object)
        objectVariableNotSet();
    return *object;
}

} // namespace orv::chart
