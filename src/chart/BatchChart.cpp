#include "chart/BatchChart.h"

#include "app/FileOperations.h"
#include "app/StoredList.h"
#include "app/MessageBoxes.h"
#include "chart/BuilderWindow.h"
#include "chart/ChartBuilder.h"
#include "chart/ChartPreview.h"
#include "chart/CustomResource.h"
#include "chart/ProjectLists.h"
#include "sheet/Failure.h"

#include <QFile>
#include <QSaveFile>

namespace orv::chart {

namespace {

// Message boxes become lines on the error stream; questions are answered Yes.
class ErrorStreamMessages : public MessageBoxes {
public:
    explicit ErrorStreamMessages(QTextStream &errors) : mErrors(errors) {}

    MessageAnswer show(const QString &text, const QString &, MessageButtons buttons, MessageIcon) override
    {
        QString lines = text;
        lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
        mErrors << lines << Qt::endl;
        ++shown;
        return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }

    int shown = 0;

private:
    QTextStream &mErrors;
};

class NoWindow : public BuilderWindow {
public:
    void setPointer(PointerSetting) override {}
    void hideMainWindow() override {}
};

// Copies a file into place through a temporary file beside the target.
void copyFile(const QString &from, const QString &to)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        throw Failure(QStringLiteral("Cannot read %1: %2").arg(from, source.errorString()));
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly) || target.write(source.readAll()) != source.size() || !target.commit())
        throw Failure(QStringLiteral("Cannot write %1: %2").arg(to, target.errorString()));
}

// Takes the finished chart: the picture and the workbook are copied to the
// requested paths and the chart workbook leaves the temporary folder.
class BatchHandOver : public ChartPreview {
public:
    explicit BatchHandOver(const BatchOptions &options) : mOptions(options) {}
    ~BatchHandOver() override
    {
        if (!mExcelFile.isEmpty())
            DeleteFileIfExists(mExcelFile);
    }

    void loadPicture(const QString &path) override
    {
        if (!mOptions.picturePath.isEmpty())
            copyFile(path, mOptions.picturePath);
    }
    void setExcelFile(const QString &path) override
    {
        mExcelFile = path;
        copyFile(path, mOptions.workbookPath);
    }
    void show() override {}

private:
    const BatchOptions &mOptions;
    QString mExcelFile;
};

// The lists as start-up restores them; fields beyond a list's columns have
// nowhere to go and are left out.
std::vector<QStringList> storedList(const SettingsStore &settings, const QString &key, int columns)
{
    std::vector<QStringList> items;
    for (QStringList fields : readStoredList(settings, key)) {
        if (fields.size() > columns)
            fields.erase(fields.begin() + columns, fields.end());
        items.push_back(fields);
    }
    return items;
}

} // namespace

std::optional<BatchOptions> parseBatchOptions(const QStringList &arguments)
{
    const qsizetype at = arguments.indexOf(QStringLiteral("--build-chart"));
    if (at < 0)
        return std::nullopt;
    BatchOptions options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        QString *value = argument == QStringLiteral("--build-chart") ? &options.workbookPath
                         : argument == QStringLiteral("--picture")   ? &options.picturePath
                                                                     : nullptr;
        if (!value)
            throw Failure(QStringLiteral("Unknown option %1; use --build-chart OUT.xls [--picture OUT.png]")
                              .arg(argument));
        if (i + 1 >= arguments.size() || arguments[i + 1].startsWith(QStringLiteral("--")))
            throw Failure(QStringLiteral("%1 needs a file path").arg(argument));
        *value = arguments[++i];
    }
    return options;
}

int runBatchChart(const BatchOptions &options, Services services, QTextStream &errors)
{
    ErrorStreamMessages messages(errors);
    services.messages = &messages;
    ProjectLists lists;
    lists.categories = storedList(*services.settings, QStringLiteral("Categories"), 1);
    lists.tasks = storedList(*services.settings, QStringLiteral("Tasks"), 6);
    lists.events = storedList(*services.settings, QStringLiteral("Events"), 3);
    NoWindow window;
    {
        BatchHandOver handOver(options);
        ChartBuilder builder({services, lists, window, handOver, [] { return loadCustomResource(101); }});
        builder.PushButton6_Click();
    }
    return messages.shown == 0 ? 0 : 1;
}

} // namespace orv::chart
