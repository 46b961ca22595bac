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
#include <memory>

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
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

// The text of the mark file a backup copy carries; any content counts as the mark.
constexpr char kBackupMarkText[] = "Copia de seguranca feita pelo Zorv Desk\r\n";

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

// Gives the copy `to` the permission bits of `from` (what the link, if it is one, names):
// a private file or folder stays private in a copy. Special bits are never carried over.
bool keepPermissions(const QString &from, const QString &to)
{
#if defined(Q_OS_UNIX)
    struct stat st{};
    if (::stat(QFile::encodeName(from).constData(), &st) != 0)
        return false;
    return ::chmod(QFile::encodeName(to).constData(), st.st_mode & 0777) == 0;
#else
    return QFile::setPermissions(to, QFile::permissions(from));
#endif
}

// The same for two open files: no path is looked up again.
bool keepPermissions(const QFile &from, const QFile &to)
{
#if defined(Q_OS_UNIX)
    struct stat st{};
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

// What one copy of a tree needs while it walks: where links may lead and which folders
// lie on the way down (a link back to one of them would never end).
struct TreeWalk
{
    const TreeCopyOptions &options;
    QString linkScope;          // canonical folder links must stay in; empty: anywhere
    QString destination;        // canonical folder the copy is written into
    QStringList openFolders;    // canonical paths of the folders being copied
};

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
    const FolderCopyGuard wholeGroups(from); // no half-written group of files in the copy
    QDirIterator it(from, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        if (cancelled(walk.options))
            return false;
        const QFileInfo entry = it.nextFileInfo();
        if (isStoreWorkFile(from, entry.fileName()))
            continue;
        // The mark belongs to a backup copy, never to the data it holds.
        if (root && entry.fileName() == QLatin1String(kBackupMarkName))
            continue;
        if (!copyEntry(entry, joined(to, entry.fileName()), walk))
            return false;
    }
    return !cancelled(walk.options);
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

bool isRealFolder(const QString &path)
{
    const QFileInfo info(path);
    return info.isDir() && !info.isSymLink();
}

// Removes a copy the program made, read-only folders in it included.
void deleteOwnCopy(const QString &path)
{
    if (!isBackupCopy(path))
        return;
    QDirIterator it(path, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry = it.nextFileInfo();
        if (!entry.isSymLink())
            QFile::setPermissions(entry.filePath(), entry.permissions() | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    DeleteTree(path);
}

// A fresh owner-only work folder beside `near`, carrying the mark from the first moment,
// so that what a stopped copy leaves is known to be the program's own.
std::unique_ptr<QTemporaryDir> markedWorkFolder(const QString &folder, const char *prefix)
{
    auto work = std::make_unique<QTemporaryDir>(joined(folder, QString::fromLatin1(prefix) + QStringLiteral("XXXXXX")));
    if (!work->isValid() || !markAsBackupCopy(work->path()))
        return nullptr;
    return work;
}

// Tidies the backup folder before a new backup. A previous copy found only under its
// moved-aside name (a backup stopped between its two renames) is put back first, so it
// is never mistaken for rubbish; then unfinished copies and replaced copies are removed.
// Only folders the program marked as its own are ever removed.
void tidyBackupFolder(const QString &folder, const QString &copy)
{
    QStringList aside = entriesStartingWith(folder, QString::fromLatin1(kOldBackupPrefix));
    aside.removeIf([](const QString &path) { return !isBackupCopy(path); });
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
        deleteOwnCopy(path);
    for (const QString &path : entriesStartingWith(folder, QString::fromLatin1(kPartialBackupPrefix)))
        deleteOwnCopy(path);
}

// The backup folder text as an absolute, clean path; empty when it cannot be one.
QString backupFolderPath(const QString &folder)
{
    if (folder.trimmed().isEmpty())
        return {};
    const QString base = QDir::cleanPath(QDir::fromNativeSeparators(folder));
    return QDir::isAbsolutePath(base) ? base : QString();
}

// `copy`, unless a copy there would overlap the data folder (the data folder itself, a
// folder inside it, or one that holds it); then empty.
QString apartFromData(const QString &dataDir, const QString &copy)
{
    const QString realCopy = resolvedPath(copy);
    const QString realData = resolvedPath(QFileInfo(dataDir).absoluteFilePath());
    if (realCopy.isEmpty() || realData.isEmpty())
        return {};
    if (sameOrInside(realCopy, realData) || sameOrInside(realData, realCopy))
        return {};
    return copy;
}

// The sub-folders of `base` named "dados" in another letter case.
QStringList otherCaseCopies(const QString &base)
{
    QStringList found;
    if (!QFileInfo(base).isDir())
        return found;
    QDirIterator it(base, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QFileInfo entry = it.nextFileInfo();
        if (entry.fileName() != QLatin1String("dados") &&
            entry.fileName().compare(QLatin1String("dados"), Qt::CaseInsensitive) == 0)
            found.append(entry.filePath());
    }
    return found;
}

// "dados" in the backup folder or, where there is none, the first folder spelt like it in
// another letter case that `takes` accepts (a backup folder copied from a desktop that
// ignores case); empty when the text cannot serve as a backup folder.
QString copyPlace(const QString &dataDir, const QString &folder, bool (*takes)(const QString &))
{
    const QString base = backupFolderPath(folder);
    if (base.isEmpty() || dataDir.isEmpty())
        return {};
    QString place = joined(base, QStringLiteral("dados"));
    if (!existsOrIsLink(place)) {
        for (const QString &other : otherCaseCopies(base)) {
            if (takes(other)) {
                place = other;
                break;
            }
        }
    }
    return apartFromData(dataDir, place);
}

bool anyFolder(const QString &)
{
    return true;
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
    TreeWalk walk{options, {}, QFileInfo(destination).canonicalFilePath(), {}};
    if (options.linksStayInside) {
        walk.linkScope = QFileInfo(source).canonicalFilePath();
        if (walk.linkScope.isEmpty())
            return false;
    }
    walk.openFolders.append(QFileInfo(source).canonicalFilePath());
    try {
        return copyFolderContents(source, destination, walk, true);
    } catch (...) {
        return false; // out of memory on a huge file, or a failing test hook
    }
}

bool markAsBackupCopy(const QString &folder)
{
    QFile mark(joined(folder, QString::fromLatin1(kBackupMarkName)));
    if (!mark.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    const QByteArray text(kBackupMarkText);
    const bool ok = mark.write(text) == text.size() && mark.flush();
    mark.close();
    return ok && mark.error() == QFileDevice::NoError;
}

bool isBackupCopy(const QString &folder)
{
    if (!isRealFolder(folder))
        return false;
    const QFileInfo mark(joined(folder, QString::fromLatin1(kBackupMarkName)));
    return mark.isFile() && !mark.isSymLink();
}

QString backupCopyPath(const QString &dataDir, const QString &folder)
{
    return copyPlace(dataDir, folder, anyFolder);
}

BackupOutcome backupDataFolder(const QString &dataDir, const QString &folder, const TreeCopyOptions &options)
{
    if (!QFileInfo(dataDir).isDir())
        return {};
    // A new backup replaces "dados", or a copy of the program's own in another letter
    // case; a folder of the user's that is only spelt like it is never taken.
    const QString copy = copyPlace(dataDir, folder, isBackupCopy);
    if (copy.isEmpty())
        return {};
    const QString backupFolder = QFileInfo(copy).absolutePath();
    if (!QDir().mkpath(backupFolder))
        return {};
    tidyBackupFolder(backupFolder, copy);

    const std::unique_ptr<QTemporaryDir> work = markedWorkFolder(backupFolder, kPartialBackupPrefix);
    if (!work)
        return {};
    if (!copyTreeVerified(dataDir, work->path(), options) || !keepPermissions(dataDir, work->path()))
        return {};

    // A previous copy of the program's own is replaced; anything else standing at that
    // name is the user's and is only moved aside, under a name the status reports.
    const bool replacesOwnCopy = !existsOrIsLink(copy) || isBackupCopy(copy);
    QString aside = replacesOwnCopy
                        ? unusedPath(backupFolder, QString::fromLatin1(kOldBackupPrefix) +
                                                       QString::number(QRandomGenerator::global()->generate(), 36))
                        : unusedPath(backupFolder, QFileInfo(copy).fileName() + QStringLiteral("-anterior"));
    const Swap swap = swapInDurably(work->path(), copy, aside, options);
    if (swap == Swap::Failed)
        return {};
    work->setAutoRemove(false);
    BackupOutcome outcome;
    if (!replacesOwnCopy)
        outcome.setAside = aside;
    // Until the rename is on the disk the previous copy is all a power cut would leave:
    // it stays aside (the next backup tidies it away) and the backup counts as failed.
    if (swap != Swap::Done)
        return outcome;
    // The new copy is in place and on the disk; a previous copy that will not go away is
    // removed next time.
    if (replacesOwnCopy && !aside.isEmpty())
        deleteOwnCopy(aside);
    outcome.ok = true;
    return outcome;
}

BackupOutcome restoreDataFolder(const QString &dataDir, const QString &folder, const QDateTime &now,
                                const TreeCopyOptions &options)
{
    // The copy itself must be a real folder: a link in its place could name any folder.
    const QString copy = backupCopyPath(dataDir, folder);
    if (copy.isEmpty() || !isRealFolder(copy))
        return {};
    const QFileInfo live(dataDir);
    const QString installFolder = live.absolutePath();
    if (!QFileInfo(installFolder).isDir())
        return {};
    for (const QString &path : entriesStartingWith(installFolder, QString::fromLatin1(kPartialRestorePrefix)))
        deleteOwnCopy(path);

    const std::unique_ptr<QTemporaryDir> work = markedWorkFolder(installFolder, kPartialRestorePrefix);
    if (!work)
        return {};
    // Links in the backup are taken only as the files and folders they name inside it;
    // the restored data folder holds no link at all.
    TreeCopyOptions restoring = options;
    restoring.linksStayInside = true;
    if (!copyTreeVerified(copy, work->path(), restoring))
        return {};
    if (!QFile::remove(joined(work->path(), QString::fromLatin1(kBackupMarkName))) ||
        !keepPermissions(copy, work->path()))
        return {};

    QString kept = unusedPath(installFolder, QString::fromLatin1(kReplacedDataPrefix) +
                                                 now.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")));
    const Swap swap = swapInDurably(work->path(), live.absoluteFilePath(), kept, options);
    if (swap == Swap::Failed)
        return {};
    work->setAutoRemove(false);
    // The data folder has been replaced either way: the program must read it again. The
    // folder it replaced stays where it is, for the user to keep or remove.
    return {true, kept};
}

} // namespace zorv
