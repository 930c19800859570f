#include "project/Form1.h"

#include "chart/ScaleSetting.h"

#include <QComboBox>
#include <QLabel>

namespace orv {

namespace {

// The chooser's items in the order of CalendarScale.
const QStringList kScaleNames = {QStringLiteral("Days"), QStringLiteral("Weeks"), QStringLiteral("Months")};

} // namespace

// "Scale" at the right end of "Create Template!": the scale kept in the
// settings; choosing another keeps it there for the next chart.
void Form1::buildScaleChooser()
{
    auto *caption = new QLabel(QStringLiteral("Scale:"), this);
    caption->setObjectName(QStringLiteral("lblScale"));
    caption->setGeometry(478, 6, 44, 32);
    cboScale = new QComboBox(this);
    cboScale->setObjectName(QStringLiteral("cboScale"));
    cboScale->addItems(kScaleNames);
    cboScale->setGeometry(524, 8, 84, 28);
    caption->setBuddy(cboScale);
    cboScale->setCurrentIndex(static_cast<int>(chart::storedScale(*mServices.settings)));
    connect(cboScale, &QComboBox::currentIndexChanged, this, [this](int index) {
        // A settings store that cannot be written keeps the scale it had;
        // the chooser still decides this session's next chart.
        try {
            chart::storeScale(*mServices.settings, static_cast<chart::CalendarScale>(index));
        } catch (const std::exception &) {
        }
    });
}

void Form1::setCalendarScale(chart::CalendarScale scale) { cboScale->setCurrentIndex(static_cast<int>(scale)); }

} // namespace orv
