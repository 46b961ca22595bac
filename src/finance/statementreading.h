#pragma once

#include "finance/statementreader.h"

#include <QObject>
#include <QPointer>

#include <atomic>
#include <functional>
#include <memory>

template<typename T> class QFutureWatcher;

namespace zorv {

// Reads one statement at a time on a worker thread, so the window, its timers (the daily
// backup, the companion watch) and a Cancel stay alive while a large or hostile file is
// read. The result comes back on the thread that started the reading.
class StatementReading : public QObject
{
    Q_OBJECT

public:
    // Reads the file at `path`; may stop early, with any result, once `cancelled` is set.
    using ReadFunction =
        std::function<StatementReadResult(const QString &path, const std::atomic_bool &cancelled)>;

    explicit StatementReading(QObject *parent = nullptr);
    ~StatementReading() override;

    // Starts reading `path`; false while another reading is under way.
    bool start(const QString &path);
    // Drops the reading under way: finished() is not emitted for it. The worker is told to
    // stop and ends on its own (the library's parse itself cannot be interrupted).
    void cancel();
    bool isReading() const;

    // What the worker runs; StatementReader by default. Tests put in one they can hold.
    void setReadFunction(ReadFunction read) { m_read = std::move(read); }

signals:
    void finished(const zorv::StatementReadResult &result);

private:
    struct Job;
    ReadFunction m_read;
    std::shared_ptr<Job> m_job;
    QPointer<QFutureWatcher<StatementReadResult>> m_watcher;
};

} // namespace zorv
