// Importing a 5 000-transaction bank statement (read, matched against the imported list,
// written into the month and year ledgers of a copy of the synthetic installation's 2025
// finance files as one group), against libofx parsing the same file on its own.
#include "benchdata.h"

#include "finance/statementimport.h"
#include "finance/statementreader.h"
#include "store/paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <libofx/libofx.h>

namespace {

// The statement, written once into a folder of its own.
QString statementFile()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = dir.filePath(QStringLiteral("extrato.ofx"));
        QFile f(p);
        if (f.open(QIODevice::WriteOnly))
            f.write(zorv::bench::syntheticStatement());
        return p;
    }();
    return path;
}

int countTransaction(const OfxTransactionData, void *count)
{
    ++*static_cast<int *>(count);
    return 0;
}

void BM_LibofxParse(benchmark::State &state)
{
    const QByteArray path = QFile::encodeName(statementFile());
    ofx_PARSER_msg = ofx_DEBUG_msg = ofx_DEBUG1_msg = ofx_DEBUG2_msg = ofx_DEBUG3_msg = 0;
    ofx_DEBUG4_msg = ofx_DEBUG5_msg = ofx_STATUS_msg = ofx_INFO_msg = ofx_WARNING_msg = ofx_ERROR_msg = 0;
    for (auto _ : state) {
        int count = 0;
        LibofxContextPtr context = libofx_get_new_context();
        ofx_set_transaction_cb(context, countTransaction, &count);
        libofx_proc_file(context, path.constData(), OFX);
        libofx_free_context(context);
        if (count != zorv::bench::kStatementTransactions)
            state.SkipWithError("libofx did not report every transaction");
        benchmark::DoNotOptimize(count);
    }
}

// A fresh installation holding the synthetic 2025 ledgers.
bool prepareFolder(const QString &root)
{
    const QString finance = root + QStringLiteral("/dados/Finance");
    if (!QDir().mkpath(finance))
        return false;
    const QString from = zorv::bench::benchFile(QStringLiteral("dados/Finance"));
    const QStringList names = QDir(from).entryList({QStringLiteral("*.2025.fin"), QStringLiteral("2025.CX")});
    for (const QString &name : names) {
        if (!QFile::copy(from + QLatin1Char('/') + name, finance + QLatin1Char('/') + name))
            return false;
    }
    return !names.isEmpty();
}

void BM_ImportStatement(benchmark::State &state)
{
    const QString path = statementFile();
    zorv::bench::benchRoot();
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        if (!prepareFolder(dir.path()))
            state.SkipWithError("cannot prepare the data folder");
        const zorv::Paths paths(dir.path(), QDir::tempPath());
        const zorv::StatementImport import(paths);
        state.ResumeTiming();

        const zorv::StatementReadResult read = zorv::StatementReader().read(path);
        const QList<zorv::ImportRow> rows = import.rowsFor(read.transactions);
        const bool written = import.write(rows);

        state.PauseTiming();
        if (!read.ok() || rows.size() != zorv::bench::kStatementTransactions || !written)
            state.SkipWithError("the import failed");
        dir.remove();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_LibofxParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportStatement)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
