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

FolderTrust folderTrust(const QString &path, unsigned forbiddenModes)
{
#ifdef Q_OS_UNIX
    struct stat st
    {
    };
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return errno == ENOENT ? FolderTrust::Missing : FolderTrust::NotAFolder;
    if (S_ISLNK(st.st_mode))
        return FolderTrust::Link;
    if (!S_ISDIR(st.st_mode))
        return FolderTrust::NotAFolder;
    if (st.st_uid != ::geteuid())
        return FolderTrust::OtherOwner;
    return (st.st_mode & forbiddenModes & 077) == 0 ? FolderTrust::Own : FolderTrust::OpenToOthers;
#else
    Q_UNUSED(forbiddenModes);
    const QFileInfo info(path);
    if (info.isSymLink())
        return FolderTrust::Link;
    if (!info.exists())
        return FolderTrust::Missing;
    return info.isDir() ? FolderTrust::Own : FolderTrust::NotAFolder;
#endif
}

namespace {

constexpr unsigned kPrivate = 077;

// True when `path` is a real folder (not a link) of this user that nobody else may enter.
bool isOwnPrivateFolder(const QString &path)
{
    return folderTrust(path, kPrivate) == FolderTrust::Own;
}

} // namespace

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
    switch (folderTrust(clean, kPrivate)) {
    case FolderTrust::Own:
        return clean;
    case FolderTrust::OpenToOthers:
        // Our own folder with wider rights than it should have: tightened, then looked at again.
        if (::chmod(native.constData(), 0700) != 0)
            return {};
        return isOwnPrivateFolder(clean) ? clean : QString();
    default:
        return {}; // a link, a file or another user's folder in our place: never use it
    }
#else
    return QDir().mkpath(clean) ? clean : QString();
#endif
}

QString runtimeDirectory()
{
#ifdef Q_OS_UNIX
    // The session's runtime folder is private by definition, but only trusted when it is.
    const QString xdg = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!xdg.isEmpty() && isOwnPrivateFolder(xdg))
        return QDir::cleanPath(xdg);
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
