// The organizer pages over the synthetic installation, offscreen:
//   BM_GetComp              the appointment list and the date list rebuilt from "Tasks.go"
//                           (5 000 records)
//   BM_GetCompAgainstInsert GetComp against the baseline, many rounds: read "Tasks.go" and
//                           put 5 000 prepared rows into a bare QTreeWidget and 5 000 dates
//                           into a bare QListWidget; reports the medians in ms and their ratio

#include "benchdata.h"
#include "rounds.h"

#include "organizer/appointmentspage.h"
#include "platform/fakes.h"
#include "store/filestamp.h"
#include "store/paths.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <vector>

namespace {

struct Installation
{
    zorv::FakeServices fake;
    QTemporaryDir windowsDir;
    zorv::Paths paths{zorv::bench::benchRoot(), windowsDir.path()};
    zorv::AppointmentsPage page{paths, fake};
};

Installation &installation()
{
    static Installation *one = new Installation; // lives until the process ends, as the page does
    return *one;
}

QString tasksFile()
{
    return zorv::bench::benchFile(QStringLiteral("dados/Notas/Tasks.go"));
}

void BM_GetComp(benchmark::State &state)
{
    zorv::AppointmentsPage &page = installation().page;
    for (auto _ : state)
        page.GetComp();
    state.counters["rows"] = page.LVC->topLevelItemCount();
}

void BM_GetCompAgainstInsert(benchmark::State &state)
{
    zorv::AppointmentsPage &page = installation().page;
    QTreeWidget tree;
    tree.setColumnCount(3);
    QListWidget list;
    std::vector<double> getComp, baseline;
    QElapsedTimer clock;
    for (auto _ : state) {
        for (int round = 0; round < 20; ++round) {
            clock.start();
            page.GetComp();
            getComp.push_back(clock.nsecsElapsed() / 1e6);

            // The rows and dates as a caller would have them ready, made outside the timing.
            QList<QTreeWidgetItem *> rows;
            QStringList dates;
            for (int i = 0; i < page.LVC->topLevelItemCount(); ++i) {
                const QTreeWidgetItem *shown = page.LVC->topLevelItem(i);
                rows.append(new QTreeWidgetItem(QStringList{shown->text(0), shown->text(1), shown->text(2)}));
                dates.append(shown->text(0));
            }
            clock.start();
            QFile file(tasksFile());
            benchmark::DoNotOptimize(file.open(QIODevice::ReadOnly) ? file.readAll().size() : 0);
            tree.clear();
            tree.addTopLevelItems(rows);
            list.clear();
            list.addItems(dates);
            baseline.push_back(clock.nsecsElapsed() / 1e6);
        }
    }
    zorv::bench::reportMedians(state, "getcomp_ms", getComp, "baseline_ms", baseline);
}

} // namespace

BENCHMARK(BM_GetComp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetCompAgainstInsert)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char **argv)
{
    // GetComp keeps its rows while the file stays the version it listed; here it lists the
    // file in full every time, as on a show after the file changed: no stamp settles.
    zorv::setStampSettleTime(std::numeric_limits<qint64>::max());
    return zorv::bench::runWidgetBenchmarks(argc, argv);
}
