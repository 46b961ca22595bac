#include "employeelist.h"

#include "store/records.h"

#include <QFileInfo>

namespace zorv {

namespace {

const QString kTitleEnd = QStringLiteral("<>");
const QString kNameEnd = QStringLiteral("@");

bool breaksLine(const QString &text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')) ||
           text.contains(QChar(u'\0'));
}

QString fileNameOf(const QString &fullPath)
{
    return QFileInfo(fullPath).fileName();
}

} // namespace

QString employeeLine(const QString &title, const QString &fullPath)
{
    return title + kTitleEnd + fileNameOf(fullPath) + kNameEnd + fullPath;
}

QString employeeLine(const EmployeeEntry &entry)
{
    return entry.title + kTitleEnd + entry.fileName + kNameEnd + entry.fullPath;
}

EmployeeEntry readEmployeeLine(const QString &line)
{
    EmployeeEntry entry;
    entry.title = FieldBefore(line, kTitleEnd);
    entry.fileName = FieldBefore(FieldAfter(line, kTitleEnd), kNameEnd);
    const qsizetype at = line.indexOf(kNameEnd);
    if (at >= 0)
        entry.fullPath = line.mid(at + kNameEnd.size());
    return entry;
}

bool acceptsEntry(const QString &title, const QString &fullPath)
{
    if (title.isEmpty() || fullPath.isEmpty())
        return false;
    if (title.contains(kTitleEnd) || title.contains(kNameEnd) || fileNameOf(fullPath).contains(kNameEnd))
        return false;
    return !breaksLine(title) && !breaksLine(fullPath);
}

} // namespace zorv
