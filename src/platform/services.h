#pragma once

#include "audioplayback.h"
#include "clock.h"
#include "companion.h"
#include "dialogs.h"
#include "notifier.h"
#include "outputvolume.h"
#include "pageloader.h"
#include "policyvalues.h"
#include "printer.h"
#include "shellitems.h"
#include "singleinstance.h"
#include "soundplayer.h"
#include "system.h"

namespace zorv {

// Everything the program takes from the operating system, handed to each window and page
// by reference. main() builds the real set (RealServices); tests build FakeServices.
// The referenced objects outlive every window.
struct Services
{
    Clock &clock;
    Dialogs &dialogs;
    SingleInstance &instance;
    CompanionPresence &companion;
    ProgramStarter &programs;
    WindowMinimizer &minimizer;
    MemoryTrimmer &memory;
    PolicyValues &policies;
    AudioPlayback &audio;
    ShellItems &shell;
    OutputVolume &volume;
    Printer &printer;
    Notifier &notifier;
    SoundPlayer &sound;
    PageLoader &pages;
};

// The real services of a running program. Build it after the QApplication: the companion
// check depends on the platform the application runs on. `instance` is the guard main()
// claimed before the application existed; `policyFile` is the INI file that takes the policy
// values (in the Windows-directory stand-in); the file dialogs keep their history in that folder.
class RealServices
{
public:
    RealServices(SingleInstance &instance, const QString &policyFile);
    RealServices(const RealServices &) = delete;
    RealServices &operator=(const RealServices &) = delete;

    Services &services() { return m_services; }

private:
    SystemClock m_clock;
    WidgetDialogs m_dialogs;
    std::unique_ptr<CompanionPresence> m_companion;
    DetachedProgramStarter m_programs;
    DesktopWindowMinimizer m_minimizer;
    HeapTrimmer m_memory;
    IniPolicyValues m_policies;
    ProgramOutputVolume m_volume;
    QtAudioPlayback m_audio{m_volume};
    DesktopShellItems m_shell;
    SystemPrinter m_printer;
    DesktopNotifier m_notifier;
    WaveSoundPlayer m_sound{m_volume};
    NetworkPageLoader m_pages;
    Services m_services;
};

} // namespace zorv
