#include "paths.h"

#include "filegroup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <optional>

namespace zorv {

namespace {

QString withoutTrailingSlash(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

// The entry of `dir` whose name equals `name` without regard to letter case, or an
// empty string. An exact match is preferred so two entries differing only in case
// (possible here, impossible on Windows) resolve predictably.
QString matchEntry(const QString &dir, const QString &name)
{
    const QStringList entries =
        QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &e : entries) {
        if (e.compare(name, Qt::CaseInsensitive) == 0)
            return e;
    }
    return {};
}

QString cleanFolder(const QString &dir)
{
    return dir.isEmpty() ? QString() : withoutTrailingSlash(QDir::cleanPath(QDir::fromNativeSeparators(dir)));
}

// The prefix of an installation whose folder `installFolder` (relative to the prefix, or
// absolute) is `dir`; nullopt when `dir` is not that folder of any prefix.
std::optional<QString> installPrefixOf(const QString &dir, const QString &installFolder)
{
    const QString folder = QDir::cleanPath(installFolder);
    if (installFolder.isEmpty())
        return std::nullopt;
    if (folder.startsWith(QLatin1Char('/')))
        return dir == folder ? std::optional<QString>(QString()) : std::nullopt;
    if (!dir.endsWith(QLatin1Char('/') + folder))
        return std::nullopt;
    return dir.left(dir.size() - folder.size() - 1);
}

// Folder `installFolder` of the installation at `prefix`.
QString installFolderAt(const QString &prefix, const QString &installFolder)
{
    const QString folder = QDir::cleanPath(installFolder);
    return folder.startsWith(QLatin1Char('/')) ? folder : prefix + QLatin1Char('/') + folder;
}

bool hasDataFolder(const QString &dir)
{
    const QString found = matchEntry(dir, QStringLiteral("dados"));
    return !found.isEmpty() && QFileInfo(dir + QLatin1Char('/') + found).isDir();
}

constexpr QFile::Permissions kOwnerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

// Creates every missing folder of `path`, each owner-only (the base-directory rules ask
// that of the user's data folders, and the finance data is nobody else's business).
bool makeOwnerOnlyPath(const QString &path)
{
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString current = path.startsWith(QLatin1Char('/')) ? QString() : QStringLiteral(".");
    for (const QString &part : parts) {
        current += QLatin1Char('/') + part;
        if (QFileInfo(current).isDir())
            continue;
        if (!QDir().mkdir(current, kOwnerOnly) && !QFileInfo(current).isDir())
            return false;
    }
    return true;
}

} // namespace

QString userDataFolder(const QString &xdgDataHome, const QString &homeDir)
{
    // Only an absolute $XDG_DATA_HOME counts; a relative one would move with the working
    // folder the program was started from.
    const QString base = xdgDataHome.startsWith(QLatin1Char('/'))
                             ? cleanFolder(xdgDataHome)
                             : cleanFolder(homeDir + QStringLiteral("/.local/share"));
    return (base == QLatin1String("/") ? QString() : base) + QStringLiteral("/zorv-desk");
}

ProgramPlacement choosePlacement(const PlacementFacts &facts)
{
    ProgramPlacement place;
    // Through links to the real folder (/bin is /usr/bin on merged systems).
    const QString canonical = QFileInfo(facts.programDir).canonicalFilePath();
    const QString dir = cleanFolder(canonical.isEmpty() ? facts.programDir : canonical);
    place.baseDir = place.deskDir = place.companionDir = dir;
    // A "dados" beside the programs is a portable copy, wherever it lies.
    if (hasDataFolder(dir))
        return place;
    std::optional<QString> prefix = installPrefixOf(dir, facts.installDeskDir);
    bool installed = prefix && QFileInfo(installFolderAt(*prefix, facts.installCompanionDir)).isDir();
    if (!installed) {
        prefix = installPrefixOf(dir, facts.installCompanionDir);
        installed =
            prefix &&
            QFileInfo(installFolderAt(*prefix, facts.installDeskDir) + QStringLiteral("/zorv-desk")).isFile();
    }
    if (installed) {
        place.deskDir = installFolderAt(*prefix, facts.installDeskDir);
        place.companionDir = installFolderAt(*prefix, facts.installCompanionDir);
    } else if (facts.programDirWritable) {
        return place;
    }
    place.baseDir = userDataFolder(facts.xdgDataHome, facts.homeDir);
    place.inUserData = true;
    return place;
}

QString runningProgramFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    // Before the application object exists (the start decides where the data lives before
    // anything else): the kernel's link to this process's executable.
    const QString exe = QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
    return exe.isEmpty() ? QString() : QFileInfo(exe).absolutePath();
}

PlacementFacts runningPlacementFacts()
{
    PlacementFacts facts;
    facts.programDir = runningProgramFolder();
    facts.programDirWritable = QFileInfo(facts.programDir).isWritable();
#if defined(ZORV_INSTALL_BINDIR) && defined(ZORV_INSTALL_COMPANIONDIR)
    facts.installDeskDir = QStringLiteral(ZORV_INSTALL_BINDIR);
    facts.installCompanionDir = QStringLiteral(ZORV_INSTALL_COMPANIONDIR);
#endif
    facts.xdgDataHome = qEnvironmentVariable("XDG_DATA_HOME");
    facts.homeDir = QDir::homePath();
    return facts;
}

