// Pasting 1,000 task rows from the clipboard into the main window's empty
// task list, as Ctrl+V does it, painted afterwards; and taking the paste
// back with Ctrl+Z.
#include "BenchMain.h"
#include "app/MessageBoxes.h"
#include "app/Services.h"
#include "project/Form1.h"

#include <QApplication>
#include <QClipboard>
#include <QHash>
#include <QKeyEvent>
#include <QTabWidget>
#include <QTreeWidget>
#include <benchmark/benchmark.h>

namespace {

using namespace orv;

struct QuietMessages : MessageBoxes {
    MessageAnswer show(const QString &, const QString &, MessageButtons buttons, MessageIcon) override
    {
        return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }
};

// The rows a spreadsheet puts on the clipboard: a header, then tasks in
// twenty categories with dates in the en-US short form.
QString thousandTaskRows()
{
    QString text = QStringLiteral("Task\t% Compl.\tStart\tEnd\tCategory\tSub Task\n");
    for (int i = 0; i < 1000; ++i)
        text += QStringLiteral("Task number %1\t%2\t%3/%4/2026\t%3/%5/2026\tCategory %6\t%7\n")
                    .arg(i)
                    .arg(i % 101)
                    .arg(i % 12 + 1)
                    .arg(i % 20 + 1)
                    .arg(i % 8 + 21)
                    .arg(i % 20)
                    .arg(i % 3 == 0 ? QStringLiteral("V") : QString());
    return text;
}

void press(QWidget &widget, int key)
{
    QKeyEvent down(QEvent::KeyPress, key, Qt::ControlModifier);
    QCoreApplication::sendEvent(&widget, &down);
}

struct MemorySettings : SettingsStore {
    std::optional<QString> read(const QString &key) const override
    {
        return values.contains(key) ? std::optional(values.value(key)) : std::nullopt;
    }
    void write(const QString &key, const QString &value) override { values.insert(key, value); }
    void remove(const QString &key) override { values.remove(key); }
    QHash<QString, QString> values;
};

struct Window {
    Window()
    {
        services.messages = &messages;
        services.settings = &settings;
        form.TabControl1->setCurrentIndex(1);
        form.show();
    }
    QuietMessages messages;
    MemorySettings settings;
    Services services;
    Form1 form{services};
};

void BM_PasteThousandTasks(benchmark::State &state)
{
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    QApplication::clipboard()->setText(thousandTaskRows());
    Window window;
    QTreeWidget &tasks = *window.form.ListView2;
    for (auto _ : state) {
        press(tasks, Qt::Key_V);
        benchmark::DoNotOptimize(tasks.grab());
        state.PauseTiming();
        if (tasks.topLevelItemCount() != 1000)
            state.SkipWithError("the paste did not add 1,000 tasks");
        press(tasks, Qt::Key_Z);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PasteThousandTasks)->Unit(benchmark::kMillisecond);

void BM_UndoThousandTaskPaste(benchmark::State &state)
{
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    QApplication::clipboard()->setText(thousandTaskRows());
    Window window;
    QTreeWidget &tasks = *window.form.ListView2;
    for (auto _ : state) {
        state.PauseTiming();
        press(tasks, Qt::Key_V);
        state.ResumeTiming();
        press(tasks, Qt::Key_Z);
        benchmark::DoNotOptimize(tasks.grab());
    }
    if (tasks.topLevelItemCount() != 0)
        state.SkipWithError("the undo left tasks behind");
}
BENCHMARK(BM_UndoThousandTaskPaste)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) { return orv::bench::runBenchmarks<QApplication>(argc, argv); }
