#include "chart/EngineApplicationFactory.h"

namespace orv::chart {

EngineApplicationFactory::EngineApplicationFactory(const Clock &clock, QLocale locale)
    : mClock(clock), mLocale(std::move(locale))
{
}

std::unique_ptr<Application> EngineApplicationFactory::create()
{
    return std::make_unique<Application>(&mClock, mLocale);
}

} // namespace orv::chart
