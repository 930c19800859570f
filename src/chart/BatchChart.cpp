#include "chart/BatchChart.h"

#include "app/FileOperations.h"
#include "app/StoredList.h"
#include "app/MessageBoxes.h"
#include "chart/BatchHints.h"
#include "chart/BatchOutput.h"
#include "chart/BuilderWindow.h"
#include "chart/ChartBuilder.h"
#include "chart/ChartPreview.h"
#include "chart/CustomResource.h"
#include "chart/PictureFileWriting.h"
#include "chart/PlanFile.h"
#include "chart/PlanSize.h"
#include "chart/ScaleSetting.h"
#include "chart/ProjectLists.h"
#include "files/Failure.h"
#include "files/FileAccess.h"
#include "sheet/render/RangePicture.h"

#include <QFileInfo>
#include <QSet>
#include <algorithm>

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

    // A line that is no failure: the build goes on and may still succeed.
    void note(const QString &line) { mErrors << line << Qt::endl; }

    int shown = 0;

private:
    QTextStream &mErrors;
};

// The word about what the calendar leaves out goes to the error stream too.
class NoWindow : public BuilderWindow {
public:
    explicit NoWindow(ErrorStreamMessages &messages) : mMessages(messages) {}

    void setPointer(PointerSetting) override {}
    void hideMainWindow() override {}
    void noteOutsideCalendar(const QString &word) override
    {
        if (!word.isEmpty())
            mMessages.note(word);
    }

private:
    ErrorStreamMessages &mMessages;
};

// Takes the finished chart: its picture, the chart workbook's path and the
// workbook the build holds, from which the derived outputs are made. The
// chart workbook leaves the temporary folder with this object.
class BatchHandOver : public ChartPreview {
public:
    explicit BatchHandOver(bool wantsPicture) : mWantsPicture(wantsPicture) {}
    ~BatchHandOver() override
    {
        if (mWriting)
            mWriting->wait();
        if (!mExcelFile.isEmpty())
            DeleteFileIfExists(mExcelFile);
    }

    // The file of a picture painted from the sheet is written in the
    // background; its bytes are the ones that writing makes, taken when needed.
    void takePicture(const HandedPicture &picture) override
    {
        if (!picture.sheet)
            mPicture = files::readWholeFile(picture.path, files::Links::Refuse);
        mSheetPicture = picture.sheet;
        mWriting = picture.writing;
    }
    void setExcelFile(const QString &path) override { mExcelFile = path; }
    void takeWorkbook(std::shared_ptr<const sheet::Workbook> workbook) override { mWorkbook = std::move(workbook); }
    void show() override {}
    bool wantsPicture() const override { return mWantsPicture; }
    bool paintsFromSheet() const override { return true; }

    QByteArray picture() const { return mSheetPicture ? mSheetPicture->encoded() : mPicture; }
    const QString &excelFile() const { return mExcelFile; }
    std::shared_ptr<const sheet::Workbook> workbook() const
    {
        if (!mWorkbook)
            throw Failure(QStringLiteral("The chart workbook %1 was not built").arg(mExcelFile));
        return mWorkbook;
    }

private:
    bool mWantsPicture;
    QByteArray mPicture;
    std::shared_ptr<sheet::RangePicture> mSheetPicture;
    // The picture file still being written: the run ends after it.
    std::shared_ptr<PictureFileWriting> mWriting;
    QString mExcelFile;
    std::shared_ptr<const sheet::Workbook> mWorkbook;
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

// The saved project. A settings store that cannot be read as a whole, or
// that holds no project at all, is a failure rather than an empty chart.
ProjectLists storedProject(const SettingsStore &settings)
{
    const QString problem = settings.unreadableReason();
    if (!problem.isEmpty())
        throw Failure(problem);
    const QStringList keys = {QStringLiteral("Categories"), QStringLiteral("Tasks"), QStringLiteral("Events")};
    if (std::none_of(keys.begin(), keys.end(), [&](const QString &key) { return settings.read(key).has_value(); }))
        throw Failure(QStringLiteral("No saved project: the settings hold no categories, tasks or special events"));
    ProjectLists lists;
    lists.categories = storedList(settings, keys[0], 1);
    lists.tasks = storedList(settings, keys[1], 6);
    lists.events = storedList(settings, keys[2], 3);
    return lists;
}

// Both outputs are staged completely before either replaces its file.
void publish(const BatchHandOver &handOver, const BatchOutputs &outputs, const Clock &clock)
{
    files::StagedFile workbook = stageWorkbook(handOver.excelFile(), *handOver.workbook(), outputs.workbook);
    std::optional<files::StagedFile> picture;
    if (!outputs.picture.isEmpty())
        picture.emplace(stagePicture(handOver.picture(), outputs.picture));
    std::optional<files::StagedFile> pdf;
    if (!outputs.pdf.isEmpty())
        pdf.emplace(stagePdf(handOver.workbook(), outputs.pdf, clock));
    workbook.commit();
    if (picture)
        picture->commit();
    if (pdf)
        pdf->commit();
}

// A chart places only the tasks whose category is listed; a plan without
// one would replace the output with an empty chart.
void checkChartsATask(const ProjectLists &lists, const QString &planName)
{
    QSet<QString> categories;
    for (const QStringList &category : lists.categories)
        categories.insert(category.value(0));
    if (std::none_of(lists.tasks.begin(), lists.tasks.end(),
                     [&](const QStringList &task) { return categories.contains(task.value(4)); }))
        throw Failure(QStringLiteral("%1 would chart no task: no task names a category of the plan (%2 tasks, %3 "
                                     "categories)")
                          .arg(planName)
                          .arg(lists.tasks.size())
                          .arg(lists.categories.size()));
}

void build(const BatchOptions &options, const Services &services, ErrorStreamMessages &messages)
{
    ProjectLists lists;
    CalendarScale scale = CalendarScale::Days;
    if (options.planPath.isEmpty()) {
        lists = storedProject(*services.settings);
        scale = storedScale(*services.settings);
    } else {
        PlanFromFile plan = readPlanFile(options.planPath);
        lists = std::move(plan.lists);
        scale = plan.scale.value_or(storedScale(*services.settings));
    }
    scale = options.scale.value_or(scale);
    checkChartsATask(lists, options.planPath.isEmpty() ? QStringLiteral("The saved project")
                                                        : QFileInfo(options.planPath).fileName());
    for (const QString &hint : batchHints(lists))
        messages.note(hint);
    const BatchOutputs outputs =
        checkedOutputs(options.workbookPath, options.picturePath, services.folders->tempFolder(), options.pdfPath);
    checkPlanSize(lists);
    NoWindow window(messages);
    BatchHandOver handOver(!outputs.picture.isEmpty());
    ChartBuilder builder(
        {services, lists, window, handOver, [] { return loadCustomResource(101); }, [scale] { return scale; }});
    builder.PushButton6_Click();
    if (messages.shown == 0)
        publish(handOver, outputs, *services.clock);
}

// Takes the value of an option that needs one.
void takeValue(const QStringList &arguments, qsizetype &i, QString &value)
{
    const QString &option = arguments[i];
    if (!value.isEmpty())
        throw Failure(QStringLiteral("%1 is given twice").arg(option));
    if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty() || arguments[i + 1].startsWith(u'-'))
        throw Failure(QStringLiteral("%1 needs a file path").arg(option));
    value = arguments[++i];
}

