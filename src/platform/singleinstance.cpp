#include "singleinstance.h"

#include "identity.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#else
#include <QLockFile>
#endif

namespace zorv {

namespace {

const QByteArray showRequest = QByteArrayLiteral("show\n");
// The longest request line taken; a peer that sends more without ending its line is cut
// off, so a stream of bytes cannot grow the program's memory.
constexpr qint64 kMaxRequestLine = 64;
// The answers are single words; anything longer is cut.
constexpr qint64 kMaxAnswerLength = 64;

// A file name made from the instance name: path separators would leave the folder.
QString fileStem(const QString &name)
{
    QString stem = name;
    stem.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QLatin1Char('\\'), QLatin1Char('_'));
    return stem.isEmpty() ? QStringLiteral("instance") : stem;
}

} // namespace

#ifdef Q_OS_UNIX
struct FileLockInstance::Lock
{
    int fd = -1;
    ~Lock()
    {
        if (fd >= 0)
            ::close(fd); // closing the only descriptor releases the lock
    }
};
#else
struct FileLockInstance::Lock
{
    explicit Lock(const QString &path)
        : file(path)
    {
        file.setStaleLockTime(0);
    }
    QLockFile file;
};
#endif

FileLockInstance::FileLockInstance(const QString &name, const QString &folder)
{
    const QString dir = folder.isEmpty() ? runtimeDirectory() : QDir::cleanPath(folder);
    if (dir.isEmpty())
        return; // no private folder: claim() runs unguarded, nothing goes to a shared one
    m_lockPath = dir + QLatin1Char('/') + fileStem(name) + QStringLiteral(".lock");
    m_socketPath = dir + QLatin1Char('/') + fileStem(name) + QStringLiteral(".show");
}

FileLockInstance::~FileLockInstance() = default;

SingleInstance::Claim FileLockInstance::claim()
{
    if (m_lock)
        return Claim::First;
    if (m_lockPath.isEmpty())
        return Claim::Unguarded;
#ifdef Q_OS_UNIX
    // O_CLOEXEC: programs started later must not inherit the descriptor, or they would keep
    // holding the guard after this process ends.
    const int fd = ::open(QFile::encodeName(m_lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return Claim::Unguarded;
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const bool held = errno == EWOULDBLOCK;
        ::close(fd);
        return held ? Claim::AlreadyRunning : Claim::Unguarded;
    }
    m_lock = std::make_unique<Lock>();
    m_lock->fd = fd;
    return Claim::First;
#else
    auto lock = std::make_unique<Lock>(m_lockPath);
    if (lock->file.tryLock(0)) {
        m_lock = std::move(lock);
        return Claim::First;
    }
    return lock->file.error() == QLockFile::LockFailedError ? Claim::AlreadyRunning : Claim::Unguarded;
#endif
}

bool FileLockInstance::requestShow()
{
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(500))
        return false;
    socket.write(showRequest);
    const bool sent = socket.waitForBytesWritten(500);
    socket.disconnectFromServer();
    return sent;
}

bool FileLockInstance::serveShowRequests(std::function<void()> onShow)
{
    if (!m_lock)
        return false; // only the holder of the guard may own the request channel
    m_onShow = std::move(onShow);
    return listen();
}

bool FileLockInstance::serveRequest(const QByteArray &word, std::function<QByteArray()> answer)
{
    if (!m_lock)
        return false;
    m_answers.insert(word, std::move(answer));
    return listen();
}

bool FileLockInstance::listen()
{
    if (m_server)
        return m_server->isListening();
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket file left by a copy that crashed would block listen(); holding the guard
    // means no live copy owns it.
    QLocalServer::removeServer(m_socketPath);
    QObject::connect(m_server.get(), &QLocalServer::newConnection, m_server.get(), [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            socket->setReadBufferSize(kMaxRequestLine);
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
                while (socket->canReadLine()) {
                    const QByteArray line = socket->readLine(kMaxRequestLine + 1);
                    if (line == showRequest) {
                        // Taken only while show requests are served (no tray icon).
                        if (m_onShow)
                            m_onShow();
                    } else if (const auto answer = m_answers.constFind(line.chopped(1));
                               line.endsWith('\n') && answer != m_answers.cend()) {
                        socket->write((*answer)() + '\n');
                    }
                }
                if (socket->bytesAvailable() >= kMaxRequestLine) {
                    socket->abort();
                    socket->deleteLater();
                }
            });
        }
    });
    return m_server->listen(m_socketPath);
}

QByteArray FileLockInstance::ask(const QByteArray &word)
{
    // Short waits: the running copy answers from its event loop at once, and a copy that is
    // busy or gone must not hold up the asking program.
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(500))
        return {};
    socket.write(word + '\n');
    if (!socket.waitForBytesWritten(500))
        return {};
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(500))
            return {};
    }
    QByteArray answer = socket.readLine(kMaxAnswerLength);
    socket.disconnectFromServer();
    if (answer.endsWith('\n'))
        answer.chop(1);
    return answer;
}

} // namespace zorv
