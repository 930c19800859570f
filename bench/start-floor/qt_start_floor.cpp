// The least a windowless Qt program takes: start, draw one word with the
// chart's font into a picture, exit. compare-with-libreoffice.py times it next
// to the batch mode, to show how much of a small job is start-up alone.
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QImage picture(100, 20, QImage::Format_RGB32);
    QPainter painter(&picture);
    painter.setFont(QFont(QStringLiteral("Carlito"), 11));
    painter.drawText(2, 15, QStringLiteral("Orvantis"));
    return 0;
}
