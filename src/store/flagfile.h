#pragma once

#include <QString>

namespace zorv {

// The line a flag file holds; nothing ever reads it back.
inline const QString kFlagMarkerLine = QStringLiteral("57948579487593465966");

// The program filter is on while this flag file exists in the Windows-directory stand-in:
// the launcher then offers only the programs released for the employee.
inline const QString kProgramFilterFlag = QStringLiteral("\\MSDriver.dat");

// A flag file switches a setting on by existing. Writing stores `copies` marker lines
// (writers that stage the marker in a list not cleared first leave several; readers only
// test existence, so any count means "on").
bool writeFlagFile(const QString &path, int copies = 1);
bool deleteFlagFile(const QString &path); // true when the file is gone afterwards
bool flagFileExists(const QString &path);

} // namespace zorv
