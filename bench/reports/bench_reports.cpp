// The yearly report over the largest synthetic year ledger (read the ledger, build the page,
// write it, hand it off), against writing a page of the same size with QSaveFile. Repeated
// clicks find the hand-off file already naming the report; the NewTarget variant pays for
// rewriting it each time, as the first report after a web page or document does. The Page
// variant builds the page in memory from lines already read: the part of the work that is
// neither reading nor writing files. The page carries the chart of the year's months.
#include "benchdata.h"

#include "controls/money.h"
#include "finance/ledger.h"
#include "platform/fakes.h"
#include "reports/chartdata.h"
#include "reports/financereports.h"
#include "reports/launcher.h"
#include "reports/reportwriter.h"
#include "reports/svgchart.h"
#include "store/records.h"
#include "store/textlist.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// An installation holding a copy of the largest year ledger, with the entry date in its year.
struct YearInstall
{
    QTemporaryDir dir;
    zorv::Paths paths{dir.path(), dir.path()};
    zorv::FakeServices fake;
    zorv::FinanceReportInputs inputs;

    YearInstall()
    {
        const QString source = zorv::bench::largestYearLedger();
        const QString year = QFileInfo(source).completeBaseName();
        QDir(dir.path()).mkpath(QStringLiteral("dados/Finance"));
        QFile::copy(source, dir.path() + QStringLiteral("/dados/Finance/") + year + QStringLiteral(".CX"));
        inputs.entryDate = QDate(year.toInt(), 6, 15);
        inputs.symbol = QStringLiteral("R$");
    }
    QString reportPath() const { return paths.resolve(zorv::kReportFile); }
};

void BM_YearReport(benchmark::State &state)
{
    YearInstall install;
    for (auto _ : state) {
        const bool written = zorv::runFinanceReport(zorv::FinanceReport::Year, install.inputs, install.paths,
                                                    install.fake.services());
        benchmark::DoNotOptimize(written);
        install.fake.programs.started.clear();
    }
    const qint64 bytes = QFileInfo(install.reportPath()).size();
    state.counters["page_bytes"] = double(bytes);
    state.SetBytesProcessed(state.iterations() * bytes);
}

void BM_YearReportNewTarget(benchmark::State &state)
{
    YearInstall install;
    const QString handOff = install.paths.resolve(zorv::kHandOffFile);
    for (auto _ : state) {
        state.PauseTiming();
        if (!zorv::writeFileAtomically(handOff, "https://example.com\r\n"))
            state.SkipWithError("the hand-off file could not be written");
        state.ResumeTiming();
        const bool written = zorv::runFinanceReport(zorv::FinanceReport::Year, install.inputs, install.paths,
                                                    install.fake.services());
        benchmark::DoNotOptimize(written);
        install.fake.programs.started.clear();
    }
}

void BM_YearReportPage(benchmark::State &state)
{
    zorv::FinanceReportInputs inputs;
    zorv::TextList year;
    year.load(zorv::bench::largestYearLedger());
    inputs.yearLines = year.lines();
    inputs.symbol = QStringLiteral("R$");
    for (auto _ : state) {
        const auto page = zorv::buildFinanceReport(zorv::FinanceReport::Year, inputs, QDate(2013, 3, 15));
        benchmark::DoNotOptimize(zorv::renderReport(*page).size());
    }
}

// The yearly chart alone: the year's lines added up by month and drawn, the part of the
// page the chart adds to the table.
void BM_YearChart(benchmark::State &state)
{
    zorv::TextList year;
    year.load(zorv::bench::largestYearLedger());
    QList<zorv::TaggedFieldViews> lines;
    for (const QString &line : year.lines())
        lines.append(zorv::extractFieldViews(line));
    for (auto _ : state) {
        zorv::MonthlyTotals months;
        for (const zorv::TaggedFieldViews &f : lines)
            if (const auto amount = zorv::parseAmount(f.f0))
                months.add(f.f1, f.f2, *amount);
        benchmark::DoNotOptimize(zorv::yearChartSvg(months.months()).size());
    }
}

// The baseline: the same number of bytes through QSaveFile to the same place.
void BM_SaveSameBytes(benchmark::State &state)
{
    YearInstall install;
    zorv::runFinanceReport(zorv::FinanceReport::Year, install.inputs, install.paths, install.fake.services());
    const QByteArray bytes(QFileInfo(install.reportPath()).size(), 'x');
    for (auto _ : state) {
        QSaveFile file(install.reportPath());
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        benchmark::DoNotOptimize(file.commit());
    }
    state.counters["page_bytes"] = double(bytes.size());
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

} // namespace

BENCHMARK(BM_YearReport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveSameBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_YearReportNewTarget)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_YearReportPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_YearChart)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