ProgramPlacement runningPlacement()
{
    return choosePlacement(runningPlacementFacts());
}

bool layDataFolderSkeleton(const QString &baseDir)
{
    const QString base = cleanFolder(baseDir);
    if (base.isEmpty())
        return false;
    if (hasDataFolder(base))
        return true;
    if (!makeOwnerOnlyPath(base))
        return false;
    // The skeleton is built under a temporary name and renamed into place whole, so a start
    // that is cut short never leaves a "dados" without its sub-folders.
    QTemporaryDir work(base + QStringLiteral("/.dados-skeleton-XXXXXX")); // owner-only
    if (!work.isValid())
        return false;
    for (const char *sub : kDataFolderSkeleton) {
        if (!QDir().mkdir(work.filePath(QLatin1StringView(sub)), kOwnerOnly))
            return false;
    }
    if (QDir().rename(work.path(), base + QStringLiteral("/dados"))) {
        work.setAutoRemove(false);
        return true;
    }
    // Another start may have laid it in the meantime.
    return hasDataFolder(base);
}

Paths::Paths(const QString &exeDir, const QString &windowsDir, const QString &companionDir)
    : m_exeDir(withoutTrailingSlash(QDir::fromNativeSeparators(exeDir)) + QLatin1Char('/'))
    , m_windowsDir(withoutTrailingSlash(QDir::fromNativeSeparators(windowsDir)))
    , m_companionDir(companionDir.isEmpty()
                         ? m_exeDir
                         : withoutTrailingSlash(QDir::fromNativeSeparators(companionDir)) + QLatin1Char('/'))
{
    // Leftover save temporaries are cleared only inside these two folders.
    addStoreRoot(m_exeDir);
    addStoreRoot(m_windowsDir);
}

Paths Paths::forApplication()
{
    const ProgramPlacement place = runningPlacement();
    if (place.inUserData)
        layDataFolderSkeleton(place.baseDir);
    const QString windows = defaultWindowsDirectory();
    QDir().mkpath(windows);
    return Paths(place.baseDir, windows, place.companionDir);
}

QString Paths::defaultWindowsDirectory()
{
    // Named for the suite, not for the running executable: the companions find the same
    // folder as zorv-desk.
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return withoutTrailingSlash(base) + QStringLiteral("/zorv-desk/windows");
}

QString Paths::resolve(const QString &relative) const
{
    return resolveUnder(m_exeDir, relative);
}

QString Paths::companionProgram(const QString &name) const
{
    return resolveUnder(m_companionDir, name);
}

QString Paths::windowsFile(const QString &name) const
{
    return resolveUnder(m_windowsDir, name);
}

QString Paths::resolveUnder(const QString &base, const QString &relative)
{
    QString current = withoutTrailingSlash(base);
    bool exists = QFileInfo(current).isDir();
    const QStringList parts = QString(relative)
                                  .replace(QLatin1Char('\\'), QLatin1Char('/'))
                                  .split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        if (part == QLatin1String(".") || part == QLatin1String(".."))
            return {};
        const QString exact = current + QLatin1Char('/') + part;
        if (exists && !QFileInfo::exists(exact)) {
            const QString found = matchEntry(current, part);
            if (found.isEmpty()) {
                exists = false;
            } else {
                current += QLatin1Char('/') + found;
                continue;
            }
        }
        current = exact;
    }
    return current;
}

QString WindowsDirectory()
{
    return Paths::defaultWindowsDirectory();
}

namespace {

// The device names Windows reserves in every folder: a file whose name before the first dot
// (trailing spaces ignored) is one of them cannot be created or opened as a file there.
bool isDeviceName(QStringView name)
{
    QStringView stem = name.left(name.indexOf(QLatin1Char('.')));
    while (stem.endsWith(QLatin1Char(' ')))
        stem.chop(1);
    for (const char16_t *device : {u"CON", u"PRN", u"AUX", u"NUL"}) {
        if (stem.compare(QStringView(device), Qt::CaseInsensitive) == 0)
            return true;
    }
    if (stem.size() != 4)
        return false;
    const QStringView port = stem.first(3);
    if (port.compare(u"COM", Qt::CaseInsensitive) != 0 && port.compare(u"LPT", Qt::CaseInsensitive) != 0)
        return false;
    const char16_t digit = stem[3].unicode();
    return (digit >= u'0' && digit <= u'9') || digit == u'\u00B9' || digit == u'\u00B2' || digit == u'\u00B3';
}

// True when every surrogate of the text belongs to a pair.
bool surrogatesPaired(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return false;
    }
    return true;
}

} // namespace

bool isSafeFileName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    if (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')))
        return false;
    static const QString forbidden = QStringLiteral("<>:\"/\\|?*");
    for (QChar c : name) {
        if (c.unicode() < 0x20 || forbidden.contains(c))
            return false;
    }
    // Windows holds at most 255 UTF-16 units in a name, Linux file systems 255 bytes.
    if (name.size() > kMaxFileNameLength || !surrogatesPaired(name))
        return false;
    if (name.toUtf8().size() > kMaxFileNameLength)
        return false;
    return !isDeviceName(name);
}

} // namespace zorv
