// The suite window's show step over the 20-year synthetic installation, offscreen, against
// reading what it loads:
//   BM_ShowStep            the whole show step (LoadAll and the finance refresh included;
//                          the fade-in timer is started, its ticks are not run)
//   BM_LoadAll             the reload part alone
//   BM_ReadShowStepFiles   the baseline: every file and folder listing the show step reads,
//                          as plain file access (finance months, symbol, colour, appointments,
//                          launcher lists, music and picture folders, notes and diary)
//   BM_ShowStepAgainstRead both in turn, many rounds; reports the medians in ms and their ratio
// and with the full suite on (its flag file and the trainer's interval written into the same
// installation, so every page is filled; removed again afterwards):
//   BM_FullSuiteShowAgainstRead  the show step against reading its files, as above
//   BM_FullSuitePageChange       Ctrl+PgDown through every page of the bar, each change
//                                until its page is laid out and painted; the median per change

#include "benchdata.h"
#include "rounds.h"

#include "app/fullsuite.h"
#include "app/windowset.h"
#include "finance/financepage.h"
#include "platform/fakes.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QListWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

struct Installation
{
    zorv::FakeServices fake;
    QTemporaryDir windowsDir;
    zorv::Paths paths{zorv::bench::benchRoot(), windowsDir.path()};
    zorv::WindowSet windows{fake, paths};

    Installation()
    {
        windows.tats.ShowSuite(); // the first show lays the window out; the runs measure the next ones
    }
};

Installation &installation()
{
    static Installation *one = new Installation; // lives until the process ends, as the window does
    return *one;
}

qint64 readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().size() : 0;
}

// Everything the show step reads from disk, read plainly.
qint64 readShowStepFiles(const zorv::Paths &paths)
{
    qint64 total = QDir(paths.resolve(QStringLiteral("dados\\Finance")))
                       .entryList({QStringLiteral("*.fin")}, QDir::Files)
                       .size();
    total += readFile(paths.resolve(QStringLiteral("dados\\Money.sbm")));
    total += readFile(paths.resolve(QStringLiteral("dados\\interface.col")));
    total += readFile(paths.resolve(QStringLiteral("dados\\Notas\\Tasks.go")));
    // The audio page lists its music folder again on every show.
    total += readFile(paths.resolve(QStringLiteral("dados\\Play.list")));
    total += QDir(paths.exeDir() + QStringLiteral("Musicas"))
                 .entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Unsorted)
                 .size();
    // The launcher pages: the shortcut list, the aliases, the folder history and the tasks.
    total += readFile(paths.resolve(QStringLiteral("Dados\\ma.list")));
    total += readFile(paths.resolve(QStringLiteral("dados\\Speed.Run")));
    total += readFile(paths.resolve(QStringLiteral("dados\\history.nav")));
    total += readFile(paths.resolve(QStringLiteral("dados\\history.naveg")));
    total += readFile(paths.resolve(QStringLiteral("dados\\Task.list")));
    total += readFile(paths.resolve(QStringLiteral("dados\\Notas\\Map.next")));
    // The slide show points its list at its picture folder on every show.
    total += readFile(paths.resolve(QStringLiteral("dados\\Slide.list")));
    total += QDir(paths.exeDir() + QStringLiteral("Imagens"))
                 .entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Unsorted)
                 .size();
    // Quick notes and diary: the notes file, the page list and today's page.
    total += readFile(paths.resolve(QStringLiteral("dados\\Notas\\Notas.speed")));
    total += QDir(paths.resolve(QStringLiteral("dados\\Diary"))).entryList(QDir::Files).size();
    total += readFile(paths.resolve(QStringLiteral("dados\\Diary\\15.03.2013")));
    return total;
}

void BM_ShowStep(benchmark::State &state)
{
    zorv::SuiteWindow &tats = installation().windows.tats;
    for (auto _ : state)
        tats.FormShow();
    state.counters["months"] = installation().windows.finance->lvd1->count();
}

void BM_LoadAll(benchmark::State &state)
{
    zorv::SuiteWindow &tats = installation().windows.tats;
    for (auto _ : state)
        tats.LoadAll();
}

