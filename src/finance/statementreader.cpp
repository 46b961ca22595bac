#include "finance/statementreader.h"

#include "platform/identity.h"
#include "store/datafile.h"
#include "store/textcodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QStringDecoder>
#include <QTemporaryFile>

#include <libofx/libofx.h>

#include <cstring>
#include <limits>
#include <optional>
#include <variant>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zorv {

namespace {

const QString kNotOfx = QStringLiteral("o arquivo não é um extrato OFX.");
const QString kTruncated = QStringLiteral("o extrato está incompleto (falta o fim do arquivo).");
const QString kNoTransactions = QStringLiteral("o extrato não tem transações.");
const QString kUnreadable = QStringLiteral("o arquivo não pôde ser aberto.");
const QString kTooLarge = QStringLiteral("o arquivo é grande demais para um extrato.");
const QString kNotMatched = QStringLiteral("as transações do extrato não puderam ser lidas por inteiro.");
const QString kTooDeep = QStringLiteral("o arquivo tem elementos aninhados demais para ser um extrato.");
const QString kNoWorkFolder =
    QStringLiteral("não há uma pasta particular do programa onde o extrato possa ser lido.");
const QString kCancelled = QStringLiteral("a leitura foi cancelada.");
const QString kWorkFolderName = QStringLiteral("extratos");
// A run holds a lock on its private copy while the library reads it; the system drops the
// lock when the run ends in any way, so a copy nobody holds is one a killed run left.
const QString kCopyPrefix = QStringLiteral("extrato-");

// The library reports through its console flags; the program has no console to show.
void silenceLibrary()
{
    static const bool done = [] {
        ofx_PARSER_msg = ofx_DEBUG_msg = ofx_DEBUG1_msg = ofx_DEBUG2_msg = ofx_DEBUG3_msg = 0;
        ofx_DEBUG4_msg = ofx_DEBUG5_msg = ofx_STATUS_msg = ofx_INFO_msg = ofx_WARNING_msg = 0;
        ofx_ERROR_msg = 0;
        return true;
    }();
    Q_UNUSED(done);
}

// The text of the file: a byte-order mark decides; else a body that is valid UTF-8 with
// bytes beyond ASCII is UTF-8 (banks declare "CHARSET:1252" over UTF-8 text); else the
// single-byte code page every declared charset of these files means in practice.
QString decodeStatementText(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return decodeText(bytes);
    bool ascii = true;
    for (const char c : bytes) {
        if (uchar(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (!ascii) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = utf8(bytes);
        if (!utf8.hasError())
            return text;
    }
    return decodeWindows1252(bytes);
}

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'.' || c == u'_' || c == u'-';
}

// Every "&" that starts no entity becomes "&amp;" (a memo like "C&A MODAS" would otherwise
// lose "&A" as an unknown entity); "&quot;", "&apos;" and character references become
// their characters, so the parser meets only the three entities every OFX reader knows.
QString normalizeEntities(QStringView body)
{
    QString out;
    out.reserve(body.size() + body.size() / 64);
    const qsizetype n = body.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = body[i];
        if (c == u'\0')
            continue;
        if (c != u'&') {
            out.append(c);
            continue;
        }
        const qsizetype semi = body.indexOf(u';', i + 1);
        const QStringView ref = semi > i && semi - i <= 10 ? body.sliced(i + 1, semi - i - 1) : QStringView();
        if (ref == u"amp" || ref == u"lt" || ref == u"gt") {
            out.append(body.sliced(i, semi - i + 1));
            i = semi;
            continue;
        }
        char32_t code = 0;
        if (ref == u"quot") {
            code = '"';
        } else if (ref == u"apos") {
            code = '\'';
        } else if (ref.size() >= 2 && ref[0] == u'#') {
            bool ok = false;
            const uint v = (ref[1] == u'x' || ref[1] == u'X') ? ref.sliced(2).toUInt(&ok, 16)
                                                              : ref.sliced(1).toUInt(&ok);
            if (ok && v > 0 && v <= 0x10FFFF && !(v >= 0xD800 && v <= 0xDFFF))
                code = v;
        }
        if (code == 0) {
            out.append(QStringLiteral("&amp;"));
            continue;
        }
        if (code == '&')
            out.append(QStringLiteral("&amp;"));
        else if (code == '<')
            out.append(QStringLiteral("&lt;"));
        else if (code == '>')
            out.append(QStringLiteral("&gt;"));
        else
            out.append(QString::fromUcs4(&code, 1));
        i = semi;
    }
    return out;
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

// What the file's own text says of one transaction.
struct ScannedTransaction
{
    QString amount;
    QString date;
    QString fitId;
    QString accountId;
    bool creditCard = false;
};

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
    {
    }

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
    void startTag(const QString &name, QStringView value);
    void endTag(const QString &name);
    QList<ScannedTransaction> finish()
    {
        endTransaction();
        return std::move(m_found);
    }

private:
    void endTransaction()
    {
        if (m_inTransaction)
            m_found.append(m_current);
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

void TransactionCollector::startTag(const QString &name, QStringView value)
{
    if (name == u"STMTRS" || name == u"CCSTMTRS") {
        m_creditCard = name == u"CCSTMTRS";
        m_accountId.clear();
    } else if (accountTag(name, value)) {
        return;
    } else if (name == u"INVSTMTRS") {
        ++m_investment;
    } else if (name == u"STMTTRN") {
        endTransaction();
        if (m_investment == 0) {
            m_inTransaction = true;
            m_current = {};
            m_current.creditCard = m_creditCard;
            m_current.accountId = m_accountId;
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

void TransactionCollector::endTag(const QString &name)
{
    if (name == u"STMTTRN" || name == u"BANKTRANLIST") {
        endTransaction();
    } else if (name == u"INVSTMTRS") {
        m_investment = qMax(0, m_investment - 1);
    } else if (m_inAccount && (name == u"BANKACCTFROM" || name == u"CCACCTFROM")) {
        m_inAccount = false;
        m_accountId = decodeBasicEntities(m_creditCard ? m_acctId + u' ' + m_acctKey
                                                       : m_bankId + u' ' + m_branchId + u' ' + m_acctId)
                          .trimmed();
    }
}

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
            collector.endTag(tag->name);
        } else {
            if (!elements.open(tag->name, isBlank(tag->value))) {
                *tooDeep = true;
                return {};
            }
            collector.startTag(tag->name, tag->value);
        }
        i = tag->next;
    }
    return collector.finish();
}

// What the library reports of one transaction.
struct LibraryTransaction
{
    QString accountId;
    QString fitId;
    QString type;
    QString name;
    QString memo;
    QString checkNumber;
    bool creditCard = false;
};

QString typeName(int type)
{
    static const char *const names[] = {"CREDIT", "DEBIT",     "INT",         "DIV",       "FEE",   "SRVCHG",
                                        "DEP",    "ATM",       "POS",         "XFER",      "CHECK", "PAYMENT",
                                        "CASH",   "DIRECTDEP", "DIRECTDEBIT", "REPEATPMT", "OTHER"};
    if (type >= 0 && type < int(std::size(names)))
        return QString::fromLatin1(names[type]);
    return QStringLiteral("OTHER");
}

QString libraryText(const char *text, std::size_t capacity, int valid)
{
    if (!valid)
        return {};
    // A text the library cut at its buffer's end may end inside a character.
    QString s = QString::fromUtf8(text, qsizetype(strnlen(text, capacity)));
    while (s.endsWith(QChar::ReplacementCharacter))
        s.chop(1);
    return s.trimmed();
}

int onTransaction(const OfxTransactionData data, void *list)
{
    if (data.account_ptr && data.account_ptr->account_type_valid &&
        data.account_ptr->account_type == OfxAccountData::OFX_INVESTMENT)
        return 0;
    if (data.invtransactiontype_valid)
        return 0;
    LibraryTransaction t;
    t.accountId = libraryText(data.account_id, sizeof data.account_id, data.account_id_valid);
    t.fitId = libraryText(data.fi_id, sizeof data.fi_id, data.fi_id_valid);
    t.type = data.transactiontype_valid ? typeName(data.transactiontype) : QStringLiteral("OTHER");
    t.name = libraryText(data.name, sizeof data.name, data.name_valid);
    t.memo = libraryText(data.memo, sizeof data.memo, data.memo_valid);
    t.checkNumber = libraryText(data.check_number, sizeof data.check_number, data.check_number_valid);
    t.creditCard = data.account_ptr && data.account_ptr->account_type_valid &&
                   data.account_ptr->account_type == OfxAccountData::OFX_CREDITCARD;
    static_cast<QList<LibraryTransaction> *>(list)->append(std::move(t));
    return 0;
}

const QByteArray kSgmlHeader("OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\nSECURITY:NONE\r\n"
                             "ENCODING:UTF-8\r\nCHARSET:NONE\r\nCOMPRESSION:NONE\r\nOLDFILEUID:NONE\r\n"
                             "NEWFILEUID:NONE\r\n\r\n");
const QByteArray kXmlHeader("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\r\n"
                            "<?OFX OFXHEADER=\"200\" VERSION=\"211\" SECURITY=\"NONE\" OLDFILEUID=\"NONE\" "
                            "NEWFILEUID=\"NONE\"?>\r\n");

// Marks the open copy as in use for as long as this run keeps it open.
bool holdCopy(int fd)
{
#ifdef Q_OS_UNIX
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
#else
    Q_UNUSED(fd);
    return true;
#endif
}

// True when the copy at `path` is a regular file that no run holds (a link or anything
// else is left alone, never followed).
bool isAbandonedCopy(const QString &path)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st{};
    const bool abandoned = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd); // drops the lock just taken
    return abandoned;
#else
    return QFileInfo(path).isFile() && !QFileInfo(path).isSymLink();
#endif
}

enum class LibraryFailure { NoWorkFolder, NotParsed };

// The library reads only from a file: the normalized text goes to a private copy in the
// program's owner-only work folder, removed when the library is done with it. One parse
// at a time: a cancelled reading may still be inside the library when the next one starts.
std::variant<QList<LibraryTransaction>, LibraryFailure> parseWithLibrary(const QByteArray &fileBytes)
{
    static QMutex oneAtATime;
    const QMutexLocker lock(&oneAtATime);
    const QString folder = statementWorkFolder();
    if (folder.isEmpty())
        return LibraryFailure::NoWorkFolder;
    QTemporaryFile file(folder + QLatin1Char('/') + kCopyPrefix + QStringLiteral("XXXXXX.ofx"));
    if (!file.open() || !holdCopy(file.handle()) || file.write(fileBytes) != fileBytes.size() || !file.flush())
        return LibraryFailure::NotParsed;
    silenceLibrary();
    QList<LibraryTransaction> list;
    LibofxContextPtr context = libofx_get_new_context();
    ofx_set_transaction_cb(context, onTransaction, &list);
    const int status = libofx_proc_file(context, QFile::encodeName(file.fileName()).constData(), OFX);
    libofx_free_context(context);
    if (status < 0)
        return LibraryFailure::NotParsed;
    return list;
}

bool stopped(const std::atomic_bool *cancelled)
{
    return cancelled && cancelled->load();
}

} // namespace

