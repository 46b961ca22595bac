#pragma once

#include "guarded.h"

#include <QList>

#include <array>
#include <functional>

namespace zorv {

// The ordered steps of the suite window's life: what it does once when the program
// starts, on every show, when the fade-in has ended, and on every close. Each list below
// is the one place that fixes the order; the window and each page put their work into
// the slot named for it (SuiteWindow::addCreateStep, addShowStep, addAfterFadeStep,
// addCloseStep). A slot whose page is not built yet stays empty and is skipped. Each step
// runs on its own: one that fails ends quietly without stopping the steps after it.

// Once, after every page has been placed on its sheet (SuiteWindow::FormCreate).
enum class CreateStep {
    MasterVolume,      // media: enable TMVL; the remembered playlist position becomes 0
    InterfaceColour,   // window: the colour of "dados\interface.col"
    Geometry,          // window: top 0, screen width, screen height - 54; hidden, off the task bar
    Today,             // appointments: DC; diary: cal - the current date
    Panels,            // window: PDG fills, PNN as wide as the screen; audio player: gg width 0
    PictureCorners,    // folder history: rounded corners of pimg
    ProgramFilter,     // window: HiddenMainWindow's FC tag from "\MSDriver.dat"; program restriction: C4
    DeferredTimers,    // personal trainer: TMPRS; settings: TMCHK; program restriction: TMLL
    PageStrip,         // window: PNN at top -4, left 0; page 0 selected
    AutostartFlag,     // settings: c3 from "\WStart.dat"
    ListHooks,         // window: the hooked lists never show scroll bars
    VolumeInterface,   // master volume: CriV
    ShortcutsAndDates, // shortcut center: lat from "Dados\ma.list"; appointments: LM, "Tasks.go"
    SoundFlag,         // settings: nrs from "dados\Sound.viw"
    BackupSettings,    // backup bar: LCS, CS and LC from "dados\Back.auto"
    AutoPlay,          // audio player: "Dados\Auto.rep" into rep, Timer5 when a track is named
    Count
};

// Every time the window is shown (SuiteWindow::FormShow). LoadFirst..LoadLast is LoadAll.
enum class ShowStep {
    FullScreen,           // window: top 0, left 0, the whole screen
    Foreground,           // window: ForceForeground
    UnusedSheets,         // window: the sheets of pages 0, 1, 9, 10 and 11 keep their content hidden
    BackupStatus,         // backup bar: clear wst
    FolderPanel,          // folder history: pr enabled only without "\MSDriver.dat"
    Dividers,             // window: Colors
    InterfaceColour,      // window: the colour of "dados\interface.col"
    Sound,                // window: "Dados\Media\Typing.wav"
    FinanceInFront,       // window: page 6; finance: the focus in FN1
    FadeIn,               // window: opacity 0, Alpha started
    ContentPanel,         // window: PDG between header and bottom panel (its layout keeps it there)
    ResetFields,          // folder history: edn "Desktop"; word lookup: prt; settings: esh, DBF
    MinimiseAll,          // window: Mini of the task bar window
    SaveFailedNotice,     // organizer: tells which typed texts the last close could not write
    Today,                // finance: fn2; appointments: DC; diary: cal; activity map: z2; aliases: LNA, ina
    LoadHistory,          // folder history: PN, PN2 from "history.nav", "history.naveg"
    LoadQuickNotes,       // quick notes: AN from "dados\Notas\Notas.speed"
    LoadActivityNotes,    // activity map: MLPC from "dados\Notas\Map.next"
    LoadAliases,          // aliases: LBT from "dados\Speed.Run"
    LoadShortcuts,        // shortcut center: lat from "Dados\ma.list"; aliases: TMli when it exists
    LoadDiaryList,        // diary: LBD from the names in "dados\Diary"
    LoadMonthList,        // finance: lvd1 from the names in "dados\Finance"
    LoadSlides,           // slide show: "dados\Slide.list"
    LoadAppointments,     // appointments: "dados\Notas\Tasks.go"
    LoadPlaylist,         // audio player: "dados\Play.list"; stop when the list emptied while playing
    LoadPlaylistPosition, // audio player: the remembered position in FL2
    MonthListAgain,       // finance: listed once, in LoadMonthList - nothing in between changes it
    Symbol,               // finance: SBM from "dados\Money.sbm"
    DiaryListAgain,       // diary: the names in "dados\Diary" (a page listed in LoadAll need not repeat it)
    Count,
    LoadFirst = LoadHistory,
    LoadLast = LoadPlaylistPosition,
};

// When the fade-in has ended: TMTT's tick, 200 ms later.
enum class AfterFadeStep {
    MonthList,       // finance: the month list refreshed
    ShortcutCenter,  // shortcut center: its refresh
    Foreground,      // window: to the foreground
    QuickNotesFocus, // quick notes: AN takes the focus, only while its page is in front
    Count
};

// Every close, before the window is hidden (SuiteWindow::FormClose). Empty editors save nothing,
// so their earlier file stays and is loaded again at the next show.
enum class CloseStep {
    EndCorrection,     // finance: a correction under way is given up, its entry kept
    StopFolderTimer,   // folder history: TMLD off; appointments: MC cleared
    SaveQuickNotes,    // quick notes: AN to "dados\Notas\Notas.speed" when it holds text
    SaveActivityNotes, // activity map: MLPC to "dados\Notas\Map.next" when it holds text
    SaveDiaryPage,     // diary: RE to "dados\Diary\" + cal as dd.mm.yyyy when it holds text
    Count
};

// The steps of one of the lists above, by slot; run() goes through the slots in order and,
// within a slot, in the order the steps were added.
template<typename Slot> class StepSequence
{
public:
    void add(Slot slot, std::function<void()> step) { m_slots[index(slot)].append(std::move(step)); }

    void run() const { run(Slot(0), Slot(int(Slot::Count) - 1)); }
    // The slots first..last, both included.
    void run(Slot first, Slot last) const
    {
        for (int i = index(first); i <= index(last); ++i) {
            for (const auto &step : m_slots[i])
                guarded(step);
        }
    }

    bool isEmpty(Slot slot) const { return m_slots[index(slot)].isEmpty(); }

private:
    static int index(Slot slot) { return int(slot); }

    std::array<QList<std::function<void()>>, size_t(Slot::Count)> m_slots;
};

} // namespace zorv
