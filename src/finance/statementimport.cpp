#include "finance/statementimport.h"

#include "store/paths.h"
#include "store/records.h"
#include "store/textlist.h"

#include <QHash>

namespace zorv {

namespace {

// A text as one line of a tagged record: no line breaks, no field markers (however they
// are nested), no blanks around it.
QString sourceText(QString text)
{
    // A line break between words (CR LF counts as one) leaves one space.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return withoutMarkers(oneLineText(std::move(text))).trimmed();
}

TextList importedList()
{
    return TextList(TextList::SavePolicy::Utf8WhenNeeded);
}

} // namespace

LedgerEntry ledgerEntryFor(const StatementTransaction &t)
{
    LedgerEntry entry;
    const bool debit = t.amount < Currency();
    entry.value = debit ? -t.amount : t.amount;
    entry.date = t.date;
    entry.operation = debit ? kOperationExit : kOperationEntrance;
    entry.source = sourceText(t.name);
    if (entry.source.isEmpty())
        entry.source = sourceText(t.memo);
    entry.paymentForm = paymentFormFor(t);
    return entry;
}

QString paymentFormFor(const StatementTransaction &t)
{
    if (t.creditCard || t.type == u"POS")
        return QStringLiteral("Cartão");
    if (t.type == u"CHECK")
        return QStringLiteral("Cheque");
    if (t.type == u"PAYMENT" || t.type == u"DIRECTDEBIT")
        return QStringLiteral("Boleto");
    return QStringLiteral("Dinheiro");
}

QStringList importIdentities(const QList<StatementTransaction> &transactions)
{
    QStringList identities;
    identities.reserve(transactions.size());
    QHash<QString, int> seen;
    for (const StatementTransaction &t : transactions) {
        const QString fitId = oneLineText(t.fitId).trimmed();
        QString key = oneLineText(t.accountId).trimmed() + kMarker1 +
                      t.date.toString(QStringLiteral("yyyyMMdd")) + kMarker2 +
                      QString::number(t.amount.raw()) + kMarker3;
        if (!fitId.isEmpty())
            key += QStringLiteral("F:") + fitId;
        else
            key += QStringLiteral("N:") + oneLineText(t.name).trimmed() + kMarker4 +
                   oneLineText(t.memo).trimmed();
        const int ordinal = ++seen[key];
        identities.append(key + QLatin1Char('#') + QString::number(ordinal));
    }
    return identities;
}

QList<ImportRow> StatementImport::rowsFor(const QList<StatementTransaction> &transactions, bool *ok) const
{
    if (ok)
        *ok = false;
    TextList imported = importedList();
    if (imported.load(m_paths.resolve(kImportedFile)) == TextList::LoadResult::Failed)
        return {};
    const QSet<QString> known(imported.lines().cbegin(), imported.lines().cend());
    const QStringList identities = importIdentities(transactions);
    QList<ImportRow> rows;
    rows.reserve(transactions.size());
    for (qsizetype i = 0; i < transactions.size(); ++i)
        rows.append(
            {transactions[i], ledgerEntryFor(transactions[i]), identities[i], known.contains(identities[i])});
    if (ok)
        *ok = true;
    return rows;
}

std::optional<qsizetype> StatementImport::write(const QList<ImportRow> &rows) const
{
    const QString listPath = m_paths.resolve(kImportedFile);
    TextList imported = importedList();
    if (imported.load(listPath) == TextList::LoadResult::Failed)
        return std::nullopt;
    QSet<QString> known(imported.lines().cbegin(), imported.lines().cend());
    QList<LedgerAppend> appends;
    for (const ImportRow &row : rows) {
        if (known.contains(row.identity))
            continue;
        known.insert(row.identity);
        imported.lines().append(row.identity);
        const QString line = buildLedgerLine(row.entry);
        appends.append({monthLedgerName(monthKey(row.entry.date)), line});
        appends.append({yearLedgerName(yearKey(row.entry.date)), line});
    }
    if (appends.isEmpty())
        return 0;
    if (!m_ledgers.appendLines(appends, {{listPath, imported.saveBytes()}})) // logged by the store
        return std::nullopt;
    return appends.size() / 2;
}

} // namespace zorv
