#include "filetree.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace zorv {

namespace {

bool isProtectedFolder(const QFileInfo &info)
{
    const QString canonical = info.canonicalFilePath();
    if (canonical.isEmpty())
        return false;
    const QString home = QFileInfo(QDir::homePath()).canonicalFilePath();
    return QDir(canonical).isRoot() || canonical == home;
}

bool copyFileReplacing(const QString &from, const QString &to)
{
    if (QFileInfo(to).isDir())
        return false;
    if (QFileInfo::exists(to) || QFileInfo(to).isSymLink()) {
        QFile::setPermissions(to, QFile::permissions(to) | QFileDevice::WriteOwner);
        if (!QFile::remove(to))
            return false;
    }
    if (!QFile::copy(from, to))
        return false;
    return QFileInfo(to).size() == QFileInfo(from).size();
}

} // namespace

bool DeleteTree(const QString &path)
{
    if (path.trimmed().isEmpty())
        return false;
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return true;
    if (isProtectedFolder(info))
        return false;
    if (info.isDir() && !info.isSymLink())
        return QDir(path).removeRecursively();
    return QFile::remove(path);
}

bool CopyTree(const QString &source, const QString &target)
{
    const QFileInfo src(source);
    if (source.isEmpty() || target.isEmpty() || !src.exists())
        return false;
    if (!QDir().mkpath(target))
        return false;
    const QString destRoot = QDir(target).filePath(src.fileName());
    if (!src.isDir())
        return copyFileReplacing(src.absoluteFilePath(), destRoot);

    // Refuse to copy a folder into itself: the copy would never end.
    const QString srcCanon = src.canonicalFilePath() + QLatin1Char('/');
    const QString targetCanon = QFileInfo(target).canonicalFilePath() + QLatin1Char('/');
    if (targetCanon.startsWith(srcCanon))
        return false;

    if (!QDir().mkpath(destRoot))
        return false;
    bool ok = true;
    const QDir srcDir(src.absoluteFilePath());
    QDirIterator it(srcDir.path(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString from = it.next();
        const QString to = destRoot + QLatin1Char('/') + srcDir.relativeFilePath(from);
        const QFileInfo fi = it.fileInfo();
        if (fi.isDir() && !fi.isSymLink())
            ok = QDir().mkpath(to) && ok;
        else
            ok = copyFileReplacing(from, to) && ok;
    }
    return ok;
}

void EnableAllPrivileges() {}

} // namespace zorv
