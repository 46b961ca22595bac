#include "backuprunner.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

namespace zorv {

BackupRunner::BackupRunner(QObject *parent)
    : QObject(parent)
{}

BackupRunner::~BackupRunner()
{
    if (!m_thread)
        return;
    m_shared->cancel = true;
    m_thread->disconnect(this);
    m_thread->wait();
    delete m_thread;
}

bool BackupRunner::start(Job job, Work work)
{
    if (m_thread || !work)
        return false;
    m_shared = std::make_shared<Shared>();
    m_thread = QThread::create([shared = m_shared, work = std::move(work)] {
        try {
            shared->ok = work(shared->cancel);
        } catch (...) {
            shared->ok = false;
        }
    });
    m_thread->setObjectName(QStringLiteral("backup worker"));
    // QThread::finished comes from the worker; the receiver context makes it a queued call
    // into this object's thread.
    connect(m_thread, &QThread::finished, this, [this, job] { deliver(job); });
    m_thread->start(QThread::LowPriority);
    return true;
}

void BackupRunner::deliver(Job job)
{
    if (!m_thread)
        return;
    m_thread->wait();
    m_thread->deleteLater();
    m_thread = nullptr;
    const bool ok = m_shared->ok;
    emit finished(job, ok);
}

bool BackupRunner::waitForFinished(int msecs)
{
    QDeadlineTimer deadline(msecs);
    while (m_thread) {
        if (!m_thread->wait(deadline))
            return false;
        // The worker has ended; its queued finished call runs here.
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    }
    return true;
}

} // namespace zorv
