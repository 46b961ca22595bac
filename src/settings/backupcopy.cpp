#include "backupcopy.h"

#include "store/datafile.h"
#include "store/filetree.h"
#include "store/logging.h"
#include "store/textlist.h"

#include <QCoreApplication>
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

using treecopy::joined;
using treecopy::keepPermissions;
using treecopy::resolvedPath;
using treecopy::sameOrInside;

// Names of the work folders made beside a backup copy or the data folder. They begin with
// a dot so a file manager does not show them while they exist.
constexpr char kPartialBackupPrefix[] = ".dados.partial-";  // a backup being written
constexpr char kOldBackupPrefix[] = ".dados.old-";          // the previous copy, moved aside
constexpr char kPartialRestorePrefix[] = ".dados.restore-"; // a restore being written

// The first line of a mark; the earlier version's mark was this line alone.
constexpr char kMarkFirstLine[] = "Copia de seguranca feita pelo Zorv Desk";
constexpr qint64 kMarkLimit = 4096;

enum class MarkKind {
    None,     // no mark, or not a mark of the program's
    Ours,     // this user and this installation's id
    SameUser, // this user, another id (another installation of the user's, a lost id)
    Earlier,  // the earlier version's mark, which names nobody
    Foreign,  // made for another user
};

MarkKind parseMark(const QByteArray &text, const BackupMark &mine, QDateTime *made)
{
    const QList<QByteArray> lines = text.split('\n');
    if (lines.isEmpty() || lines.first().trimmed() != kMarkFirstLine)
        return MarkKind::None;
    std::optional<quint32> uid;
    QByteArray key;
    for (const QByteArray &raw : lines.mid(1)) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith("usuario=")) {
            bool ok = false;
            const quint32 value = line.mid(8).toUInt(&ok);
            if (!ok)
                return MarkKind::None;
            uid = value;
        } else if (line.startsWith("chave=")) {
            key = line.mid(6);
        } else if (line.startsWith("feita=") && made) {
            *made = QDateTime::fromString(QString::fromLatin1(line.mid(6)), Qt::ISODate);
        }
    }
    if (!uid)
        return text == QByteArray(kMarkFirstLine) + "\r\n" ? MarkKind::Earlier : MarkKind::None;
    if (*uid != mine.uid)
        return MarkKind::Foreign;
    return key == mine.key ? MarkKind::Ours : MarkKind::SameUser;
}

// What stands at a path where a copy may be: read from the opened folder, never through a
// link.
struct CopyState
{
    bool exists = false;       // something, even a link, is there
    bool realFolder = false;   // a folder, not a link
    bool ownedPrivate = false; // the user's, and no other user may write it
    bool owned = false;        // the user's
    MarkKind mark = MarkKind::None;
    QDateTime made;

    // A copy of the user's, which a backup replaces.
    bool usersCopy() const
    {
        return realFolder && ownedPrivate &&
               (mark == MarkKind::Ours || mark == MarkKind::SameUser || mark == MarkKind::Earlier);
    }
    // A copy a restore takes: a folder of the user's that no other user may write, not
    // marked for someone else (one the user copied there without a mark counts).
    bool restorable() const { return realFolder && ownedPrivate && mark != MarkKind::Foreign; }
};

MarkKind markAt(int folderFd, const BackupMark &mine, QDateTime *made)
{
    const std::optional<QByteArray> text =
        owntree::readOwnFileAt(folderFd, QByteArray(kBackupMarkName), kMarkLimit);
    return text ? parseMark(*text, mine, made) : MarkKind::None;
}

CopyState inspect(const QString &path, const BackupMark &mine)
{
    CopyState state;
    const QFileInfo info(path);
    state.exists = info.exists() || info.isSymLink();
    if (!state.exists || info.isSymLink() || !info.isDir())
        return state;
#if defined(Q_OS_UNIX)
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return state;
    struct stat st
    {
    };
    state.realFolder = ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
    state.owned = state.realFolder && st.st_uid == ::geteuid();
    state.ownedPrivate = state.realFolder && owntree::ownedAndPrivateToWrite(fd);
    if (state.owned)
        state.mark = markAt(fd, mine, &state.made);
    ::close(fd);
#else
    state.realFolder = true;
    state.owned = state.ownedPrivate = true;
    QFile mark(joined(path, QString::fromLatin1(kBackupMarkName)));
    if (mark.open(QIODevice::ReadOnly))
        state.mark = parseMark(mark.read(kMarkLimit), mine, &state.made);
#endif
    if (!state.made.isValid())
        state.made = info.lastModified();
    return state;
}

