#pragma once

#include <QString>

namespace orv {

inline constexpr char kProductTitle[] = "Orvantis";

// The application title derived from the product title: cut at the last
// space at least once, and again while longer than 40 characters; a text
// without a space stays as it is.
QString appTitleFor(const QString &productTitle);

// Computes the application title from the product title: the caption of
// every message box shown without one of its own.
void SetAppTitle();

// The application title: the caption for message boxes that have none of
// their own. Window titles stay exactly as each window sets them.
QString appTitle();

} // namespace orv
