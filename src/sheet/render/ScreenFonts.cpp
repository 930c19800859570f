#include "sheet/render/ScreenFonts.h"

#include <QMutex>
#include <QRawFont>
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace orv::sheet {

QString installedFamily(const QString &workbookFamily)
{
    if (workbookFamily.compare(QLatin1String("Calibri"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Carlito");
    if (workbookFamily.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Liberation Sans");
    return workbookFamily;
}

QFont screenFont(const Font &font)
{
    QFont result;
    // The first family that exists wins; missing glyphs are merged in from
    // other installed fonts by the text layout (font merging stays on).
    result.setFamilies({installedFamily(font.name), QStringLiteral("Carlito"), QStringLiteral("DejaVu Sans")});
    result.setPointSizeF(std::max(font.size, 1.0));
    result.setBold(font.bold);
    result.setItalic(font.italic);
    result.setUnderline(font.underline);
    result.setHintingPreference(QFont::PreferNoHinting);
    return result;
}

namespace {

int measuredDigitWidth(const Font &font)
{
    QRawFont raw = QRawFont::fromFont(screenFont(font));
    if (!raw.isValid())
        return 7;
    raw.setPixelSize(std::max(font.size, 1.0) * kScreenDpi / 72.0);
    const QList<quint32> glyphs = raw.glyphIndexesForString(QStringLiteral("0123456789"));
    const QList<QPointF> advances = raw.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics);
    double widest = 0;
    for (const QPointF &advance : advances)
        widest = std::max(widest, advance.x());
    return std::max(1, static_cast<int>(std::floor(widest)));
}

} // namespace

// Reading a font's digits costs more than laying out a page of cells, and
// every geometry asks for them: each font's width is measured once. Pictures
// are painted on other threads too.
int maximumDigitWidth(const Font &font)
{
    static QMutex guard;
    static std::vector<std::pair<Font, int>> measured;
    const QMutexLocker lock(&guard);
    for (const auto &[known, width] : measured)
        if (known == font)
            return width;
    const int width = measuredDigitWidth(font);
    measured.emplace_back(font, width);
    return width;
}

} // namespace orv::sheet
