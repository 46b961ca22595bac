// The companion launcher: opens the one target named in "Dados/Web.start" (beside it, or in
// the user's data folder when installed) with whatever the desktop associates with it,
// then ends. Started hidden, without arguments,
// each time the program hands something off.
#include "carryout.h"
#include "opentarget.h"
#include "platform/datafolder.h"
#include "platform/dialogs.h"
#include "reports/launcher.h"
#include "store/logging.h"
#include "store/paths.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

int main(int argc, char *argv[])
{
    // The programs started from here create files as the user's programs always do, not
    // owner-only as the suite's own files are.
    zorv::restoreUsualNewFileMode();
    QApplication app(argc, argv);
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Zorv Desk"));
    QApplication::setQuitOnLastWindowClosed(false);
    const zorv::ProgramPlacement place = zorv::runningPlacement();
    const zorv::Paths paths(place.baseDir, QString(), place.companionDir);

    // A data folder someone else owns or can change holds a hand-off nobody can vouch for.
    if (place.inUserData &&
        zorv::folderTrust(place.baseDir, zorv::kDataFolderForbiddenModes) != zorv::FolderTrust::Own) {
        qCWarning(lcLauncher).noquote() << "Not reading the hand-off file: the data folder"
                                        << QDir::toNativeSeparators(place.baseDir) << "is not the user's own";
        return 0;
    }

    // A missing or empty hand-off file: nothing to open.
    const std::optional<QString> target = zorv::readHandOffTarget(paths);
    if (!target)
        return 0;

    zorv::WidgetDialogs dialogs(zorv::Paths::defaultWindowsDirectory());
    const zorv::OpenAction action = zorv::classifyTarget(*target, paths);
    if (!zorv::carryOut(action, dialogs) || action.kind != zorv::OpenAction::Open)
        return 0;
    // The desktop's handler may be asked over the session bus: give the request a moment to
    // leave before the process ends.
    QTimer::singleShot(1000, &app, &QCoreApplication::quit);
    return app.exec();
}
