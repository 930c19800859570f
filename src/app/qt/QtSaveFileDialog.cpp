#include "app/qt/QtSaveFileDialog.h"

#include <QFileDialog>
#include <QStringList>
#include <algorithm>

namespace orv {

QString qtFileFilter(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList lines;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString patterns = QString(parts[i + 1]).replace(u';', u' ').trimmed();
        if (description.endsWith(u')') && description.contains(u'('))
            lines << description;
        else
            lines << QStringLiteral("%1 (%2)").arg(description, patterns);
    }
    return lines.join(QStringLiteral(";;"));
}

QString QtSaveFileDialog::askSavePath(const QString &title, const QString &filter, int *chosenFilter)
{
    const QString filters = qtFileFilter(filter);
    QString selected;
    const QString path = QFileDialog::getSaveFileName(nullptr, title, QString(), filters, &selected,
                                                      QFileDialog::DontConfirmOverwrite);
    if (chosenFilter)
        *chosenFilter = std::max(0, static_cast<int>(filters.split(QStringLiteral(";;")).indexOf(selected)));
    return path;
}

} // namespace orv
