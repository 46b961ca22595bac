#include "finance/statementreading.h"

#include <QFutureWatcher>
#include <QPromise>
#include <QThreadPool>

namespace zorv {

struct StatementReading::Job
{
    std::atomic_bool cancelled{false};
    QPromise<StatementReadResult> promise;
};

StatementReading::StatementReading(QObject *parent)
    : QObject(parent)
    , m_read([](const QString &path, const std::atomic_bool &cancelled) {
        return StatementReader().read(path, &cancelled);
    })
{}

StatementReading::~StatementReading()
{
    cancel();
}

bool StatementReading::isReading() const
{
    return m_job != nullptr;
}

bool StatementReading::start(const QString &path)
{
    if (m_job)
        return false;
    auto job = std::make_shared<Job>();
    auto *watcher = new QFutureWatcher<StatementReadResult>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        if (watcher != m_watcher)
            return; // cancelled meanwhile
        const QFuture<StatementReadResult> future = watcher->future();
        m_job.reset();
        m_watcher.clear();
        watcher->deleteLater();
        emit finished(
            future.resultCount() > 0
                ? future.result()
                : StatementReadResult{{}, QStringLiteral("a leitura do extrato foi interrompida.")});
    });
    watcher->setFuture(job->promise.future());
    job->promise.start();
    m_job = job;
    m_watcher = watcher;
    // The worker holds the job, so the promise outlives a cancelled reading's watcher.
    QThreadPool::globalInstance()->start([job, read = m_read, path] {
        job->promise.addResult(read(path, job->cancelled));
        job->promise.finish();
    });
    return true;
}

void StatementReading::cancel()
{
    if (!m_job)
        return;
    m_job->cancelled = true;
    m_job.reset();
    if (m_watcher) {
        m_watcher->disconnect(this);
        m_watcher->deleteLater();
        m_watcher.clear();
    }
}

} // namespace zorv
