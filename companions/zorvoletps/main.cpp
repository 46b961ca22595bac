// The suite's companion. While it runs, zorv-desk keeps running: it owns a top-level
// window titled "zorvoletps" (created, never shown; zorv-desk finds it among the X
// server's windows) and answers on a local socket for platforms where windows of other
// programs cannot be searched. At start it launches zorv-desk from its own folder (when
// installed, from the programs' install folder). Its tray menu stops zorv-desk's music
// ("Parar música", while it plays), switches the full suite ("Suite completa") and, when
// ticked, starts the companion with the session ("Iniciar com a sessão"). It ends when the
// user picks "Sair" in its tray menu or in the program's, or with the session.

#include "platform/companion.h"
#include "platform/datafolder.h"
#include "platform/identity.h"
#include "platform/singleinstance.h"
#include "sessionstart.h"
#include "store/flagfile.h"
#include "store/logging.h"
#include "store/paths.h"
#include "traymenu.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPixmap>
#include <QProcess>
#include <QSystemTrayIcon>
#include <QWidget>

namespace {

QIcon companionIcon()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 65, 116));
    painter.drawEllipse(2, 2, 28, 28);
    painter.setBrush(QColor(242, 194, 48));
    painter.drawEllipse(10, 10, 12, 12);
    return QIcon(pixmap);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    const QString title = zorv::companionTitle();
    // Started again while one runs (the menu entry clicked twice): that one is enough, and a
    // second would put a second icon in the tray.
    if (zorv::LocalSocketPresence(zorv::companionSocketPath(title)).isPresent())
        return 0;

    // An installed suite keeps the user's files owner-only, in a data folder of the user's own.
    // Over any other the companion stays out of the way: the program, started once, tells
    // the user which folder and why, and ends.
    const zorv::ProgramPlacement place = zorv::runningPlacement();
    const QString desk = QDir(place.deskDir).filePath(QStringLiteral("zorv-desk"));
    if (place.inUserData) {
        zorv::restrictNewFilesToOwner();
        if (zorv::claimUserDataFolder(place.baseDir) != zorv::FolderTrust::Own) {
            if (QFileInfo(desk).isExecutable())
                QProcess::startDetached(desk, {}, place.deskDir);
            return 0;
        }
    }

    // The window the companion watch looks for. winId() creates it on the window system
    // without mapping it.
    QWidget window;
    window.setWindowTitle(title);
    window.winId();

    zorv::PresenceBeacon beacon;
    beacon.start(zorv::companionSocketPath(title));
    // The program's "Sair" takes the companion along.
    QObject::connect(&beacon, &zorv::PresenceBeacon::endRequested, &app, [] { QCoreApplication::exit(0); });

    // The running program, asked through its request channel (never claimed from here).
    zorv::FileLockInstance program(zorv::instanceName());
    QSystemTrayIcon tray(companionIcon());
    zorv::SessionStart sessionStart(QCoreApplication::applicationFilePath());
    zorv::CompanionTrayMenu menu(program);
    // The data folder is found as the program finds it.
    menu.setSuiteFullFlag(zorv::Paths::forApplication().resolve(zorv::kSuiteFullFlag));
    menu.addSessionStart(sessionStart);
    tray.setToolTip(title);
    tray.setContextMenu(&menu);
    if (QSystemTrayIcon::isSystemTrayAvailable())
        tray.show();

    if (QFileInfo(desk).isExecutable() && !QProcess::startDetached(desk, {}, place.deskDir))
        qCWarning(lcApp) << "program not started:" << desk;

    // Ending by a signal (the session closing) leaves the socket file behind; nobody answers
    // on it, so it reads as "absent" and the next companion takes it over.
    app.exec();
    beacon.stop();
    return 0;
}