void takeScale(const QStringList &arguments, qsizetype &i, std::optional<CalendarScale> &scale)
{
    if (scale)
        throw Failure(QStringLiteral("--scale is given twice"));
    const QString value = i + 1 < arguments.size() ? arguments[++i] : QString();
    scale = scaleFromName(value);
    if (!scale)
        throw Failure(QStringLiteral("--scale takes days, weeks or months, not \"%1\"").arg(value));
}

} // namespace

std::optional<BatchOptions> parseBatchOptions(const QStringList &arguments)
{
    static const QStringList batchOptions = {QStringLiteral("--help"), QStringLiteral("-h"),
                                             QStringLiteral("--build-chart"), QStringLiteral("--picture"),
                                             QStringLiteral("--plan"), QStringLiteral("--pdf"),
                                             QStringLiteral("--scale")};
    if (std::none_of(arguments.begin() + std::min<qsizetype>(1, arguments.size()), arguments.end(),
                     [](const QString &argument) { return batchOptions.contains(argument); }))
        return std::nullopt;
    BatchOptions options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QStringLiteral("--help") || argument == QStringLiteral("-h"))
            options.help = true;
        else if (argument == QStringLiteral("--build-chart"))
            takeValue(arguments, i, options.workbookPath);
        else if (argument == QStringLiteral("--picture"))
            takeValue(arguments, i, options.picturePath);
        else if (argument == QStringLiteral("--plan"))
            takeValue(arguments, i, options.planPath);
        else if (argument == QStringLiteral("--pdf"))
            takeValue(arguments, i, options.pdfPath);
        else if (argument == QStringLiteral("--scale"))
            takeScale(arguments, i, options.scale);
        else
            throw Failure(QStringLiteral("Unknown option %1").arg(argument));
    }
    if (!options.help && options.workbookPath.isEmpty())
        throw Failure(QStringLiteral("--build-chart OUT.xls is missing"));
    return options;
}

QString batchUsage()
{
    return QStringLiteral("Usage: orvantis                                        (the windows)\n"
                          "       orvantis --build-chart OUT.xls [--picture OUT.png] [--pdf OUT.pdf] [--plan FILE]\n"
                          "                [--scale days|weeks|months]\n"
                          "       orvantis --help\n"
                          "\n"
                          "--build-chart builds the chart workbook of the saved project without any window;\n"
                          "an OUT ending in .xlsx gets a current workbook, any other name a 97-2003 one.\n"
                          "--picture also writes the chart's picture, --pdf its printed pages as the\n"
                          "workbook's page setup lays them out. The outputs are replaced only when\n"
                          "the whole build succeeds; otherwise they stay as they were and the reports are\n"
                          "written to the error output (exit status 1).\n"
                          "--plan FILE charts the plan in FILE (a chart workbook, .xls or .xlsx, or a CSV\n"
                          "or tab-separated task list) instead of the saved project, which stays untouched.\n"
                          "A plan in which no task names a listed category would chart no task and is\n"
                          "refused.\n"
                          "--scale sets the calendar: one column per day (196 days, as always), per week\n"
                          "(from Monday) or per month, the last two from the plan's first date to its\n"
                          "last. Without it, a chart given to --plan keeps its own scale and the saved\n"
                          "project the one chosen last in the windows.\n");
}

int runBatchChart(const BatchOptions &options, Services services, QTextStream &errors)
{
    ErrorStreamMessages messages(errors);
    services.messages = &messages;
    try {
        build(options, services, messages);
    } catch (const Failure &failure) {
        messages.show(failure.description(), QString(), MessageButtons::Ok, MessageIcon::None);
    }
    return messages.shown == 0 ? 0 : 1;
}

} // namespace orv::chart
