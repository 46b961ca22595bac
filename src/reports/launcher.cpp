#include "reports/launcher.h"

#include "platform/services.h"
#include "store/logging.h"
#include "store/paths.h"
#include "store/textcodec.h"
#include "store/textlist.h"

namespace zorv {

QString launcherProgram(const Paths &paths)
{
#if defined(Q_OS_WIN)
    return paths.companionProgram(QStringLiteral("Web.exe"));
#else
    return paths.companionProgram(QStringLiteral("Web"));
#endif
}

QByteArray ToAnsi(const QString &text)
{
    return encodeWindows1252(text);
}

QByteArray handOffBytes(const QString &target)
{
    const TextEncoding encoding = fitsWindows1252(target) ? TextEncoding::Ansi : TextEncoding::Utf8Bom;
    return encodeLines(QStringList{target}, encoding);
}

bool OpenThroughLauncher(const Paths &paths, ProgramStarter &programs, const QString &target)
{
    // The target is written before the companion starts: it reads the file as it comes up.
    // A hand-off file that already holds exactly these bytes (the same report opened again)
    // is left as it is: rewriting it would cost a disk sync per click and change nothing.
    const QString path = paths.resolve(kHandOffFile);
    const QByteArray bytes = handOffBytes(target);
    if (readWholeFile(path) != bytes && !writeFileAtomically(path, bytes))
        return false;
    // The path goes to the starter whole, as Unicode: there is no command line to split,
    // so an executable folder with spaces or with characters beyond the code page still works.
    const QString launcher = launcherProgram(paths);
    if (!programs.startHidden(launcher)) {
        // Nothing opens for the user: the companion's name says which program did not start.
        qCWarning(lcLauncher) << "launcher not started:" << launcher;
    }
    return true;
}

bool OpenThroughLauncher(const Paths &paths, Services &services, const QString &target)
{
    return OpenThroughLauncher(paths, services.programs, target);
}

std::optional<QString> readHandOffTarget(const Paths &paths)
{
    TextList file;
    if (file.load(paths.resolve(kHandOffFile)) != TextList::LoadResult::Loaded || file.lines().isEmpty())
        return std::nullopt;
    const QString target = file.lines().first();
    if (target.trimmed().isEmpty())
        return std::nullopt;
    return target;
}

} // namespace zorv
