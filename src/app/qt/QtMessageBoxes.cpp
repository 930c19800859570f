#include "app/qt/QtMessageBoxes.h"

#include "app/AppTitle.h"

#include <QMessageBox>

namespace orv {

MessageAnswer QtMessageBoxes::show(const QString &text, const QString &title, MessageButtons buttons,
                                   MessageIcon icon)
{
    // Lone carriage returns are line breaks in the program's texts.
    const QString shown = QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    QMessageBox box(icon == MessageIcon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon,
                    title.isEmpty() ? appTitle() : title, shown);
    box.setTextFormat(Qt::PlainText);
    if (buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MessageAnswer::Ok;
}

} // namespace orv
