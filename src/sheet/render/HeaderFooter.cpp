#include "sheet/render/HeaderFooter.h"

namespace orv::sheet {

HeaderFooterText headerFooterText(const QString &code, int page, int pages, const QString &sheetName)
{
    HeaderFooterText text;
    QString *part = &text.centre;
    for (qsizetype i = 0; i < code.size(); ++i) {
        if (code[i] != u'&' || i + 1 == code.size()) {
            part->append(code[i]);
            continue;
        }
        const QChar next = code[++i];
        switch (next.toUpper().unicode()) {
        case u'L': part = &text.left; break;
        case u'C': part = &text.centre; break;
        case u'R': part = &text.right; break;
        case u'P': part->append(QString::number(page)); break;
        case u'N': part->append(QString::number(pages)); break;
        case u'A': part->append(sheetName); break;
        case u'&': part->append(u'&'); break;
        case u'"': // a font name runs to the next quotation mark
            while (i + 1 < code.size() && code[++i] != u'"') {
            }
            break;
        default:
            while (next.isDigit() && i + 1 < code.size() && code[i + 1].isDigit())
                ++i; // a font size
            break;
        }
    }
    return text;
}

} // namespace orv::sheet
