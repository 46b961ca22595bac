#include "shellitems.h"

#include "desktopentry.h"

#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QIconEngine>
#include <QPainter>
#include <QStandardPaths>

namespace zorv {

namespace {

// An icon drawn from an image file, read the first time it is drawn: a list of many items
// reads only the pictures it shows.
class ImageFileIconEngine final : public QIconEngine
{
public:
    explicit ImageFileIconEngine(const QString &file)
        : m_file(file)
    {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        loaded().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return loaded().pixmap(size, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return loaded().actualSize(size, mode, state);
    }
    QIconEngine *clone() const override { return new ImageFileIconEngine(*this); }
    QString key() const override { return QStringLiteral("zorv-image-file"); }

private:
    const QIcon &loaded()
    {
        if (!m_loaded) {
            m_icon = QIcon(m_file);
            m_loaded = true;
        }
        return m_icon;
    }

    QString m_file;
    QIcon m_icon;
    bool m_loaded = false;
};

// An icon from an image file, or null: QIcon(file) is not null even for a missing file, so
// the file is checked first.
QIcon iconFromImageFile(const QString &file)
{
    if (!QFileInfo(file).isFile())
        return {};
    return QIcon(new ImageFileIconEngine(file));
}

// Desktop entries are the files the type database names application/x-desktop by their
// names, *.desktop and the older *.kdelnk: tested here by the name alone, without the
// database's lookup, once for every listed item.
bool isEntryName(const QString &path)
{
    return path.endsWith(QLatin1String(".desktop"), Qt::CaseInsensitive) ||
           path.endsWith(QLatin1String(".kdelnk"), Qt::CaseInsensitive);
}

// The icon an entry's Icon value names.
QIcon entryIcon(const QString &value)
{
    if (value.isEmpty())
        return {};
    if (QDir::isAbsolutePath(value))
        return iconFromImageFile(value);
    QIcon themed = QIcon::fromTheme(value);
    if (!themed.isNull())
        return themed;
    // Older entries name a picture in the shared pixmaps folders.
    const QStringList dataDirs = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    for (const QString &dir : dataDirs) {
        for (const char *ext : {".png", ".svg", ".xpm"}) {
            QIcon icon = iconFromImageFile(dir + QStringLiteral("/pixmaps/") + value + QLatin1String(ext));
            if (!icon.isNull())
                return icon;
        }
    }
    return {};
}

} // namespace

DesktopShellItems::DesktopShellItems() = default;
DesktopShellItems::~DesktopShellItems() = default;

QFileInfo DesktopShellItems::probe(const QString &path)
{
    // The item icon rule asks about one path several times in a row: what the file system
    // said the first time is used for the next question about the same path, once.
    if (m_probed && m_probePath == path) {
        m_probed = false;
        return m_probe;
    }
    m_probed = false;
    return QFileInfo(path);
}

bool DesktopShellItems::isShortcut(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    m_probe = info;
    m_probePath = path;
    m_probed = true;
    if (info.isSymLink())
        return true;
    return isEntryName(path) && info.isFile();
}

QIcon DesktopShellItems::shortcutTargetIcon(const QString &path)
{
    const QFileInfo info = probe(path);
    if (info.isSymLink())
        return icon(info.symLinkTarget());
    if (!isEntryName(path) || !info.isFile())
        return {};
    const std::optional<DesktopEntry> entry = readDesktopEntry(path);
    return entry ? entryIcon(entry->icon) : QIcon();
}

QIcon DesktopShellItems::icon(const QString &path)
{
    if (path.isEmpty())
        return {};
    const QFileInfo info = probe(path);
    if (!m_provider)
        m_provider = std::make_unique<QFileIconProvider>();
    QIcon icon = m_provider->icon(info);
    // A link whose target is gone is still a file of its own: it shows as one.
    if (icon.isNull() && info.isSymLink())
        icon = m_provider->icon(QAbstractFileIconProvider::File);
    return icon;
}

QString DesktopShellItems::desktopFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    return folder.isEmpty() ? QDir::homePath() : QDir::toNativeSeparators(folder);
}

QIcon ItemIcon(ShellItems &shell, const QString &path, LinkFallback fallback)
{
    if (!shell.isShortcut(path))
        return shell.icon(path);
    QIcon icon = shell.shortcutTargetIcon(path);
    if (icon.isNull() && fallback == LinkFallback::OwnIcon)
        icon = shell.icon(path);
    return icon;
}

} // namespace zorv
