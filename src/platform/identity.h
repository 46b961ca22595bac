#pragma once

#include <QString>

namespace zorv {

// The name of the single-instance guard: a second start with this name ends at once.
inline QString instanceName()
{
    return QStringLiteral("Zorv Desk");
}

// The exact title of the companion's top-level window; while a window with this title
// exists, the program keeps running.
inline QString companionTitle()
{
    return QStringLiteral("zorvoletps");
}

// What a folder is to this user, looked at itself (a link is never followed).
enum class FolderTrust {
    Own,          // a real folder of this user without the rights asked to be absent
    Missing,      // nothing there
    NotAFolder,   // a file, a device, a pipe or a socket
    Link,         // a symbolic link, wherever it points
    OtherOwner,   // a folder of another user
    OpenToOthers, // this user's folder, but the group or others hold rights they must not
};

// Looks at `path` without following a link. `forbiddenModes` are the permission bits the
// group and others must not hold: 077 for a private folder nobody else may enter, 022 for a
// folder nobody else may change.
FolderTrust folderTrust(const QString &path, unsigned forbiddenModes);

// The per-user folder for sockets, locks and private work files: $XDG_RUNTIME_DIR when it
// is the user's own owner-only folder, else "zorv-desk/run" in the user's cache folder,
// created owner-only. Never a folder another user can write; empty when no such folder
// can be had (the caller then runs without what it wanted to put there).
QString runtimeDirectory();

// Native path of `name` inside runtimeDirectory(); empty when there is no such folder.
QString runtimePath(const QString &name);

// The owner-only folder `name` inside runtimeDirectory(), created when missing; empty
// when it cannot be made private (a link, another user's folder).
QString privateFolder(const QString &name);

// Makes `path` an owner-only folder of this user (created 0700, tightened when wider) and
// returns it cleaned; empty when something else stands there: a link, a file, a folder of
// another user.
QString ensurePrivateFolder(const QString &path);

} // namespace zorv
