#include "finance/statementchild.h"

#include "store/logging.h"
#include "store/paths.h"

#include <QDataStream>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/prctl.h>
#endif

namespace zorv {

namespace {

const QString kProgramName = QStringLiteral("zorv-statement-reader");
const quint32 kMagic = 0x5a4f4658; // the first four bytes of a result
const QString kCancelled = QStringLiteral("a leitura foi cancelada.");
const QString kNoProgram = QStringLiteral("o programa que lê os extratos não pôde ser iniciado.");
const QString kChildFailed = QStringLiteral("a leitura do extrato foi interrompida.");
const QString kNoWorkFolder =
    QStringLiteral("não há uma pasta particular do programa onde o extrato possa ser lido.");
// A result of kMaxTransactions transactions takes well under this.
constexpr qint64 kMaxResultSize = 512LL * 1024 * 1024;
// How often the waiting thread looks at the cancel flag.
constexpr int kPollMs = 20;

} // namespace

QString statementReaderProgram()
{
    const QString dir = runningPlacement().companionDir;
    return dir.isEmpty() ? QString() : QDir(dir).filePath(kProgramName);
}

QByteArray encodeStatementResult(const StatementReadResult &result)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    out << kMagic << result.error << quint32(result.transactions.size());
    for (const StatementTransaction &t : result.transactions)
        out << t.accountId << t.fitId << t.date << qint64(t.amount.raw()) << t.type << t.name << t.memo
            << t.checkNumber << t.creditCard;
    out << kMagic;
    return bytes;
}

std::optional<StatementReadResult> decodeStatementResult(const QByteArray &bytes)
{
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_4);
    quint32 magic = 0;
    quint32 count = 0;
    StatementReadResult result;
    in >> magic >> result.error >> count;
    if (in.status() != QDataStream::Ok || magic != kMagic || count > StatementReader::kMaxTransactions)
        return std::nullopt;
    result.transactions.reserve(count);
    for (quint32 k = 0; k < count && in.status() == QDataStream::Ok; ++k) {
        StatementTransaction t;
        qint64 raw = 0;
        in >> t.accountId >> t.fitId >> t.date >> raw >> t.type >> t.name >> t.memo >> t.checkNumber >>
            t.creditCard;
        t.amount = Currency::fromRaw(raw);
        result.transactions.append(std::move(t));
    }
    in >> magic;
    if (in.status() != QDataStream::Ok || magic != kMagic || !in.atEnd())
        return std::nullopt;
    return result;
}

StatementReadResult readStatementInChild(const QString &program, const QString &path,
                                         const std::atomic_bool &cancelled)
{
    const QString work = statementWorkFolder();
    if (work.isEmpty())
        return {{}, kNoWorkFolder};
    // The child's temporary folder: owner-only (QTemporaryDir makes it 0700), removed with
    // whatever the child left in it once the child has ended.
    QTemporaryDir temporary(QDir(work).filePath(statementChildFolderPrefix() + QStringLiteral("XXXXXX")));
    if (!temporary.isValid())
        return {{}, kNoWorkFolder};
    const StatementChildFolderHold hold(temporary.path());
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"TMPDIR", "TMP", "TEMP"})
        environment.insert(QString::fromLatin1(name), temporary.path());
    child.setProcessEnvironment(environment);
    child.setStandardInputFile(QProcess::nullDevice());
    // The child's log lines join the program's own.
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
#ifdef Q_OS_LINUX
    // The child ends with the thread that started it, also when the program is killed.
    child.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
#endif
    child.start(program, {path, temporary.path()});
    if (!child.waitForStarted()) {
        qCWarning(lcImport) << "statement reader" << program << "did not start:" << child.errorString();
        return {{}, kNoProgram};
    }
    bool tooLarge = false;
    while (!child.waitForFinished(kPollMs)) {
        tooLarge = child.bytesAvailable() > kMaxResultSize;
        if (cancelled.load() || tooLarge || child.state() == QProcess::NotRunning)
            break;
    }
    if (child.state() != QProcess::NotRunning) {
        child.kill();
        child.waitForFinished(-1);
    }
    if (cancelled.load())
        return {{}, kCancelled};
    if (tooLarge || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        qCWarning(lcImport) << "statement reader ended without a result for" << path;
        return {{}, kChildFailed};
    }
    const auto result = decodeStatementResult(child.readAllStandardOutput());
    if (!result) {
        qCWarning(lcImport) << "statement reader gave an unreadable result for" << path;
        return {{}, kChildFailed};
    }
    return *result;
}

} // namespace zorv
