#pragma once

#include "finance/ledger.h"
#include "finance/statementreader.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

namespace zorv {

class Paths;

// The identities of the transactions already imported, one per line.
inline const QString kImportedFile = QStringLiteral("dados\\Finance\\Importados.ofx");

// The ledger entry a transaction becomes: a credit is an "Entrance", a debit an "Exit",
// both with the amount without its sign; the source is the name, else the memo, as one
// line without field markers. Every entry has a payment form, so its source is read whole
// and no reader takes a trailing "<4>" for part of it: paymentFormFor.
LedgerEntry ledgerEntryFor(const StatementTransaction &transaction);

// The payment form of a transaction: every movement of a credit-card statement, and a
// point-of-sale one, "Cartão"; a check "Cheque"; a payment or direct debit "Boleto";
// anything else "Dinheiro".
QString paymentFormFor(const StatementTransaction &transaction);

// One identity per transaction, in the same order: account, FITID, date and amount, so a
// FITID a bank repeats on different movements never merges them; without a FITID the
// name and memo take its place. Transactions of one file that still share all of that
// are told apart by their ordinal among them, so none is ever taken for another and a
// second import of the same movements finds each one again.
QStringList importIdentities(const QList<StatementTransaction> &transactions);

// One row of the preview: the transaction, its ledger entry, its identity and whether
// that identity is already in the imported list.
struct ImportRow
{
    StatementTransaction transaction;
    LedgerEntry entry;
    QString identity;
    bool alreadyImported = false;
};

// The imported identities and the ledgers they go with.
class StatementImport
{
public:
    explicit StatementImport(const Paths &paths)
        : m_paths(paths)
        , m_ledgers(paths)
    {}

    // The rows of a statement, marked against the imported list. Empty, with `ok` false,
    // when the list exists but cannot be read (an import then could add a movement twice).
    QList<ImportRow> rowsFor(const QList<StatementTransaction> &transactions, bool *ok = nullptr) const;

    // Writes the rows: each entry appended to its month and year ledger as the entry row
    // writes it, and every identity added to the imported list; all of those files land as
    // one group or none does. Rows whose identity is already listed are skipped. The number
    // of entries written; empty, with nothing written, when a file cannot be read or the
    // group cannot be written.
    std::optional<qsizetype> write(const QList<ImportRow> &rows) const;

private:
    const Paths &m_paths;
    LedgerFiles m_ledgers;
};

} // namespace zorv
