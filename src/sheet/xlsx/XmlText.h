#pragma once

#include <QString>

namespace orv::sheet::xlsx {

// Text of the package's string type (ST_Xstring): a character that XML 1.0
// cannot carry (a C0 control other than tab and line feed, U+FFFE, U+FFFF,
// half a surrogate pair) becomes the escape _xHHHH_ of its UTF-16 unit, as
// does a carriage return, which XML turns into a line feed. An underscore
// that would start such an escape is itself escaped (_x005F_), so that the
// text reads back as it was.
QString escapedXmlText(const QString &text);

// The text an ST_Xstring stands for: every _xHHHH_ turned back into its
// UTF-16 unit.
QString unescapedXmlText(const QString &text);

// True when XML 1.0 can carry every character of `text` as it is.
bool isXmlText(const QString &text);

} // namespace orv::sheet::xlsx