std::optional<Currency> parseStatementAmount(QStringView text)
{
    text = text.trimmed();
    const qsizetype dot = text.lastIndexOf(u'.');
    const qsizetype comma = text.lastIndexOf(u',');
    QChar decimal = u'.';
    QChar grouping = u'\0';
    if (dot >= 0 && comma >= 0) {
        decimal = dot > comma ? u'.' : u',';
        grouping = dot > comma ? u',' : u'.';
    } else if (comma >= 0) {
        decimal = u',';
    }
    QString cleaned = text.toString();
    if (grouping != u'\0')
        cleaned.remove(grouping);
    if (cleaned.count(decimal) > 1)
        return std::nullopt;
    NumberFormat fmt = NumberFormat::brazilian();
    fmt.decimalSeparator = decimal;
    fmt.thousandSeparator = decimal == u'.' ? u',' : u'.';
    const auto amount = parseCurrency(cleaned, fmt);
    // A debit is written without its sign, so the most negative amount has no counterpart.
    if (amount && amount->raw() == std::numeric_limits<std::int64_t>::min())
        return std::nullopt;
    return amount;
}

QDate parseStatementDate(QStringView text)
{
    text = text.trimmed();
    if (text.size() < 8)
        return {};
    for (int i = 0; i < 8; ++i) {
        if (!text[i].isDigit() || text[i].unicode() > u'9')
            return {};
    }
    return QDate(text.first(4).toInt(), text.sliced(4, 2).toInt(), text.sliced(6, 2).toInt());
}

