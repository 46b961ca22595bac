// Amount texts in the ledger format "0.0,0": formatting and reading a million amounts,
// against QString::number / QString::toDouble on the same values as the baseline.
#include "controls/money.h"

#include <QList>
#include <QString>

#include <benchmark/benchmark.h>

#include <random>

namespace {

constexpr int kCount = 1'000'000;

// Ledger-like amounts: whole cents up to ten million, a fifth of them negative.
const QList<zorv::Currency> &amounts()
{
    static const QList<zorv::Currency> values = [] {
        QList<zorv::Currency> v;
        v.reserve(kCount);
        std::mt19937_64 rng(20130305);
        std::uniform_int_distribution<std::int64_t> cents(0, 1'000'000'000);
        std::uniform_int_distribution<int> sign(0, 4);
        for (int i = 0; i < kCount; ++i) {
            const std::int64_t raw = cents(rng) * 100;
            v.append(zorv::Currency::fromRaw(sign(rng) == 0 ? -raw : raw));
        }
        return v;
    }();
    return values;
}

const QList<double> &doubles()
{
    static const QList<double> values = [] {
        QList<double> v;
        v.reserve(kCount);
        for (const zorv::Currency c : amounts())
            v.append(c.toDouble());
        return v;
    }();
    return values;
}

const QStringList &amountTexts()
{
    static const QStringList texts = [] {
        QStringList t;
        t.reserve(kCount);
        for (const zorv::Currency c : amounts())
            t.append(zorv::formatAmount(c));
        return t;
    }();
    return texts;
}

const QStringList &baselineTexts()
{
    static const QStringList texts = [] {
        QStringList t;
        t.reserve(kCount);
        for (const double d : doubles())
            t.append(QString::number(d, 'f', 2));
        return t;
    }();
    return texts;
}

void BM_FormatAmount(benchmark::State &state)
{
    const auto &values = amounts();
    for (auto _ : state) {
        qsizetype chars = 0;
        for (const zorv::Currency c : values)
            chars += zorv::formatAmount(c).size();
        benchmark::DoNotOptimize(chars);
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_FormatAmount)->Unit(benchmark::kMillisecond);

void BM_FormatBaseline_QStringNumber(benchmark::State &state)
{
    const auto &values = doubles();
    for (auto _ : state) {
        qsizetype chars = 0;
        for (const double d : values)
            chars += QString::number(d, 'f', 2).size();
        benchmark::DoNotOptimize(chars);
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_FormatBaseline_QStringNumber)->Unit(benchmark::kMillisecond);

void BM_ParseAmount(benchmark::State &state)
{
    const auto &texts = amountTexts();
    for (auto _ : state) {
        std::int64_t sum = 0;
        for (const QString &t : texts)
            sum += zorv::parseAmount(t).value_or(zorv::Currency()).raw();
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_ParseAmount)->Unit(benchmark::kMillisecond);

void BM_ParseBaseline_QStringToDouble(benchmark::State &state)
{
    const auto &texts = baselineTexts();
    for (auto _ : state) {
        double sum = 0;
        bool ok = false;
        for (const QString &t : texts)
            sum += t.toDouble(&ok);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_ParseBaseline_QStringToDouble)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