// Removes the folder at `path` when it is still, as opened, the user's with a mark that
// `accepted` takes.
WriteResult removeCopy(const QString &path, const BackupMark &mine, bool (*accepted)(MarkKind))
{
    const QFileInfo info(path);
    return removeOwnTree(info.absolutePath(), info.fileName(),
                         [&mine, accepted](int fd) { return accepted(markAt(fd, mine, nullptr)); });
}

bool onlyOurs(MarkKind kind)
{
    return kind == MarkKind::Ours;
}

bool anyOfTheUsers(MarkKind kind)
{
    return kind == MarkKind::Ours || kind == MarkKind::SameUser || kind == MarkKind::Earlier;
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

// Removes a work folder of this installation's (a stopped backup or restore, a replaced
// copy), read-only folders in it included; anything else stays.
void deleteOwnWork(const QString &path, const BackupMark &mine)
{
    if (const WriteResult removed = removeCopy(path, mine, onlyOurs); !removed)
        qCInfo(lcBackup) << "left in place:" << path << removed.reason();
}
// A fresh owner-only work folder beside `near`, carrying the mark from the first moment,
// so that what a stopped copy leaves is known to be the program's own.
std::unique_ptr<QTemporaryDir> markedWorkFolder(const QString &folder, const char *prefix,
                                                const BackupMark &mark)
{
    auto work = std::make_unique<QTemporaryDir>(
        joined(folder, QString::fromLatin1(prefix) + QStringLiteral("XXXXXX")));
    if (!work->isValid() || !markAsBackupCopy(work->path(), mark))
        return nullptr;
    return work;
}

// Tidies the backup folder before a new backup. A previous copy found only under its
// moved-aside name (a backup stopped between its two renames) is put back first, so it
// is never mistaken for rubbish; then unfinished copies and replaced copies are removed.
// Only folders of the user's that this installation marked are ever removed; a previous copy
// of the user's with an older mark is only put back.
void tidyBackupFolder(const QString &folder, const QString &copy, const BackupMark &mine)
{
    QStringList aside = entriesStartingWith(folder, QString::fromLatin1(kOldBackupPrefix));
    aside.removeIf([&mine](const QString &path) { return !inspect(path, mine).usersCopy(); });
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
        deleteOwnWork(path, mine);
    for (const QString &path : entriesStartingWith(folder, QString::fromLatin1(kPartialBackupPrefix)))
        deleteOwnWork(path, mine);
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
QString copyPlace(const QString &dataDir, const QString &folder,
                  const std::function<bool(const QString &)> &takes)
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

// Why a restore will not take what stands at `copy`; empty when it takes it.
QString refusalOf(const QString &copy, const CopyState &state)
{
    const QString name = QDir::toNativeSeparators(copy);
    if (!state.realFolder)
        return QCoreApplication::translate("BackupCopy", "\"%1\" não é uma pasta.").arg(name);
    if (!state.owned)
        return QCoreApplication::translate("BackupCopy", "A cópia \"%1\" pertence a outro usuário.")
            .arg(name);
    if (!state.ownedPrivate)
        return QCoreApplication::translate("BackupCopy", "Outros usuários podem alterar a cópia \"%1\".")
            .arg(name);
    if (!state.restorable())
        return QCoreApplication::translate("BackupCopy", "A cópia \"%1\" foi feita para outro usuário.")
            .arg(name);
    return {};
}

} // namespace

quint32 BackupMark::currentUserId()
{
#if defined(Q_OS_UNIX)
    return quint32(::geteuid());
#else
    return 0;
#endif
}

BackupMark BackupMark::forUser(const QString &standInFolder, const QDateTime &made)
{
    BackupMark mark;
    mark.made = made;
    if (standInFolder.isEmpty())
        return mark;
    const QString path = joined(standInFolder, QString::fromLatin1(kBackupKeyFile));
    // Read as every data file is: a regular file of a few bytes only, so a pipe or a device
    // put in its place can neither block nor feed the program.
    if (const auto stored = readDataFile(path, 256)) {
        const QByteArray key = stored->trimmed();
        if (key.size() == 32 && QByteArray::fromHex(key).toHex() == key) {
            mark.key = key;
            return mark;
        }
    }
    // 128 random bits from the system's generator, written as 32 hexadecimal digits.
    QByteArray key;
    for (int i = 0; i < 4; ++i)
        key += QByteArray::number(QRandomGenerator::system()->generate(), 16).rightJustified(8, '0');
    if (writeFileAtomically(path, key + "\n", QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        mark.key = key;
    else
        qCWarning(lcBackup) << "the backup id could not be kept in" << path;
    return mark;
}

QByteArray BackupMark::text() const
{
    const QDateTime when = made.isValid() ? made : QDateTime::currentDateTime();
    return QByteArray(kMarkFirstLine) + "\r\nusuario=" + QByteArray::number(uid) + "\r\nchave=" + key +
           "\r\nfeita=" + when.toString(Qt::ISODate).toLatin1() + "\r\n";
}

bool markAsBackupCopy(const QString &folder, const BackupMark &mark)
{
    QFile file(joined(folder, QString::fromLatin1(kBackupMarkName)));
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    const QByteArray text = mark.text();
    const bool ok = file.write(text) == text.size() && file.flush();
    file.close();
    return ok && file.error() == QFileDevice::NoError;
}

bool isBackupCopy(const QString &folder, const BackupMark &mine)
{
    return inspect(folder, mine).usersCopy();
}

QString backupCopyPath(const QString &dataDir, const QString &folder)
{
    return copyPlace(dataDir, folder, anyFolder);
}

std::optional<QDateTime> backupCopyTime(const QString &dataDir, const QString &folder, const BackupMark &mine)
{
    const QString copy = backupCopyPath(dataDir, folder);
    if (copy.isEmpty())
        return std::nullopt;
    const CopyState state = inspect(copy, mine);
    if (!state.restorable())
        return std::nullopt;
    return state.made;
}

QString replacedDataName(const QString &dataDir, const QDateTime &now)
{
    const QFileInfo live(dataDir);
    return QFileInfo(unusedPath(live.absolutePath(), QString::fromLatin1(kReplacedDataPrefix) +
                                                         now.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"))))
        .fileName();
}

namespace {

BackupOutcome failure(QString reason)
{
    BackupOutcome outcome;
    outcome.reason = std::move(reason);
    return outcome;
}

// Why a "dados" that is not the user's copy could not be moved out of the way.
QString notMovedReason(const QString &copy, const CopyState &state)
{
    const QString name = QDir::toNativeSeparators(copy);
    if (state.exists && !state.owned && !QFileInfo(copy).isSymLink())
        return QCoreApplication::translate("BackupCopy",
                                           "A pasta \"%1\" pertence a outro usuário e não pôde ser movida.")
            .arg(name);
    return QCoreApplication::translate("BackupCopy", "A pasta \"%1\" não pôde ser movida.").arg(name);
}

// A copy's top folder is never writable by other users, whatever the data folder allows.
bool closeToOthers(const QString &folder)
{
    const QFileDevice::Permissions now = QFile::permissions(folder);
    const QFileDevice::Permissions closed = now & ~(QFileDevice::WriteGroup | QFileDevice::WriteOther);
    return now == closed || QFile::setPermissions(folder, closed);
}

} // namespace

BackupOutcome backupDataFolder(const QString &dataDir, const QString &folder, const TreeCopyOptions &options,
                               const BackupMark &mark)
{
    if (!QFileInfo(dataDir).isDir())
        return {};
    // A new backup replaces "dados", or a copy of the user's in another letter case; a
    // folder that is only spelt like it is never taken.
    const auto usersCopy = [&mark](const QString &path) { return inspect(path, mark).usersCopy(); };
    const QString copy = copyPlace(dataDir, folder, usersCopy);
    if (copy.isEmpty())
        return {};
    const QString backupFolder = QFileInfo(copy).absolutePath();
    if (!QDir().mkpath(backupFolder))
        return {};
    tidyBackupFolder(backupFolder, copy, mark);

    const std::unique_ptr<QTemporaryDir> work = markedWorkFolder(backupFolder, kPartialBackupPrefix, mark);
    if (!work)
        return {};
    if (const WriteResult copied = copyTreeVerified(dataDir, work->path(), options); !copied)
        return failure(copied.reason());
    if (!keepPermissions(dataDir, work->path()) || !closeToOthers(work->path()))
        return {};

    // A previous copy of the user's is replaced; anything else standing at that name (the
    // user's own folder, another user's) is only moved aside, under a name the status
    // reports, and only when the user may move it.
    const CopyState standing = inspect(copy, mark);
    const bool replacesOwnCopy = !standing.exists || standing.usersCopy();
    QString aside =
        replacesOwnCopy
            ? unusedPath(backupFolder, QString::fromLatin1(kOldBackupPrefix) +
                                           QString::number(QRandomGenerator::global()->generate(), 36))
            : unusedPath(backupFolder, QFileInfo(copy).fileName() + QStringLiteral("-anterior"));
    const Swap swap = swapInDurably(work->path(), copy, aside, options);
    if (swap == Swap::Failed) {
        if (!replacesOwnCopy && existsOrIsLink(copy)) {
            const QString reason = notMovedReason(copy, standing);
            qCWarning(lcBackup) << "backup not put in place:" << copy << reason;
            return failure(reason);
        }
        return {};
    }
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
    if (replacesOwnCopy && !aside.isEmpty()) {
        if (const WriteResult removed = removeCopy(aside, mark, anyOfTheUsers); !removed)
            qCWarning(lcBackup) << "the replaced copy stays:" << aside << removed.reason();
    }
    outcome.ok = true;
    return outcome;
}

BackupOutcome restoreDataFolder(const QString &dataDir, const QString &folder, const QDateTime &now,
                                const TreeCopyOptions &options, const BackupMark &mine)
{
    // The copy must be a real folder of the user's that no other user may write, marked
    // for the user: a link in its place could name any folder, and a copy someone else can
    // change could bring anything in.
    const QString copy = backupCopyPath(dataDir, folder);
    if (copy.isEmpty())
        return {};
    const CopyState state = inspect(copy, mine);
    if (!state.exists)
        return {};
    if (const QString refusal = refusalOf(copy, state); !refusal.isEmpty()) {
        qCWarning(lcBackup) << "restore refused:" << refusal;
        return failure(refusal);
    }
    const QFileInfo live(dataDir);
    const QString installFolder = live.absolutePath();
    if (!QFileInfo(installFolder).isDir())
        return {};
    for (const QString &path : entriesStartingWith(installFolder, QString::fromLatin1(kPartialRestorePrefix)))
        deleteOwnWork(path, mine);

    const std::unique_ptr<QTemporaryDir> work = markedWorkFolder(installFolder, kPartialRestorePrefix, mine);
    if (!work)
        return {};
    // Links in the backup are taken only as the files and folders they name inside it;
    // the restored data folder holds no link at all.
    TreeCopyOptions restoring = options;
    restoring.linksStayInside = true;
    if (const WriteResult copied = copyTreeVerified(copy, work->path(), restoring); !copied)
        return failure(copied.reason());
    if (!QFile::remove(joined(work->path(), QString::fromLatin1(kBackupMarkName))) ||
        !keepPermissions(copy, work->path()))
        return {};

    QString kept = joined(installFolder, replacedDataName(dataDir, now));
    const Swap swap = swapInDurably(work->path(), live.absoluteFilePath(), kept, options);
    if (swap == Swap::Failed)
        return {};
    work->setAutoRemove(false);
    // The data folder has been replaced either way: the program must read it again. The
    // folder it replaced stays where it is, for the user to keep or remove.
    BackupOutcome outcome;
    outcome.ok = true;
    outcome.setAside = kept;
    return outcome;
}

} // namespace zorv
