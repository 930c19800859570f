#pragma once

#include <QString>

namespace orv::chart {

// The fraction completed that a "% Compl." text stands for: the number at the
// start of the text, divided by 100. Blanks are skipped, the period is the
// decimal separator whatever the user's locale, and a text that does not
// start with a number counts as 0 ("80" gives 0.8, "80.5%" gives 0.805).
double fractionFromPercentText(const QString &text);

} // namespace orv::chart
