#pragma once

#include "taa1.h"
#include "tats.h"
#include "tops.h"

#include "security/password.h"
#include "store/flagfile.h"

class QApplication;

namespace zorv {

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
class FinancePage;
class NotesPage;

// The three windows, created in this order and alive until the program ends: the main
// window TOPS first (so it is the application's main window), the suite window TATS,
// the task bar window Taa1.
class WindowSet
{
public:
    WindowSet(Services &services, const Paths &paths);

    // The run's access password (its copy mirrored in TOPS's LBS) and the staging list
    // every switch writes its flag file from. Built before the windows that use them.
    PasswordStore password;
    FlagStaging LB;

    TOPS tops;
    TATS tats;
    Taa1 taa1;
    FinancePage *finance = nullptr;           // on page 6 of the suite window, which owns it
    BackupBar *backup = nullptr;              // in the suite window's bottom panel, which owns it
    SettingsPage *settings = nullptr;         // on page 11 of the suite window, which owns it
    AppointmentsPage *appointments = nullptr; // on page 5 of the suite window

    // A click on the main window's appointment icon: the icon hides, the suite window
    // opens on the appointments page and, a second later, lists today's appointments.
    void CompClick();
    AudioPage *audio = nullptr;               // on page 2 of the suite window, which owns it
    DeskPage *desk = nullptr;                 // on page 0
    AliasPage *aliases = nullptr;             // on page 1
    ProgramRestriction *restriction = nullptr; // in the settings page's right column
    PhoneBookPage *phoneBook = nullptr;     // on page 8
    ActivityMapPage *activityMap = nullptr; // on page 7
    NotesPage *notes = nullptr;     // on page 3 of the suite window, which owns it
    DiaryPage *diary = nullptr;     // on page 4 of the suite window, which owns it
};

// The whole start of the program after the single-instance guard was claimed: the
// window set, the no-tray fallback, TOPS's show step once the event loop runs. Returns
// when the event loop ends; the exit code is always 0.
int runDesk(QApplication &app, Services &services, const Paths &paths);

// main(): claims the guard, ends at once (exit code 0) when another copy runs, else
// builds the application and runs it.
int deskMain(int argc, char **argv);

} // namespace zorv
