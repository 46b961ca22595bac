#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// What a statement's own text says of its transactions, read from its tags without the
// library: the identities the import keeps, and how deep the library's parser would nest.
namespace zorv::ofxscan {

// What the file's own text says of one transaction.
struct ScannedTransaction
{
    QString amount;
    QString date;
    QString fitId;
    QString accountId;
    bool creditCard = false;
    // Where the transaction's text lies in the body: from its start tag up to its end tag's
    // end, or up to the tag that ended it (the next transaction, the end of its list).
    qsizetype begin = 0;
    qsizetype end = 0;
};

// Walks the tags of the body and collects, in file order, the transactions of the bank
// and credit-card statements (those inside investment statements are left out, as the
// library's report leaves them out). Beyond `maxOpen` elements the library's parser would
// hold open at once, `tooDeep` is set and nothing is returned.
QList<ScannedTransaction> scanTransactions(QStringView body, int maxOpen, bool *tooDeep);

} // namespace zorv::ofxscan
