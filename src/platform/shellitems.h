#pragma once

#include <QFileInfo>
#include <QIcon>
#include <QString>

#include <memory>

class QFileIconProvider;

namespace zorv {

// What the desktop knows about files and folders: their icons, which items are shortcuts
// to other items, and where the user's desktop folder is. Shortcuts are symbolic links
// and desktop entry files.
class ShellItems
{
public:
    virtual ~ShellItems() = default;

    // A symbolic link, or a desktop entry file.
    virtual bool isShortcut(const QString &path) = 0;
    // The icon a shortcut stands for: a link's target's icon; an entry's Icon (a theme
    // name, then pixmaps/<name>.png|.svg|.xpm in the data folders, or an image file).
    // Null when there is none.
    virtual QIcon shortcutTargetIcon(const QString &path) = 0;
    // The item's own icon; null when nothing is there.
    virtual QIcon icon(const QString &path) = 0;
    // The user's desktop folder.
    virtual QString desktopFolder() = 0;
};

// The desktop's own icons (QFileIconProvider, the icon theme) and its desktop folder.
class DesktopShellItems final : public ShellItems
{
public:
    DesktopShellItems();
    ~DesktopShellItems() override;

    bool isShortcut(const QString &path) override;
    QIcon shortcutTargetIcon(const QString &path) override;
    QIcon icon(const QString &path) override;
    QString desktopFolder() override;

private:
    QFileInfo probe(const QString &path);

    std::unique_ptr<QFileIconProvider> m_provider;
    QFileInfo m_probe;
    QString m_probePath;
    bool m_probed = false;
};

// What a shortcut shows when its target gives no icon.
enum class LinkFallback {
    None,    // no icon
    OwnIcon, // the shortcut file's own icon
};

// The icon of a listed item: a shortcut shows its target's icon (or the fallback), any
// other item its own icon. Null when there is none; the item is listed all the same.
QIcon ItemIcon(ShellItems &shell, const QString &path, LinkFallback fallback = LinkFallback::OwnIcon);

} // namespace zorv
