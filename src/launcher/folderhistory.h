#pragma once

#include "store/textlist.h"

#include <QWidget>

class QAction;
class QLabel;
class QListWidget;
class QMenu;

namespace zorv {

class LinkLabel;
class Paths;
struct Services;

// The folder history: display names in one file, full paths in the other, line i of one
// belonging to line i of the other.
inline const QString kHistoryNamesFile = QStringLiteral("dados\\history.nav");
inline const QString kHistoryPathsFile = QStringLiteral("dados\\history.naveg");

// The folder history of the Desk page: the current folder ("Pasta:"), the folders the user
// saved, and a click on a saved one to make it current again.
class FolderHistory : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kRowHeight = 20;
    inline static const QString kDesktopCaption = QStringLiteral("Desktop");

    FolderHistory(const Paths &paths, Services &services, QWidget *parent = nullptr);

    // The current folder: its display name and full path.
    QString currentCaption() const;
    QString currentFolder() const;
    // Whether "Excluir" has a chosen history entry to act on.
    bool canDelete() const { return m_chosen >= 0; }

    QLabel *Label1 = nullptr;  // "Histórico"
    QListWidget *PN = nullptr; // the saved folders' names
    TextList PN2;              // their paths
    QLabel *edn = nullptr;     // the current folder: caption its name, tool tip (hint) its path
    LinkLabel *sh = nullptr;   // "Salvar"
    LinkLabel *sh2 = nullptr;  // "Mais pastas"
    LinkLabel *sh21 = nullptr; // "Desktop"
    QMenu *PopupMenu5 = nullptr;
    QAction *Excluir4 = nullptr;

signals:
    // The current folder changed.
    void folderChanged(const QString &path);

public slots:
    // Makes a folder current.
    void setCurrentFolder(const QString &caption, const QString &path);
    // Show step: PN and PN2 from their files, each when it exists.
    void LoadHistory();
    // Show step: the desktop folder is current again.
    void ResetFields();
    void shClick();
    // Saves the current folder to the history.
    void SavePT();
    // Removes the chosen entry from both files.
    void Excluir4Click();
    // A click on row `row` of PN makes its folder current.
    void PNClick(int row);

private:
    QString file(const QString &name) const;
    QStringList names() const;
    bool writeBoth(const QStringList &names, const QStringList &paths);

    const Paths &m_paths;
    Services &m_services;
    TextList m_names; // PN's file, for its encoding
    int m_chosen = -1;
};

} // namespace zorv
