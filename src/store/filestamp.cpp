#include "filestamp.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <atomic>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <time.h>
#endif

namespace zorv {

namespace {

std::atomic<qint64> settleTimeNs{2'000'000'000};

} // namespace

qint64 setStampSettleTime(qint64 ns)
{
    return settleTimeNs.exchange(ns);
}

FileStamp fileStamp(const QString &path)
{
    FileStamp stamp;
    if (path.isEmpty())
        return stamp;
    qint64 nowNs = 0;
#ifdef Q_OS_UNIX
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return stamp;
    stamp.size = qint64(st.st_size);
    stamp.modifiedNs = qint64(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    stamp.changedNs = qint64(st.st_ctim.tv_sec) * 1'000'000'000 + st.st_ctim.tv_nsec;
    stamp.device = quint64(st.st_dev);
    stamp.fileNumber = quint64(st.st_ino);
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    nowNs = qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
#else
    const QFileInfo info(path);
    if (!info.isFile())
        return stamp;
    stamp.size = info.size();
    stamp.modifiedNs = info.lastModified().toMSecsSinceEpoch() * 1'000'000;
    stamp.changedNs = info.metadataChangeTime().toMSecsSinceEpoch() * 1'000'000;
    nowNs = QDateTime::currentMSecsSinceEpoch() * 1'000'000;
#endif
    // A time in the future (another machine's clock) never settles.
    stamp.settled = nowNs - qMax(stamp.modifiedNs, stamp.changedNs) >= settleTimeNs;
    return stamp;
}

} // namespace zorv
