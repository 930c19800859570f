#pragma once

#include "chart/BuilderWindow.h"
#include "chart/ChartBuilder.h"
#include "chart/ChartPreview.h"
#include "chart/CustomResource.h"
#include "chart/EngineApplicationFactory.h"
#include "chart/ProjectLists.h"
#include "sheet/model/Workbook.h"
#include "sheet/render/SheetPicture.h"
#include "sheet/xls/XlsFile.h"
#include "support/ScriptedServices.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <functional>
#include <vector>

namespace orv::chart::test {

// Records the pointer and the hiding of the main window.
class RecordingWindow : public BuilderWindow {
public:
    void setPointer(PointerSetting pointer) override { pointers.push_back(pointer); }
    void hideMainWindow() override { hidden = true; }
    std::vector<PointerSetting> pointers;
    bool hidden = false;
};

// Records the hand-over in the order it happened.
class RecordingPreview : public ChartPreview {
public:
    void takePicture(const HandedPicture &handed) override
    {
        const QString &path = handed.path;
        calls << QStringLiteral("picture");
        picture = sheet::readPicture(path);
        if (onPicture)
            onPicture();
    }
    void setExcelFile(const QString &path) override
    {
        calls << QStringLiteral("file");
        excelFile = path;
    }
    void show() override { calls << QStringLiteral("show"); }

    QStringList calls;
    QImage picture;
    QString excelFile;
    std::function<void()> onPicture;
};

inline constexpr std::uint32_t kSeed = 20240315;

// One builder over in-memory lists, with scripted message boxes, a fixed
// day, American dates and a temporary folder of its own.
class ChartBuilderTest : public ::testing::Test {
protected:
    ChartBuilderTest()
        : engine(scripted.clock, QLocale(QLocale::English, QLocale::UnitedStates)),
          builder(ChartBuilder::Parts{scripted.services, lists, window, preview,
                                      [this] { return templateBytes(); }},
                  kSeed)
    {
        scripted.services.spreadsheets = &engine;
    }

    virtual QByteArray templateBytes() { return loadCustomResource(101); }

    QString temp(const QString &name) const { return QDir(scripted.folders.tempFolder()).filePath(name); }
    QStringList tempFiles() const { return QDir(scripted.folders.tempFolder()).entryList(QDir::Files); }

    // Builds the chart and reads the saved chart workbook back.
    sheet::Workbook build()
    {
        builder.PushButton6_Click();
        return sheet::xls::openWorkbook(preview.excelFile);
    }

    std::vector<int> reportedLines() const
    {
        std::vector<int> lines;
        for (const auto &shown : scripted.messages.shown) {
            const qsizetype at = shown.text.indexOf(QStringLiteral("at line "));
            lines.push_back(shown.text.mid(at + 8).section(u'\r', 0, 0).toInt());
        }
        return lines;
    }

    orv::test::ScriptedServices scripted;
    EngineApplicationFactory engine;
    ProjectLists lists;
    RecordingWindow window;
    RecordingPreview preview;
    ChartBuilder builder;
};

// The text, number or nothing in a cell of the chart sheet (row and column
// 1-based, as the builder writes them).
inline sheet::Value valueAt(const sheet::Workbook &book, int row, int column)
{
    const sheet::Cell *cell = book.sheet(0).cell({row - 1, column - 1});
    return cell ? cell->value : sheet::Value{};
}

inline QString textAt(const sheet::Workbook &book, int row, int column)
{
    const sheet::Value value = valueAt(book, row, column);
    const QString *text = std::get_if<QString>(&value);
    return text ? *text : QString();
}

} // namespace orv::chart::test
