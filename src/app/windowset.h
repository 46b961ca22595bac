#pragma once

#include "taa1.h"
#include "tats.h"
#include "tops.h"

class QApplication;

namespace zorv {

class BackupBar;
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

    TOPS tops;
    TATS tats;
    Taa1 taa1;
    FinancePage *finance = nullptr; // on page 6 of the suite window, which owns it
    BackupBar *backup = nullptr;    // in the suite window's bottom panel, which owns it
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
