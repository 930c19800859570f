#pragma once

#include <memory>

namespace orv::chart {

// One running instance of the spreadsheet application, the object the
// builder and the picture export drive.
class Application {
public:
    virtual ~Application() = default;
};

// Creates spreadsheet application instances; creation may throw a Failure.
class ApplicationFactory {
public:
    virtual ~ApplicationFactory() = default;
    virtual std::unique_ptr<Application> create() = 0;
};

} // namespace orv::chart
