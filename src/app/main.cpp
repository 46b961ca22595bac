#include "windowset.h"

#include "platform/datafolder.h"
#include "platform/dialogs.h"
#include "store/paths.h"

#include <QApplication>

int main(int argc, char **argv)
{
    // An installed program keeps the user's finances in a folder of the user's own, before
    // anything is written: every file it creates is the user's alone, and a folder someone
    // else owns or can change is never adopted (its files could be read, planted or swapped).
    const zorv::ProgramPlacement place = zorv::runningPlacement();
    if (place.inUserData) {
        zorv::restrictNewFilesToOwner();
        const zorv::FolderTrust trust = zorv::claimUserDataFolder(place.baseDir);
        if (trust != zorv::FolderTrust::Own) {
            QApplication app(argc, argv);
            QGuiApplication::setApplicationDisplayName(QStringLiteral("Zorv Desk"));
            zorv::WidgetDialogs dialogs(zorv::Paths::defaultWindowsDirectory());
            zorv::refuseDataFolder(dialogs, place.baseDir, trust);
            return 1;
        }
    }
    return zorv::deskMain(argc, argv);
}
