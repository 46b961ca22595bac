// The audio page over the synthetic installation's music folder (2 000 files, 1 600 of
// them music), offscreen, against plain file access in the same run:
//   BM_FillTrackLists         the show's playlist step: "dados\Play.list" read, the folder
//                             listed, filtered and sorted into FLi and copied into FL2
//   BM_EntryList              the baseline: QDir::entryList of the folder, names, unsorted
//   BM_FillAgainstEntryList   both in turn, many rounds; the medians in ms and their ratio
// and the slide show over its picture folder:
//   BM_ShowLargePicture       the slide show putting the 6000 x 4000 JPEG into FT (1366 x 600)
//   BM_DecodeLargePicture     the baseline: QImage(path), the whole picture decoded
//   BM_ShowAgainstDecode      both in turn; the medians and their ratio

#include "benchdata.h"
#include "rounds.h"

#include "media/audiopage.h"
#include "media/folderlisting.h"
#include "media/slideshow.h"
#include "platform/fakes.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
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
    QString largePicture = zorv::bench::benchFile(QStringLiteral("Imagens/grande.jpg"));
    int largeRow = -1;

    Installation()
    {
        page.resize(1400, 700);
        page.show();
        zorv::SlideShow &slides = *page.slides;
        slides.LoadSlides();
        largeRow = int(slides.fl1->names().indexOf(QStringLiteral("grande.jpg")));
        slides.FT->setFixedSize(1366, 600);
        slides.ATVSClick(); // running: FT in the track list's place
        slides.TMS.stop();
    }
    // The tick that moves the show onto the large picture.
    void showLarge()
    {
        page.slides->fl1->setCurrentRow(largeRow - 1);
        page.slides->TMSTimer();
    }
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
    zorv::bench::compareInRounds(
        state, 40, "fill_ms", [&] { inst.page.LoadPlaylist(); }, "entrylist_ms",
        [&] { benchmark::DoNotOptimize(entryList(inst.musicFolder)); });
}

void BM_ShowLargePicture(benchmark::State &state)
{
    Installation &inst = installation();
    for (auto _ : state)
        inst.showLarge();
    const QPixmap shown = inst.page.slides->FT->pixmap();
    state.counters["width"] = shown.width();
    state.counters["height"] = shown.height();
}

void BM_DecodeLargePicture(benchmark::State &state)
{
    Installation &inst = installation();
    for (auto _ : state)
        benchmark::DoNotOptimize(QImage(inst.largePicture).width());
}

void BM_ShowAgainstDecode(benchmark::State &state)
{
    Installation &inst = installation();
    zorv::bench::compareInRounds(
        state, 5, "show_ms", [&] { inst.showLarge(); }, "decode_ms",
        [&] { benchmark::DoNotOptimize(QImage(inst.largePicture).width()); });
}

} // namespace

BENCHMARK(BM_FillTrackLists)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EntryList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillAgainstEntryList)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ShowLargePicture)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeLargePicture)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowAgainstDecode)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char **argv)
{
    return zorv::bench::runWidgetBenchmarks(argc, argv);
}
