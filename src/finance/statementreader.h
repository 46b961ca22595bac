#pragma once

#include "controls/money.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

#include <atomic>

namespace zorv {

// One movement of a bank or credit-card statement, as the file states it.
struct StatementTransaction
{
    QString accountId; // the account the statement is for
    QString fitId;     // the bank's id of the movement; empty when the file gives none
    QDate date;        // the posting date as written (its time and time zone left out)
    Currency amount;   // signed: a credit is positive, a debit negative
    QString type;      // "CREDIT", "DEBIT", "CHECK", ... ("OTHER" when unknown)
    QString name;
    QString memo;
    QString checkNumber;
    bool creditCard = false; // from a credit-card statement

    friend bool operator==(const StatementTransaction &, const StatementTransaction &) = default;
};

struct StatementReadResult
{
    QList<StatementTransaction> transactions;
    QString error; // why the file could not be read; empty when it was
    bool ok() const { return error.isEmpty(); }
};

// Reads OFX statements (1.x SGML and 2.x XML) with libofx. Before the library sees the
// file, its text is decoded with the character set the body really uses (a body that is
// valid UTF-8 is read as UTF-8 whatever the header declares), bare "&" that start no
// entity are escaped, and it is handed over as UTF-8. The amounts and dates are taken from
// the file's own text (the library reads amounts as doubles and shifts dates by their time
// zone); each transaction the library reports is matched, in file order, to its text, and
// a file whose transactions do not all match is refused rather than read in part.
//
// The library's parse takes time in the square of the elements' nesting depth, so a file
// nested deeper than any statement is (kMaxDepth aggregates) is refused before the library
// sees it. Its time also grows with the square of the number of transactions, so it reads
// them in batches (StatementBatches): each batch is the statement without its transactions
// but for a run of kTransactionsPerRead of them, and the reading's time grows linearly.
// A statement holding more than kMaxTransactions is refused before the library sees it.
// The library reads only from a file: the text it is given goes to a private copy in the
// program's owner-only work folder (statementWorkFolder), removed when read; the library's
// own temporary copy goes to $TMPDIR (the reading child sets it to a private folder).
class StatementReader
{
public:
    // Files larger than this are refused.
    static constexpr qsizetype kMaxFileSize = 64 * 1024 * 1024;
    // Aggregates (elements holding elements) open at once; a real statement has about ten.
    static constexpr int kMaxDepth = 40;
    // Transactions of one statement: a bank's file for years of a busy account holds a few
    // thousand.
    static constexpr qsizetype kMaxTransactions = 100000;
    // Transactions the library is given at once: where its square growth is still small
    // against the time it takes to start.
    static constexpr qsizetype kTransactionsPerRead = 1000;
    // The text around the transactions (accounts, balances, other statements) that every
    // batch repeats, when there is more than one batch; a bank's statement has a few KB.
    static constexpr qsizetype kMaxFrameSize = 256 * 1024;

    explicit StatementReader(qsizetype transactionsPerRead = kTransactionsPerRead)
        : m_transactionsPerRead(transactionsPerRead)
    {}

    // The owner-only folder of the private copy; statementWorkFolder() when not set.
    void setWorkFolder(const QString &folder) { m_workFolder = folder; }

    // With `cancelled` set, the reading stops between its steps (the batches) with an error.
    StatementReadResult read(const QString &path, const std::atomic_bool *cancelled = nullptr) const;
    StatementReadResult readBytes(const QByteArray &bytes, const std::atomic_bool *cancelled = nullptr) const;

private:
    qsizetype m_transactionsPerRead;
    QString m_workFolder;
};

// The owner-only folder of the statements' private copies; empty when there is none.
QString statementWorkFolder();
// Removes the private copies a killed run left in the work folder: regular files no run
// holds a lock on, and the reading children's folders (statementChildFolderPrefix) no run
// holds a lock on. Called once at start-up.
void removeStatementLeftovers();

// The name's start of a reading child's temporary folder inside the work folder.
QString statementChildFolderPrefix();

// Holds a lock on a reading child's folder while it is in use (the system drops it when the
// holder ends in any way), so a start-up never removes a folder in use.
class StatementChildFolderHold
{
public:
    explicit StatementChildFolderHold(const QString &folder);
    ~StatementChildFolderHold();
    StatementChildFolderHold(const StatementChildFolderHold &) = delete;
    StatementChildFolderHold &operator=(const StatementChildFolderHold &) = delete;

private:
    int m_fd = -1;
};

// The amount text of an OFX file: optional sign, digits, "." or "," as the decimal
// separator (when both occur, the last one is the decimal separator and the other groups
// thousands). Empty when the text is not an amount or does not fit.
std::optional<Currency> parseStatementAmount(QStringView text);
// The calendar date of an OFX date-time ("20150113120000[-3:BRT]" is 13/01/2015).
QDate parseStatementDate(QStringView text);

} // namespace zorv
