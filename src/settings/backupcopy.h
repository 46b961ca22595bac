#pragma once

#include <QDateTime>
#include <QString>

#include <atomic>
#include <functional>

namespace zorv {

struct TreeCopyOptions
{
    // Set from another thread to stop a copy between two files; the copy then fails.
    const std::atomic<bool> *cancel = nullptr;
    // Called with each copied file's path after it is written and closed, before it is
    // read back and compared. Only tests set it, to damage a copy on purpose.
    std::function<void(const QString &copiedFile)> afterFileWritten;
    // Called at each step that makes a finished copy durable: the copy flushed to the disk
    // (with its path), the copy renamed into place (its final path), the folder holding it
    // flushed (that folder). Only tests set it, to see the order.
    enum class DurableStep { CopyFlushed, CopyInPlace, FolderFlushed };
    std::function<void(DurableStep step, const QString &path)> onDurableStep;
    // Links are always copied as what they name; with this set, only when that lies inside
    // the source folder (anything else fails the copy).
    bool linksStayInside = false;
};

// The result of a backup or a restore: whether it succeeded, and where a folder that stood
// in the way was put instead of being deleted (empty when none was).
struct BackupOutcome
{
    bool ok = false;
    QString setAside;
    explicit operator bool() const { return ok; }
};

// The file that marks a folder as a backup copy the program wrote: only such a folder is
// ever replaced or removed by a backup.
inline constexpr char kBackupMarkName[] = ".zorv-desk-backup";
bool markAsBackupCopy(const QString &folder);
bool isBackupCopy(const QString &folder);

// Flushes everything written under `folder` to the disk: the files, their contents and the
// folders' entries. False when the system reports that something could not be written.
bool flushTreeToDisk(const QString &folder);
// Flushes one folder's entries (the names created, renamed or removed in it) to the disk.
bool flushFolderToDisk(const QString &folder);

// Copies everything inside the folder `source` into the existing, empty folder
// `destination`: sub-folders and files with their permission bits (a file keeps its
// modification time too). A symbolic link is copied as the file or folder it names, never
// as a link; a link that leads nowhere, back up the tree, or (with linksStayInside) out of
// the source fails the copy. Each file is read back after it is written and compared with
// the bytes read from the source, so true means every file is present in the copy with
// the same size and content. A folder that cannot be listed, a file that cannot be read or
// written, or anything that is neither folder nor file (a pipe, a socket) makes it fail. A
// backup mark at the top of the source is not copied.
bool copyTreeVerified(const QString &source, const QString &destination, const TreeCopyOptions &options = {});

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
BackupOutcome backupDataFolder(const QString &dataDir, const QString &folder, const TreeCopyOptions &options = {});

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
