// Month sums over the largest month ledger and the month-list refresh over the whole
// synthetic finance folder, against reading the same bytes; one ledger save into a
// 5 000-line year ledger (both ledgers written as one group: synced temporaries, a synced
// intent file, the renames), against rewriting the same bytes three ways: with QSaveFile
// (which syncs the file's data but not the folder), without any sync, and fully synced.
#include "benchdata.h"

#include "finance/ledger.h"
#include "store/paths.h"
#include "store/textlist.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// The page keeps the month's lines for its corrections and reports, then sums them.
zorv::MonthSums monthSumsAsThePageDoes(const QString &path)
{
    zorv::TextList month;
    month.load(path);
    return zorv::computeMonthSums(month.lines());
}

void BM_ReadLargestMonth(benchmark::State &state)
{
    const QString path = zorv::bench::largestMonthLedger();
    for (auto _ : state)
        benchmark::DoNotOptimize(readAll(path).size());
}

void BM_MonthSumsLargestMonth(benchmark::State &state)
{
    const QString path = zorv::bench::largestMonthLedger();
    for (auto _ : state)
        benchmark::DoNotOptimize(monthSumsAsThePageDoes(path).entrances.raw());
}

void BM_ReadFinanceFolderNames(benchmark::State &state)
{
    // The baseline of the refresh: reading the folder's file names.
    const QString folder = zorv::bench::benchFile(QStringLiteral("dados/Finance"));
    for (auto _ : state)
        benchmark::DoNotOptimize(QDir(folder).entryList(QDir::Files).size());
}

// The read baseline of the month-list step as a whole: the bytes of every month ledger.
void BM_ReadAllMonthFiles(benchmark::State &state)
{
    const QDir folder(zorv::bench::benchFile(QStringLiteral("dados/Finance")));
    const QStringList names = folder.entryList({QStringLiteral("*.fin")}, QDir::Files);
    for (auto _ : state) {
        qsizetype total = 0;
        for (const QString &name : names)
            total += readAll(folder.filePath(name)).size();
        benchmark::DoNotOptimize(total);
    }
}

// What a month choice after a save costs: the list refreshed and one month summed.
void BM_RefreshAndMonthSums(benchmark::State &state)
{
    const zorv::Paths paths(zorv::bench::benchRoot(), QDir::tempPath());
    const zorv::LedgerFiles ledgers(paths);
    const QString path = zorv::bench::largestMonthLedger();
    for (auto _ : state) {
        benchmark::DoNotOptimize(ledgers.monthFileNames().size());
        benchmark::DoNotOptimize(monthSumsAsThePageDoes(path).entrances.raw());
    }
}

void BM_MonthListRefresh(benchmark::State &state)
{
    const zorv::Paths paths(zorv::bench::benchRoot(), QDir::tempPath());
    const zorv::LedgerFiles ledgers(paths);
    for (auto _ : state)
        benchmark::DoNotOptimize(ledgers.monthFileNames().size());
}

// A copy of the largest year ledger cut to 5 000 lines, in a folder of its own.
struct YearLedgerCopy
{
    QTemporaryDir dir;
    QByteArray bytes;
    YearLedgerCopy()
    {
        QDir(dir.path()).mkpath(QStringLiteral("dados/Finance"));
        zorv::TextList year;
        year.load(zorv::bench::largestYearLedger());
        while (year.lines().size() < 5000)
            year.lines() += year.lines().mid(0, 5000 - year.lines().size());
        year.lines() = year.lines().mid(0, 5000);
        bytes = zorv::encodeLines(year.lines());
    }
    QString path(const QString &name) const { return dir.path() + QStringLiteral("/dados/Finance/") + name; }
    void reset() const
    {
        if (!zorv::writeFileAtomically(path(QStringLiteral("2013.CX")), bytes))
            throw std::runtime_error("the year ledger could not be reset");
        QFile::remove(path(QStringLiteral("03.2013.fin")));
    }
};

void BM_RewriteYearLedgerBytes(benchmark::State &state)
{
    YearLedgerCopy copy;
    copy.reset();
    for (auto _ : state) {
        QSaveFile out(copy.path(QStringLiteral("2013.CX")));
        out.open(QIODevice::WriteOnly);
        out.write(copy.bytes);
        out.commit();
    }
}

// A rewrite through a temporary and a rename, with no sync at all.
void BM_RewriteYearLedgerUnsynced(benchmark::State &state)
{
    YearLedgerCopy copy;
    copy.reset();
    const QString path = copy.path(QStringLiteral("2013.CX"));
    const QString temp = path + QStringLiteral(".tmp");
    for (auto _ : state) {
        QFile out(temp);
        out.open(QIODevice::WriteOnly | QIODevice::Truncate);
        out.write(copy.bytes);
        out.close();
        std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(path).constData());
    }
}

// The durable rewrite: QSaveFile (data synced, then the rename) and the folder synced after.
void BM_RewriteYearLedgerSynced(benchmark::State &state)
{
    YearLedgerCopy copy;
    copy.reset();
    const QByteArray folder = QFile::encodeName(copy.path(QString()));
    for (auto _ : state) {
        QSaveFile out(copy.path(QStringLiteral("2013.CX")));
        out.open(QIODevice::WriteOnly);
        out.write(copy.bytes);
        out.commit();
        const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY);
        ::fsync(fd);
        ::close(fd);
    }
}

void BM_SaveEntryIntoYearLedger(benchmark::State &state)
{
    YearLedgerCopy copy;
    const zorv::Paths paths(copy.dir.path(), QDir::tempPath());
    const zorv::LedgerFiles ledgers(paths);
    const QString line = zorv::buildLedgerLine({*zorv::Currency::fromDouble(1234.5), QDate(2013, 3, 15),
                                                QStringLiteral("Exit"), QStringLiteral("Padaria São João"),
                                                QStringLiteral("Cartão")});
    for (auto _ : state) {
        state.PauseTiming();
        copy.reset();
        state.ResumeTiming();
        if (!ledgers.appendEntry(QStringLiteral("03.2013"), QStringLiteral("2013"), line, true))
            state.SkipWithError("the entry could not be appended");
    }
}

} // namespace

BENCHMARK(BM_ReadLargestMonth)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MonthSumsLargestMonth)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadFinanceFolderNames)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MonthListRefresh)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadAllMonthFiles)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RefreshAndMonthSums)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RewriteYearLedgerBytes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RewriteYearLedgerUnsynced)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RewriteYearLedgerSynced)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveEntryIntoYearLedger)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
