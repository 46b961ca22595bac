#include "opentarget.h"

#include "trustedmark.h"

#include "platform/desktopentry.h"
#include "store/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <QStandardPaths>

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
    return !canonical.isEmpty() && canonicalFile.startsWith(canonical + QLatin1Char('/'));
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
    if (info.isExecutable() &&
        QFileInfo(file).absolutePath() == QFileInfo(paths.exeDir()).canonicalFilePath())
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

OpenAction classifyTarget(const QString &target, const Paths &paths)
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
            return classifyTarget(url.toLocalFile(), paths);
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
        return {OpenAction::Start, info.absoluteFilePath(), {}, {}, info.absolutePath()};
    return opening(QUrl::fromLocalFile(info.absoluteFilePath()));
}

} // namespace zorv
