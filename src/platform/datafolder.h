#pragma once

#include "identity.h"

#include <QString>

namespace zorv {

class Dialogs;

// The rights the group and others must not hold on the user's data folder: nobody but the
// user may create, rename or remove anything in it.
inline constexpr unsigned kDataFolderForbiddenModes = 022;

// The user's data folder of an installed program, made owner-only when it is missing (its
// parent folders as well). It may be used only when the answer is FolderTrust::Own: a real
// folder (not a link) of this user that neither the group nor others can write. Anything
// else is left exactly as found.
FolderTrust claimUserDataFolder(const QString &folder);

// Why a data folder with this answer cannot be used, in a sentence for the user; empty for
// FolderTrust::Own.
QString dataFolderProblem(FolderTrust trust);

// The message that ends a start over an unusable data folder: it names the folder and why.
QString dataFolderRefusal(const QString &folder, FolderTrust trust);

// Leaves the log line and shows the refusal through `dialogs`; the caller then ends.
void refuseDataFolder(Dialogs &dialogs, const QString &folder, FolderTrust trust);

// Files and folders this process creates from now on are the user's alone (umask 077). The
// mode new files had before is kept in the environment, so a launcher this process starts
// can give the user's own programs back the mode they normally get.
void restrictNewFilesToOwner();

// In a process started by one that restricted its new files: puts the user's usual mode for
// new files back and removes the note from the environment, so the programs it starts create
// files as they would anywhere else. Does nothing without the note or with a malformed one.
void restoreUsualNewFileMode();

} // namespace zorv
