#pragma once

#include "hiddenmainwindow.h"
#include "suitewindow.h"
#include "taskbarwindow.h"

#include "security/password.h"
#include "store/flagfile.h"

class QApplication;

namespace zorv {

class ExitSignals;
class AppointmentsPage;
class AudioPage;
class AliasPage;
class ActivityMapPage;
class BackupBar;
class DeskPage;
class FinancePage;
class ProgramRestriction;
class SettingsPage;
class PhoneBookPage;
class DiaryPage;
class NotesPage;
class TrainerPage;
class WordLookupPage;

// The three windows, created in this order and alive until the program ends: the main
// window HiddenMainWindow first (so it is the application's main window), the suite window SuiteWindow,
// the task bar window TaskBarWindow.
class WindowSet
{
public:
    WindowSet(Services &services, const Paths &paths);

    // The run's access password (its copy mirrored in HiddenMainWindow's LBS) and the staging list
    // every switch writes its flag file from. Built before the windows that use them.
    PasswordStore password;
    FlagStaging LB;

    HiddenMainWindow tops;
    SuiteWindow tats;
    TaskBarWindow taa1;
    // The pages, owned by the suite window; each on its sheet.
    DeskPage *desk = nullptr;                  // page 0
    AliasPage *aliases = nullptr;              // page 1
    AudioPage *audio = nullptr;                // page 2
    NotesPage *notes = nullptr;                // page 3
    DiaryPage *diary = nullptr;                // page 4
    AppointmentsPage *appointments = nullptr;  // page 5
    FinancePage *finance = nullptr;            // page 6
    ActivityMapPage *activityMap = nullptr;    // page 7
    PhoneBookPage *phoneBook = nullptr;        // page 8
    WordLookupPage *wordLookup = nullptr;      // page 9
    TrainerPage *trainer = nullptr;            // page 10
    SettingsPage *settings = nullptr;          // page 11
    ProgramRestriction *restriction = nullptr; // in the settings page's right column
    BackupBar *backup = nullptr;               // in the suite window's bottom panel

    // A click on the main window's appointment icon: the icon hides, the suite window
    // opens on the appointments page and, a second later, lists today's appointments.
    void CompClick();
};

// How the program ends when the desktop session ends (SIGTERM, SIGHUP, the session
// manager's quit) rather than by the user: the close step's saves run first, then Sai.
void endOnSessionSignals(ExitSignals &exitSignals, WindowSet &windows);

// The text of the message that the last close could not write `texts` (named as the user
// knows them); they are still shown and the next close writes them.
QString saveFailedMessage(const QStringList &texts);

// The whole start of the program after the single-instance guard was claimed: the
// window set, the no-tray fallback, HiddenMainWindow's show step once the event loop runs. Returns
// when the event loop ends; the exit code is always 0.
int runDesk(QApplication &app, Services &services, const Paths &paths);

// main(): claims the guard, ends at once (exit code 0) when another copy runs, else
// builds the application and runs it.
int deskMain(int argc, char **argv);

} // namespace zorv
