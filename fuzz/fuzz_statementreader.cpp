// The statement reader over any bytes: no fault; a file it reads gives the same
// transactions when read again, and the same movements when read in batches of one; every transaction has a
// date, its identity is its own, and its ledger line is one line whose amount and operation read back as
// written.
#include "finance/ledger.h"
#include "finance/statementimport.h"
#include "finance/statementreader.h"
#include "fuzzcheck.h"

#include <QSet>

using namespace zorv;

// libofx keeps some of its parse tree when a file breaks off in the middle; those blocks
// are the library's, not the reader's.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libofx.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const StatementReadResult result = StatementReader().readBytes(bytes);
    if (!result.ok()) {
        FUZZ_CHECK(result.transactions.isEmpty());
        return 0;
    }
    FUZZ_CHECK(!result.transactions.isEmpty());
    const StatementReadResult again = StatementReader().readBytes(bytes);
    FUZZ_CHECK(again.ok() && again.transactions == result.transactions);
    // Read one transaction at a time, a file is refused or gives the same movements.
    const StatementReadResult batched = StatementReader(1).readBytes(bytes);
    FUZZ_CHECK(batched.ok() == batched.error.isEmpty());
    if (batched.ok()) {
        FUZZ_CHECK(batched.transactions.size() == result.transactions.size());
        for (qsizetype k = 0; k < batched.transactions.size(); ++k) {
            const StatementTransaction &a = batched.transactions[k];
            const StatementTransaction &b = result.transactions[k];
            FUZZ_CHECK(a.fitId == b.fitId && a.date == b.date && a.amount == b.amount &&
                       a.accountId == b.accountId);
        }
    }

    const QStringList identities = importIdentities(result.transactions);
    FUZZ_CHECK(identities.size() == result.transactions.size());
    FUZZ_CHECK(QSet<QString>(identities.cbegin(), identities.cend()).size() == identities.size());
    for (const QString &identity : identities)
        FUZZ_CHECK(!identity.contains(u'\r') && !identity.contains(u'\n') && !identity.contains(u'\0'));

    for (const StatementTransaction &t : result.transactions) {
        FUZZ_CHECK(t.date.isValid());
        const LedgerEntry entry = ledgerEntryFor(t);
        FUZZ_CHECK(entry.value >= Currency());
        const QString line = buildLedgerLine(entry);
        FUZZ_CHECK(!line.contains(u'\r') && !line.contains(u'\n') && !line.contains(u'\0'));
        FUZZ_CHECK(lineAmount(line) == std::optional<Currency>(entry.value.roundedToCents()));
        FUZZ_CHECK(lineOperation(line) == entry.operation);
    }
    return 0;
}
