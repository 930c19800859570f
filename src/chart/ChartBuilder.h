#pragma once

#include "app/Services.h"
#include "chart/template/CalendarScale.h"

#include <QByteArray>
#include <cstdint>
#include <functional>
#include <random>

namespace orv::chart {

class BuilderWindow;
class ChartPreview;
class ProjectSource;

// "Create Template!": fills the chart template with the project's special
// events, categories and tasks, saves the chart workbook in the temporary
// folder, has its picture exported and hands both to the preview window.
// Every step is numbered; a failing step is reported and the next one runs.
class ChartBuilder {
public:
    struct Parts {
        const Services &services;
        const ProjectSource &project;
        BuilderWindow &window;
        ChartPreview &preview;
        // The day chart's template.
        std::function<QByteArray()> templateBytes;
        // The calendar's scale, asked at each run; none: days. A week or
        // month chart gets a template made for its plan's dates.
        std::function<CalendarScale()> scale = {};
    };

    // The chart workbook's name is drawn from a generator seeded with `seed`.
    explicit ChartBuilder(Parts parts, std::uint32_t seed = std::random_device{}());

    void PushButton6_Click();
    bool busy() const { return mBusy; }

private:
    friend class BuildRun;

    Parts mParts;
    bool mBusy = false;
    std::mt19937 mRandom;
};

} // namespace orv::chart
