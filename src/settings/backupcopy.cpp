#include "backupcopy.h"

#include "store/filetree.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>

namespace zorv {

namespace {

using treecopy::joined;
using treecopy::keepPermissions;
using treecopy::resolvedPath;
using treecopy::sameOrInside;

// Names of the work folders made beside a backup copy or the data folder. They begin with
// a dot so a file manager does not show them while they exist.
constexpr char kPartialBackupPrefix[] = ".dados.partial-";  // a backup being written
constexpr char kOldBackupPrefix[] = ".dados.old-";          // the previous copy, moved aside
constexpr char kPartialRestorePrefix[] = ".dados.restore-"; // a restore being written

// The text of the mark file a backup copy carries; any content counts as the mark.
constexpr char kBackupMarkText[] = "Copia de seguranca feita pelo Zorv Desk\r\n";

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
            QFile::setPermissions(entry.filePath(),
                                  entry.permissions() | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    DeleteTree(path);
}

// A fresh owner-only work folder beside `near`, carrying the mark from the first moment,
// so that what a stopped copy leaves is known to be the program's own.
std::unique_ptr<QTemporaryDir> markedWorkFolder(const QString &folder, const char *prefix)
{
    auto work = std::make_unique<QTemporaryDir>(
        joined(folder, QString::fromLatin1(prefix) + QStringLiteral("XXXXXX")));
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
    QString aside =
        replacesOwnCopy
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
