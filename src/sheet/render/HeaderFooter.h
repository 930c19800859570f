#pragma once

#include <QString>

namespace orv::sheet {

// The three parts of a printed header or footer.
struct HeaderFooterText {
    QString left;
    QString centre;
    QString right;

    friend bool operator==(const HeaderFooterText &, const HeaderFooterText &) = default;
};

// What a page setup's header or footer code prints on page `page` of
// `pages`: &L, &C and &R start the parts (the centre without one), &P and &N
// give the page's number and the number of pages, &A the sheet's name, &&
// an ampersand. Codes that only change the look (&B, &I, &U, &"font", font
// sizes and the like) print nothing.
HeaderFooterText headerFooterText(const QString &code, int page, int pages, const QString &sheetName);

} // namespace orv::sheet
