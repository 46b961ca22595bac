#pragma once

#include <QString>

#include <optional>

namespace zorv {

// The separator between a name and its path in the shortcut and alias lists.
inline const QString kNameSeparator = QStringLiteral("<>");

// One line of the shortcut or alias list: the name before the first "<>" (the whole line
// without one) and the path, everything after it (empty without one). The path is kept
// whole: a long path cut short would start, or delete, another item.
struct NamedPath
{
    QString name;
    QString path;
};
NamedPath splitNamedPath(const QString &line);

// One line of the employee list: title "<>" file name "@" full path, the path being
// everything after the first "@" that follows the "<>".
struct EmployeeItem
{
    QString title;
    QString fileName;
    QString path;
};
EmployeeItem splitEmployeeLine(const QString &line);

// True when a path cannot be stored as one line (a CR or LF would split it).
bool breaksLine(const QString &text);

// The name a dropped item gets in the shortcut list: its last path component; a file's
// name is cut at its last dot (Relatorio.doc gives Relatorio, a.b gives a), unless the only
// dot is the first character (.bashrc stays whole); a folder keeps its whole name. A "<>"
// inside the name is removed, so the line still splits at the right place.
QString droppedItemName(const QString &path, bool isFolder);

// The shortcut line for a dropped path, or nullopt when the path cannot be one line.
std::optional<QString> shortcutLineForDrop(const QString &path);

} // namespace zorv
