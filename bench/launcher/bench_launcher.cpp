// The launcher pages' work over the synthetic installation with the desktop's real icons
// (offscreen), against reading the same files and asking QFileIconProvider once per path:
//   BM_Atualizar2Click          the shortcut center's refresh over the 300-line shortcut list
//   BM_ReadShortcutsAndIcons    the baseline: the file read and split, one icon per path
//   BM_ShortcutsAgainstRead     both in turn, many rounds; medians in ms and their ratio
//   BM_DeskLoads                the Desk page's share of the show step: the folder history
//                               pair and the task view over 40 tasks
//   BM_ReadDeskFiles            the baseline: the three files read, one icon per task
//   BM_DeskLoadsAgainstRead     both in turn, many rounds; medians in ms and their ratio

#include "benchdata.h"
#include "rounds.h"

#include "launcher/deskpage.h"
#include "launcher/folderhistory.h"
#include "launcher/iconlist.h"
#include "launcher/shortcutcenter.h"
#include "launcher/taskpanel.h"
#include "platform/fakes.h"
#include "platform/services.h"
#include "store/paths.h"
#include "store/textcodec.h"
#include "store/textlist.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileIconProvider>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Installation
{
    zorv::FakeSingleInstance instance;
    zorv::RealServices real{instance, QString()}; // no policy file: nothing here sets a password
    QTemporaryDir windowsDir;
    zorv::Paths paths{zorv::bench::benchRoot(), windowsDir.path()};
    zorv::DeskPage desk{paths, real.services()};
    zorv::ShortcutCenter &shortcuts = *desk.shortcuts;
    QFileIconProvider provider;
};

Installation &installation()
{
    static Installation *one = new Installation;
    return *one;
}

// The baseline: the list file read and split into lines, and the desktop's icon of each
// line's path.
qint64 readAndIcons(const QString &file, QFileIconProvider &provider)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    qint64 found = 0;
    for (const QString &line : zorv::decodeLines(f.readAll())) {
        const qsizetype at = line.indexOf(QLatin1String("<>"));
        if (at >= 0)
            found += provider.icon(QFileInfo(line.mid(at + 2))).isNull() ? 0 : 1;
    }
    return found;
}

QString shortcutFile()
{
    return installation().paths.resolve(zorv::kShortcutListFile);
}

void BM_Atualizar2Click(benchmark::State &state)
{
    Installation &inst = installation();
    for (auto _ : state)
        inst.shortcuts.Atualizar2Click();
    state.counters["items"] = inst.shortcuts.LVx->count();
}

// The icon rule alone over the same paths, without the list.
void BM_ItemIcons(benchmark::State &state)
{
    Installation &inst = installation();
    zorv::TextList list;
    list.load(shortcutFile());
    QStringList paths;
    for (const QString &line : list.lines())
        paths << line.mid(line.indexOf(QLatin1String("<>")) + 2);
    for (auto _ : state) {
        for (const QString &path : paths)
            benchmark::DoNotOptimize(zorv::ItemIcon(inst.real.services().shell, path).isNull());
    }
}

void BM_ReadShortcutsAndIcons(benchmark::State &state)
{
    Installation &inst = installation();
    const QString file = shortcutFile();
    for (auto _ : state)
        benchmark::DoNotOptimize(readAndIcons(file, inst.provider));
}

void BM_ShortcutsAgainstRead(benchmark::State &state)
{
    Installation &inst = installation();
    const QString file = shortcutFile();
    zorv::bench::compareInRounds(
        state, 30, "refresh_ms", [&] { inst.shortcuts.Atualizar2Click(); }, "read_ms",
        [&] { benchmark::DoNotOptimize(readAndIcons(file, inst.provider)); });
}

qint64 readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().size() : 0;
}

// The baseline of the Desk page's loads: both history files read, the task list read and
// split, one icon per task.
qint64 readDeskFiles(const zorv::Paths &paths, QFileIconProvider &provider)
{
    qint64 total = readFile(paths.resolve(zorv::kHistoryNamesFile));
    total += readFile(paths.resolve(zorv::kHistoryPathsFile));
    QFile f(paths.resolve(zorv::kTaskListFile));
    if (f.open(QIODevice::ReadOnly)) {
        for (const QString &line : zorv::decodeLines(f.readAll()))
            total += provider.icon(QFileInfo(line)).isNull() ? 0 : 1;
    }
    return total;
}

void BM_DeskLoads(benchmark::State &state)
{
    Installation &inst = installation();
    for (auto _ : state)
        inst.desk.LoadHistory();
    state.counters["tasks"] = inst.desk.tasks->LTA->count();
}

void BM_ReadDeskFiles(benchmark::State &state)
{
    Installation &inst = installation();
    for (auto _ : state)
        benchmark::DoNotOptimize(readDeskFiles(inst.paths, inst.provider));
}

void BM_DeskLoadsAgainstRead(benchmark::State &state)
{
    Installation &inst = installation();
    zorv::bench::compareInRounds(
        state, 30, "loads_ms", [&] { inst.desk.LoadHistory(); }, "read_ms",
        [&] { benchmark::DoNotOptimize(readDeskFiles(inst.paths, inst.provider)); });
}

} // namespace

BENCHMARK(BM_Atualizar2Click)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ItemIcons)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadShortcutsAndIcons)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShortcutsAgainstRead)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DeskLoads)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadDeskFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeskLoadsAgainstRead)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char **argv)
{
    return zorv::bench::runWidgetBenchmarks(argc, argv);
}
