#include "finance/statementscan.h"

#include <optional>

namespace zorv::ofxscan {

namespace {

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'.' || c == u'_' || c == u'-';
}

QString decodeBasicEntities(QString text)
{
    if (!text.contains(u'&'))
        return text;
    text.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    text.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return text;
}

bool isBlank(QStringView text)
{
    for (const QChar c : text) {
        if (!c.isSpace())
            return false;
    }
    return true;
}

// One tag of the body: its upper-case name, whether it is an end tag, and the text after
// it up to the next tag (a leaf's value).
struct Tag
{
    QString name;
    bool closing = false;
    QStringView value;
    qsizetype end = 0;   // just past the tag's '>'
    qsizetype next = -1; // where the next tag may start, -1 at the end
};

// The tag at `i` (a '<'), or nothing when the text there is not one ("<1>" in a memo reads
// as text, as the parser reads it).
std::optional<Tag> tagAt(QStringView body, qsizetype i)
{
    const qsizetype n = body.size();
    Tag tag;
    tag.closing = body[i + 1] == u'/';
    const qsizetype start = i + (tag.closing ? 2 : 1);
    qsizetype end = start;
    while (end < n && isNameChar(body[end]))
        ++end;
    if (end == start || end >= n || body[end] != u'>')
        return std::nullopt;
    tag.name = body.sliced(start, end - start).toString().toUpper();
    const qsizetype valueStart = end + 1;
    tag.end = valueStart;
    tag.next = body.indexOf(u'<', valueStart);
    tag.value = body.sliced(valueStart, (tag.next < 0 ? n : tag.next) - valueStart);
    return tag;
}

// Counts the elements the library's parser may hold open at once: an element whose tag is
// followed by another tag holds elements (an aggregate) and stays open until its end tag,
// which closes every element opened inside it; a leaf (a tag and its value) stays open
// until its own end tag follows at once (the XML form) or its aggregate closes, since SGML
// leaves its end tag out and the parser nests a leaf it cannot close.
class OpenElements
{
public:
    explicit OpenElements(int maxOpen)
        : m_maxOpen(maxOpen)
    {}

    // False when the element makes more than maxOpen open at once.
    bool open(const QString &name, bool aggregate)
    {
        if (aggregate)
            m_open.append(Open{name});
        else
            ++m_open.last().leaves;
        m_lastLeaf = aggregate ? QString() : name;
        return ++m_openCount <= m_maxOpen;
    }

    void close(const QString &name)
    {
        if (name == m_lastLeaf) {
            --m_open.last().leaves;
            --m_openCount;
            m_lastLeaf.clear();
            return;
        }
        m_lastLeaf.clear();
        for (qsizetype at = m_open.size() - 1; at > 0; --at) {
            if (m_open[at].name != name)
                continue;
            for (qsizetype k = at; k < m_open.size(); ++k)
                m_openCount -= 1 + m_open[k].leaves;
            m_open.resize(at);
            return;
        }
    }

private:
    struct Open
    {
        QString name;
        int leaves = 0; // leaves inside it not closed by their own end tag
    };
    QList<Open> m_open{Open{}}; // the aggregates open now, below a root for stray leaves
    int m_openCount = 0;        // aggregates and leaves open now
    QString m_lastLeaf;         // the leaf whose tag came last, while no other tag followed
    int m_maxOpen;
};

// Collects, in file order, the transactions of the bank and credit-card statements from
// their tags (those inside investment statements are left out, as the matching below
// leaves them out of the library's report).
class TransactionCollector
{
public:
    // `at` is where the tag starts in the body, `after` where it ends.
    void startTag(const QString &name, QStringView value, qsizetype at);
    void endTag(const QString &name, qsizetype at, qsizetype after);
    QList<ScannedTransaction> finish(qsizetype bodyEnd)
    {
        endTransaction(bodyEnd);
        return std::move(m_found);
    }

private:
    void endTransaction(qsizetype end)
    {
        if (m_inTransaction) {
            m_current.end = end;
            m_found.append(m_current);
        }
        m_inTransaction = false;
    }
    bool accountTag(const QString &name, QStringView value);
    void transactionTag(const QString &name, QStringView value);

