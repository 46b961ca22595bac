// The audio page over the synthetic installation's music folder (2 000 files, 1 600 of
// them music), offscreen, against plain file access in the same run:
//   BM_FillTrackLists         the show's playlist step: "dados\Play.list" read, the folder
//                             listed, filtered and sorted into FLi and copied into FL2
//   BM_EntryList              the baseline: QDir::entryList of the folder, names, unsorted
//   BM_FillAgainstEntryList   both in turn, many rounds; the medians in ms and their ratio

#include "benchdata.h"

#include "media/audiopage.h"
#include "media/folderlisting.h"
#include "platform/fakes.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

struct Installation
{
    zorv::FakeServices fake;
    QTemporaryDir windowsDir;
    zorv::Paths paths{zorv::bench::benchRoot(), windowsDir.path()};
    zorv::AudioPage page{paths, fake};
    QString musicFolder = zorv::bench::benchFile(QStringLiteral("Musicas"));
};

Installation &installation()
{
    static Installation *one = new Installation;
    return *one;
}

qsizetype entryList(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Unsorted).size();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void BM_FillTrackLists(benchmark::State &state)
{
    Installation &inst = installation();
    for (auto _ : state)
        inst.page.LoadPlaylist();
    state.counters["tracks"] = inst.page.FL2->count();
}

void BM_EntryList(benchmark::State &state)
{
    Installation &inst = installation();
    for (auto _ : state)
        benchmark::DoNotOptimize(entryList(inst.musicFolder));
}

void BM_FillAgainstEntryList(benchmark::State &state)
{
    Installation &inst = installation();
    std::vector<double> fill, list;
    QElapsedTimer clock;
    for (auto _ : state) {
        for (int round = 0; round < 40; ++round) {
            clock.start();
            inst.page.LoadPlaylist();
            fill.push_back(clock.nsecsElapsed() / 1e6);
            clock.start();
            benchmark::DoNotOptimize(entryList(inst.musicFolder));
            list.push_back(clock.nsecsElapsed() / 1e6);
        }
    }
    const double fillMs = median(fill), listMs = median(list);
    state.counters["fill_ms"] = fillMs;
    state.counters["entrylist_ms"] = listMs;
    state.counters["ratio"] = listMs > 0 ? fillMs / listMs : 0;
}

} // namespace

BENCHMARK(BM_FillTrackLists)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EntryList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillAgainstEntryList)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
