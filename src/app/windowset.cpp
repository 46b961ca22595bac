#include "windowset.h"

#include "controls/currencyedit.h"
#include "finance/financepage.h"
#include "media/audiopage.h"
#include "media/slideshow.h"
#include "platform/identity.h"
#include "reports/launcher.h"
#include "reports/reportlinks.h"
#include "settings/backupbar.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>

namespace zorv {

namespace {

// The finance page's share of the suite window: its steps in their slots, the field that
// takes the focus, and the rows of its context menus in the table of "Excluir" entries.
// The page may be replaced later (tests put other widgets on its sheet), so every step
// checks it is still there.
void wireFinancePage(TATS &tats, FinancePage *page)
{
    QPointer<FinancePage> finance(page);
    auto on = [finance](void (FinancePage::*operation)()) {
        return [finance, operation] {
            if (finance)
                (finance.data()->*operation)();
        };
    };
    tats.addShowStep(ShowStep::FinanceInFront, on(&FinancePage::FocusValue));
    tats.addShowStep(ShowStep::Today, on(&FinancePage::SetDateToToday));
    tats.addShowStep(ShowStep::LoadMonthList, on(&FinancePage::Atualizar3Click));
    tats.addShowStep(ShowStep::Symbol, on(&FinancePage::ReadSymbol));
    tats.addAfterFadeStep(AfterFadeStep::MonthList, on(&FinancePage::Atualizar3Click));
    tats.setFocusField(TATS::financePage, page->FN1);

    tats.addMenuRule(page->PopupMenu8, page->Excluir7,
                     [finance] { return finance && finance->canDeleteMonth(); });
    tats.addMenuRule(page->PPF, page->Excluir10, [finance] { return finance && finance->canDeleteEntry(); });
    tats.addMenuRule(page->PopupMenu12, page->Excluir12,
                     [finance] { return finance && finance->canDeleteSource(); });
}

// The report links under the finance page, reading what the page shows at each click, and
// the hand-off of pages and documents to the companion launcher.
void wireReports(TATS &tats, FinancePage *page, const Paths &paths, Services &services)
{
    auto *layout = new QHBoxLayout(page->reportsArea);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *links =
        new ReportLinks([page] { return pageReportInputs(*page); }, paths, services, page->reportsArea);
    layout->addWidget(links);
    QObject::connect(page->PO, &QLineEdit::returnPressed, links, &ReportLinks::rpoClick);
    tats.setLauncher(
        [&paths, &services](const QString &target) { OpenThroughLauncher(paths, services, target); });
}

// The backup bar along the bottom: its status cleared on each show, its daily hour checked
// on every Timer2 tick after the companion watch.
void wireBackupBar(TATS &tats, BackupBar *bar)
{
    tats.Panel10->layout()->addWidget(bar);
    QPointer<BackupBar> b(bar);
    tats.addShowStep(ShowStep::BackupStatus, [b] {
        if (b)
            b->FormShow();
    });
    tats.addTimer2Step([b] {
        if (b)
            b->Timer2Timer();
    });
}

// The audio page on sheet 2: its create and show steps, the focus in its track list. The
// appointments page's music choice, its reminder icon and the folder browser's music
// opener are set on the page by whoever builds those pages.
void wireAudioPage(TATS &tats, AudioPage *page)
{
    tats.setPage(2, page);
    QPointer<AudioPage> audio(page);
    auto on = [audio](void (AudioPage::*operation)()) {
        return [audio, operation] {
            if (audio)
                (audio.data()->*operation)();
        };
    };
    tats.addCreateStep(CreateStep::MasterVolume, on(&AudioPage::StartVolumeTimer));
    tats.addCreateStep(CreateStep::MasterVolume, on(&AudioPage::ResetPlaylistPosition));
    tats.addCreateStep(CreateStep::VolumeInterface, on(&AudioPage::CriV));
    tats.addCreateStep(CreateStep::Panels, on(&AudioPage::ClearProgress));
    tats.addCreateStep(CreateStep::AutoPlay, on(&AudioPage::LoadAutoPlay));
    tats.addShowStep(ShowStep::LoadSlides, [audio] {
        if (audio)
            audio->slides->LoadSlides();
    });
    tats.addShowStep(ShowStep::LoadPlaylist, on(&AudioPage::LoadPlaylist));
    tats.addShowStep(ShowStep::LoadPlaylistPosition, on(&AudioPage::SelectRememberedTrack));
    tats.setFocusField(2, page->FL2);
}

// The show sound plays at the program's output gain, as every sound of the program does.
// (The show sound is the suite window's for now; this is the one place to re-point.)
void followProgramVolumeWithShowSound(TATS &tats, OutputVolume &volume)
{
    tats.setShowSoundGain(volume.gain());
    QObject::connect(&volume, &OutputVolume::gainChanged, &tats, &TATS::setShowSoundGain);
}

} // namespace

WindowSet::WindowSet(Services &services, const Paths &paths)
    : tops(services)
    , tats(services, paths, tops)
    , taa1(services)
{
    tats.setTaskBarWindow(&taa1);
    finance = new FinancePage(paths, services);
    tats.setFinancePage(finance);
    wireFinancePage(tats, finance);
    wireReports(tats, finance, paths, services);
    backup = new BackupBar(paths, services);
    wireBackupBar(tats, backup);
    audio = new AudioPage(paths, services);
    wireAudioPage(tats, audio);
    followProgramVolumeWithShowSound(tats, services.volume);
    // Every page is in place: the suite window's create step runs now.
    tats.FormCreate();
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
