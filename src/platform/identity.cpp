#include "identity.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zorv {

#ifdef Q_OS_UNIX
namespace {

// True when `path` is a real folder (not a link) of this user that nobody else may enter.
bool isOwnPrivateFolder(const QByteArray &path)
{
    struct stat st
    {
    };
    if (::lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
        return false;
    return (st.st_mode & 077) == 0;
}

} // namespace
#endif

QString ensurePrivateFolder(const QString &path)
{
    if (path.isEmpty())
        return {};
    const QString clean = QDir::cleanPath(path);
#ifdef Q_OS_UNIX
    const QByteArray native = QFile::encodeName(clean);
    QDir().mkpath(QFileInfo(clean).absolutePath());
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    struct stat st
    {
    };
    if (::lstat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
        return {}; // a link, a file or another user's folder in our place: never use it
    if ((st.st_mode & 077) != 0 && ::chmod(native.constData(), 0700) != 0)
        return {};
    return isOwnPrivateFolder(native) ? clean : QString();
#else
    return QDir().mkpath(clean) ? clean : QString();
#endif
}

QString runtimeDirectory()
{
#ifdef Q_OS_UNIX
    // The session's runtime folder is private by definition, but only trusted when it is.
    const QByteArray xdg = qgetenv("XDG_RUNTIME_DIR");
    if (!xdg.isEmpty() && isOwnPrivateFolder(xdg))
        return QDir::cleanPath(QFile::decodeName(xdg));
    // Without one, a folder of the user's own cache; never the shared temporary folder,
    // where another user could take the names first.
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty())
        return {};
    return ensurePrivateFolder(cache + QStringLiteral("/zorv-desk/run"));
#else
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return dir.isEmpty() ? QString() : QDir::cleanPath(dir);
#endif
}

QString runtimePath(const QString &name)
{
    const QString dir = runtimeDirectory();
    return dir.isEmpty() ? QString() : dir + QLatin1Char('/') + name;
}

QString privateFolder(const QString &name)
{
    const QString dir = runtimeDirectory();
    return dir.isEmpty() ? QString() : ensurePrivateFolder(dir + QLatin1Char('/') + name);
}

} // namespace zorv
