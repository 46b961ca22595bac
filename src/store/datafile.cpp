#include "datafile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zorv {

namespace {

std::optional<QByteArray> refused(DataFileError reason, DataFileError *error)
{
    if (error)
        *error = reason;
    return std::nullopt;
}

#if defined(Q_OS_UNIX)

DataFileError fromErrno(int code)
{
    return code == ENOENT || code == ENOTDIR ? DataFileError::Missing : DataFileError::Unreadable;
}

DataFileError checkKind(const struct stat &st, qint64 limit)
{
    if (!S_ISREG(st.st_mode))
        return DataFileError::NotRegular;
    if (qint64(st.st_size) > limit)
        return DataFileError::TooLarge;
    return DataFileError::None;
}

class Descriptor
{
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

#endif

} // namespace

std::optional<QByteArray> readDataFile(const QString &path, qint64 limit, DataFileError *error)
{
    if (error)
        *error = DataFileError::None;
    if (path.isEmpty())
        return refused(DataFileError::Missing, error);
    if (limit < 0)
        return refused(DataFileError::TooLarge, error);
#if defined(Q_OS_UNIX)
    const QByteArray native = QFile::encodeName(path);
    // Looked at before it is opened: opening a device may do something by itself.
    struct stat st;
    if (::stat(native.constData(), &st) != 0)
        return refused(fromErrno(errno), error);
    if (const DataFileError kind = checkKind(st, limit); kind != DataFileError::None)
        return refused(kind, error);
    // Without O_NONBLOCK, opening a pipe waits for a writer that may never come; the name may
    // have become one since it was looked at. The descriptor is what is checked and read.
    Descriptor fd(::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0)
        return refused(fromErrno(errno), error);
    if (::fstat(fd.get(), &st) != 0)
        return refused(DataFileError::Unreadable, error);
    if (const DataFileError kind = checkKind(st, limit); kind != DataFileError::None)
        return refused(kind, error);

    // One byte more than the file holds, so the end shows in the first pass; the buffer
    // grows only for a file that grows, and never past limit + 1.
    QByteArray bytes(qsizetype(std::min<qint64>(st.st_size, limit) + 1), Qt::Uninitialized);
    qint64 got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (got > limit)
                return refused(DataFileError::TooLarge, error);
            bytes.resize(qsizetype(std::min<qint64>(limit + 1, std::max<qint64>(got * 2, 4096))));
        }
        const ssize_t n = ::read(fd.get(), bytes.data() + got, size_t(bytes.size() - got));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return refused(DataFileError::Unreadable, error);
        }
        if (n == 0)
            break;
        got += n;
    }
    if (got > limit)
        return refused(DataFileError::TooLarge, error);
    bytes.truncate(qsizetype(got));
    return bytes;
#else
    const QFileInfo info(path);
    if (!info.exists())
        return refused(DataFileError::Missing, error);
    if (!info.isFile())
        return refused(DataFileError::NotRegular, error);
    if (info.size() > limit)
        return refused(DataFileError::TooLarge, error);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refused(DataFileError::Unreadable, error);
    QByteArray bytes = file.read(limit + 1);
    if (file.error() != QFileDevice::NoError)
        return refused(DataFileError::Unreadable, error);
    if (bytes.size() > limit)
        return refused(DataFileError::TooLarge, error);
    return bytes;
#endif
}

} // namespace zorv
