#include "traymenu.h"

#include "platform/singleinstance.h"
#include "sessionstart.h"
#include "store/flagfile.h"

#include <QAction>
#include <QCoreApplication>

namespace zorv {

CompanionTrayMenu::CompanionTrayMenu(SingleInstance &program, QWidget *parent)
    : QMenu(parent)
    , m_program(program)
{
    setObjectName(QStringLiteral("CompanionTrayMenu"));
    stopMusic = addAction(QStringLiteral("Parar m\u00fasica"));
    stopMusic->setObjectName(QStringLiteral("stopMusic"));
    stopMusic->setVisible(false);
    quit = addAction(QStringLiteral("Sair"));
    quit->setObjectName(QStringLiteral("quit"));
    connect(this, &QMenu::aboutToShow, this, &CompanionTrayMenu::refresh);
    connect(stopMusic, &QAction::triggered, this, &CompanionTrayMenu::stopMusicClick);
    connect(quit, &QAction::triggered, qApp, [] { QCoreApplication::exit(0); });
}

void CompanionTrayMenu::setSuiteFullFlag(const QString &path)
{
    if (suiteFull || path.isEmpty())
        return;
    suiteFull = new QAction(QStringLiteral("Suite completa"), this);
    suiteFull->setObjectName(QStringLiteral("suiteFull"));
    suiteFull->setCheckable(true);
    suiteFull->setChecked(flagFileExists(path));
    insertAction(quit, suiteFull);
    connect(this, &QMenu::aboutToShow, suiteFull,
            [this, path] { suiteFull->setChecked(flagFileExists(path)); });
    connect(suiteFull, &QAction::triggered, this, [this, path](bool on) {
        // A switch that could not be written is logged by the store; the check mark then
        // shows what the file really says.
        const WriteResult switched = on ? writeFlagFile(path) : deleteFlagFile(path);
        Q_UNUSED(switched)
        suiteFull->setChecked(flagFileExists(path));
    });
}

void CompanionTrayMenu::refresh()
{
    stopMusic->setVisible(m_program.ask(kMusicPlayingRequest) == "yes");
}

void CompanionTrayMenu::stopMusicClick()
{
    m_program.ask(kStopMusicRequest);
    stopMusic->setVisible(false);
}

} // namespace zorv

namespace zorv {

void CompanionTrayMenu::addSessionStart(SessionStart &start)
{
    sessionStart = new QAction(QStringLiteral("Iniciar com a sess\u00e3o"), this);
    sessionStart->setObjectName(QStringLiteral("sessionStart"));
    sessionStart->setCheckable(true);
    sessionStart->setChecked(start.isOn());
    insertAction(quit, sessionStart);
    connect(this, &QMenu::aboutToShow, sessionStart,
            [this, &start] { sessionStart->setChecked(start.isOn()); });
    // A write that fails is logged where it failed; the tick then shows the entry as it
    // really is, which is all the menu can show.
    connect(sessionStart, &QAction::triggered, this, [this, &start](bool on) {
        const WriteResult switched = start.setOn(on);
        Q_UNUSED(switched)
        sessionStart->setChecked(start.isOn());
    });
}

} // namespace zorv
