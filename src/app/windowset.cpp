#include "windowset.h"

#include "finance/financepage.h"
#include "platform/identity.h"

#include <QApplication>
#include <QSystemTrayIcon>
#include <QTimer>

namespace zorv {

WindowSet::WindowSet(Services &services, const Paths &paths)
    : tops(services)
    , tats(services, paths, tops)
    , taa1(services)
{
    tats.setTaskBarWindow(&taa1);
    finance = new FinancePage(paths, services);
    tats.setFinancePage(finance);
    // Each show reloads what the finance page shows: nothing is cached between shows.
    tats.addShowStep([this] {
        finance->Atualizar3Click();
        finance->ReadSymbol();
        finance->SetDateToToday();
        finance->FocusValue();
    });
}

int runDesk(QApplication &app, Services &services, const Paths &paths)
{
    WindowSet windows(services, paths);
    // Without a notification area the icon cannot be clicked: the suite window shows at
    // once, and a second start asks this copy to show it again instead of doing nothing.
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        services.instance.serveShowRequests([&windows] { windows.tats.ShowSuite(); });
        windows.tats.ShowSuite();
    }
    QTimer::singleShot(0, &windows.tops, &TOPS::FormShow);
    app.exec();
    return 0;
}

int deskMain(int argc, char **argv)
{
    FileLockInstance instance(instanceName());
    if (instance.claim() == SingleInstance::Claim::AlreadyRunning) {
        // No window, nothing shown; a running copy without tray icon is asked to show its
        // suite window, one with a tray icon does not listen and is left alone.
        QCoreApplication app(argc, argv);
        instance.requestShow();
        return 0;
    }

    QApplication app(argc, argv);
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Zorv Desk"));
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/zorv/zorv-desk.png")));
    // Closing the suite window only hides it; the program lives on in the tray.
    QApplication::setQuitOnLastWindowClosed(false);

    RealServices real(instance);
    const Paths paths = Paths::forApplication();
    return runDesk(app, real.services(), paths);
}

} // namespace zorv
