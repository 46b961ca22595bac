#pragma once

#include <QString>

namespace zorv {

// Deletes a file or a folder with everything below it, permanently and without questions.
// Refuses (does nothing, returns false) an empty path, the file-system root and the home
// folder. True when nothing is left at the path.
bool DeleteTree(const QString &path);

// Copies `source` (a folder or a file) into the folder `target`, which receives it under
// its own name; missing folders are created, existing files replaced, nothing is asked.
// True only when every file arrived whole.
bool CopyTree(const QString &source, const QString &target);

// Enables every privilege of the process token. Nothing to do off Windows.
void EnableAllPrivileges();

} // namespace zorv
