#include "filegroupdisk.h"

#include "filegroup.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QReadWriteLock>
#include <QSet>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <system_error>

#include <zlib.h>

#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace zorv {

namespace {

std::atomic<int> g_stopStep{0};
std::atomic<int> g_stepsDone{0};

struct Registry
{
    QMutex mutex;
    QHash<QString, std::shared_ptr<QReadWriteLock>> locks;
    QSet<QString> settled; // folders whose every name was looked at once
    QStringList roots;
};

Registry &registry()
{
    static Registry r;
    return r;
}

std::filesystem::path fsPath(const QString &path)
{
#if defined(Q_OS_WIN)
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

} // namespace

void setFileGroupStopStep(int step)
{
    g_stepsDone = 0;
    g_stopStep = step;
}

namespace filegroup {

// ---- the crash-test seam -------------------------------------------------------------

void stepDone()
{
    const int stop = g_stopStep.load(std::memory_order_relaxed);
    if (stop > 0 && g_stepsDone.fetch_add(1, std::memory_order_relaxed) + 1 == stop)
        ::_exit(kFileGroupStopExitCode);
}

// ---- folders the process knows --------------------------------------------------------

QString folderKey(const QString &folder)
{
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

std::shared_ptr<QReadWriteLock> lockFor(const QString &key)
{
    Registry &r = registry();
    QMutexLocker guard(&r.mutex);
    auto &lock = r.locks[key];
    if (!lock)
        lock = std::make_shared<QReadWriteLock>();
    return lock;
}

bool wasSettled(const QString &key)
{
    Registry &r = registry();
    QMutexLocker guard(&r.mutex);
    return r.settled.contains(key);
}

void markSettled(const QString &key)
{
    Registry &r = registry();
    QMutexLocker guard(&r.mutex);
    r.settled.insert(key);
}

bool isUnderStoreRoot(const QString &key)
{
    Registry &r = registry();
    QMutexLocker guard(&r.mutex);
    for (const QString &root : r.roots) {
        if (key == root || key.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/')))
            return true;
    }
    return false;
}

void addRootKey(const QString &key)
{
    Registry &r = registry();
    QMutexLocker guard(&r.mutex);
    if (!r.roots.contains(key))
        r.roots.append(key);
}

// ---- files ----------------------------------------------------------------------------

QString joined(const QString &folder, const QString &name)
{
    return folder + QLatin1Char('/') + name;
}

// Puts `from` in the place of `to` in one step, replacing what is there.
bool replaceWith(const QString &from, const QString &to)
{
    std::error_code ec;
    std::filesystem::rename(fsPath(from), fsPath(to), ec);
    return !ec;
}

bool removeIfPresent(const QString &path)
{
    std::error_code ec;
    std::filesystem::remove(fsPath(path), ec);
    return !ec;
}

bool syncFile(QFile &file)
{
#if defined(Q_OS_UNIX)
    return ::fdatasync(file.handle()) == 0;
#else
    Q_UNUSED(file);
    return true;
#endif
}

// Asks the system to begin writing the file's data to disk without waiting for it.
void startWriteBack(QFile &file)
{
#if defined(Q_OS_LINUX)
    ::sync_file_range(file.handle(), 0, 0, SYNC_FILE_RANGE_WRITE);
#else
    Q_UNUSED(file);
#endif
}

// Makes the folder's entries (new, renamed and removed names) durable.
bool syncFolder(const QString &folder)
{
#if defined(Q_OS_UNIX)
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
#else
    Q_UNUSED(folder);
    return true;
#endif
}

// Creates `path` (which must not exist) with exactly `bytes` and leaves it open for the sync
// that follows. Every write is checked as it happens (no buffer to hide a failure); on any
// failure the file is removed and nothing is returned.
std::unique_ptr<QFile> writeNewFile(const QString &path, const QByteArray &bytes,
                                    std::optional<QFileDevice::Permissions> permissions)
{
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        return nullptr;
    const qsizetype half = bytes.size() / 2;
    bool ok = file->write(bytes.constData(), half) == half;
    if (ok) {
        stepDone();
        ok = file->write(bytes.constData() + half, bytes.size() - half) == bytes.size() - half;
    }
    if (ok && permissions)
        file->setPermissions(*permissions);
    if (!ok || file->error() != QFileDevice::NoError) {
        file->close();
        QFile::remove(path);
        return nullptr;
    }
    stepDone();
    return file;
}

quint32 checksumOf(QByteArrayView bytes)
{
    uLong crc = crc32(0L, Z_NULL, 0);
    // zlib takes the length as a 32-bit count: feed large contents in pieces.
    for (qsizetype at = 0; at < bytes.size();) {
        const qsizetype n = std::min<qsizetype>(bytes.size() - at, qsizetype(1) << 30);
        crc = crc32(crc, reinterpret_cast<const Bytef *>(bytes.data() + at), uInt(n));
        at += n;
    }
    return quint32(crc);
}

} // namespace filegroup

} // namespace zorv