void BM_ReadShowStepFiles(benchmark::State &state)
{
    const zorv::Paths &paths = installation().paths;
    for (auto _ : state)
        benchmark::DoNotOptimize(readShowStepFiles(paths));
}

void BM_ShowStepAgainstRead(benchmark::State &state)
{
    Installation &inst = installation();
    zorv::bench::compareInRounds(
        state, 50, "show_ms", [&] { inst.windows.tats.FormShow(); }, "read_ms",
        [&] { benchmark::DoNotOptimize(readShowStepFiles(inst.paths)); });
}

// The full suite over the same installation; a window set of its own, built once the flag
// file is there (the suite window reads it at every show all the same).
struct FullSuiteRun
{
    FullSuiteRun() { zorv::bench::generateFullSuite(zorv::bench::benchRoot()); }
    ~FullSuiteRun()
    {
        QFile::remove(zorv::bench::benchFile(QStringLiteral("dados/Suite.full")));
        QFile::remove(zorv::bench::benchFile(QStringLiteral("dados/Personal.not")));
    }
};

Installation &fullSuiteInstallation()
{
    static Installation *one = [] {
        zorv::bench::generateFullSuite(zorv::bench::benchRoot());
        return new Installation;
    }();
    return *one;
}

qint64 readFullSuiteShowStepFiles(const zorv::Paths &paths)
{
    return readShowStepFiles(paths) + readFile(paths.resolve(QStringLiteral("dados\\Suite.full")));
}

void BM_FullSuiteShowAgainstRead(benchmark::State &state)
{
    FullSuiteRun run;
    Installation &inst = fullSuiteInstallation();
    if (!inst.windows.tats.fullSuite()) {
        state.SkipWithError("the full suite did not switch on");
        return;
    }
    zorv::bench::compareInRounds(
        state, 50, "show_ms", [&] { inst.windows.tats.FormShow(); }, "read_ms",
        [&] { benchmark::DoNotOptimize(readFullSuiteShowStepFiles(inst.paths)); });
}

void BM_FullSuitePageChange(benchmark::State &state)
{
    FullSuiteRun run;
    zorv::SuiteWindow &tats = fullSuiteInstallation().windows.tats;
    tats.FormShow();
    QCoreApplication::processEvents();
    std::vector<double> changes;
    QElapsedTimer clock;
    int missed = 0;
    for (auto _ : state) {
        const int before = tats.currentPage();
        QWidget *target = tats.focusWidget() ? tats.focusWidget() : &tats;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_PageDown, Qt::ControlModifier);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_PageDown, Qt::ControlModifier);
        clock.start();
        QApplication::sendEvent(target, &press);
        QApplication::sendEvent(target, &release);
        tats.repaint(); // the new page laid out and painted, as the user sees it
        QCoreApplication::processEvents();
        changes.push_back(clock.nsecsElapsed() / 1e6);
        missed += tats.currentPage() == before ? 1 : 0;
    }
    if (missed > 0)
        state.SkipWithError("a Ctrl+PgDown left the page as it was");
    state.counters["median_change_ms"] = zorv::bench::median(changes);
    state.counters["max_change_ms"] = *std::max_element(changes.begin(), changes.end());
    state.counters["pages"] = zorv::SuiteWindow::pageCount;
}

} // namespace

BENCHMARK(BM_ShowStep)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadAll)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadShowStepFiles)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ShowStepAgainstRead)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(BM_FullSuiteShowAgainstRead)->Unit(benchmark::kMillisecond)->Iterations(4);
// Ten walks through the twelve pages of the bar.
BENCHMARK(BM_FullSuitePageChange)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10 * zorv::SuiteWindow::pageCount);

// The offscreen platform warns on every opacity and raise request; printing them would be
// timed along with the show step.
void quietPlatformWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support")))
        return;
    fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

int main(int argc, char **argv)
{
    qInstallMessageHandler(quietPlatformWarnings);
    return zorv::bench::runWidgetBenchmarks(argc, argv);
}
