#include "backupcopy.h"

#include "store/filegroup.h"
#include "store/filetree.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <filesystem>
#include <system_error>

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace zorv {

namespace {

// Names of the work folders made beside a backup copy or the data folder. They begin with
// a dot so a file manager does not show them while they exist.
constexpr char kPartialBackupPrefix[] = ".dados.partial-";  // a backup being written
constexpr char kOldBackupPrefix[] = ".dados.old-";          // the previous copy, moved aside
constexpr char kPartialRestorePrefix[] = ".dados.restore-"; // a restore being written

// Files up to this size are held in memory while copied and compared with the bytes read;
// larger ones are copied in pieces and compared with the source afterwards.
constexpr qint64 kWholeFileLimit = qint64(64) * 1024 * 1024;
constexpr qint64 kChunk = qint64(4) * 1024 * 1024;

// A temporary folder is private to its owner; the finished copy gets the usual rights.
constexpr QFileDevice::Permissions kFolderPermissions =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadUser |
    QFileDevice::WriteUser | QFileDevice::ExeUser | QFileDevice::ReadGroup | QFileDevice::ExeGroup |
    QFileDevice::ReadOther | QFileDevice::ExeOther;

Qt::CaseSensitivity fileNameCase()
{
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return Qt::CaseInsensitive;
#else
    return Qt::CaseSensitive;
#endif
}

std::filesystem::path fsPath(const QString &path)
{
#if defined(Q_OS_WIN)
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

bool cancelled(const TreeCopyOptions &options)
{
    return options.cancel && options.cancel->load(std::memory_order_relaxed);
}

QString joined(const QString &folder, const QString &name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
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
    if (whole) {
        QByteArray &back = t_buffers.copy;
        return readAllChecked(check, back) && back == bytes;
    }
    in.seek(0);
    return sameContent(in, check);
}

bool copySymLink(const QString &from, const QString &to)
{
    std::error_code ec;
    const std::filesystem::path target = std::filesystem::read_symlink(fsPath(from), ec);
    if (ec)
        return false;
    std::filesystem::copy_symlink(fsPath(from), fsPath(to), ec);
    if (ec)
        return false;
    const std::filesystem::path copied = std::filesystem::read_symlink(fsPath(to), ec);
    return !ec && copied == target;
}

bool copyFolderContents(const QString &from, const QString &to, const TreeCopyOptions &options)
{
    // An unreadable folder would list as empty and be "copied" without its files.
    const QFileInfo folder(from);
    if (!folder.isReadable() || !folder.isExecutable())
        return false;
    const FolderCopyGuard wholeGroups(from); // no half-written group of files in the copy
    QDirIterator it(from, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        if (cancelled(options))
            return false;
        const QFileInfo entry = it.nextFileInfo();
        if (isStoreWorkFile(from, entry.fileName()))
            continue;
        const QString target = joined(to, entry.fileName());
        bool ok;
        if (entry.isSymbolicLink())
            ok = copySymLink(entry.filePath(), target);
        else if (entry.isDir())
            ok = QDir().mkdir(target) && copyFolderContents(entry.filePath(), target, options);
        else if (entry.isFile())
            ok = copyFile(entry, target, options);
        else
            ok = false; // a pipe, a socket, a device: nothing a backup can hold
        if (!ok)
            return false;
    }
    return !cancelled(options);
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

QStringList entriesStartingWith(const QString &folder, const QString &prefix)
{
    QStringList names;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QFileInfo entry = it.nextFileInfo();
        if (entry.fileName().startsWith(prefix))
            names.append(entry.filePath());
    }
    return names;
}

bool existsOrIsLink(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// `base`, or `base` with "-2", "-3" ... when that name is taken.
QString unusedPath(const QString &folder, const QString &base)
{
    QString path = joined(folder, base);
    for (int n = 2; existsOrIsLink(path); ++n)
        path = joined(folder, base + QLatin1Char('-') + QString::number(n));
    return path;
}

// Puts the folder `fresh` at `target`. What was at `target` is first moved to `aside`
// (set to empty when there was nothing); when the second rename fails it is moved back.
bool swapIn(const QString &fresh, const QString &target, QString &aside)
{
    const bool hadTarget = existsOrIsLink(target);
    if (hadTarget && !QDir().rename(target, aside))
        return false;
    if (!hadTarget)
        aside.clear();
    if (QDir().rename(fresh, target))
        return true;
    if (hadTarget)
        QDir().rename(aside, target);
    return false;
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

void report(const TreeCopyOptions &options, TreeCopyOptions::DurableStep step, const QString &path)
{
    if (options.onDurableStep)
        options.onDurableStep(step, path);
}

enum class Swap {
    Failed,            // nothing moved: what was at the target is still there
    InPlaceNotFlushed, // the copy is at the target, but the rename may not survive a power cut
    Done,              // the copy is at the target and on the disk
};

// Flushes the finished copy at `copy`, renames it to `target` (moving what was there to
// `aside`), then flushes the folder holding both names so the rename itself is on the disk.
Swap swapInDurably(const QString &copy, const QString &target, QString &aside, const TreeCopyOptions &options)
{
    if (!flushTreeToDisk(copy))
        return Swap::Failed;
    report(options, TreeCopyOptions::DurableStep::CopyFlushed, copy);
    if (!swapIn(copy, target, aside))
        return Swap::Failed;
    report(options, TreeCopyOptions::DurableStep::CopyInPlace, target);
    const QString parent = QFileInfo(target).absolutePath();
    if (!flushFolderToDisk(parent))
        return Swap::InPlaceNotFlushed;
    report(options, TreeCopyOptions::DurableStep::FolderFlushed, parent);
    return Swap::Done;
}

// Tidies the backup folder before a new backup. A previous copy found only under its
// moved-aside name (a backup stopped between its two renames) is put back first, so it
// is never mistaken for rubbish; then unfinished copies and replaced copies are removed.
void tidyBackupFolder(const QString &folder, const QString &copy)
{
    QStringList aside = entriesStartingWith(folder, QString::fromLatin1(kOldBackupPrefix));
    if (!existsOrIsLink(copy) && !aside.isEmpty()) {
        std::sort(aside.begin(), aside.end(), [](const QString &a, const QString &b) {
            return QFileInfo(a).lastModified() > QFileInfo(b).lastModified();
        });
        if (QDir().rename(aside.first(), copy))
            aside.removeFirst();
    }
    if (!existsOrIsLink(copy))
        aside.clear(); // keep them: they may be all that is left of a backup
    for (const QString &path : aside)
        DeleteTree(path);
    for (const QString &path : entriesStartingWith(folder, QString::fromLatin1(kPartialBackupPrefix)))
        DeleteTree(path);
}

} // namespace

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

bool copyTreeVerified(const QString &source, const QString &destination, const TreeCopyOptions &options)
{
    if (!QFileInfo(source).isDir() || !QFileInfo(destination).isDir())
        return false;
    try {
        return copyFolderContents(source, destination, options);
    } catch (...) {
        return false; // out of memory on a huge file, or a failing test hook
    }
}

QString backupCopyPath(const QString &dataDir, const QString &folder)
{
    if (folder.trimmed().isEmpty() || dataDir.isEmpty())
        return {};
    const QString base = QDir::cleanPath(QDir::fromNativeSeparators(folder));
    if (!QDir::isAbsolutePath(base))
        return {};
    QString copy = joined(base, QStringLiteral("dados"));
    if (!existsOrIsLink(copy) && QFileInfo(base).isDir()) {
        QDirIterator it(base, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
        while (it.hasNext()) {
            const QFileInfo entry = it.nextFileInfo();
            if (entry.fileName().compare(QLatin1String("dados"), Qt::CaseInsensitive) == 0) {
                copy = entry.filePath();
                break;
            }
        }
    }
    const QString realCopy = resolvedPath(copy);
    const QString realData = resolvedPath(QFileInfo(dataDir).absoluteFilePath());
    if (realCopy.isEmpty() || realData.isEmpty())
        return {};
    if (sameOrInside(realCopy, realData) || sameOrInside(realData, realCopy))
        return {};
    return copy;
}

bool backupDataFolder(const QString &dataDir, const QString &folder, const TreeCopyOptions &options)
{
    if (!QFileInfo(dataDir).isDir())
        return false;
    const QString copy = backupCopyPath(dataDir, folder);
    if (copy.isEmpty())
        return false;
    const QString backupFolder = QFileInfo(copy).absolutePath();
    if (!QDir().mkpath(backupFolder))
        return false;
    tidyBackupFolder(backupFolder, copy);

    QTemporaryDir work(
        joined(backupFolder, QString::fromLatin1(kPartialBackupPrefix) + QStringLiteral("XXXXXX")));
    if (!work.isValid())
        return false;
    if (!copyTreeVerified(dataDir, work.path(), options))
        return false;
    QFile::setPermissions(work.path(), kFolderPermissions);

    QString aside = unusedPath(backupFolder, QString::fromLatin1(kOldBackupPrefix) +
                                                 QString::number(QRandomGenerator::global()->generate(), 36));
    const Swap swap = swapInDurably(work.path(), copy, aside, options);
    if (swap == Swap::Failed)
        return false;
    work.setAutoRemove(false);
    // Until the rename is on the disk the previous copy is all a power cut would leave:
    // it stays aside (the next backup tidies it away) and the backup counts as failed.
    if (swap != Swap::Done)
        return false;
    // The new copy is in place and on the disk; a previous copy that will not go away is
    // removed next time.
    if (!aside.isEmpty())
        DeleteTree(aside);
    return true;
}

bool restoreDataFolder(const QString &dataDir, const QString &folder, const QDateTime &now,
                       const TreeCopyOptions &options)
{
    const QString copy = backupCopyPath(dataDir, folder);
    if (copy.isEmpty() || !QFileInfo(copy).isDir())
        return false;
    const QFileInfo live(dataDir);
    const QString installFolder = live.absolutePath();
    if (!QFileInfo(installFolder).isDir())
        return false;
    for (const QString &path : entriesStartingWith(installFolder, QString::fromLatin1(kPartialRestorePrefix)))
        DeleteTree(path);

    QTemporaryDir work(
        joined(installFolder, QString::fromLatin1(kPartialRestorePrefix) + QStringLiteral("XXXXXX")));
    if (!work.isValid())
        return false;
    if (!copyTreeVerified(copy, work.path(), options))
        return false;
    QFile::setPermissions(work.path(), kFolderPermissions);

    QString kept = unusedPath(installFolder, QString::fromLatin1(kReplacedDataPrefix) +
                                                 now.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")));
    const Swap swap = swapInDurably(work.path(), live.absoluteFilePath(), kept, options);
    if (swap == Swap::Failed)
        return false;
    work.setAutoRemove(false);
    // Only the data folder this restore replaced is kept; earlier ones go, once the
    // restored folder is surely on the disk.
    if (swap == Swap::Done) {
        for (const QString &path :
             entriesStartingWith(installFolder, QString::fromLatin1(kReplacedDataPrefix))) {
            if (path != kept)
                DeleteTree(path);
        }
    }
    // The data folder has been replaced either way: the program must read it again.
    return true;
}

} // namespace zorv
