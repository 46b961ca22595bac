// Load + save of the largest year ledger through the text-list code, against reading and
// writing the same bytes with plain QFile.
#include "benchdata.h"

#include "store/textlist.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <benchmark/benchmark.h>

namespace {

QString outputPath()
{
    return QDir::tempPath() + QStringLiteral("/zorv-bench-store.out");
}

void BM_PlainQFileReadWrite(benchmark::State &state)
{
    const QString in = zorv::bench::largestYearLedger();
    for (auto _ : state) {
        QFile f(in);
        f.open(QIODevice::ReadOnly);
        const QByteArray bytes = f.readAll();
        QFile out(outputPath());
        out.open(QIODevice::WriteOnly | QIODevice::Truncate);
        out.write(bytes);
        out.close();
        benchmark::DoNotOptimize(bytes.size());
    }
    state.SetBytesProcessed(state.iterations() * QFile(in).size());
}

void BM_TextListLoadSave(benchmark::State &state)
{
    const QString in = zorv::bench::largestYearLedger();
    for (auto _ : state) {
        zorv::TextList list;
        list.load(in);
        if (!list.save(outputPath()))
            state.SkipWithError("the list could not be saved");
        benchmark::DoNotOptimize(list.lines().size());
    }
    state.SetBytesProcessed(state.iterations() * QFile(in).size());
}

// The codec alone, without the disk: decoding and encoding the same bytes.
void BM_DecodeEncodeOnly(benchmark::State &state)
{
    QFile f(zorv::bench::largestYearLedger());
    f.open(QIODevice::ReadOnly);
    const QByteArray bytes = f.readAll();
    for (auto _ : state) {
        const QStringList lines = zorv::decodeLines(bytes);
        benchmark::DoNotOptimize(zorv::encodeLines(lines).size());
    }
}

void BM_DecodeOnly(benchmark::State &state)
{
    QFile f(zorv::bench::largestYearLedger());
    f.open(QIODevice::ReadOnly);
    const QByteArray bytes = f.readAll();
    for (auto _ : state)
        benchmark::DoNotOptimize(zorv::decodeLines(bytes).size());
}

void BM_EncodeOnly(benchmark::State &state)
{
    QFile f(zorv::bench::largestYearLedger());
    f.open(QIODevice::ReadOnly);
    const QStringList lines = zorv::decodeLines(f.readAll());
    for (auto _ : state)
        benchmark::DoNotOptimize(zorv::encodeLines(lines).size());
}

} // namespace

BENCHMARK(BM_DecodeOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EncodeOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainQFileReadWrite)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TextListLoadSave)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecodeEncodeOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
