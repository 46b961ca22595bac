#include "companion.h"

#include "identity.h"

#include <QGuiApplication>
#include <QLocalServer>
#include <QLocalSocket>

namespace zorv {

X11TitlePresence::X11TitlePresence(const QString &title)
    : m_title(title)
{}

bool X11TitlePresence::isPresent()
{
    return m_display.hasTopLevelWindowTitled(m_title);
}

bool X11TitlePresence::requestEnd()
{
    // The companion listens on its socket on every platform.
    return LocalSocketPresence(companionSocketPath(m_title)).requestEnd();
}

LocalSocketPresence::LocalSocketPresence(const QString &socketPath)
    : m_socketPath(socketPath)
{}

bool LocalSocketPresence::isPresent()
{
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    // A local connect completes or fails at once; the wait only bounds a stuck peer.
    const bool connected = socket.waitForConnected(250);
    socket.abort();
    return connected;
}

bool LocalSocketPresence::requestEnd()
{
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(250))
        return false;
    socket.write(QByteArray(kCompanionEndRequest) + '\n');
    const bool sent = socket.waitForBytesWritten(250);
    socket.disconnectFromServer();
    return sent;
}

PresenceBeacon::PresenceBeacon(QObject *parent)
    : QObject(parent)
{}

PresenceBeacon::~PresenceBeacon() = default;

bool PresenceBeacon::start(const QString &socketPath)
{
    stop();
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server.get(), &QLocalServer::newConnection, this, [this] {
        // A presence check connects and leaves at once; an end request sends one line.
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (!socket->canReadLine()) {
                    if (socket->bytesAvailable() > 64)
                        socket->abort(); // no request is that long
                    return;
                }
                const bool end = socket->readLine().trimmed() == kCompanionEndRequest;
                socket->abort();
                if (end)
                    emit endRequested();
            });
        }
    });
    if (m_server->listen(socketPath))
        return true;
    // A file left by a companion that crashed: nobody answers on it, so it can go.
    if (m_server->serverError() == QAbstractSocket::AddressInUseError &&
        !LocalSocketPresence(socketPath).isPresent()) {
        QLocalServer::removeServer(socketPath);
        return m_server->listen(socketPath);
    }
    return false;
}

void PresenceBeacon::stop()
{
    if (m_server)
        m_server->close();
    m_server.reset();
}

bool PresenceBeacon::isListening() const
{
    return m_server && m_server->isListening();
}

QString companionSocketPath(const QString &title)
{
    return runtimePath(title + QStringLiteral(".presence"));
}

std::unique_ptr<CompanionPresence> makeCompanionPresence(const QString &title)
{
    if (X11Display::supported() && QGuiApplication::platformName() == QLatin1String("xcb"))
        return std::make_unique<X11TitlePresence>(title);
    return std::make_unique<LocalSocketPresence>(companionSocketPath(title));
}

} // namespace zorv
