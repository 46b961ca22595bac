#pragma once

#include <QObject>

class QSocketNotifier;

namespace zorv {

// SIGTERM (what the end of a desktop session sends) and SIGHUP (the terminal or session
// went away) reach the event loop as `received`, so the program can save typed text before
// it ends. The signal handler only writes the signal's number to one end of a socket pair;
// the notifier on the other end emits on the user-interface thread. One object at a time
// holds the handlers; its destruction gives the default handling back.
class ExitSignals : public QObject
{
    Q_OBJECT
public:
    explicit ExitSignals(QObject *parent = nullptr);
    ~ExitSignals() override;

    // Whether the handlers were installed.
    bool isActive() const { return m_notifier != nullptr; }

signals:
    void received(int signal);

private:
    void readSignals();

    QSocketNotifier *m_notifier = nullptr;
};

} // namespace zorv
