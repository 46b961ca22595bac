#pragma once

#include "writeresult.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace zorv {

// Deletes a file or a folder with everything below it, permanently and without questions.
// Refuses (does nothing, returns false) an empty path, the file-system root and the home
// folder. True when nothing is left at the path.
bool DeleteTree(const QString &path);

// Copies `source` (a folder or a file) into the folder `target`, which receives it under
// its own name; missing folders are created, existing files replaced, nothing is asked.
// True only when every file arrived whole.
bool CopyTree(const QString &source, const QString &target);

// The parts of a removal or a check that work on opened folders, never on paths that a link
// could redirect between one step and the next.
namespace owntree {

// Whether the opened file or folder `fd` belongs to this user and no other user may write it
// (neither its group nor others have the write bit).
bool ownedAndPrivateToWrite(int fd);

// The content of the regular file `name` inside the opened folder `folderFd`, when it is this
// user's own file (never a link) of at most `limit` bytes; nullopt otherwise.
std::optional<QByteArray> readOwnFileAt(int folderFd, const QByteArray &name, qint64 limit);

} // namespace owntree

// Removes the folder `name` inside `folder` with everything below it that this user owns.
// Each step works relative to an opened folder (a link is never followed, a folder is opened
// only as a real folder): the entry itself must be a folder of this user's that no other user
// may write, and `accept`, given that opened folder, must agree. Below it, files and folders
// of other users stay, and so does everything inside them. Done when nothing is left at the
// name; the reason otherwise.
WriteResult removeOwnTree(const QString &folder, const QString &name,
                          const std::function<bool(int folderFd)> &accept = {});

// Enables every privilege of the process token. Nothing to do off Windows.
void EnableAllPrivileges();

} // namespace zorv
