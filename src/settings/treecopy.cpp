#include "treecopy.h"

#include "store/filegroup.h"
#include "store/logging.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zorv {

namespace treecopy {

QString joined(const QString &folder, const QString &name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

} // namespace treecopy

namespace {

using treecopy::joined;
using treecopy::keepPermissions;
using treecopy::sameOrInside;

// Files up to this size are held in memory while copied and compared with the bytes read;
// larger ones are copied in pieces and compared with the source afterwards.
constexpr qint64 kWholeFileLimit = qint64(64) * 1024 * 1024;
constexpr qint64 kChunk = qint64(4) * 1024 * 1024;

Qt::CaseSensitivity fileNameCase()
{
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return Qt::CaseInsensitive;
#else
    return Qt::CaseSensitive;
#endif
}

bool cancelled(const TreeCopyOptions &options)
{
    return options.cancel && options.cancel->load(std::memory_order_relaxed);
}

// Reads the whole file into `into`, reusing its memory: a buffer kept from file to file
// is already mapped, where a fresh one costs a page fault for every page read into it.
bool readAllChecked(QFile &file, QByteArray &into)
{
    const qint64 expected = file.size();
    into.resize(expected);
    qint64 got = 0;
    while (got < expected) {
        const qint64 n = file.read(into.data() + got, expected - got);
        if (n < 0)
            return false;
        if (n == 0)
            break;
        got += n;
    }
    into.resize(got);
    // A file that grew while it was read is read to its end.
    const QByteArray rest = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    if (!rest.isEmpty())
        into += rest;
    return true;
}

// The buffers one copying thread reads files and their copies into.
struct CopyBuffers
{
    QByteArray source;
    QByteArray copy;
};
thread_local CopyBuffers t_buffers;

// Compares two open files piece by piece.
bool sameContent(QFile &a, QFile &b)
{
    if (a.size() != b.size())
        return false;
    while (true) {
        const QByteArray x = a.read(kChunk);
        const QByteArray y = b.read(kChunk);
        if (a.error() != QFileDevice::NoError || b.error() != QFileDevice::NoError || x != y)
            return false;
        if (x.isEmpty())
            return true;
    }
}

// Gives the open copy `to` the permission bits of the open file `from`: no path is looked
// up again.
bool keepPermissions(const QFile &from, const QFile &to)
{
#if defined(Q_OS_UNIX)
    struct stat st
    {
    };
    if (::fstat(from.handle(), &st) != 0)
        return false;
    return ::fchmod(to.handle(), st.st_mode & 0777) == 0;
#else
    return QFile::setPermissions(to.fileName(), from.permissions());
#endif
}

// A folder this copy is filled into: owner-only until it is complete.
bool makeWorkFolder(const QString &path)
{
#if defined(Q_OS_UNIX)
    return ::mkdir(QFile::encodeName(path).constData(), 0700) == 0;
#else
    return QDir().mkdir(path);
#endif
}

bool copyFile(const QFileInfo &from, const QString &to, const TreeCopyOptions &options)
{
    QFile in(from.filePath());
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QFile out(to);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;

    QByteArray &bytes = t_buffers.source;
    const bool whole = in.size() <= kWholeFileLimit;
    if (whole) {
        if (!readAllChecked(in, bytes) || out.write(bytes) != bytes.size())
            return false;
    } else {
        while (true) {
            const QByteArray piece = in.read(kChunk);
            if (in.error() != QFileDevice::NoError)
                return false;
            if (piece.isEmpty())
                break;
            if (out.write(piece) != piece.size())
                return false;
        }
    }
    // The copy keeps the time the file was last changed (set after the last write reaches
    // the file); a copy without it is still whole.
    if (!out.flush())
        return false;
    out.setFileTime(from.lastModified(), QFileDevice::FileModificationTime);
    out.close();
    if (out.error() != QFileDevice::NoError)
        return false;
    if (options.afterFileWritten)
        options.afterFileWritten(to);

    QFile check(to);
    if (!check.open(QIODevice::ReadOnly))
        return false;
    bool same;
    if (whole) {
        QByteArray &back = t_buffers.copy;
        same = readAllChecked(check, back) && back == bytes;
    } else {
        in.seek(0);
        same = sameContent(in, check);
    }
    return same && keepPermissions(in, check);
}

// What one copy of a tree needs while it walks: where links may lead and which folders
// lie on the way down (a link back to one of them would never end).
struct TreeWalk
{
    const TreeCopyOptions &options;
    QString linkScope;       // canonical folder links must stay in; empty: anywhere
    QString destination;     // canonical folder the copy is written into
    QStringList openFolders; // canonical paths of the folders being copied
    QString reason;          // why the copy failed, when the user can act on it
};

// The names in the folder `path` that the file system holds but that cannot be read as text
// and written back the same (bytes that are not valid in the names' encoding): listed as
// text, such a file would go under another name and be left out of the copy, so it is
// copied by its bytes. `unreadable` is set when the folder cannot be listed.
QList<QByteArray> namesThatDoNotRoundTrip(const QString &path, bool &unreadable)
{
    unreadable = false;
    QList<QByteArray> found;
#if defined(Q_OS_UNIX)
    DIR *dir = ::opendir(QFile::encodeName(path).constData());
    if (!dir) {
        unreadable = true;
        return found;
    }
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray raw(entry->d_name);
        if (raw != "." && raw != ".." && QFile::encodeName(QFile::decodeName(raw)) != raw)
            found.append(raw);
    }
    ::closedir(dir);
#else
    Q_UNUSED(path);
#endif
    return found;
}

#if defined(Q_OS_UNIX)
// A descriptor closed when it goes out of scope.
struct RawFd
{
    int fd = -1;
    explicit RawFd(int f)
        : fd(f)
    {}
    RawFd(const RawFd &) = delete;
    RawFd &operator=(const RawFd &) = delete;
    ~RawFd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

bool writeAllRaw(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

// Reads up to `size` bytes, retrying short reads; the count read, or -1.
qint64 readRaw(int fd, char *data, qint64 size)
{
    qint64 got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, data + got, size_t(size - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        got += n;
    }
    return got;
}

// Copies the regular file `raw` of the opened folder `fromFd` into the opened folder `toFd`
// under the same bytes, with its permission bits and modification time, then reads the copy
// back and compares it with the source.
bool copyRawFile(int fromFd, int toFd, const QByteArray &raw, const struct stat &st)
{
    const RawFd in(::openat(fromFd, raw.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (in.fd < 0)
        return false;
    {
        const RawFd out(
            ::openat(toFd, raw.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (out.fd < 0)
            return false;
        QByteArray piece(int(kChunk), Qt::Uninitialized);
        while (true) {
            const qint64 n = readRaw(in.fd, piece.data(), kChunk);
            if (n < 0 || !writeAllRaw(out.fd, piece.constData(), n))
                return false;
            if (n < kChunk)
                break;
        }
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        if (::fchmod(out.fd, st.st_mode & 0777) != 0 || ::fsync(out.fd) != 0)
            return false;
        ::futimens(out.fd, times);
    }
    const RawFd check(::openat(toFd, raw.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (check.fd < 0 || ::lseek(in.fd, 0, SEEK_SET) != 0)
        return false;
    QByteArray a(int(kChunk), Qt::Uninitialized);
    QByteArray b(int(kChunk), Qt::Uninitialized);
    while (true) {
        const qint64 x = readRaw(in.fd, a.data(), kChunk);
        const qint64 y = readRaw(check.fd, b.data(), kChunk);
        if (x < 0 || x != y || std::memcmp(a.constData(), b.constData(), size_t(x)) != 0)
            return false;
        if (x < kChunk)
            return true;
    }
}

// Copies the entry `raw` of the opened folder `fromFd` into the opened folder `toFd` under
// the same bytes: a file, or a folder with everything in it, every name taken as bytes.
// A link or anything else in such a place fails the copy, naming it.
bool copyRawEntry(int fromFd, int toFd, const QByteArray &raw, TreeWalk &walk, int depth)
{
    if (cancelled(walk.options) || depth > 256)
        return false;
    struct stat st
    {
    };
    if (::fstatat(fromFd, raw.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    if (S_ISREG(st.st_mode))
        return copyRawFile(fromFd, toFd, raw, st);
    if (!S_ISDIR(st.st_mode)) {
        walk.reason = QCoreApplication::translate("BackupCopy", "\"%1\" não pode ser copiado.")
                          .arg(QFile::decodeName(raw));
        return false;
    }
    if (::mkdirat(toFd, raw.constData(), 0700) != 0)
        return false;
    const RawFd from(::openat(fromFd, raw.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    const RawFd to(::openat(toFd, raw.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (from.fd < 0 || to.fd < 0)
        return false;
    QList<QByteArray> names;
    {
        const int listFd = ::dup(from.fd);
        DIR *dir = listFd >= 0 ? ::fdopendir(listFd) : nullptr;
        if (!dir) {
            if (listFd >= 0)
                ::close(listFd);
            return false;
        }
        while (const dirent *entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name != "." && name != "..")
                names.append(name);
        }
        ::closedir(dir);
    }
    for (const QByteArray &name : names) {
        if (!copyRawEntry(from.fd, to.fd, name, walk, depth + 1))
            return false;
    }
    return ::fchmod(to.fd, st.st_mode & 0777) == 0;
}

// Copies the entries `names` of the folder `from` into the folder `to` by their bytes.
bool copyRawEntries(const QString &from, const QString &to, const QList<QByteArray> &names, TreeWalk &walk)
{
    const RawFd fromFd(::open(QFile::encodeName(from).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const RawFd toFd(::open(QFile::encodeName(to).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fromFd.fd < 0 || toFd.fd < 0)
        return false;
    for (const QByteArray &raw : names) {
        if (!copyRawEntry(fromFd.fd, toFd.fd, raw, walk, 0)) {
            if (walk.reason.isEmpty())
                walk.reason =
                    QCoreApplication::translate("BackupCopy", "\"%1\" em \"%2\" não pôde ser copiado.")
                        .arg(QFile::decodeName(raw), QDir::toNativeSeparators(from));
            qCWarning(lcBackup) << "a name given as bytes could not be copied in" << from;
            return false;
        }
    }
    return true;
}
#endif

// The canonical path a link leads to, or empty when it leads nowhere usable: dangling, or
// outside the walk's scope.
QString followedLink(const QFileInfo &link, const TreeWalk &walk)
{
    const QString target = link.canonicalFilePath();
    if (target.isEmpty())
        return {};
    if (!walk.linkScope.isEmpty() && !sameOrInside(target, walk.linkScope))
        return {};
    return target;
}

bool copyFolderContents(const QString &from, const QString &to, TreeWalk &walk, bool root);

// Copies one entry of a folder. A symbolic link is copied as what it names (the content
// the user sees), never as a link; anything that is neither a folder nor a regular file
// (a pipe, a socket, a device) makes the copy fail.
bool copyEntry(const QFileInfo &entry, const QString &target, TreeWalk &walk)
{
    QFileInfo what = entry;
    if (entry.isSymLink()) {
        const QString followed = followedLink(entry, walk);
        if (followed.isEmpty())
            return false;
        what = QFileInfo(followed);
    }
    if (what.isDir()) {
        const QString canonical = what.canonicalFilePath();
        // A link back up the tree, or into the copy being written, would never end.
        if (walk.openFolders.contains(canonical) || sameOrInside(canonical, walk.destination))
            return false;
        if (!makeWorkFolder(target))
            return false;
        walk.openFolders.append(canonical);
        const bool ok = copyFolderContents(what.filePath(), target, walk, false);
        walk.openFolders.removeLast();
        return ok && keepPermissions(what.filePath(), target);
    }
    if (what.isFile())
        return copyFile(what, target, walk.options);
    return false;
}

bool copyFolderContents(const QString &from, const QString &to, TreeWalk &walk, bool root)
{
    // An unreadable folder would list as empty and be "copied" without its files.
    const QFileInfo folder(from);
    if (!folder.isReadable() || !folder.isExecutable())
        return false;
    bool unreadable = false;
    const QList<QByteArray> byBytes = namesThatDoNotRoundTrip(from, unreadable);
    if (unreadable)
        return false;
    QStringList asListed; // how those names come out of the listing below
    for (const QByteArray &raw : byBytes)
        asListed.append(QFile::decodeName(raw));
    const FolderCopyGuard wholeGroups(from); // no half-written group of files in the copy
    QDirIterator it(from, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        if (cancelled(walk.options))
            return false;
        const QFileInfo entry = it.nextFileInfo();
        if (asListed.contains(entry.fileName())) {
            // Copied by its bytes below. A name whose bytes are text but that reads like one
            // of those could not be told apart from it.
            if (QFile::exists(entry.filePath())) {
                walk.reason =
                    QCoreApplication::translate(
                        "BackupCopy", "O nome do arquivo \"%1\" em \"%2\" não pode ser copiado; renomeie-o.")
                        .arg(entry.fileName(), QDir::toNativeSeparators(from));
                return false;
            }
            continue;
        }
        if (isStoreWorkFile(from, entry.fileName()))
            continue;
        // The mark belongs to a backup copy, never to the data it holds.
        if (root && entry.fileName() == QLatin1String(kBackupMarkName))
            continue;
        if (!copyEntry(entry, joined(to, entry.fileName()), walk))
            return false;
    }
#if defined(Q_OS_UNIX)
    if (!byBytes.isEmpty() && !copyRawEntries(from, to, byBytes, walk))
        return false;
#endif
    return !cancelled(walk.options);
}

#if defined(Q_OS_UNIX)
// fsync of one file or folder, opened only for that.
bool fsyncPath(const QString &path, bool folder)
{
    int flags = O_RDONLY | O_CLOEXEC;
    if (folder)
        flags |= O_DIRECTORY;
    int fd;
    do {
        fd = ::open(QFile::encodeName(path).constData(), flags);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return false;
    int rc;
    do {
        rc = ::fsync(fd);
    } while (rc != 0 && errno == EINTR);
    ::close(fd);
    return rc == 0;
}
#endif

} // namespace

namespace treecopy {

// Gives the copy `to` the permission bits of `from` (what the link, if it is one, names):
// a private file or folder stays private in a copy. Special bits are never carried over.
bool keepPermissions(const QString &from, const QString &to)
{
#if defined(Q_OS_UNIX)
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(from).constData(), &st) != 0)
        return false;
    return ::chmod(QFile::encodeName(to).constData(), st.st_mode & 0777) == 0;
#else
    return QFile::setPermissions(to, QFile::permissions(from));
#endif
}

// The path with every existing part resolved (symbolic links, "..", letter case where the
// platform ignores it) and the parts that do not exist yet appended as given.
QString resolvedPath(const QString &path)
{
    QFileInfo info(QDir::cleanPath(path));
    QStringList missing;
    while (!info.exists()) {
        if (info.isRoot() || info.fileName().isEmpty())
            return {};
        missing.prepend(info.fileName());
        info = QFileInfo(info.absolutePath());
    }
    QString result = info.canonicalFilePath();
    if (result.isEmpty())
        return {};
    for (const QString &part : missing)
        result = joined(result, part);
    return result;
}

bool sameOrInside(const QString &path, const QString &folder)
{
    if (path.compare(folder, fileNameCase()) == 0)
        return true;
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    return path.startsWith(prefix, fileNameCase());
}

} // namespace treecopy

bool flushTreeToDisk(const QString &folder)
{
    if (!QFileInfo(folder).isDir())
        return false;
#if defined(Q_OS_LINUX)
    // One flush of the file system that holds the copy writes out all of its files and
    // folders at once, where a flush per file would wait for the disk once per file.
    int fd;
    do {
        fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return false;
    const int rc = ::syncfs(fd);
    ::close(fd);
    return rc == 0;
#elif defined(Q_OS_UNIX)
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry = it.nextFileInfo();
        if (entry.isSymLink())
            continue; // a link has no content of its own; its folder's flush keeps it
        if (!fsyncPath(entry.filePath(), entry.isDir()))
            return false;
    }
    return fsyncPath(folder, true);
#else
    Q_UNUSED(folder);
    return true; // the platform's file system flushes on close
#endif
}

bool flushFolderToDisk(const QString &folder)
{
#if defined(Q_OS_UNIX)
    return fsyncPath(folder, true);
#else
    return QFileInfo(folder).isDir();
#endif
}

WriteResult copyTreeVerified(const QString &source, const QString &destination,
                             const TreeCopyOptions &options)
{
    const WriteResult failed = WriteResult::failed(QString());
    if (!QFileInfo(source).isDir() || !QFileInfo(destination).isDir())
        return failed;
    TreeWalk walk{options, {}, QFileInfo(destination).canonicalFilePath(), {}, {}};
    if (options.linksStayInside) {
        walk.linkScope = QFileInfo(source).canonicalFilePath();
        if (walk.linkScope.isEmpty())
            return failed;
    }
    walk.openFolders.append(QFileInfo(source).canonicalFilePath());
    try {
        if (copyFolderContents(source, destination, walk, true))
            return WriteResult::done();
        return WriteResult::failed(walk.reason);
    } catch (...) {
        return failed; // out of memory on a huge file, or a failing test hook
    }
}

} // namespace zorv
