#include "launcherlines.h"

#include <QDir>
#include <QFileInfo>

namespace zorv {

NamedPath splitNamedPath(const QString &line)
{
    const qsizetype at = line.indexOf(kNameSeparator);
    if (at < 0)
        return {line, QString()};
    return {line.left(at), line.mid(at + kNameSeparator.size())};
}

EmployeeItem splitEmployeeLine(const QString &line)
{
    const NamedPath named = splitNamedPath(line);
    const qsizetype at = named.path.indexOf(u'@');
    if (at < 0)
        return {named.name, named.path, QString()};
    return {named.name, named.path.left(at), named.path.mid(at + 1)};
}

bool breaksLine(const QString &text)
{
    return text.contains(u'\r') || text.contains(u'\n');
}

QString droppedItemName(const QString &path, bool isFolder)
{
    QString name = QFileInfo(QDir::cleanPath(QDir::fromNativeSeparators(path))).fileName();
    if (!isFolder) {
        const qsizetype dot = name.lastIndexOf(u'.');
        if (dot > 0)
            name.truncate(dot);
    }
    // Removing one "<>" can bring two halves together ("a<<>>b"): until none is left.
    while (name.contains(kNameSeparator))
        name.remove(kNameSeparator);
    return name;
}

std::optional<QString> shortcutLineForDrop(const QString &path)
{
    if (path.isEmpty() || breaksLine(path))
        return std::nullopt;
    return droppedItemName(path, QFileInfo(path).isDir()) + kNameSeparator + path;
}

} // namespace zorv
