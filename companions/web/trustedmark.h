#pragma once

#include <QString>

namespace zorv {

// True when the desktop has marked the file as trusted to launch (the file manager's
// "allow launching", kept as the file's "metadata::trusted" attribute). False where the
// desktop keeps no such mark or the build has no access to it.
bool hasDesktopTrustMark(const QString &file);

} // namespace zorv
