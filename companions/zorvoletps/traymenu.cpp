#include "traymenu.h"

#include "platform/singleinstance.h"

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
