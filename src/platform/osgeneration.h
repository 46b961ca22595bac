#pragma once

#include <QString>

namespace zorv {

// The generation of the running Windows as the program names it: "Vista" for NT major
// versions above 5 with minor version 0, "Seven" for those with a higher minor version,
// "XP" for everything else (NT 5.x and older, the non-NT family). Windows 10 (10.0) is
// therefore "Vista".
QString osGenerationName(bool isNT, int major, int minor);

// The running system's generation: from its version on Windows; "Seven" everywhere else,
// the generation whose volume bar works on the program's output alone.
QString runningOsGenerationName();

} // namespace zorv
