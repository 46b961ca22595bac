#include "finance/statementbatches.h"

namespace zorv::ofxscan {

namespace {

bool isBlank(QStringView text)
{
    for (const QChar c : text) {
        if (!c.isSpace())
            return false;
    }
    return true;
}

} // namespace

StatementBatches::StatementBatches(QStringView body, const QList<ScannedTransaction> &transactions,
                                   qsizetype perBatch)
    : m_body(body)
    , m_transactions(transactions)
    , m_perBatch(qMax<qsizetype>(1, perBatch))
    , m_batches((transactions.size() + m_perBatch - 1) / m_perBatch)
{
    const qsizetype n = transactions.size();
    m_frameBefore.reserve(n + 1);
    m_gap.reserve(n + 1);
    qsizetype from = 0;
    for (qsizetype k = 0; k <= n; ++k) {
        const qsizetype to = k < n ? transactions[k].begin : body.size();
        QStringView gap = body.sliced(from, to - from);
        // Before the first and after the last transaction the frame is kept as it is.
        if (k > 0 && k < n && isBlank(gap))
            gap = {};
        m_gap.append(gap);
        m_frame.append(gap);
        m_frameBefore.append(m_frame.size());
        if (k < n)
            from = transactions[k].end;
    }
}

qsizetype StatementBatches::size(qsizetype batch) const
{
    return qMin(m_perBatch, m_transactions.size() - first(batch));
}

QString StatementBatches::text(qsizetype batch) const
{
    const qsizetype a = first(batch);
    const qsizetype b = a + size(batch); // one past the batch's last transaction
    QString text;
    qsizetype length = m_frame.size();
    for (qsizetype k = a; k < b; ++k)
        length += m_transactions[k].end - m_transactions[k].begin;
    text.reserve(length);
    // The frame up to and with the text before transaction a; then each transaction with
    // the text that follows it inside the run; then the rest of the frame.
    text.append(QStringView(m_frame).first(m_frameBefore[a]));
    for (qsizetype k = a; k < b; ++k) {
        const ScannedTransaction &t = m_transactions[k];
        text.append(m_body.sliced(t.begin, t.end - t.begin));
        if (k + 1 < b)
            text.append(m_gap[k + 1]);
    }
    text.append(QStringView(m_frame).sliced(m_frameBefore[b - 1]));
    return text;
}

} // namespace zorv::ofxscan
