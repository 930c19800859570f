#pragma once

// What the benchmarks need to run "Create Template!" without windows: silent
// message boxes, a temporary folder, no main window, and a project of any size.

#include "app/MessageBoxes.h"
#include "app/Services.h"
#include "chart/BuilderWindow.h"
#include "chart/ChartBuilder.h"
#include "chart/ChartPreview.h"
#include "chart/CustomResource.h"
#include "chart/EngineApplicationFactory.h"
#include "chart/ProjectLists.h"
#include "files/Failure.h"
#include "files/FileAccess.h"

#include <QTemporaryDir>
#include <algorithm>

namespace orv::bench {

class SilentMessages : public MessageBoxes {
public:
    MessageAnswer show(const QString &, const QString &, MessageButtons, MessageIcon) override
    {
        ++shown;
        return MessageAnswer::Ok;
    }
    int shown = 0;
};

class BenchFolders : public Folders {
public:
    QString programFolder() const override { return mTemp.path(); }
    QString tempFolder() const override { return mTemp.path(); }

private:
    QTemporaryDir mTemp;
};

class NoWindow : public orv::chart::BuilderWindow {
public:
    void setPointer(PointerSetting) override {}
    void hideMainWindow() override {}
};

// What the builder reaches the outside world through, on the engine.
struct BuilderServices {
    BuilderServices()
    {
        services.messages = &messages;
        services.folders = &folders;
        services.clock = &clock;
        services.spreadsheets = &spreadsheets;
    }
    SilentMessages messages;
    BenchFolders folders;
    SystemClock clock;
    orv::chart::EngineApplicationFactory spreadsheets{clock, QLocale(QLocale::English, QLocale::UnitedStates)};
    Services services;
};

// The sample's shape scaled up: a category for every 50 tasks, a sub-task
// every fourth task, five special events.
inline orv::chart::ProjectLists project(int tasks)
{
    orv::chart::ProjectLists lists;
    const int categories = std::max(2, tasks / 50);
    for (int c = 0; c < categories; ++c)
        lists.categories.push_back({QStringLiteral("Category %1").arg(c + 1)});
    for (int t = 0; t < tasks; ++t) {
        const int day = 1 + t % 28;
        lists.tasks.push_back({QStringLiteral("Task %1").arg(t + 1), QString::number(t * 7 % 101),
                               QStringLiteral("8/%1/2016").arg(day), QStringLiteral("9/%1/2016").arg(day),
                               QStringLiteral("Category %1").arg(t % categories + 1),
                               t % 4 == 3 ? QStringLiteral("V") : QString()});
    }
    for (int e = 0; e < 5; ++e)
        lists.events.push_back({QStringLiteral("Event %1").arg(e + 1), QStringLiteral("8/%1/2016").arg(10 + e),
                                QStringLiteral("8/%1/2016").arg(10 + e)});
    return lists;
}

// The bytes of the chart workbook "Create Template!" makes of project(tasks),
// without a picture.
inline QByteArray chartWorkbookBytes(int tasks)
{
    struct KeepFile : orv::chart::ChartPreview {
        void takePicture(const orv::chart::HandedPicture &) override {}
        void setExcelFile(const QString &path) override { bytes = files::readWholeFile(path, files::Links::Refuse); }
        void show() override {}
        bool wantsPicture() const override { return false; }
        QByteArray bytes;
    } preview;
    BuilderServices bench;
    const orv::chart::ProjectLists lists = project(tasks);
    NoWindow window;
    orv::chart::ChartBuilder builder(
        {bench.services, lists, window, preview, [] { return orv::chart::loadCustomResource(101); }});
    builder.PushButton6_Click();
    if (bench.messages.shown != 0 || preview.bytes.isEmpty())
        throw Failure(QStringLiteral("the builder reported a failure"));
    return preview.bytes;
}

} // namespace orv::bench
