#include "opentarget.h"

#include "trustedmark.h"

#include "platform/desktopentry.h"
#include "store/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStorageInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zorv {

namespace {

OpenAction opening(const QUrl &url)
{
    OpenAction action;
    action.kind = OpenAction::Open;
    action.url = url;
    return action;
}

// Files the desktop would run rather than open: binaries and scripts. The executable bit
// alone is not enough, since copied data (a report on a FAT stick) often carries it too.
bool isProgram(const QFileInfo &info)
{
    if (!info.isFile() || !info.isExecutable())
        return false;
    const QMimeType type = QMimeDatabase().mimeTypeForFile(info);
    for (const char *name :
         {"application/x-executable", "application/x-sharedlib", "application/x-pie-executable",
          "application/x-shellscript", "application/x-perl", "text/x-python", "text/x-python3"}) {
        if (type.inherits(QLatin1StringView(name)))
            return true;
    }
    return false;
}

bool liesIn(const QString &canonicalFile, const QString &folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return !canonical.isEmpty() &&
           (canonicalFile == canonical || canonicalFile.startsWith(canonical + QLatin1Char('/')));
}

// True when `file` (links resolved) is an entry of `folder` itself, not of a sub-folder.
bool directlyIn(const QString &file, const QString &folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return !canonical.isEmpty() && QFileInfo(file).absolutePath() == canonical;
}

// The folders the system's programs are installed in; nobody but the administrator writes
// them.
const QStringList &systemProgramFolders()
{
    static const QStringList folders{
        QStringLiteral("/usr/local/sbin"), QStringLiteral("/usr/local/bin"),
        QStringLiteral("/usr/sbin"),       QStringLiteral("/usr/bin"),
        QStringLiteral("/sbin"),           QStringLiteral("/bin"),
        QStringLiteral("/usr/games"),      QStringLiteral("/usr/local/games"),
        QStringLiteral("/snap/bin"),
    };
    return folders;
}

// Where a file lies: its folder with every link resolved, and its own name (a link there
// stays the link). Empty when its folder does not exist.
QString placeOf(const QFileInfo &info)
{
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? QString() : folder + QLatin1Char('/') + info.fileName();
}

// The data folder and, for an installed program, the whole folder it lives in: what the
// program, a restored backup or a copied stick put there is data, never a program to run.
bool liesInData(const QString &file, const Paths &paths)
{
    if (liesIn(file, paths.dataDir()))
        return true;
    return QFileInfo(paths.exeDir()).canonicalFilePath() !=
               QFileInfo(paths.companionDir()).canonicalFilePath() &&
           liesIn(file, paths.exeDir());
}

// A place programs are installed in: the system's program folders, the desktop's
// applications folders, or the folder of the suite's own programs itself.
bool liesInProgramPlace(const QString &file, const Paths &paths)
{
    for (const QString &dir : systemProgramFolders()) {
        if (directlyIn(file, dir))
            return true;
    }
    for (const QString &dir : QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
        if (liesIn(file, dir))
            return true;
    }
    return directlyIn(file, paths.companionDir());
}

// This user's own file that neither the group nor others may change.
bool isOwnUnsharedFile(const QString &file)
{
#ifdef Q_OS_UNIX
    struct stat st
    {
    };
    return ::stat(QFile::encodeName(file).constData(), &st) == 0 && st.st_uid == ::geteuid() &&
           (st.st_mode & 022) == 0;
#else
    Q_UNUSED(file);
    return false;
#endif
}

// What the launcher does with a program file: start it, ask first, or open it as a document.
OpenAction programAction(const QFileInfo &info, const Paths &paths, const FileSystemTypeOf &fileSystemTypeOf)
{
    const OpenAction asDocument = opening(QUrl::fromLocalFile(info.absoluteFilePath()));
    const QString place = placeOf(info);
    const QString target = info.canonicalFilePath();
    if (place.isEmpty() || target.isEmpty() || liesInData(place, paths) || liesInData(target, paths))
        return asDocument;
    OpenAction start{OpenAction::Start, info.absoluteFilePath(), {}, {}, info.absolutePath()};
    if (liesInProgramPlace(place, paths) || liesInProgramPlace(target, paths))
        return start;
    const QByteArray fileSystem =
        fileSystemTypeOf ? fileSystemTypeOf(target) : QStorageInfo(target).fileSystemType();
    if (keepsNoFileRights(fileSystem) || !isOwnUnsharedFile(target))
        return asDocument;
    start.askFirst = true;
    return start;
}

// An entry the desktop would run: one installed among its applications, one the user marked
// trusted in the file manager, or a runnable one the user put beside the program itself.
// The executable bit alone is not trust: every file on a FAT or NTFS stick carries it.
bool isTrustedEntry(const QFileInfo &info, const Paths &paths)
{
    const QString file = info.canonicalFilePath();
    if (file.isEmpty())
        return false;
    for (const QString &dir : QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
        if (liesIn(file, dir))
            return true;
    }
    if (info.isExecutable() && directlyIn(file, paths.companionDir()))
        return true;
    return hasDesktopTrustMark(file);
}

OpenAction entryAction(const QFileInfo &info, const Paths &paths)
{
    if (!isTrustedEntry(info, paths))
        return {};
    const std::optional<DesktopEntry> entry = readDesktopEntry(info.absoluteFilePath());
    if (!entry)
        return {};
    if (entry->type == QLatin1String("Link")) {
        if (entry->url.trimmed().isEmpty())
            return {};
        return opening(QUrl::fromUserInput(entry->url.trimmed()));
    }
    if (entry->type != QLatin1String("Application"))
        return {};
    std::optional<QStringList> args = execArguments(*entry, info.absoluteFilePath());
    if (!args)
        return {};
    QString program = args->takeFirst();
    if (!QDir::isAbsolutePath(program))
        program = QStandardPaths::findExecutable(program);
    else if (!QFileInfo(program).isExecutable())
        program.clear();
    if (program.isEmpty())
        return {};
    if (entry->terminal) {
        const QString terminal = QStandardPaths::findExecutable(QStringLiteral("x-terminal-emulator"));
        if (terminal.isEmpty())
            return {};
        args->prepend(program);
        args->prepend(QStringLiteral("-e"));
        program = terminal;
    }
    const QString folder = entry->path.isEmpty() ? QDir::homePath() : entry->path;
    return {OpenAction::Start, program, {}, *args, folder};
}

} // namespace

