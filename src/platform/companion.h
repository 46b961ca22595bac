#pragma once

#include "x11windows.h"

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;

namespace zorv {

// Whether the suite's companion is there. The program ends when it is not.
class CompanionPresence
{
public:
    virtual ~CompanionPresence() = default;
    virtual bool isPresent() = 0;
    // Asks the running companion to end (the program is quitting at the user's request and
    // takes its companion along). False when no companion took the request.
    virtual bool requestEnd() = 0;
};

// On X11: a real search of the server's top-level windows for the companion's title. Any
// process's window with that exact title counts.
class X11TitlePresence final : public CompanionPresence
{
public:
    explicit X11TitlePresence(const QString &title);
    bool isPresent() override;
    bool requestEnd() override; // through the companion's local socket

private:
    QString m_title;
    X11Display m_display;
};

// Elsewhere (Wayland, offscreen): the companion answers on a local socket while it runs.
// A socket file left behind by a companion that crashed refuses connections, so it counts
// as absent.
class LocalSocketPresence final : public CompanionPresence
{
public:
    explicit LocalSocketPresence(const QString &socketPath);
    bool isPresent() override;
    bool requestEnd() override;

private:
    QString m_socketPath;
};

// The word a program sends on the companion's socket to ask it to end.
inline constexpr char kCompanionEndRequest[] = "end";

// The companion's side of LocalSocketPresence: listens on the socket; a connection that
// sends the end request makes it emit endRequested(), any other is dropped.
class PresenceBeacon : public QObject
{
    Q_OBJECT
signals:
    void endRequested();

public:
    explicit PresenceBeacon(QObject *parent = nullptr);
    ~PresenceBeacon() override;

    bool start(const QString &socketPath);
    void stop();
    bool isListening() const;

private:
    std::unique_ptr<QLocalServer> m_server;
};

// The local socket through which the companion with this title announces itself.
QString companionSocketPath(const QString &title);

// The presence check that fits the running platform: the X11 window search when the
// application runs on X11 and the program was built with Xlib, else the local socket.
std::unique_ptr<CompanionPresence> makeCompanionPresence(const QString &title);

} // namespace zorv
