#pragma once

#include <QWidget>

#include <functional>

class QAction;
class QLabel;
class QListWidgetItem;
class QMenu;

namespace zorv {

class IconList;
class Paths;
struct Services;

// What a browsed file is, by its extension (from the last dot, letter case kept: "FOTO.JPG"
// is not a picture here): a double click opens a folder, plays a track, and hands anything
// else to the Web launcher; a selected picture shows in the preview.
enum class BrowsedKind { Folder, Music, Picture, Other };
BrowsedKind browsedKind(const QString &path, bool isFolder);
QString browsedExtension(const QString &path);

// The entries of a folder as the browser lists them: folders first, then files, each by
// name without regard to case; hidden entries left out.
QStringList browsedEntries(const QString &folder);

// The folder browser of the Desk page: the entries of the current folder with their icons,
// a preview of a selected picture, and what a double click or another mouse button does.
class FolderBrowser : public QWidget
{
    Q_OBJECT

public:
    inline static const QSize kPreviewSize{184, 100};

    FolderBrowser(const Paths &paths, Services &services, QWidget *parent = nullptr);

    // Hands a track to the audio page: its folder becomes the music folder and the first
    // track beginning with `caption` plays. Nothing is played until one is set.
    void setMusicOpener(std::function<void(const QString &folder, const QString &caption)> opener)
    {
        m_musicOpener = std::move(opener);
    }
    QString folder() const { return m_folder; }

    IconList *LV = nullptr;  // the entries of the current folder
    QWidget *pimg = nullptr; // the preview's rounded frame
    QLabel *IMG = nullptr;   // the preview
    QWidget *pr = nullptr;   // the social-network panel
    QMenu *LVShellMenu = nullptr;
    QAction *Abrir = nullptr;
    QAction *Explorar = nullptr;

signals:
    // A folder was opened from the list: it is to become the current folder.
    void folderOpened(const QString &caption, const QString &path);

public slots:
    // The folder to list; listed now when the list shows, else as soon as it does.
    void setFolder(const QString &path);
    // Creation: the preview frame gets its rounded corners.
    void PictureCorners();
    // Show step: the panel pr is enabled only while the program filter is off.
    void FolderPanel();
    void LVDblClick();
    void LVSelectItem();
    void LVMouseLeave();
    // Another mouse button than the left one over the list, at `globalPos`.
    void LVMouseDown(const QPoint &globalPos);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void list();
    QListWidgetItem *selectedEntry() const;

    const Paths &m_paths;
    Services &m_services;
    std::function<void(const QString &, const QString &)> m_musicOpener;
    QString m_folder;
    QString m_menuPath; // the entry the shell menu was opened on
};

} // namespace zorv
