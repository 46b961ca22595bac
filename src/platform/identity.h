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

// The per-user folder for sockets and locks that must vanish with the session:
// $XDG_RUNTIME_DIR where it exists, else the temporary folder. Never empty.
QString runtimeDirectory();

// Native path of `name` inside runtimeDirectory().
QString runtimePath(const QString &name);

} // namespace zorv
