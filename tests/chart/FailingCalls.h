#pragma once

#include "chart/EngineApplicationFactory.h"
#include "chart/SpreadsheetApplication.h"
#include "files/Failure.h"

#include <cstring>
#include <functional>

namespace orv::chart::test {

// Engine instances in which the calls that `fails` picks throw; it sees the
// member name of every call, in order.
class FailingCalls : public ApplicationFactory {
public:
    FailingCalls(const Clock &clock, std::function<bool(const char *member)> fails)
        : mEngine(clock), mFails(std::move(fails))
    {
    }
    // Every call of one member fails.
    FailingCalls(const Clock &clock, const char *member)
        : FailingCalls(clock, [member](const char *called) { return std::strcmp(called, member) == 0; })
    {
    }

    std::unique_ptr<Application> create() override
    {
        std::unique_ptr<Application> app = mEngine.create();
        app->setCallHook([this](const char *called) {
            if (mFails(called))
                throw Failure(QStringLiteral("%1 failed").arg(QLatin1String(called)));
        });
        return app;
    }

private:
    EngineApplicationFactory mEngine;
    std::function<bool(const char *)> mFails;
};

} // namespace orv::chart::test