QString statementWorkFolder()
{
    return privateFolder(kWorkFolderName);
}

void removeStatementLeftovers()
{
    // Only a folder that is there already: a start-up never creates it.
    const QString folder = runtimePath(kWorkFolderName);
    if (folder.isEmpty() || !QFileInfo(folder).isDir() || ensurePrivateFolder(folder).isEmpty())
        return;
    const QDir dir(folder);
    for (const QString &name : dir.entryList({kCopyPrefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden | QDir::System)) {
        const QString path = dir.filePath(name);
        if (isAbandonedCopy(path))
            QFile::remove(path);
    }
}

StatementReadResult StatementReader::read(const QString &path, const std::atomic_bool *cancelled) const
{
    // Regular files only: a pipe or a device named as a statement is never waited on nor read.
    DataFileError error = DataFileError::None;
    const auto bytes = readDataFile(path, kMaxFileSize, &error);
    if (!bytes)
        return {{}, error == DataFileError::TooLarge ? kTooLarge : kUnreadable};
    return readBytes(*bytes, cancelled);
}

StatementReadResult StatementReader::readBytes(const QByteArray &bytes,
                                               const std::atomic_bool *cancelled) const
{
    if (bytes.size() > kMaxFileSize)
        return {{}, kTooLarge};
    const QString text = decodeStatementText(bytes);
    const qsizetype begin = text.indexOf(QLatin1String("<OFX>"), 0, Qt::CaseInsensitive);
    if (begin < 0)
        return {{}, kNotOfx};
    const qsizetype close = text.lastIndexOf(QLatin1String("</OFX>"), -1, Qt::CaseInsensitive);
    if (close < begin)
        return {{}, kTruncated};
    const bool xml = text.first(begin).contains(QLatin1String("<?xml"), Qt::CaseInsensitive);
    const QString body = normalizeEntities(QStringView(text).sliced(begin, close + 6 - begin));

    bool tooDeep = false;
    const QList<ScannedTransaction> scanned = scanTransactions(body, kMaxDepth, &tooDeep);
    if (tooDeep)
        return {{}, kTooDeep};
    if (scanned.isEmpty())
        return {{}, kNoTransactions};
    // Each transaction's date and amount must read before the library is asked at all.
    StatementReadResult result;
    result.transactions.reserve(scanned.size());
    for (qsizetype k = 0; k < scanned.size(); ++k) {
        StatementTransaction t;
        const auto amount = parseStatementAmount(scanned[k].amount);
        if (!amount)
            return {{},
                    QStringLiteral("a transação %1 tem um valor ilegível (\"%2\").")
                        .arg(k + 1)
                        .arg(scanned[k].amount)};
        t.amount = *amount;
        t.date = parseStatementDate(scanned[k].date);
        if (!t.date.isValid())
            return {{},
                    QStringLiteral("a transação %1 tem uma data ilegível (\"%2\").")
                        .arg(k + 1)
                        .arg(scanned[k].date)};
        t.fitId = scanned[k].fitId;
        t.accountId = scanned[k].accountId;
        t.creditCard = scanned[k].creditCard;
        result.transactions.append(std::move(t));
    }

    if (stopped(cancelled))
        return {{}, kCancelled};
    const auto parsed = parseWithLibrary((xml ? kXmlHeader : kSgmlHeader) + body.toUtf8() + "\r\n");
    if (stopped(cancelled))
        return {{}, kCancelled};
    if (const auto *failure = std::get_if<LibraryFailure>(&parsed))
        return {{}, *failure == LibraryFailure::NoWorkFolder ? kNoWorkFolder : kNotOfx};
    const auto *library = &std::get<QList<LibraryTransaction>>(parsed);
    if (library->size() != scanned.size())
        return {{}, kNotMatched};
    for (qsizetype k = 0; k < scanned.size(); ++k) {
        const LibraryTransaction &from = library->at(k);
        StatementTransaction &t = result.transactions[k];
        if (from.fitId != t.fitId.trimmed().left(OFX_FITID_LENGTH - 1))
            return {{}, kNotMatched};
        if (t.accountId.isEmpty())
            t.accountId = from.accountId;
        t.type = from.type;
        t.name = from.name;
        t.memo = from.memo;
        t.checkNumber = from.checkNumber;
        t.creditCard = t.creditCard || from.creditCard;
    }
    return result;
}

} // namespace zorv
