#include "filetree.h"

#include <utility>

#include "logging.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zorv {

namespace {

bool isProtectedFolder(const QFileInfo &info)
{
    const QString canonical = info.canonicalFilePath();
    if (canonical.isEmpty())
        return false;
    const QString home = QFileInfo(QDir::homePath()).canonicalFilePath();
    return QDir(canonical).isRoot() || canonical == home;
}

bool copyFileReplacing(const QString &from, const QString &to)
{
    if (QFileInfo(to).isDir())
        return false;
    if (QFileInfo::exists(to) || QFileInfo(to).isSymLink()) {
        QFile::setPermissions(to, QFile::permissions(to) | QFileDevice::WriteOwner);
        if (!QFile::remove(to))
            return false;
    }
    if (!QFile::copy(from, to))
        return false;
    return QFileInfo(to).size() == QFileInfo(from).size();
}

} // namespace

bool DeleteTree(const QString &path)
{
    if (path.trimmed().isEmpty())
        return false;
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return true;
    if (isProtectedFolder(info))
        return false;
    if (info.isDir() && !info.isSymLink())
        return QDir(path).removeRecursively();
    return QFile::remove(path);
}

bool CopyTree(const QString &source, const QString &target)
{
    const QFileInfo src(source);
    if (source.isEmpty() || target.isEmpty() || !src.exists())
        return false;
    if (!QDir().mkpath(target))
        return false;
    const QString destRoot = QDir(target).filePath(src.fileName());
    if (!src.isDir())
        return copyFileReplacing(src.absoluteFilePath(), destRoot);

    // Refuse to copy a folder into itself: the copy would never end.
    const QString srcCanon = src.canonicalFilePath() + QLatin1Char('/');
    const QString targetCanon = QFileInfo(target).canonicalFilePath() + QLatin1Char('/');
    if (targetCanon.startsWith(srcCanon))
        return false;

    if (!QDir().mkpath(destRoot))
        return false;
    bool ok = true;
    const QDir srcDir(src.absoluteFilePath());
    QDirIterator it(srcDir.path(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString from = it.next();
        const QString to = destRoot + QLatin1Char('/') + srcDir.relativeFilePath(from);
        const QFileInfo fi = it.fileInfo();
        if (fi.isDir() && !fi.isSymLink())
            ok = QDir().mkpath(to) && ok;
        else
            ok = copyFileReplacing(from, to) && ok;
    }
    return ok;
}

#if defined(Q_OS_UNIX)

namespace {

// A descriptor closed when it goes out of scope.
class Fd
{
public:
    explicit Fd(int fd = -1)
        : m_fd(fd)
    {}
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }
    bool valid() const { return m_fd >= 0; }

private:
    int m_fd;
};

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

int openFolderAt(int parentFd, const char *name)
{
    int fd;
    do {
        fd = ::openat(parentFd, name, kFolderFlags);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

QString errorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Empties the opened folder `fd` of everything this user owns, depth first. False when
// something stays (an entry of another user, a failed removal); the reason in `why`.
bool emptyOwnFolder(int fd, QString &why, int depth)
{
    if (depth > 256) {
        why = QStringLiteral("pastas demais umas dentro das outras");
        return false;
    }
    // The folder is this user's: make sure it can be listed and changed.
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || st.st_uid != ::geteuid()) {
        why = QStringLiteral("pasta de outro usuário");
        return false;
    }
    if ((st.st_mode & S_IRWXU) != S_IRWXU && ::fchmod(fd, (st.st_mode & 07777) | S_IRWXU) != 0) {
        why = errorText(errno);
        return false;
    }
    const int listFd = ::dup(fd);
    if (listFd < 0) {
        why = errorText(errno);
        return false;
    }
    DIR *dir = ::fdopendir(listFd);
    if (!dir) {
        ::close(listFd);
        why = errorText(errno);
        return false;
    }
    bool all = true;
    QList<QByteArray> names;
    errno = 0;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names.append(name);
    }
    ::closedir(dir);
    for (const QByteArray &name : names) {
        struct stat child
        {
        };
        if (::fstatat(fd, name.constData(), &child, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT)
                continue;
            why = errorText(errno);
            all = false;
            continue;
        }
        if (child.st_uid != ::geteuid()) {
            why = QStringLiteral("\"%1\" é de outro usuário").arg(QFile::decodeName(name));
            all = false;
            continue; // never removed, and nothing inside it is touched
        }
        if (S_ISDIR(child.st_mode)) {
            const Fd sub(openFolderAt(fd, name.constData()));
            if (!sub.valid() || !emptyOwnFolder(sub.get(), why, depth + 1)) {
                if (!sub.valid())
                    why = errorText(errno);
                all = false;
                continue;
            }
            if (::unlinkat(fd, name.constData(), AT_REMOVEDIR) != 0) {
                why = errorText(errno);
                all = false;
            }
        } else if (::unlinkat(fd, name.constData(), 0) != 0 && errno != ENOENT) {
            why = errorText(errno);
            all = false;
        }
    }
    return all;
}

// Whether `gid` is the user's own group: named after the user, with no other member listed.
// A folder that only this group may write is as private as one only the user may write
// (systems that give each user a group of their own create files group-writable).
bool isPrivateGroup(gid_t gid)
{
    const passwd *user = ::getpwuid(::geteuid());
    if (!user || user->pw_gid != gid)
        return false;
    const QByteArray userName(user->pw_name);
    const group *g = ::getgrgid(gid);
    if (!g || userName != g->gr_name)
        return false;
    for (char **member = g->gr_mem; member && *member; ++member) {
        if (userName != *member)
            return false;
    }
    return true;
}

} // namespace

