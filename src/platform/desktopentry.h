#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace zorv {

// The keys of a desktop entry file's "[Desktop Entry]" group that the program uses. Values
// have their escapes (\s \n \t \r \\) undone; localised keys ("Name[pt_BR]") are ignored,
// so every reader sees the same text whatever the session's language.
struct DesktopEntry
{
    QString type; // "Application", "Link", "Directory", ...
    QString name;
    QString icon; // a theme icon name or an absolute image path
    QString exec; // the command line, still quoted as the entry format quotes it
    QString url;  // the address of a Link entry
    QString path; // the folder an application is started in
    bool terminal = false;
};

// Reads the entry's group from the file's bytes (UTF-8); keys outside the group, comments
// and other groups are left out. An entry without the group gives nullopt.
std::optional<DesktopEntry> parseDesktopEntry(const QByteArray &bytes);
std::optional<DesktopEntry> readDesktopEntry(const QString &file);

// True when the file's name marks it as a desktop entry (its type inherits
// application/x-desktop).
bool isDesktopEntryFile(const QString &file);

// The program and its arguments an Application entry's Exec line asks for: quoted
// arguments joined, the backslash escapes inside quotes undone, and the field codes
// expanded: %f %F %u %U dropped (nothing is handed over), %i gives "--icon" and the Icon
// value, %c the Name, %k the entry file, %% a percent sign; an unknown code stands for
// nothing. nullopt when the line is empty or its quotes do not close.
std::optional<QStringList> execArguments(const DesktopEntry &entry, const QString &entryFile);

} // namespace zorv
