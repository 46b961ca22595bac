#pragma once

#include "treecopy.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

namespace zorv {

// The result of a backup or a restore: whether it succeeded, where a folder that stood in
// the way was put instead of being deleted (empty when none was), and, for a failure the
// user can do something about, why (empty otherwise).
struct BackupOutcome
{
    bool ok = false;
    QString setAside;
    QString reason;
    explicit operator bool() const { return ok; }
};

// What the mark file (kBackupMarkName) of a copy says: the user it was made for, the random
// id of this user's installation, and when it was made. A copy is the user's only when the
// user owns it, no other user may write it, and its mark names the user; the program's
// unfinished work folders are removed only when the mark carries this installation's id too.
struct BackupMark
{
    quint32 uid = currentUserId();
    QByteArray key; // the random id; empty in tests that need no installation
    QDateTime made; // invalid: the moment the mark is written
    // The mark of this user's installation: the random id read from `standInFolder`, made
    // there (owner-only) at its first use.
    static BackupMark forUser(const QString &standInFolder, const QDateTime &made);
    static quint32 currentUserId();
    QByteArray text() const;
};

// The file in the stand-in folder that keeps the random id of the user's backups.
inline constexpr char kBackupKeyFile[] = "backup.key";

// Writes the mark file into `folder`, a new copy.
bool markAsBackupCopy(const QString &folder, const BackupMark &mark = {});
// Whether `folder` is a real folder of this user's, that no other user may write, with a
// mark that names this user (a mark of the earlier version, which named nobody, counts in a
// folder of the user's).
bool isBackupCopy(const QString &folder, const BackupMark &mine = {});

// When the copy that a restore from `folder` would bring back was made; nullopt when there
// is no copy a restore would take.
std::optional<QDateTime> backupCopyTime(const QString &dataDir, const QString &folder,
                                        const BackupMark &mine = {});

// Where the backup copy of the data folder `dataDir` is read from for the backup-folder
// text `folder`: that folder's sub-folder "dados" (one spelt in another letter case counts
// where there is none). Empty when the text cannot serve as a backup folder: empty or
// blank, not an absolute path, or one whose copy would overlap the data folder (the data
// folder itself, a folder inside it, or the data folder's own parent, whose "dados" is the
// data folder).
QString backupCopyPath(const QString &dataDir, const QString &folder);

// Backs the data folder up into `folder`: copies it into a marked temporary folder beside
// the previous copy, verifies it, flushes it to the disk, and only then renames it over the
// previous copy and flushes the backup folder, so a power cut at any moment leaves one
// complete copy. Only a previous copy of the user's (isBackupCopy) is replaced; a "dados"
// that is not one (the user's own folder, another user's) is moved aside (its name +
// "-anterior", numbered when taken) and named in the outcome, or, when the user may not move
// it, the backup fails with the reason. Leftovers of stopped backups are removed only when
// they are this installation's own (see BackupMark). On any failure the previous copy stays
// exactly as it was and the temporary folder is removed.
BackupOutcome backupDataFolder(const QString &dataDir, const QString &folder,
                               const TreeCopyOptions &options = {}, const BackupMark &mark = {});

// Prefix of the name under which a restore keeps the data folder it replaced, followed by
// the date and time of the restore ("dados-anterior-2013-03-15_10-00-00").
inline constexpr char kReplacedDataPrefix[] = "dados-anterior-";

// Restores the data folder from the copy in `folder`: copies the backup (links inside it
// taken as what they name there, never recreated) into a temporary folder beside the data
// folder, verifies it, flushes it to the disk, then swaps it in. The data folder it
// replaces is kept beside it under kReplacedDataPrefix + the time `now`, named in the
// outcome; the program never removes it. Only a real folder of the user's that no other
// user may write, and whose mark (if any) names the user, is taken: another is refused with
// the reason. On any failure the data folder
// stays as it was.
BackupOutcome restoreDataFolder(const QString &dataDir, const QString &folder, const QDateTime &now,
                                const TreeCopyOptions &options = {}, const BackupMark &mine = {});

// The name under which a restore at `now` keeps the data folder `dataDir` it replaces.
QString replacedDataName(const QString &dataDir, const QDateTime &now);

} // namespace zorv
