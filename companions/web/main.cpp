// The companion launcher: opens the one target named in "Dados/Web.start" (beside it, or in
// the user's data folder when installed) with whatever the desktop associates with it,
// then ends. Started hidden, without arguments,
// each time the program hands something off.
#include "opentarget.h"
#include "reports/launcher.h"
#include "store/paths.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QProcess>
#include <QTimer>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const zorv::ProgramPlacement place = zorv::runningPlacement();
    const zorv::Paths paths(place.baseDir, QString(), place.companionDir);

    // A missing or empty hand-off file: nothing to open.
    const std::optional<QString> target = zorv::readHandOffTarget(paths);
    if (!target)
        return 0;

    const zorv::OpenAction action = zorv::classifyTarget(*target, paths);
    switch (action.kind) {
    case zorv::OpenAction::Nothing:
        return 0;
    case zorv::OpenAction::Start:
        QProcess::startDetached(action.program, action.arguments, action.folder);
        return 0;
    case zorv::OpenAction::Open:
        if (!QDesktopServices::openUrl(action.url))
            return 0;
        break;
    }
    // The desktop's handler may be asked over the session bus: give the request a moment to
    // leave before the process ends.
    QTimer::singleShot(1000, &app, &QCoreApplication::quit);
    return app.exec();
}