    QList<ScannedTransaction> m_found;
    ScannedTransaction m_current;
    bool m_inTransaction = false;
    bool m_creditCard = false;
    bool m_inAccount = false;
    int m_investment = 0;
    // The account of the statement being read, in the shape the library gives it
    // ("bank branch account", or "account key" for a card), worked out here so that the
    // imported identities never change with the library's version.
    QString m_bankId, m_branchId, m_acctId, m_acctKey, m_accountId;
};

QString leafValue(QStringView value)
{
    return value.trimmed().toString();
}

void TransactionCollector::startTag(const QString &name, QStringView value, qsizetype at)
{
    if (name == u"STMTRS" || name == u"CCSTMTRS") {
        m_creditCard = name == u"CCSTMTRS";
        m_accountId.clear();
    } else if (accountTag(name, value)) {
        return;
    } else if (name == u"INVSTMTRS") {
        ++m_investment;
    } else if (name == u"STMTTRN") {
        endTransaction(at);
        if (m_investment == 0) {
            m_inTransaction = true;
            m_current = {};
            m_current.creditCard = m_creditCard;
            m_current.accountId = m_accountId;
            m_current.begin = at;
        }
    } else if (m_inTransaction) {
        transactionTag(name, value);
    }
}

// The tags of the statement's account; true when `name` was one of them.
bool TransactionCollector::accountTag(const QString &name, QStringView value)
{
    if (name == u"BANKACCTFROM" || name == u"CCACCTFROM") {
        m_inAccount = true;
        m_bankId.clear();
        m_branchId.clear();
        m_acctId.clear();
        m_acctKey.clear();
        return true;
    }
    if (!m_inAccount)
        return false;
    if (name == u"BANKID")
        m_bankId = leafValue(value);
    else if (name == u"BRANCHID")
        m_branchId = leafValue(value);
    else if (name == u"ACCTID")
        m_acctId = leafValue(value);
    else if (name == u"ACCTKEY")
        m_acctKey = leafValue(value);
    else
        return false;
    return true;
}

void TransactionCollector::transactionTag(const QString &name, QStringView value)
{
    if (name == u"TRNAMT")
        m_current.amount = leafValue(value);
    else if (name == u"DTPOSTED")
        m_current.date = leafValue(value);
    else if (name == u"FITID")
        m_current.fitId = decodeBasicEntities(leafValue(value));
}

void TransactionCollector::endTag(const QString &name, qsizetype at, qsizetype after)
{
    if (name == u"STMTTRN") {
        endTransaction(after);
    } else if (name == u"BANKTRANLIST") {
        endTransaction(at);
    } else if (name == u"INVSTMTRS") {
        m_investment = qMax(0, m_investment - 1);
    } else if (m_inAccount && (name == u"BANKACCTFROM" || name == u"CCACCTFROM")) {
        m_inAccount = false;
        m_accountId = decodeBasicEntities(m_creditCard ? m_acctId + u' ' + m_acctKey
                                                       : m_bankId + u' ' + m_branchId + u' ' + m_acctId)
                          .trimmed();
    }
}

} // namespace

// Walks the tags of the body and collects, in file order, the transactions of the bank
// and credit-card statements. A leaf element's value is the text after its tag up to the
// next tag, which covers both the SGML and the XML form. It also counts the elements the
// library's parser may hold open at once (OpenElements); beyond `maxOpen`, `tooDeep` is set
// and the walk stops.
QList<ScannedTransaction> scanTransactions(QStringView body, int maxOpen, bool *tooDeep)
{
    *tooDeep = false;
    OpenElements elements(maxOpen);
    TransactionCollector collector;
    qsizetype i = body.indexOf(u'<');
    while (i >= 0 && i + 1 < body.size()) {
        const std::optional<Tag> tag = tagAt(body, i);
        if (!tag) {
            i = body.indexOf(u'<', i + 1);
            continue;
        }
        if (tag->closing) {
            elements.close(tag->name);
            collector.endTag(tag->name, i, tag->end);
        } else {
            if (!elements.open(tag->name, isBlank(tag->value))) {
                *tooDeep = true;
                return {};
            }
            collector.startTag(tag->name, tag->value, i);
        }
        i = tag->next;
    }
    return collector.finish(body.size());
}

} // namespace zorv::ofxscan
