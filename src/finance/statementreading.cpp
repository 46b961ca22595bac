#include "finance/statementreading.h"

#include "finance/statementchild.h"

#include <QThread>

namespace zorv {

struct StatementReading::Job
{
    std::atomic_bool cancelled{false};
    QThread *thread = nullptr;
};

StatementReading::StatementReading(QObject *parent)
    : QObject(parent)
    , m_read([](const QString &path, const std::atomic_bool &cancelled) {
        return readStatementInChild(statementReaderProgram(), path, cancelled);
    })
{}

StatementReading::~StatementReading()
{
    cancel();
    for (QThread *thread : std::as_const(m_ending)) {
        thread->wait();
        delete thread;
    }
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
    auto result = std::make_shared<StatementReadResult>(
        StatementReadResult{{}, QStringLiteral("a leitura do extrato foi interrompida.")});
    // The thread holds the job, so the cancel flag outlives a dropped reading.
    job->thread =
        QThread::create([job, result, read = m_read, path] { *result = read(path, job->cancelled); });
    job->thread->setObjectName(QStringLiteral("StatementReading"));
    connect(job->thread, &QThread::finished, this, [this, job, result] {
        QThread *thread = job->thread;
        if (m_ending.removeOne(thread)) {
            thread->deleteLater(); // a cancelled reading: its result is dropped
            return;
        }
        if (m_job != job)
            return;
        m_job.reset();
        thread->deleteLater();
        emit finished(*result);
    });
    m_job = job;
    job->thread->start();
    return true;
}

void StatementReading::cancel()
{
    if (!m_job)
        return;
    m_job->cancelled = true;
    m_ending.append(m_job->thread);
    m_job.reset();
}

} // namespace zorv
