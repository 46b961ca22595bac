#pragma once

#include "finance/statementreader.h"

#include <QList>
#include <QObject>

#include <atomic>
#include <functional>
#include <memory>

class QThread;

namespace zorv {

// Reads one statement at a time on a thread of its own (never on a shared pool the window
// needs), so the window, its timers (the daily backup, the companion watch) and a Cancel
// stay alive while a large or hostile file is read. By default the thread runs the reading
// in a child process (readStatementInChild) and ends it when cancelled, so a cancelled
// reading ends within moments. The result comes back on the thread that started it.
class StatementReading : public QObject
{
    Q_OBJECT

public:
    // Reads the file at `path`; may stop early, with any result, once `cancelled` is set.
    using ReadFunction =
        std::function<StatementReadResult(const QString &path, const std::atomic_bool &cancelled)>;

    explicit StatementReading(QObject *parent = nullptr);
    // Tells every reading still running to stop and waits for their threads.
    ~StatementReading() override;

    // Starts reading `path`; false while another reading is under way.
    bool start(const QString &path);
    // Drops the reading under way: finished() is not emitted for it. Its thread is told to
    // stop and ends on its own; a new reading may start at once.
    void cancel();
    bool isReading() const;

    // What the thread runs; the child process by default. Tests put in one they can hold.
    void setReadFunction(ReadFunction read) { m_read = std::move(read); }

signals:
    void finished(const zorv::StatementReadResult &result);

private:
    struct Job;
    ReadFunction m_read;
    std::shared_ptr<Job> m_job;
    // Threads of cancelled readings that have not ended yet.
    QList<QThread *> m_ending;
};

} // namespace zorv
