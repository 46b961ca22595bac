#pragma once

#include <QString>
#include <QStringList>

namespace zorv {

// The employee list: the programs the owner released, one line each,
// title + "<>" + file name + "@" + full path, in the Windows-directory stand-in.
inline const QString kEmployeeListFile = QStringLiteral("\\MSWinDirBase.vxd");
// The program filter's switch: on while this file exists (Windows-directory stand-in).
inline const QString kProgramFilterFlagFile = QStringLiteral("\\MSDriver.dat");

struct EmployeeEntry
{
    QString title;
    QString fileName; // the program's file name without its folder
    QString fullPath;
};

// The line of a released program: the typed title, the file name and the full path.
QString employeeLine(const QString &title, const QString &fullPath);
// The line of an entry read before (its file name kept as read).
QString employeeLine(const EmployeeEntry &entry);

// Reads one line: the title is all before the first "<>"; the file name lies between that
// "<>" and the next "@" (at most 255 characters after the "<>", as every field is cut);
// the full path is all after the first "@", as the shortcut center reads it.
EmployeeEntry readEmployeeLine(const QString &line);

// True when title and program make a line that reads back as themselves: a title without
// "<>" and "@", a file name without "@", nothing that would break the line, a non-empty
// title and path.
bool acceptsEntry(const QString &title, const QString &fullPath);

} // namespace zorv
