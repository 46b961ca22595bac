#pragma once

#include <QString>

namespace zorv::filegroup {

// Looks at every name of the folder; the caller holds the folder's lock for writing. True
// when an interrupted group was carried out, so files may hold other bytes than before.
bool settleLocked(const QString &key);
// Whether the folder must be settled before a group is written in it.
bool needsSettling(const QString &key);

} // namespace zorv::filegroup
