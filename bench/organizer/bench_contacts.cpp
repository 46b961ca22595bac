// The report field of the phone book rebuilding its items over a "dados\Notas" of 2 000
// ".tel" and 2 000 ".map" files, offscreen, against listing that folder:
//   BM_RebuildNameBox          rel2's rebuild: the folder read, the ".tel" names sorted for
//                              Portuguese, the box's items replaced
//   BM_ContactNames            the name list alone, without the box
//   BM_EntryList               the baseline: QDir::entryList of the same folder, no filter, unsorted
//   BM_RebuildAgainstEntryList both in turn, many rounds; the medians in ms and their ratio
// The folder is generated once into its own place under the system temp folder.

#include "benchdata.h"
#include "rounds.h"

#include "controls/contactnamebox.h"
#include "organizer/phonebookpage.h"
#include "platform/fakes.h"
#include "store/paths.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

constexpr int kContacts = 2000;

struct ContactFolderFixture
{
    QString root = QDir::tempPath() + QStringLiteral("/zorv-bench-contacts-%1").arg(kContacts);
    QTemporaryDir windowsDir;
    zorv::FakeServices fake;
    zorv::Paths paths{root, windowsDir.path()};
    QString notas = root + QStringLiteral("/dados/Notas");
    std::unique_ptr<zorv::PhoneBookPage> page;

    ContactFolderFixture()
    {
        if (QDir(notas).entryList(QDir::Files).size() < 2 * kContacts) {
            QDir().mkpath(notas);
            zorv::bench::generateContactFiles(root, kContacts);
        }
        page = std::make_unique<zorv::PhoneBookPage>(paths, fake.services());
    }
};

ContactFolderFixture &fixture()
{
    static ContactFolderFixture *one = new ContactFolderFixture;
    return *one;
}

QStringList listFolder(const QString &folder)
{
    return QDir(folder).entryList(QDir::NoFilter, QDir::Unsorted);
}

void BM_RebuildNameBox(benchmark::State &state)
{
    zorv::ContactNameBox *rel2 = fixture().page->rel2;
    for (auto _ : state)
        rel2->rebuild();
    state.counters["items"] = rel2->count();
}

void BM_ContactNames(benchmark::State &state)
{
    const zorv::ContactFolder &folder = fixture().page->folder();
    for (auto _ : state)
        benchmark::DoNotOptimize(folder.names());
}

void BM_EntryList(benchmark::State &state)
{
    const QString notas = fixture().notas;
    qsizetype entries = 0;
    for (auto _ : state) {
        entries = listFolder(notas).size();
        benchmark::DoNotOptimize(entries);
    }
    state.counters["entries"] = double(entries);
}

void BM_RebuildAgainstEntryList(benchmark::State &state)
{
    ContactFolderFixture &f = fixture();
    zorv::bench::compareInRounds(
        state, 40, "rebuild_ms", [&] { f.page->rel2->rebuild(); }, "entrylist_ms",
        [&] { benchmark::DoNotOptimize(listFolder(f.notas)); });
}

} // namespace

BENCHMARK(BM_RebuildNameBox)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ContactNames)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EntryList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RebuildAgainstEntryList)->Unit(benchmark::kMillisecond)->Iterations(4);

int main(int argc, char **argv)
{
    return zorv::bench::runWidgetBenchmarks(argc, argv);
}
