#include "smalldisk.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#if defined(Q_OS_LINUX)
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>
#endif

namespace {
const char kFiller[] = "/.filler";
}

SmallDisk::SmallDisk(int kib)
{
#if defined(Q_OS_LINUX)
    if (!m_dir.isValid()) {
        m_whyNot = QStringLiteral("no temporary folder");
        return;
    }
    const QByteArray options = "size=" + QByteArray::number(kib) + "k,mode=0755";
    if (::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                options.constData()) != 0) {
        m_whyNot = QStringLiteral("cannot mount a %1 KiB tmpfs here (%2); needs root or CAP_SYS_ADMIN")
                       .arg(kib)
                       .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    m_mounted = true;
#else
    Q_UNUSED(kib);
    m_whyNot = QStringLiteral("small tmpfs disks are only made on Linux");
#endif
}

SmallDisk::~SmallDisk()
{
#if defined(Q_OS_LINUX)
    if (m_mounted)
        ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
#endif
}

bool SmallDisk::leaveFree(int freeKiB)
{
#if defined(Q_OS_LINUX)
    if (!m_mounted)
        return false;
    const QByteArray filler = QFile::encodeName(m_dir.path() + QLatin1String(kFiller));
    const int fd = ::open(filler.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    // Grow the filler until the disk is full, then give back the wanted amount.
    ::ftruncate(fd, 0);
    static const QByteArray block(4096, 'f');
    off_t size = 0;
    while (::write(fd, block.constData(), block.size()) == block.size())
        size += block.size();
    const off_t wanted = size - off_t(freeKiB) * 1024;
    const bool ok = wanted >= 0 && ::ftruncate(fd, wanted) == 0;
    ::close(fd);
    struct statvfs st;
    return ok && ::statvfs(QFile::encodeName(m_dir.path()).constData(), &st) == 0 &&
           qint64(st.f_bavail) * qint64(st.f_frsize) >= qint64(freeKiB) * 1024;
#else
    Q_UNUSED(freeKiB);
    return false;
#endif
}

void SmallDisk::unfill()
{
    QFile::remove(m_dir.path() + QLatin1String(kFiller));
}
