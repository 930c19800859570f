#include "chart/EngineApplicationFactory.h"

namespace orv::chart {

std::unique_ptr<Application> EngineApplicationFactory::create()
{
    return std::make_unique<Application>();
}

} // namespace orv::chart
