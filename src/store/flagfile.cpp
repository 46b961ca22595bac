#include "flagfile.h"

#include "logging.h"
#include "textlist.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace zorv {

WriteResult writeFlagFile(const QString &path, int copies)
{
    QStringList lines;
    for (int i = 0; i < qMax(copies, 1); ++i)
        lines.append(kFlagMarkerLine);
    return TextList(lines).save(path);
}

WriteResult deleteFlagFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile() && !info.exists())
        return WriteResult::done();
    QFile file(path);
    if (info.isFile() && file.remove())
        return WriteResult::done();
    const QString why =
        info.isFile() ? file.errorString() : QCoreApplication::translate("zorv::Store", "não é um arquivo");
    qCWarning(lcStore).noquote() << "could not remove the flag file" << path << "-" << why;
    return WriteResult::failed(QCoreApplication::translate("zorv::Store", "não foi possível apagar %1: %2")
                                   .arg(info.fileName(), why));
}

bool flagFileExists(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

WriteResult FlagStaging::switchOn(const QString &path)
{
    ++m_lines;
    return writeFlagFile(path, m_lines);
}

} // namespace zorv