namespace owntree {

bool ownedAndPrivateToWrite(int fd)
{
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || st.st_uid != ::geteuid() || (st.st_mode & S_IWOTH) != 0)
        return false;
    return (st.st_mode & S_IWGRP) == 0 || isPrivateGroup(st.st_gid);
}

std::optional<QByteArray> readOwnFileAt(int folderFd, const QByteArray &name, qint64 limit)
{
    int raw;
    do {
        raw = ::openat(folderFd, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    } while (raw < 0 && errno == EINTR);
    const Fd fd(raw);
    if (!fd.valid())
        return std::nullopt;
    struct stat st
    {
    };
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid() || st.st_size > limit)
        return std::nullopt;
    QByteArray bytes(qsizetype(st.st_size), Qt::Uninitialized);
    qint64 got = 0;
    while (got < st.st_size) {
        const ssize_t n = ::read(fd.get(), bytes.data() + got, size_t(st.st_size - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += n;
    }
    bytes.truncate(got);
    return bytes;
}

} // namespace owntree

WriteResult removeOwnTree(const QString &folder, const QString &name, const std::function<bool(int)> &accept)
{
    const QByteArray encoded = QFile::encodeName(name);
    if (name.isEmpty() || encoded.contains('/') || name == QLatin1String(".") || name == QLatin1String(".."))
        return WriteResult::failed(QStringLiteral("nome inválido"));
    // The folder holding the entry may be reached through a link the user chose; below it,
    // nothing is.
    int raw;
    do {
        raw = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    } while (raw < 0 && errno == EINTR);
    const Fd parent(raw);
    if (!parent.valid())
        return WriteResult::failed(errorText(errno));
    struct stat st
    {
    };
    if (::fstatat(parent.get(), encoded.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? WriteResult::done() : WriteResult::failed(errorText(errno));
    if (!S_ISDIR(st.st_mode))
        return WriteResult::failed(QStringLiteral("não é uma pasta"));
    const Fd target(openFolderAt(parent.get(), encoded.constData()));
    if (!target.valid())
        return WriteResult::failed(errorText(errno));
    if (!owntree::ownedAndPrivateToWrite(target.get()))
        return WriteResult::failed(QStringLiteral("pasta de outro usuário ou que outros podem alterar"));
    if (accept && !accept(target.get()))
        return WriteResult::failed(QStringLiteral("pasta que este programa não fez"));
    QString why;
    if (!emptyOwnFolder(target.get(), why, 0)) {
        qCWarning(lcBackup) << "not removed entirely:" << folder << name << why;
        return WriteResult::failed(why);
    }
    if (::unlinkat(parent.get(), encoded.constData(), AT_REMOVEDIR) != 0) {
        const QString reason = errorText(errno);
        qCWarning(lcBackup) << "not removed:" << folder << name << reason;
        return WriteResult::failed(reason);
    }
    return WriteResult::done();
}

#else

namespace owntree {
bool ownedAndPrivateToWrite(int)
{
    return false;
}
std::optional<QByteArray> readOwnFileAt(int, const QByteArray &, qint64)
{
    return std::nullopt;
}
} // namespace owntree

WriteResult removeOwnTree(const QString &, const QString &, const std::function<bool(int)> &)
{
    return WriteResult::failed(QStringLiteral("não disponível neste sistema"));
}

#endif

void EnableAllPrivileges() {}

} // namespace zorv
