#include "project/Form1.h"

#include "chart/ChartBuilder.h"
#include "chart/ChartPreview.h"
#include "chart/CustomResource.h"
#include "chart/template/CalendarScale.h"
#include "project/Form1BuilderLink.h"

#include <QComboBox>

namespace orv {

Form1::~Form1() = default;

void Form1::setChartPreview(chart::ChartPreview &preview)
{
    mPreview = &preview;
    mBuilderLink = std::make_unique<BuilderLink>(*this);
    mBuilder = std::make_unique<chart::ChartBuilder>(chart::ChartBuilder::Parts{
        mServices, *mBuilderLink, *mBuilderLink, preview, [] { return chart::loadCustomResource(101); },
        [this] { return static_cast<chart::CalendarScale>(cboScale->currentIndex()); }});
}

void Form1::PushButton6_Click()
{
    if (mBuilder)
        mBuilder->PushButton6_Click();
}

bool Form1::isBuilding() const
{
    return mBuilder && mBuilder->busy();
}

void Form1::listsReplaced()
{
    if (mPreview)
        mPreview->planReplaced();
}

} // namespace orv
