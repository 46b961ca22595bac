#pragma once

#include "taa1.h"
#include "tats.h"
#include "tops.h"

class QApplication;

namespace zorv {

class ActivityMapPage;
class BackupBar;
class FinancePage;
class PhoneBookPage;

// The three windows, created in this order and alive until the program ends: the main
// window TOPS first (so it is the application's main window), the suite window TATS,
// the task bar window Taa1.
class WindowSet
{
public:
    WindowSet(Services &services, const Paths &paths);

    TOPS tops;
    TATS tats;
    Taa1 taa1;
    FinancePage *finance = nullptr;         // on page 6 of the suite window, which owns it
    BackupBar *backup = nullptr;            // in the suite window's bottom panel, which owns it
    PhoneBookPage *phoneBook = nullptr;     // on page 8
    ActivityMapPage *activityMap = nullptr; // on page 7
};

// The whole start of the program after the single-instance guard was claimed: the
// window set, the no-tray fallback, TOPS's show step once the event loop runs. Returns
// when the event loop ends; the exit code is always 0.
int runDesk(QApplication &app, Services &services, const Paths &paths);

// main(): claims the guard, ends at once (exit code 0) when another copy runs, else
// builds the application and runs it.
int deskMain(int argc, char **argv);

} // namespace zorv
