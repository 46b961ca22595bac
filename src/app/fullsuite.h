#pragma once

#include "store/paths.h"
#include "store/writeresult.h"

#include <QMenu>
#include <QObject>

class QAction;

namespace zorv {

class SuiteWindow;

// The property that marks the page menu's entries hidden in its layout; the full suite
// shows them.
inline constexpr char kHiddenPageMenuEntry[] = "zorvHiddenEntry";

// True while the full suite is switched on: its flag file exists in the data folder.
bool fullSuiteFlagSet(const Paths &paths);
// Writes (one marker line) or removes the flag file. True when the file is as asked afterwards.
WriteResult setFullSuiteFlag(const Paths &paths, bool on);

// The tray icon's menu while the full suite is on.
class FullSuiteTrayMenu : public QMenu
{
    Q_OBJECT
public:
    explicit FullSuiteTrayMenu(QWidget *parent = nullptr);

    QAction *open = nullptr;      // "Abrir": as a click on the icon
    QAction *suiteFull = nullptr; // "Suite completa": checkable, switches the mode
    QAction *quit = nullptr;      // "Sair": saves, ends the companion and the program
};

// The opt-in full suite of the suite window. While the flag file exists every page is
// reachable: the page bar lies on the strip PNN, "Sessões" shows in the bottom panel, the
// page menu offers every entry, the tray icon has its menu. Without the file the window is
// exactly as it always was. The mode is read from the file on every show, and follows at
// once when it is switched from the tray menu or the settings page.
class FullSuite : public QObject
{
    Q_OBJECT
public:
    FullSuite(SuiteWindow &window, const Paths &paths);

    bool isOn() const { return m_on; }
    FullSuiteTrayMenu *trayMenu() const { return m_trayMenu; }

public slots:
    // Reads the flag file and puts the window in the mode it names.
    void refresh();
    // Writes or removes the flag file, then refreshes.
    void switchTo(bool on);

signals:
    // After each refresh that changed the mode.
    void changed(bool on);

private:
    void apply(bool on);

    SuiteWindow &m_window;
    const Paths &m_paths;
    FullSuiteTrayMenu *m_trayMenu = nullptr;
    bool m_on = false;
};

} // namespace zorv
