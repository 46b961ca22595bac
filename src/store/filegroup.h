#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "writeresult.h"

#include <memory>
#include <optional>

class QReadWriteLock;

namespace zorv {

// One file's new content within a group written together.
struct FileWrite
{
    QString path;
    QByteArray bytes;
};

// Writes a group of files that live in one folder so that the group lands whole or not at
// all, even when the process is killed or the machine stops half way:
//   1. each new content is written beside its target under a group temporary name, and one
//      intent file listing the renames (with each temporary's size and checksum) and the
//      removals is written in the same folder;
//   2. all of them and the folder are synced to disk: from this moment on the group counts
//      as done;
//   3. the renames and removals are carried out and the intent file is removed.
// Whatever an interrupted group leaves is settled the next time the store touches the
// folder (see settleFolder). A failure (with its reason), with every file as it was, when a new content
// cannot be written in full (a full disk, a missing folder), the paths are not all in one folder, or a file
// to be replaced or removed may not be written (its write permission was taken away: a single-file save
// refuses such a file too). Once the group is on disk it is done: a rename that fails afterwards is completed
// by the next settle, never undone, unless by then a target has lost its write permission (see settleFolder).
WriteResult replaceFilesTogether(const QList<FileWrite> &writes, const QStringList &removals = {});
WriteResult writeFilesTogether(const QList<FileWrite> &writes);
// The same for callers that already read what each file holds now (previous[i] is the
// content of writes[i].path, nullopt when it does not exist). The group no longer needs
// the old contents to undo itself; the list is only checked to match the writes.
WriteResult writeFilesTogether(const QList<FileWrite> &writes,
                               const QList<std::optional<QByteArray>> &previous);

// Brings `folder` back to a state the store promised: an interrupted group whose intent file
// and temporaries are complete is carried out, a torn intent file (or one whose temporaries
// never reached the disk) and group temporaries without an intent file are removed, and inside a store folder
// (addStoreRoot) so are the temporaries of single-file saves a crash left behind. The first
// call for a folder in a process looks at every name in it; later calls only check for an
// intent file, which is all a live process can leave. Every load and save of the store calls
// it for the file's folder. An interrupted group never replaces nor removes a file that has
// lost its write permission: one not begun is dropped (every file as it was), one half done
// is left waiting, refusing the folder's later groups, until the file may be written again.
void settleFolder(const QString &folder);

// Registers a folder whose sub-folders hold the program's own files (the executable's folder
// and the Windows-directory stand-in): only there are single-file save temporaries removed,
// so a file of the user's elsewhere is never taken for one.
void addStoreRoot(const QString &root);

// True for the store's work files: the intent file, group temporaries, and the temporary of
// a single-file save (an existing file's name plus "." and six letters, the way the save
// names it; a word a person would type as that suffix does not count). Listings of data
// files and backup copies leave them out.
bool isStoreWorkFile(const QString &folder, const QString &name);

// The names of the files in `folder` that match `nameFilters` (wildcards, letter case
// ignored), hidden ones included, after the folder is settled and without the store's work
// files. The month list and every other listing of data files use it.
QStringList listDataFiles(const QString &folder, const QStringList &nameFilters);

// Held while a folder is copied as a whole (the backup): the folder is settled first, and no
// group is written in it while the guard lives, so the copy holds every group whole. Groups in
// other folders go on. The guard may be taken on any thread.
class FolderCopyGuard
{
public:
    explicit FolderCopyGuard(const QString &folder);
    ~FolderCopyGuard();
    FolderCopyGuard(const FolderCopyGuard &) = delete;
    FolderCopyGuard &operator=(const FolderCopyGuard &) = delete;

private:
    std::shared_ptr<QReadWriteLock> m_lock;
};

// Crash tests: when set to k > 0, the process ends with _exit(kFileGroupStopExitCode) right
// after the k-th step of the groups that follow (steps count across groups, 1-based), as a
// kill at that moment would. 0 turns it off.
inline constexpr int kFileGroupStopExitCode = 86;
void setFileGroupStopStep(int step);

} // namespace zorv
