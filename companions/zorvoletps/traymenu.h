#pragma once

#include <QMenu>

class QAction;

namespace zorv {

class SessionStart;
class SingleInstance;

// The companion's tray menu: "Parar música" while the program's music plays, then "Sair".
// Each time the menu opens it asks the running program whether its music plays; the entry
// asks it to stop. Without a running program the entry stays hidden.
class CompanionTrayMenu : public QMenu
{
    Q_OBJECT
public:
    explicit CompanionTrayMenu(SingleInstance &program, QWidget *parent = nullptr);

    QAction *stopMusic = nullptr;    // "Parar música"
    QAction *suiteFull = nullptr;    // "Suite completa", once setSuiteFullFlag() named its file
    QAction *quit = nullptr;         // "Sair"
    QAction *sessionStart = nullptr; // "Iniciar com a sessão", once addSessionStart() ran

    // Adds the checkable "Iniciar com a sessão" before "Sair": ticking it writes the
    // autostart entry, unticking removes it; each time the menu opens the tick follows
    // the entry as it is on disk.
    void addSessionStart(SessionStart &start);

    // Offers "Suite completa", ticked while the flag file `path` exists; the entry writes or
    // removes that file, and the program follows at the next show of its window.
    void setSuiteFullFlag(const QString &path);

public slots:
    // Shows "Parar música" exactly while the program answers that its music plays.
    void refresh();
    void stopMusicClick();

private:
    SingleInstance &m_program;
};

} // namespace zorv
