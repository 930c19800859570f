#include "support/ScriptedServices.h"

#include <QPrinter>

namespace orv::test {

QStringList ScriptedMessageBoxes::shownTexts() const
{
    QStringList texts;
    for (const ShownMessage &message : shown)
        texts << message.text;
    return texts;
}

MessageAnswer ScriptedMessageBoxes::show(const QString &text, const QString &title, MessageButtons buttons,
                                         MessageIcon icon)
{
    shown.push_back({text, title, buttons, icon});
    if (!mAnswers.empty()) {
        const MessageAnswer answer = mAnswers.front();
        mAnswers.pop_front();
        return answer;
    }
    return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
}

QString ScriptedSaveDialog::askSavePath(const QString &title, const QString &filter, int *chosenFilter)
{
    titles << title;
    filters << filter;
    if (chosenFilter)
        *chosenFilter = 0;
    if (mAnswers.empty())
        return QString();
    const auto [path, filterIndex] = mAnswers.front();
    mAnswers.pop_front();
    if (chosenFilter)
        *chosenFilter = filterIndex;
    return path;
}

bool ScriptedPrintDialog::askPrinter(QPrinter &printer, int pageCount)
{
    pageCounts.push_back(pageCount);
    papersShown.push_back(printer.pageLayout());
    documentNames << printer.docName();
    if (mAnswers.empty())
        return false;
    const Answer answer = mAnswers.front();
    mAnswers.pop_front();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(answer.pdfPath);
    if (answer.paper)
        printer.setPageLayout(*answer.paper);
    if (answer.from > 0)
        printer.setFromTo(answer.from, answer.to);
    return true;
}

QString ScriptedOpenDialog::askOpenPath(const QString &title, const QString &)
{
    titles << title;
    if (mAnswers.empty())
        return QString();
    const QString path = mAnswers.front();
    mAnswers.pop_front();
    return path;
}

std::optional<QString> MemorySettingsStore::read(const QString &key) const
{
    const auto found = values.constFind(key);
    if (found == values.constEnd())
        return std::nullopt;
    return *found;
}

void MemorySettingsStore::write(const QString &key, const QString &value)
{
    values.insert(key, value);
    writes << key;
}

void MemorySettingsStore::remove(const QString &key)
{
    values.remove(key);
}

TempFolders::TempFolders() = default;

ScriptedServices::ScriptedServices()
{
    services.messages = &messages;
    services.saveDialog = &saveDialog;
    services.printDialog = &printDialog;
    services.openDialog = &openDialog;
    services.settings = &settings;
    services.exit = &exit;
    services.folders = &folders;
    services.clock = &clock;
}

} // namespace orv::test
