#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <functional>
#include <memory>

class QLocalServer;

namespace zorv {

// Requests the suite's companion makes of the running copy over the show channel: whether
// its music plays (answered "yes" or "no"), and to stop it (answered "ok").
inline const QByteArray kMusicPlayingRequest = QByteArrayLiteral("music-playing");
inline const QByteArray kStopMusicRequest = QByteArrayLiteral("stop-music");

// The guard that lets only one copy of the program run per user session.
class SingleInstance
{
public:
    enum class Claim {
        First,          // this process holds the guard until it ends
        AlreadyRunning, // another process holds it: this one must end quietly
        Unguarded,      // the guard could not be set up; run without it
    };

    virtual ~SingleInstance() = default;

    virtual Claim claim() = 0;
    // From a second start: asks the running copy to show its suite window. False when no
    // copy listens; a copy with a tray icon takes no show requests and ignores it.
    virtual bool requestShow() = 0;
    // From the first copy: starts taking show requests; `onShow` runs on the event loop for
    // each one. False when the request channel cannot be opened.
    virtual bool serveShowRequests(std::function<void()> onShow) = 0;
    // From another program of the suite: sends the one-word request `word` to the running
    // copy and returns its one-line answer without the line end; empty when none came.
    virtual QByteArray ask(const QByteArray &word) = 0;
    // From the first copy: answers each request `word` with what `answer` returns, whether
    // or not show requests are taken. False when the request channel cannot be opened.
    virtual bool serveRequest(const QByteArray &word, std::function<QByteArray()> answer) = 0;
};

// The guard as an exclusive lock on a file in a per-user folder (flock on Unix). The
// kernel drops the lock when the process ends in any way, so a crash never locks the
// user out. Show requests travel over a local socket beside the lock file.
class FileLockInstance final : public SingleInstance
{
public:
    explicit FileLockInstance(const QString &name, const QString &folder = {});
    ~FileLockInstance() override;

    Claim claim() override;
    bool requestShow() override;
    bool serveShowRequests(std::function<void()> onShow) override;
    QByteArray ask(const QByteArray &word) override;
    bool serveRequest(const QByteArray &word, std::function<QByteArray()> answer) override;

    QString lockFilePath() const { return m_lockPath; }
    QString requestSocketPath() const { return m_socketPath; }

private:
    struct Lock;
    bool listen();

    QString m_lockPath;
    QString m_socketPath;
    std::unique_ptr<Lock> m_lock;
    std::unique_ptr<QLocalServer> m_server;
    std::function<void()> m_onShow;
    QHash<QByteArray, std::function<QByteArray()>> m_answers;
};

} // namespace zorv
