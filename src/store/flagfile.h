#pragma once

#include "writeresult.h"

#include <QString>

namespace zorv {

// The line a flag file holds; nothing ever reads it back.
inline const QString kFlagMarkerLine = QStringLiteral("57948579487593465966");

// The program filter is on while this flag file exists in the Windows-directory stand-in:
// the launcher then offers only the programs released for the employee.
inline const QString kProgramFilterFlag = QStringLiteral("\\MSDriver.dat");

// Every page of the suite window is reachable while this flag file exists in the data
// folder (the full suite); without it the window keeps to its finance page. The program,
// its settings page and the companion's tray menu switch it.
inline const QString kSuiteFullFlag = QStringLiteral("dados\\Suite.full");

// A flag file switches a setting on by existing. Writing stores `copies` marker lines
// (writers that stage the marker in a list not cleared first leave several; readers only
// test existence, so any count means "on").
WriteResult writeFlagFile(const QString &path, int copies = 1);
WriteResult deleteFlagFile(const QString &path); // done when the file is gone afterwards
bool flagFileExists(const QString &path);

// The staging list every switch shares: each switch-on appends one marker line to it and
// saves all of its lines to that switch's file, so the file a switch writes holds as many
// marker lines as switch-ons happened so far in this run, its own included. One per run.
class FlagStaging
{
public:
    // Appends the marker line and saves the whole list to `path`. A failure when the file
    // could not be written (the line stays in the list all the same).
    WriteResult switchOn(const QString &path);
    // The marker lines staged so far.
    int lineCount() const { return m_lines; }

private:
    int m_lines = 0;
};

} // namespace zorv
