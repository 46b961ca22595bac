#pragma once

#include "store/textlist.h"

#include <QWidget>

#include <functional>

class QAction;
class QMenu;

namespace zorv {

class IconList;
class Paths;
struct Services;

// The shortcut list: one line per kept item, name "<>" path, in the order of adding.
inline const QString kShortcutListFile = QStringLiteral("Dados\\ma.list");

// The shortcut center of the Desk page: the grid of the items the user keeps, each with
// its icon and name, started by a double click or Enter through the companion launcher
// (the suite window closes as it starts). Files dropped onto the suite window are added.
// While the program filter is on, the grid lists the employee list instead.
class ShortcutCenter : public QWidget
{
    Q_OBJECT

public:
    ShortcutCenter(const Paths &paths, Services &services, QWidget *parent = nullptr);

    // The lines of the employee list the program restriction keeps; none until set.
    void setEmployeeList(std::function<QStringList()> lines) { m_employeeLines = std::move(lines); }
    bool programFilterOn() const;
    // Whether "Excluir" has an item to act on.
    bool canDelete() const;

    TextList lat;            // the lines of "Dados\ma.list"
    IconList *LVx = nullptr; // the grid
    QMenu *PopupMenu2 = nullptr;
    QAction *Excluir1 = nullptr;
    QAction *Atualizar2 = nullptr;

public slots:
    // Creation: lat from the file, when it exists.
    void LoadShortcutList();
    // Every show: lat emptied, then loaded from the file when it exists.
    void LoadShortcuts();
    // Reloads lat and rebuilds the grid from the list the filter chooses.
    void Atualizar2Click();
    // Rebuilds the grid from lat.
    void getitem();
    // Rebuilds the grid from the employee list.
    void GetIL2();
    void Excluir1Click();
    // Starts the selected item.
    void LVxDblClick();
    // Adds one line per dropped path, saves once and rebuilds once.
    void dropFiles(const QStringList &paths);

private:
    QString listFile() const;
    void rebuild();

    const Paths &m_paths;
    Services &m_services;
    std::function<QStringList()> m_employeeLines;
};

} // namespace zorv
