#pragma once

#include "finance/statementscan.h"

#include <QList>
#include <QString>
#include <QStringView>

namespace zorv::ofxscan {

// A statement's body cut into texts the library reads one after another, so that its time
// grows with the number of transactions rather than with its square. Each text holds the
// whole body except the transactions' own text (the header, the accounts, the balances,
// the lists' frames: "the frame") and, in their places, a run of consecutive transactions.
// Blank text between two transactions is left out of the frame; anything else stays.
class StatementBatches
{
public:
    // `transactions` are the body's transactions as scanTransactions() found them, in file
    // order, each with its place in `body`; `perBatch` at least 1.
    StatementBatches(QStringView body, const QList<ScannedTransaction> &transactions, qsizetype perBatch);

    qsizetype count() const { return m_batches; }
    // The first transaction of batch `batch` and how many it holds.
    qsizetype first(qsizetype batch) const { return batch * m_perBatch; }
    qsizetype size(qsizetype batch) const;
    // The size of the frame every batch repeats.
    qsizetype frameSize() const { return m_frame.size(); }
    // The text of batch `batch`: the frame with its transactions in their places.
    QString text(qsizetype batch) const;

private:
    QStringView m_body;
    const QList<ScannedTransaction> &m_transactions;
    qsizetype m_perBatch;
    qsizetype m_batches;
    QString m_frame;
    // Where the frame's part before transaction k ends in the frame (k = 0..n), the text
    // after the last transaction ending at m_frame.size().
    QList<qsizetype> m_frameBefore;
    // The text between transaction k-1 and k when it stays in the frame (else empty).
    QList<QStringView> m_gap;
};

} // namespace zorv::ofxscan
