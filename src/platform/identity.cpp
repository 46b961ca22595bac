#include "identity.h"

#include <QDir>
#include <QStandardPaths>

namespace zorv {

QString runtimeDirectory()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return QDir::cleanPath(dir);
}

QString runtimePath(const QString &name)
{
    return runtimeDirectory() + QLatin1Char('/') + name;
}

} // namespace zorv
