#pragma once

#include "store/writeresult.h"

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

// The file that marks a folder as a backup copy the program wrote (see backupcopy.h); a
// tree copy never copies the one at the top of its source.
inline constexpr char kBackupMarkName[] = ".zorv-desk-backup";

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
// backup mark at the top of the source is not copied. A name the file system holds that
// cannot be read as text (bytes not valid in the names' encoding) is copied by its bytes,
// with everything under it; what cannot be copied so fails the copy, with a reason naming
// it, so nothing is ever left out unsaid.
WriteResult copyTreeVerified(const QString &source, const QString &destination,
                             const TreeCopyOptions &options = {});

// Pieces of the tree copy that the backup steps share.
namespace treecopy {
QString joined(const QString &folder, const QString &name);
// Gives `to` the permission bits of `from` (what the link, if it is one, names); special
// bits are never carried over.
bool keepPermissions(const QString &from, const QString &to);
// The path with every existing part resolved (symbolic links, "..", letter case where the
// platform ignores it) and the parts that do not exist yet appended as given; empty when
// no part of it exists.
QString resolvedPath(const QString &path);
// Whether `path` is `folder` or lies inside it, in the platform's letter-case rule.
bool sameOrInside(const QString &path, const QString &folder);
} // namespace treecopy

} // namespace zorv
