#include "app/qt/QtMessageBoxes.h"

#include "app/AppTitle.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QSpacerItem>
#include <algorithm>

namespace orv {

namespace {

// A message box wraps any text wider than half the screen (500 pixels at
// most), and then breaks a web address after "https://". A line that fits
// the screen is given the room to stay whole; longer ones still wrap.
void keepLinesWhole(QMessageBox &box, const QString &text)
{
    auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (label == nullptr || grid == nullptr || screen == nullptr)
        return;
    int widest = 0;
    for (const QString &line : text.split(u'\n'))
        widest = std::max(widest, label->fontMetrics().horizontalAdvance(line));
    const int room =
        std::min(widest + label->fontMetrics().averageCharWidth(), screen->availableGeometry().width() * 3 / 4);
    int row = 0;
    int column = 0;
    int rowSpan = 0;
    int columnSpan = 0;
    grid->getItemPosition(grid->indexOf(label), &row, &column, &rowSpan, &columnSpan);
    grid->addItem(new QSpacerItem(room, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), column, 1,
                  columnSpan);
}

} // namespace

MessageAnswer QtMessageBoxes::show(const QString &text, const QString &title, MessageButtons buttons,
                                   MessageIcon icon)
{
    // Lone carriage returns are line breaks in the program's texts.
    const QString shown = QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    QMessageBox box(icon == MessageIcon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon,
                    title.isEmpty() ? appTitle() : title, shown);
    box.setTextFormat(Qt::PlainText);
    keepLinesWhole(box, shown);
    if (buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MessageAnswer::Ok;
}

} // namespace orv
