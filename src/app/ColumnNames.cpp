#include "app/ColumnNames.h"

#include <algorithm>

namespace orv {

namespace {

constexpr PlanField kAllFields[] = {PlanField::Name,     PlanField::Percent, PlanField::Start,       PlanField::End,
                                    PlanField::Category, PlanField::SubTask, PlanField::OutlineLevel};

// A header's letters and digits, case-folded.
QString headerKey(const QString &header)
{
    QString key;
    for (const QChar c : header)
        if (c.isLetterOrNumber())
            key += c.toCaseFolded();
    return key;
}

// The fields a list takes from a table: its columns, and for tasks the
// outline level that makes sub-tasks.
std::vector<PlanField> readFields(ListKind kind)
{
    std::vector<PlanField> fields = listFields(kind);
    if (kind == ListKind::Tasks)
        fields.push_back(PlanField::OutlineLevel);
    return fields;
}

} // namespace

const std::vector<PlanField> &listFields(ListKind kind)
{
    static const std::vector<PlanField> categories = {PlanField::Category};
    static const std::vector<PlanField> tasks = {PlanField::Name, PlanField::Percent,  PlanField::Start,
                                                 PlanField::End,  PlanField::Category, PlanField::SubTask};
    static const std::vector<PlanField> events = {PlanField::Name, PlanField::Start, PlanField::End};
    switch (kind) {
    case ListKind::Categories:
        return categories;
    case ListKind::Tasks:
        return tasks;
    case ListKind::Events:
        break;
    }
    return events;
}

const QStringList &fieldNames(PlanField field)
{
    static const QList<QStringList> names = {
        {"Task", "Task Name", "Name", "Activity", "Title", "Event", "Event Name", "Special Event"},
        {"% Compl.", "% Complete", "% Completed", "Percent Complete", "Progress", "Complete", "Done"},
        {"Start", "Start Date", "Begin", "Begins"},
        {"End", "Finish", "End Date", "Finish Date", "Due", "Due Date"},
        {"Category", "Categories", "Phase", "Group", "Section", "Deliverable", "Workstream", "Summary"},
        {"Sub Task", "Subtask", "Sub-task"},
        {"Level", "Outline Level"},
    };
    return names[int(field)];
}

std::optional<PlanField> namedField(const QString &header)
{
    const QString key = headerKey(header);
    if (key.isEmpty())
        return std::nullopt;
    for (const PlanField field : kAllFields) {
        const QStringList &names = fieldNames(field);
        if (std::any_of(names.begin(), names.end(), [&](const QString &name) { return headerKey(name) == key; }))
            return field;
    }
    return std::nullopt;
}

std::optional<HeaderColumns> headerColumns(const QStringList &row, ListKind kind)
{
    std::vector<std::optional<PlanField>> named;
    std::vector<PlanField> distinct;
    int filled = 0;
    for (const QString &header : row) {
        filled += header.trimmed().isEmpty() ? 0 : 1;
        named.push_back(namedField(header));
        if (named.back() && std::find(distinct.begin(), distinct.end(), *named.back()) == distinct.end())
            distinct.push_back(*named.back());
    }
    // A lone name is read as a header only in the words Copy writes: a
    // single "Phase" or "Title" is more likely an item of that name.
    const auto isCaption = [&](const QString &header) {
        const QString key = headerKey(header);
        return key == headerKey(listCaptions(kind).front()) || (kind == ListKind::Categories && key == u"categories");
    };
    const bool lone = filled == 1 && std::any_of(row.begin(), row.end(), isCaption);
    const bool isHeader = distinct.size() >= 2 || lone;
    if (!isHeader)
        return std::nullopt;
    const std::vector<PlanField> wanted = readFields(kind);
    HeaderColumns columns;
    std::vector<PlanField> taken;
    for (qsizetype column = 0; column < row.size(); ++column) {
        const std::optional<PlanField> field = named[column];
        const bool takes = field && std::find(wanted.begin(), wanted.end(), *field) != wanted.end()
                           && std::find(taken.begin(), taken.end(), *field) == taken.end();
        if (takes)
            taken.push_back(*field);
        else if (!row[column].trimmed().isEmpty())
            columns.leftOut << row[column].trimmed();
        columns.fields.push_back(takes ? field : std::nullopt);
    }
    return columns;
}

QString understoodNames(ListKind kind)
{
    QStringList groups;
    for (const PlanField field : readFields(kind))
        groups << fieldNames(field).join(QStringLiteral(", "));
    return groups.join(QStringLiteral("; "));
}

} // namespace orv
