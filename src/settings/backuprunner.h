#pragma once

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>

class QThread;

namespace zorv {

// Runs one backup or restore at a time on a worker thread, so a large copy never freezes
// the window, and reports its result back on the thread that owns the runner.
class BackupRunner : public QObject
{
    Q_OBJECT

public:
    enum class Job { Backup, Restore };
    Q_ENUM(Job)

    // The work gets a flag that is set when the runner is destroyed mid-job; it should
    // stop soon after and report failure.
    using Work = std::function<bool(const std::atomic<bool> &cancel)>;

    explicit BackupRunner(QObject *parent = nullptr);
    // Asks a running job to stop and waits for it: the worker never outlives the runner.
    ~BackupRunner() override;

    bool isBusy() const { return m_thread != nullptr; }
    // Starts the work; false, and nothing started, while another job runs.
    bool start(Job job, Work work);
    // Blocks until the running job has ended and its finished() has been emitted. True
    // when nothing runs any more; false after `msecs` without an end.
    bool waitForFinished(int msecs = 30000);

signals:
    // Emitted on the runner's thread once the worker is done.
    void finished(zorv::BackupRunner::Job job, bool ok);

private:
    struct Shared
    {
        std::atomic<bool> cancel{false};
        bool ok = false;
    };

    void deliver(Job job);

    QThread *m_thread = nullptr;
    std::shared_ptr<Shared> m_shared;
};

} // namespace zorv
