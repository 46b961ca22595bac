// Reading grows linearly with the statement's transactions (BM_ReadingGrowsLinearly).
// Importing a 5 000-transaction bank statement (read off the calling thread as the finance
// page reads it, its result waited for in an event loop, matched against the imported list,
// written into the month and year ledgers of a copy of the synthetic installation's 2025
// finance files as one group), against libofx parsing the same file on its own.
#include "benchdata.h"
#include "rounds.h"

#include "finance/statementimport.h"
#include "finance/statementreader.h"
#include "finance/statementreading.h"
#include "store/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <libofx/libofx.h>

#include <memory>
#include <time.h>
#include <vector>

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

int libofxParse(const QByteArray &path)
{
    int count = 0;
    LibofxContextPtr context = libofx_get_new_context();
    ofx_set_transaction_cb(context, countTransaction, &count);
    libofx_proc_file(context, path.constData(), OFX);
    libofx_free_context(context);
    return count;
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

// The import and libofx's parse timed in turn; each import lands in its own fresh copy of
// the installation's 2025 finance files, prepared before the timing starts.
void BM_ImportAgainstLibofx(benchmark::State &state)
{
    constexpr int kRounds = 7;
    const QString path = statementFile();
    const QByteArray nativePath = QFile::encodeName(path);
    ofx_PARSER_msg = ofx_DEBUG_msg = ofx_DEBUG1_msg = ofx_DEBUG2_msg = ofx_DEBUG3_msg = 0;
    ofx_DEBUG4_msg = ofx_DEBUG5_msg = ofx_STATUS_msg = ofx_INFO_msg = ofx_WARNING_msg = ofx_ERROR_msg = 0;
    zorv::bench::benchRoot();
    std::vector<std::unique_ptr<QTemporaryDir>> folders;
    for (int i = 0; i < kRounds; ++i) {
        folders.push_back(std::make_unique<QTemporaryDir>());
        if (!prepareFolder(folders.back()->path())) {
            state.SkipWithError("cannot prepare the data folders");
            return;
        }
    }
    std::size_t next = 0;
    bool failed = false;
    zorv::bench::compareInRounds(
        state, kRounds, "import_ms",
        [&] {
            const zorv::Paths paths(folders.at(next++)->path(), QDir::tempPath());
            const zorv::StatementImport import(paths);
            zorv::StatementReadResult read;
            zorv::StatementReading reading;
            QEventLoop loop;
            QObject::connect(&reading, &zorv::StatementReading::finished, &loop,
                             [&](const zorv::StatementReadResult &result) {
                                 read = result;
                                 loop.quit();
                             });
            reading.start(path);
            loop.exec();
            const QList<zorv::ImportRow> rows = import.rowsFor(read.transactions);
            failed |= !read.ok() || rows.size() != zorv::bench::kStatementTransactions ||
                      !import.write(rows).has_value();
        },
        "libofx_ms", [&] { failed |= libofxParse(nativePath) != zorv::bench::kStatementTransactions; });
    if (failed)
        state.SkipWithError("the import or the parse lost transactions");
}

} // namespace

// A bank statement of `transactions` movements, each with its own identity, name and memo.
QByteArray statementOf(int transactions)
{
    QByteArray body = "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\n\r\n<OFX><BANKMSGSRSV1><STMTTRNRS>"
                      "<TRNUID>1<STMTRS><CURDEF>BRL<BANKACCTFROM><BANKID>1<ACCTID>2<ACCTTYPE>CHECKING"
                      "</BANKACCTFROM><BANKTRANLIST><DTSTART>20150101<DTEND>20151231\r\n";
    for (int i = 0; i < transactions; ++i)
        body += "<STMTTRN>\r\n<TRNTYPE>DEBIT\r\n<DTPOSTED>20150" + QByteArray::number(1 + i % 9) +
                "10\r\n<TRNAMT>-" + QByteArray::number(i % 1000) + ".25\r\n<FITID>" + QByteArray::number(i) +
                "\r\n<NAME>LOJA " + QByteArray::number(i % 97) + "\r\n<MEMO>COMPRA " + QByteArray::number(i) +
                "\r\n</STMTTRN>\r\n";
    return body + "</BANKTRANLIST></STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>\r\n";
}

// Reading 40 000 transactions against reading 10 000, in the same run: a reading that grows
// linearly takes about four times as long. The library's copies go to a private folder.
void BM_ReadingGrowsLinearly(benchmark::State &state)
{
    constexpr int kSmall = 10000;
    constexpr int kLarge = 40000;
    QTemporaryDir work;
    qputenv("TMPDIR", QFile::encodeName(work.path()));
    zorv::StatementReader reader;
    reader.setWorkFolder(work.path());
    const QByteArray small = statementOf(kSmall);
    const QByteArray large = statementOf(kLarge);
    // Processor time of this thread, which does the whole reading: on a shared machine the
    // time on the wall measures the other programs as much as the reading.
    auto cpuMs = [] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
    };
    // One untimed reading of each first, so both timed ones meet a heap already grown.
    bool failed = reader.readBytes(large).transactions.size() != kLarge ||
                  reader.readBytes(small).transactions.size() != kSmall;
    std::vector<double> largeMs, smallMs;
    for (auto _ : state) {
        for (int round = 0; round < 5; ++round) {
            double start = cpuMs();
            failed |= reader.readBytes(large).transactions.size() != kLarge;
            largeMs.push_back(cpuMs() - start);
            start = cpuMs();
            failed |= reader.readBytes(small).transactions.size() != kSmall;
            smallMs.push_back(cpuMs() - start);
        }
    }
    zorv::bench::reportMedians(state, "read_40000_cpu_ms", largeMs, "read_10000_cpu_ms", smallMs);
    if (failed)
        state.SkipWithError("the reading lost transactions");
}

BENCHMARK(BM_ImportAgainstLibofx)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadingGrowsLinearly)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return zorv::bench::runBenchmarksWith<QCoreApplication>(argc, argv);
}
