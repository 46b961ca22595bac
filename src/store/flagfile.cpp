#include "flagfile.h"

#include "textlist.h"

#include <QFile>
#include <QFileInfo>

namespace zorv {

bool writeFlagFile(const QString &path, int copies)
{
    QStringList lines;
    for (int i = 0; i < qMax(copies, 1); ++i)
        lines.append(kFlagMarkerLine);
    return TextList(lines).save(path);
}

bool deleteFlagFile(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return !QFileInfo::exists(path);
    return QFile::remove(path);
}

bool flagFileExists(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

bool FlagStaging::switchOn(const QString &path)
{
    ++m_lines;
    return !path.isEmpty() && writeFlagFile(path, m_lines);
}

} // namespace zorv
