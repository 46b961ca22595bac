#pragma once

#include "treecopy.h"

#include <QDateTime>
#include <QString>

namespace zorv {

// The result of a backup or a restore: whether it succeeded, and where a folder that stood
// in the way was put instead of being deleted (empty when none was).
struct BackupOutcome
{
    bool ok = false;
    QString setAside;
    explicit operator bool() const { return ok; }
};

// The file that marks a folder as a backup copy the program wrote (kBackupMarkName): only
// such a folder is ever replaced or removed by a backup.
bool markAsBackupCopy(const QString &folder);
bool isBackupCopy(const QString &folder);

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
// complete copy. Only a previous copy the program marked is replaced; a "dados" folder
// that is not one is moved aside (its name + "-anterior", numbered when taken) and named in
// the outcome. On any failure the previous copy stays exactly as it was and the temporary
// folder is removed.
BackupOutcome backupDataFolder(const QString &dataDir, const QString &folder,
                               const TreeCopyOptions &options = {});

// Prefix of the name under which a restore keeps the data folder it replaced, followed by
// the date and time of the restore ("dados-anterior-2013-03-15_10-00-00").
inline constexpr char kReplacedDataPrefix[] = "dados-anterior-";

// Restores the data folder from the copy in `folder`: copies the backup (links inside it
// taken as what they name there, never recreated) into a temporary folder beside the data
// folder, verifies it, flushes it to the disk, then swaps it in. The data folder it
// replaces is kept beside it under kReplacedDataPrefix + the time `now`, named in the
// outcome; the program never removes it. On any failure the data folder stays as it was.
BackupOutcome restoreDataFolder(const QString &dataDir, const QString &folder, const QDateTime &now,
                                const TreeCopyOptions &options = {});

} // namespace zorv
