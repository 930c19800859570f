// The least Qt's PDF writer takes for pages like those of a 1,000-task
// chart, with nothing to work out: start, write 92 pages of 1,043 glyphs and
// 105 filled rectangles each (the averages of that chart's PDF) in the
// fewest calls, a glyph run per line of text and one fill per colour, and
// exit. batch-ratios.sh times it beside the batch runs: what it takes beyond
// bench/start-floor is a cost no PDF run made with this writer can avoid.
//   qt_pdf_floor OUT.pdf
#include <QFont>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>

namespace {

constexpr int kPages = 92;
constexpr int kGlyphsPerPage = 1043;
constexpr int kRectanglesPerPage = 105;
constexpr int kColours = 8;
constexpr int kGlyphsPerLine = 116; // nine lines of text a page
constexpr double kLineHeight = 20;

// A line of a chart's text: task names, dates and percentages, one glyph each.
QGlyphRun chartLine(const QRawFont &font, int page, int line, int glyphs)
{
    QString text;
    for (int task = 0; text.size() < glyphs; ++task)
        text += QStringLiteral("Task %1 %2/%3 %4% ").arg(page * 40 + line * 4 + task).arg(task % 12 + 1)
                    .arg(task * 7 % 28 + 1).arg(task * 13 % 101);
    text.truncate(glyphs);
    const QList<quint32> indexes = font.glyphIndexesForString(text);
    const QList<QPointF> advances = font.advancesForGlyphIndexes(indexes);
    QList<QPointF> positions;
    QPointF at(0, 0);
    for (const QPointF &advance : advances) {
        positions.append(at);
        at += advance;
    }
    QGlyphRun run;
    run.setRawFont(font);
    run.setGlyphIndexes(indexes);
    run.setPositions(positions);
    return run;
}

void paintPage(QPainter &painter, const QRawFont &font, int page)
{
    painter.setPen(Qt::NoPen);
    for (int colour = 0; colour < kColours; ++colour) {
        QList<QRectF> rectangles;
        for (int r = colour; r < kRectanglesPerPage; r += kColours)
            rectangles.append(QRectF(40 + (r * 37) % 900, 60 + r * 6, 30 + r % 50, 14));
        painter.setBrush(QColor::fromHsv(colour * 45, 120, 230));
        painter.drawRects(rectangles);
    }
    painter.setPen(Qt::black);
    for (int line = 0, left = kGlyphsPerPage; left > 0; ++line, left -= kGlyphsPerLine)
        painter.drawGlyphRun(QPointF(40, 80 + line * kLineHeight * 4),
                             chartLine(font, page, line, std::min(left, kGlyphsPerLine)));
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2)
        return 2;
    QPdfWriter writer(QString::fromLocal8Bit(argv[1]));
    writer.setResolution(96);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Landscape, QMarginsF()));
    const QRawFont font = QRawFont::fromFont(QFont(QStringLiteral("Carlito"), 11));
    QPainter painter(&writer);
    for (int page = 0; page < kPages; ++page) {
        if (page > 0)
            writer.newPage();
        paintPage(painter, font, page);
    }
    return painter.end() ? 0 : 1;
}