bool keepsNoFileRights(const QByteArray &fileSystemType)
{
    static const QByteArrayList types{"vfat",  "msdos",   "fat",     "exfat", "ntfs",
                                      "ntfs3", "fuseblk", "iso9660", "udf"};
    return types.contains(fileSystemType.toLower());
}

OpenAction classifyTarget(const QString &target, const Paths &paths, const FileSystemTypeOf &fileSystemTypeOf)
{
    // Only the hand-off line's ending goes: spaces belong to the path ("nota " is not "nota").
    QString text = target;
    while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r')))
        text.chop(1);
    if (text.trimmed().isEmpty())
        return {};

    // A scheme of two letters or more ("C:" is a drive, not a scheme).
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    if (scheme.match(text).hasMatch()) {
        const QUrl url(text);
        if (url.isLocalFile())
            return classifyTarget(url.toLocalFile(), paths, fileSystemTypeOf);
        if (url.isValid())
            return opening(url);
        return {};
    }
    if (text.startsWith(QLatin1StringView("www."), Qt::CaseInsensitive))
        return opening(QUrl::fromUserInput(text));

    QString path = QDir::fromNativeSeparators(text);
    if (QDir::isRelativePath(path))
        path = paths.resolve(text);
    const QFileInfo info(path);
    if (info.isFile() && isDesktopEntryFile(info.canonicalFilePath()))
        return entryAction(info, paths);
    if (isProgram(info))
        return programAction(info, paths, fileSystemTypeOf);
    return opening(QUrl::fromLocalFile(info.absoluteFilePath()));
}

} // namespace zorv
