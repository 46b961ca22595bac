#include "finance/statementreader.h"

#include "finance/statementbatches.h"
#include "finance/statementscan.h"

#include "platform/identity.h"
#include "store/datafile.h"
#include "store/logging.h"
#include "store/textcodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMutex>
#include <QStringDecoder>
#include <QTemporaryFile>

#include <libofx/libofx.h>

#include <cstring>
#include <limits>
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
const QString kFrameTooLarge =
    QStringLiteral("o extrato tem texto demais fora das transações para ser lido em partes.");
const QString kWorkFolderName = QStringLiteral("extratos");
// A run holds a lock on its private copy while the library reads it; the system drops the
// lock when the run ends in any way, so a copy nobody holds is one a killed run left.
const QString kCopyPrefix = QStringLiteral("extrato-");

QString tooManyTransactions()
{
    return QStringLiteral("o extrato tem mais de %1 transações.")
        .arg(QLocale(QLocale::Portuguese, QLocale::Brazil).toString(StatementReader::kMaxTransactions));
}

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
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st
    {
    };
    const bool abandoned =
        ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd); // drops the lock just taken
    return abandoned;
#else
    return QFileInfo(path).isFile() && !QFileInfo(path).isSymLink();
#endif
}

// True when `path` is a reading child's folder (a real folder, not a link) that no run holds.
bool isAbandonedChildFolder(const QString &path)
{
#ifdef Q_OS_UNIX
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool abandoned = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return abandoned;
#else
    return QFileInfo(path).isDir() && !QFileInfo(path).isSymLink();
#endif
}

enum class LibraryFailure { NoWorkFolder, NotParsed };

// The library reads only from a file: the normalized text goes to a private copy in
// `folder` (owner-only), removed when the library is done with it. One parse
// at a time: a cancelled reading may still be inside the library when the next one starts.
std::variant<QList<LibraryTransaction>, LibraryFailure> parseWithLibrary(const QByteArray &fileBytes,
                                                                         const QString &folder)
{
    static QMutex oneAtATime;
    const QMutexLocker lock(&oneAtATime);
    if (folder.isEmpty())
        return LibraryFailure::NoWorkFolder;
    QTemporaryFile file(folder + QLatin1Char('/') + kCopyPrefix + QStringLiteral("XXXXXX.ofx"));
    if (!file.open() || !holdCopy(file.handle()) || file.write(fileBytes) != fileBytes.size() ||
        !file.flush())
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
    for (const QString &name :
         dir.entryList({kCopyPrefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden | QDir::System)) {
        const QString path = dir.filePath(name);
        if (isAbandonedCopy(path))
            QFile::remove(path);
    }
    for (const QString &name : dir.entryList({statementChildFolderPrefix() + QLatin1Char('*')},
                                             QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot)) {
        const QString path = dir.filePath(name);
        if (isAbandonedChildFolder(path))
            QDir(path).removeRecursively(); // removes links found inside, never their targets
    }
}

QString statementChildFolderPrefix()
{
    return QStringLiteral("leitura-");
}

StatementChildFolderHold::StatementChildFolderHold(const QString &folder)
{
#ifdef Q_OS_UNIX
    m_fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (m_fd >= 0)
        ::flock(m_fd, LOCK_EX | LOCK_NB);
#else
    Q_UNUSED(folder);
#endif
}

StatementChildFolderHold::~StatementChildFolderHold()
{
#ifdef Q_OS_UNIX
    if (m_fd >= 0)
        ::close(m_fd);
#endif
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
    QString text = decodeStatementText(bytes);
    const qsizetype begin = text.indexOf(QLatin1String("<OFX>"), 0, Qt::CaseInsensitive);
    if (begin < 0)
        return {{}, kNotOfx};
    const qsizetype close = text.lastIndexOf(QLatin1String("</OFX>"), -1, Qt::CaseInsensitive);
    if (close < begin)
        return {{}, kTruncated};
    const bool xml = text.first(begin).contains(QLatin1String("<?xml"), Qt::CaseInsensitive);
    const QString body = normalizeEntities(QStringView(text).sliced(begin, close + 6 - begin));
    text = QString(); // the body is all the reading needs from here on: a large file's memory halves

    bool tooDeep = false;
    const QList<ofxscan::ScannedTransaction> scanned = ofxscan::scanTransactions(body, kMaxDepth, &tooDeep);
    if (tooDeep)
        return {{}, kTooDeep};
    if (scanned.isEmpty())
        return {{}, kNoTransactions};
    if (scanned.size() > kMaxTransactions) {
        qCWarning(lcImport) << "statement refused:" << scanned.size() << "transactions, more than"
                            << kMaxTransactions;
        return {{}, tooManyTransactions()};
    }
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

    const QString workFolder = m_workFolder.isEmpty() ? statementWorkFolder() : m_workFolder;
    const ofxscan::StatementBatches batches(body, scanned, m_transactionsPerRead);
    if (batches.count() > 1 && batches.frameSize() > kMaxFrameSize) {
        qCWarning(lcImport) << "statement refused:" << batches.frameSize()
                            << "characters around its transactions, more than" << kMaxFrameSize;
        return {{}, kFrameTooLarge};
    }
    const QByteArray &header = xml ? kXmlHeader : kSgmlHeader;
    for (qsizetype batch = 0; batch < batches.count(); ++batch) {
        if (stopped(cancelled))
            return {{}, kCancelled};
        const auto parsed = parseWithLibrary(header + batches.text(batch).toUtf8() + "\r\n", workFolder);
        if (const auto *failure = std::get_if<LibraryFailure>(&parsed))
            return {{}, *failure == LibraryFailure::NoWorkFolder ? kNoWorkFolder : kNotOfx};
        const auto *library = &std::get<QList<LibraryTransaction>>(parsed);
        if (library->size() != batches.size(batch))
            return {{}, kNotMatched};
        for (qsizetype j = 0; j < library->size(); ++j) {
            const LibraryTransaction &from = library->at(j);
            StatementTransaction &t = result.transactions[batches.first(batch) + j];
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
    }
    if (stopped(cancelled))
        return {{}, kCancelled};
    return result;
}

} // namespace zorv
