#include "windowset.h"

#include "exitsignals.h"
#include "fullsuite.h"

#include "controls/contactnamebox.h"
#include "controls/currencyedit.h"
#include "finance/financepage.h"
#include "launcher/aliaspage.h"
#include "launcher/deskpage.h"
#include "launcher/folderbrowser.h"
#include "launcher/folderhistory.h"
#include "launcher/shortcutcenter.h"
#include "launcher/taskpanel.h"
#include "media/audiopage.h"
#include "media/slideshow.h"
#include "organizer/activitymappage.h"
#include "organizer/appointmentspage.h"
#include "organizer/diarypage.h"
#include "organizer/notespage.h"
#include "organizer/phonebookpage.h"
#include "organizer/richtextedit.h"
#include "organizer/trainerpage.h"
#include "organizer/wordlookuppage.h"
#include "platform/identity.h"
#include "reports/launcher.h"
#include "reports/reportlinks.h"
#include "settings/backupbar.h"
#include "settings/programrestriction.h"
#include "settings/settingspage.h"

#include <QApplication>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSessionManager>
#include <QSystemTrayIcon>
#include <QTimer>

namespace zorv {

namespace {

constexpr int settingsPage = 11; // sheet TabSheet7

// A step that runs `operation` on `page` while the page exists: a page may be replaced
// later (tests put other widgets on its sheet), so every step checks it is still there.
template<typename Page> std::function<void()> pageStep(Page *page, void (Page::*operation)())
{
    return [p = QPointer<Page>(page), operation] {
        if (p)
            (p.data()->*operation)();
    };
}

// The finance page's share of the suite window: its steps in their slots, the field that
// takes the focus, and the rows of its context menus in the table of "Excluir" entries.
// The page may be replaced later (tests put other widgets on its sheet), so every step
// checks it is still there.
void wireFinancePage(SuiteWindow &tats, FinancePage *page)
{
    QPointer<FinancePage> finance(page);
    auto on = [page](void (FinancePage::*operation)()) { return pageStep(page, operation); };
    tats.addShowStep(ShowStep::FinanceInFront, on(&FinancePage::FocusValue));
    tats.addShowStep(ShowStep::Today, on(&FinancePage::SetDateToToday));
    tats.addShowStep(ShowStep::LoadMonthList, on(&FinancePage::Atualizar3Click));
    tats.addShowStep(ShowStep::Symbol, on(&FinancePage::ReadSymbol));
    tats.addAfterFadeStep(AfterFadeStep::MonthList, on(&FinancePage::Atualizar3Click));
    tats.addCloseStep(CloseStep::EndCorrection, on(&FinancePage::abandonCorrection));
    tats.setFocusField(SuiteWindow::financePage, page->FN1);

    tats.addMenuRule(page->PopupMenu8, page->Excluir7,
                     [finance] { return finance && finance->canDeleteMonth(); });
    tats.addMenuRule(page->corrections->PPF, page->corrections->Excluir10,
                     [finance] { return finance && finance->canDeleteEntry(); });
    tats.addMenuRule(page->PopupMenu12, page->Excluir12,
                     [finance] { return finance && finance->canDeleteSource(); });
}

// The report links under the finance page, reading what the page shows at each click, and
// the hand-off of pages and documents to the companion launcher.
void wireReports(SuiteWindow &tats, FinancePage *page, const Paths &paths, Services &services)
{
    auto *layout = new QHBoxLayout(page->reportsArea);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *links =
        new ReportLinks([page] { return pageReportInputs(*page); }, paths, services, page->reportsArea);
    layout->addWidget(links);
    QObject::connect(page->corrections->PO, &QLineEdit::returnPressed, links, &ReportLinks::rpoClick);
    tats.setLauncher(
        [&paths, &services](const QString &target) { OpenThroughLauncher(paths, services, target); });
}

// The backup bar along the bottom: its status cleared on each show, its daily hour checked
// on every Timer2 tick after the companion watch. Before every backup and restore the open
// editors write their changes through their own saves. While a restore replaces the data
// folder nothing writes into it and the editors take no typing; once it has replaced it,
// the editors show the restored files (nothing they held before is written back) and the
// window reads every list it holds again from the restored folder, as its show step does.
void wireBackupBar(SuiteWindow &tats, BackupBar *bar, FinancePage *page, NotesPage *notesPage,
                   DiaryPage *diaryPage, ActivityMapPage *mapPage)
{
    tats.Panel10->layout()->addWidget(bar);
    tats.addShowStep(ShowStep::BackupStatus, pageStep(bar, &BackupBar::FormShow));
    tats.addTimer2Step(pageStep(bar, &BackupBar::Timer2Timer));

    QPointer<BackupBar> b(bar);
    QPointer<FinancePage> finance(page);
    QPointer<NotesPage> notes(notesPage);
    QPointer<DiaryPage> diary(diaryPage);
    QPointer<ActivityMapPage> map(mapPage);
    const auto writable = [b] { return !b || !b->isRestoring(); };
    page->setWriteGate(writable);
    notesPage->setWriteGate(writable);
    diaryPage->setWriteGate(writable);
    mapPage->setWriteGate(writable);
    bar->setEditorSave([notes, diary, map] {
        if (notes)
            notes->SaveQuickNotes();
        if (diary)
            diary->SaveDiaryPage();
        if (map)
            map->SaveActivityNotes();
    });
    const auto editorsReadOnly = [notes, diary, map](bool readOnly) {
        if (notes)
            notes->AN->setReadOnly(readOnly);
        if (diary)
            diary->RE->setReadOnly(readOnly);
        if (map)
            map->MLPC->setReadOnly(readOnly);
    };
    QObject::connect(bar, &BackupBar::restoreStarted, &tats, [editorsReadOnly] { editorsReadOnly(true); });
    QObject::connect(bar, &BackupBar::restoreFinished, &tats,
                     [&tats, finance, notes, diary, map, editorsReadOnly](bool ok) {
                         editorsReadOnly(false);
                         if (!ok)
                             return;
                         if (notes)
                             notes->dataFolderReplaced();
                         if (diary)
                             diary->dataFolderReplaced();
                         if (map)
                             map->dataFolderReplaced();
                         tats.LoadAll();
                         if (finance)
                             finance->dataFolderReplaced();
                     });
}

// The settings page on sheet 11: its switches read in the create step, TMCHK armed with the
// other deferred timers, the password fields emptied on each show. "Gerenciar Autorun"
// closes the suite window.
void wireSettingsPage(SuiteWindow &tats, SettingsPage *page)
{
    tats.setPage(settingsPage, page);
    auto on = [page](void (SettingsPage::*operation)()) { return pageStep(page, operation); };
    tats.addCreateStep(CreateStep::DeferredTimers, on(&SettingsPage::DeferredTimers));
    tats.addCreateStep(CreateStep::AutostartFlag, on(&SettingsPage::AutostartFlag));
    tats.addCreateStep(CreateStep::SoundFlag, on(&SettingsPage::SoundFlag));
    tats.addShowStep(ShowStep::ResetFields, on(&SettingsPage::ResetPasswordFields));
    QObject::connect(page, &SettingsPage::closeSuiteRequested, &tats, &QWidget::close);
    // The full suite's box and the window follow each other.
    QObject::connect(page, &SettingsPage::fullSuiteSwitched, &tats, [&tats, page] {
        tats.fullSuiteMode()->refresh();
        page->showFullSuite(tats.fullSuite()); // a file that could not be written: the box says so
    });
    QObject::connect(tats.fullSuiteMode(), &FullSuite::changed, page, &SettingsPage::showFullSuite);
}

// HiddenMainWindow's hidden LBS shows the password file's lines as the store last loaded them.
void mirrorPasswordInto(PasswordStore &password, HiddenMainWindow &tops)
{
    QPointer<QListWidget> lbs(tops.LBS);
    password.setMirror([lbs](const QStringList &lines) {
        if (!lbs)
            return;
        lbs->clear();
        lbs->addItems(lines);
    });
}

// The appointments page: its date set to today at creation and on every show, its
// notification music and records loaded at creation, its records again on every show,
// its details cleared on close; DC takes the focus after the fade-in.
void wireAppointmentsPage(SuiteWindow &tats, AppointmentsPage *page)
{
    tats.setPage(AppointmentsPage::pageIndex, page);
    QPointer<AppointmentsPage> appointments(page);
    auto on = [page](void (AppointmentsPage::*operation)()) { return pageStep(page, operation); };
    page->setPageSelector([&tats](int index) { tats.selectPage(index); });
    tats.addCreateStep(CreateStep::Today, on(&AppointmentsPage::SetDateToToday));
    tats.addCreateStep(CreateStep::ShortcutsAndDates, on(&AppointmentsPage::LoadMusic));
    tats.addCreateStep(CreateStep::ShortcutsAndDates, on(&AppointmentsPage::LoadAppointments));
    tats.addShowStep(ShowStep::Today, on(&AppointmentsPage::SetDateToToday));
    tats.addShowStep(ShowStep::LoadAppointments, on(&AppointmentsPage::LoadAppointments));
    tats.addCloseStep(CloseStep::StopFolderTimer, on(&AppointmentsPage::ClearDetails));
    tats.setFocusField(AppointmentsPage::pageIndex, page->DC);
    tats.addMenuRule(page->PopupMenu4, page->Excluir3,
                     [appointments] { return appointments && appointments->hasSelectedRow(); });
}

// The audio page on sheet 2: its create and show steps, the focus in its track list. The
// appointments page's music choice, its reminder icon and the folder browser's music
// opener are set on the page by whoever builds those pages.
void wireAudioPage(SuiteWindow &tats, AudioPage *page)
{
    tats.setPage(2, page);
    QPointer<AudioPage> audio(page);
    auto on = [page](void (AudioPage::*operation)()) { return pageStep(page, operation); };
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
    // With the full suite on the page plays every format the player knows and shows its buttons.
    QObject::connect(tats.fullSuiteMode(), &FullSuite::changed, page, &AudioPage::setFullSuite);
}

// What the audio page asks of the others: whether the main window's appointment icon is
// raised (auto-play waits while it is), and whether the appointments page is choosing its
// notification music, which then takes a double-clicked track instead of it playing.
void wireAudioHooks(AudioPage *audio, AppointmentsPage *appointments, HiddenMainWindow &tops)
{
    audio->setAppointmentIconRaised(
        [comp = QPointer<TagLabel>(tops.Comp)] { return comp && !comp->isHidden(); });
    audio->setMusicChoiceHandler([a = QPointer<AppointmentsPage>(appointments)](const QString &path) {
        if (!a || !a->isChoosingMusic())
            return false;
        a->storeNotificationMusic(path);
        return true;
    });
}

// The program restriction in the settings page: the mark in HiddenMainWindow's FC tag, HiddenMainWindow's
// icon slots, C4 from the filter's flag file at creation and at TMCHK's tick, TMLL armed with the other
// deferred timers, and "Excluir" enabled only while the mark is 0.
ProgramRestriction *wireProgramRestriction(SuiteWindow &tats, HiddenMainWindow &tops, SettingsPage *page,
                                           const Paths &paths, Services &services, PasswordStore &password,
                                           FlagStaging &LB)
{
    ProgramFilterHooks hooks;
    QPointer<TagLabel> fc(tops.FC);
    hooks.mark = [fc] { return fc ? fc->tag() : 0; };
    hooks.setMark = [fc](int mark) {
        if (fc)
            fc->setTag(mark);
    };
    hooks.setIconSlotsShown = [&tops](bool shown) { tops.setIconSlotsShown(shown); };
    hooks.itemIcon = [&services](const QString &fullPath) {
        return ItemIcon(services.shell, fullPath, LinkFallback::OwnIcon);
    };
    auto *panel = new ProgramRestriction(paths, services, password, LB, *page, std::move(hooks));

    auto on = [panel](void (ProgramRestriction::*operation)()) { return pageStep(panel, operation); };
    tats.addCreateStep(CreateStep::ProgramFilter, on(&ProgramRestriction::ProgramFilter));
    tats.addCreateStep(CreateStep::DeferredTimers, on(&ProgramRestriction::DeferredTimers));
    page->addCheckStep(on(&ProgramRestriction::CheckFilterBox));
    tats.addMenuRule(panel->PopupMenu10, panel->Excluir9, [fc] { return fc && fc->tag() == 0; });
    return panel;
}

// The Desk page's share: the shortcut list loaded at creation and on every show, the grid
// rebuilt after the fade-in, files dropped anywhere on the window added to it.
void wireDeskPage(SuiteWindow &tats, DeskPage *page)
{
    tats.setPage(0, page);
    QPointer<ShortcutCenter> center(page->shortcuts);
    auto on = [page](void (ShortcutCenter::*operation)()) { return pageStep(page->shortcuts, operation); };
    tats.addCreateStep(CreateStep::ShortcutsAndDates, on(&ShortcutCenter::LoadShortcutList));
    tats.addShowStep(ShowStep::LoadShortcuts, on(&ShortcutCenter::LoadShortcuts));
    tats.addAfterFadeStep(AfterFadeStep::ShortcutCenter, on(&ShortcutCenter::Atualizar2Click));
    tats.addMenuRule(center->PopupMenu2, center->Excluir1,
                     [center] { return center && center->canDelete(); });
    tats.setFileDropHandler([center](const QStringList &files) {
        if (center)
            center->dropFiles(files);
    });

    // The folder history, the folder browser and the automatic tasks: the preview's corners
    // at creation; on every show the panel pr, the desktop as current folder, the history
    // and task view reloaded; the run of tasks ends when the window closes.
    QPointer<DeskPage> desk(page);
    auto onDesk = [desk](std::function<void(DeskPage &)> operation) {
        return [desk, operation] {
            if (desk)
                operation(*desk);
        };
    };
    tats.addCreateStep(CreateStep::PictureCorners, onDesk([](DeskPage &d) { d.browser->PictureCorners(); }));
    tats.addShowStep(ShowStep::FolderPanel, onDesk([](DeskPage &d) { d.browser->FolderPanel(); }));
    tats.addShowStep(ShowStep::ResetFields, onDesk([](DeskPage &d) { d.history->ResetFields(); }));
    tats.addShowStep(ShowStep::LoadHistory, onDesk([](DeskPage &d) { d.LoadHistory(); }));
    tats.addCloseStep(CloseStep::StopFolderTimer, onDesk([](DeskPage &d) { d.tasks->StopRun(); }));
    tats.addMenuRule(page->tasks->PTA, page->tasks->Excluir11,
                     [desk] { return desk && desk->tasks->canDelete(); });
    tats.addMenuRule(page->history->PopupMenu5, page->history->Excluir4,
                     [desk] { return desk && desk->history->canDelete(); });
}

// The aliases page's share: the chosen file forgotten and the alias list reloaded on every
// show, the list built shortly after when the shortcut list exists.
void wireAliasPage(SuiteWindow &tats, AliasPage *page)
{
    tats.setPage(1, page);
    QPointer<AliasPage> aliases(page);
    auto on = [page](void (AliasPage::*operation)()) { return pageStep(page, operation); };
    tats.addShowStep(ShowStep::Today, on(&AliasPage::Today));
    tats.addShowStep(ShowStep::LoadAliases, on(&AliasPage::LoadAliases));
    tats.addShowStep(ShowStep::LoadShortcuts, on(&AliasPage::LoadShortcuts));
    tats.addMenuRule(page->PopupMenu3, page->Excluir2, [aliases] { return aliases && aliases->canDelete(); });
}

// The phone book on its sheet; the contact field takes the focus after the fade-in.
void wirePhoneBookPage(SuiteWindow &tats, PhoneBookPage *page)
{
    tats.setPage(PhoneBookPage::pageIndex, page);
    tats.setFocusField(PhoneBookPage::pageIndex, page->e1);
}

// The activity map on its sheet: its date becomes today and its notes are read on each show,
// the notes are written on each close, and the contact field takes the focus after the fade-in.
void wireActivityMapPage(SuiteWindow &tats, ActivityMapPage *page)
{
    tats.setPage(ActivityMapPage::pageIndex, page);
    auto on = [page](void (ActivityMapPage::*operation)()) { return pageStep(page, operation); };
    tats.addShowStep(ShowStep::Today, on(&ActivityMapPage::SetDateToToday));
    tats.addShowStep(ShowStep::LoadActivityNotes, on(&ActivityMapPage::LoadActivityNotes));
    tats.addCloseStep(CloseStep::SaveActivityNotes, on(&ActivityMapPage::SaveActivityNotes));
    tats.setFocusField(ActivityMapPage::pageIndex, page->z1);
}

// The quick notes on page 3: read on each show, written on close, AN in focus when the
// page is in front, and the menu rule of Imprimir1.
void wireNotesPage(SuiteWindow &tats, NotesPage *page)
{
    tats.setPage(NotesPage::pageIndex, page);
    QPointer<NotesPage> notes(page);
    tats.addShowStep(ShowStep::LoadQuickNotes, pageStep(page, &NotesPage::LoadQuickNotes));
    tats.addCloseStep(CloseStep::SaveQuickNotes, pageStep(page, &NotesPage::SaveQuickNotes));
    tats.setFocusField(NotesPage::pageIndex, page->AN);
    tats.addMenuRule(page->PopupMenu11, page->Imprimir1,
                     [notes] { return notes && notes->canPrintFromMenu(); });
}

// The diary on page 4: cal set to today at creation and on each show (with today's page),
// the page list refilled on each show, the page of cal's date written on close.
void wireDiaryPage(SuiteWindow &tats, DiaryPage *page)
{
    tats.setPage(DiaryPage::pageIndex, page);
    QPointer<DiaryPage> diary(page);
    auto on = [page](void (DiaryPage::*operation)()) { return pageStep(page, operation); };
    tats.addCreateStep(CreateStep::Today, on(&DiaryPage::Today));
    tats.addShowStep(ShowStep::Today, on(&DiaryPage::ShowToday));
    tats.addShowStep(ShowStep::LoadDiaryList, on(&DiaryPage::LoadDiaryList));
    tats.addCloseStep(CloseStep::SaveDiaryPage, on(&DiaryPage::SaveDiaryPage));
    tats.setFocusField(DiaryPage::pageIndex, page->cal);
}

// Every show, before anything is read again: when the last close could not write the quick
// notes, the diary page or the contact notes, the user reads which; the texts are still in
// their editors, which keep them until a write succeeds.
void wireSaveFailedNotice(SuiteWindow &tats, Services &services, NotesPage *notesPage, DiaryPage *diaryPage,
                          ActivityMapPage *mapPage)
{
    tats.addShowStep(ShowStep::SaveFailedNotice,
                     [&services, notes = QPointer<NotesPage>(notesPage),
                      diary = QPointer<DiaryPage>(diaryPage), map = QPointer<ActivityMapPage>(mapPage)] {
                         QStringList failed;
                         if (notes && notes->lastSaveFailed())
                             failed << QStringLiteral("Anota\u00e7\u00f5es r\u00e1pidas");
                         if (diary && diary->lastSaveFailed())
                             failed << QStringLiteral("Di\u00e1rio, p\u00e1gina de ") +
                                           diary->shownDate().toString(QStringLiteral("dd/MM/yyyy"));
                         if (map && map->lastSaveFailed())
                             failed << QStringLiteral("Notas sobre os contatos");
                         if (!failed.isEmpty())
                             services.dialogs.message(saveFailedMessage(failed), QStringLiteral("Zorv Desk"),
                                                      MessageIcon::Warning);
                     });
}

// The word lookup: its word field emptied on every show, and the focus there after the
// fade-in.
void wireWordLookupPage(SuiteWindow &tats, WordLookupPage *page)
{
    tats.setPage(WordLookupPage::pageIndex, page);
    tats.addShowStep(ShowStep::ResetFields, pageStep(page, &WordLookupPage::ResetFields));
    tats.setFocusField(WordLookupPage::pageIndex, page->prt);
}

// The personal trainer: its stored interval loaded four seconds after the start, its box
// set from its switch file on TMCHK's tick with the settings page's boxes.
void wireTrainerPage(SuiteWindow &tats, SettingsPage *settings, TrainerPage *page)
{
    tats.setPage(TrainerPage::pageIndex, page);
    settings->addCheckStep(pageStep(page, &TrainerPage::CheckSwitch));
    QPointer<TrainerPage> trainer(page);
    tats.addCreateStep(CreateStep::DeferredTimers, [trainer] {
        if (trainer)
            trainer->TMPRS.start();
    });
}

} // namespace

WindowSet::WindowSet(Services &services, const Paths &paths)
    : password(paths)
    , tops(services)
    , tats(services, paths, tops)
    , taa1(services)
{
    tats.setTaskBarWindow(&taa1);
    finance = new FinancePage(paths, services);
    tats.setFinancePage(finance);
    wireFinancePage(tats, finance);
    wireReports(tats, finance, paths, services);
    backup = new BackupBar(paths, services);
    mirrorPasswordInto(password, tops);
    settings = new SettingsPage(paths, services, password, LB);
    wireSettingsPage(tats, settings);
    appointments = new AppointmentsPage(paths, services);
    wireAppointmentsPage(tats, appointments);
    QObject::connect(tops.Comp, &TagLabel::clicked, &tats, [this] { CompClick(); });
    audio = new AudioPage(paths, services);
    wireAudioPage(tats, audio);
    wireAudioHooks(audio, appointments, tops);
    // The companion's tray menu offers "Parar música" while the page's music plays.
    answerMusicRequests(services.instance, audio);
    restriction = wireProgramRestriction(tats, tops, settings, paths, services, password, LB);
    desk = new DeskPage(paths, services);
    wireDeskPage(tats, desk);
    aliases = new AliasPage(paths, services);
    wireAliasPage(tats, aliases);
    // A music file double-clicked in the folder browser plays on the audio page.
    desk->setMusicOpener([a = QPointer<AudioPage>(audio)](const QString &folder, const QString &caption) {
        if (a)
            a->openFromFolder(folder, caption);
    });
    // While the filter is on, the shortcut center lists the programs released here.
    QPointer<ProgramRestriction> released(restriction);
    desk->shortcuts->setEmployeeList(
        [released] { return released ? released->employeeLines() : QStringList(); });
    phoneBook = new PhoneBookPage(paths, services);
    wirePhoneBookPage(tats, phoneBook);
    activityMap = new ActivityMapPage(paths, services);
    wireActivityMapPage(tats, activityMap);
    notes = new NotesPage(paths, services);
    wireNotesPage(tats, notes);
    diary = new DiaryPage(paths, services);
    wireDiaryPage(tats, diary);
    wireSaveFailedNotice(tats, services, notes, diary, activityMap);
    wireBackupBar(tats, backup, finance, notes, diary, activityMap);
    wordLookup = new WordLookupPage(services);
    wireWordLookupPage(tats, wordLookup);
    trainer = new TrainerPage(paths, services, LB);
    wireTrainerPage(tats, settings, trainer);
    // Reminders appear as the tray icon's messages where there is a tray.
    services.notifier.setTrayIcon(tats.TrayIcon1);
    // Every page is in place: the suite window's create step runs now.
    tats.FormCreate();
}

void WindowSet::CompClick()
{
    tops.Comp->hide();
    tats.openPage(AppointmentsPage::pageIndex);
    if (appointments)
        appointments->tmch.start();
}

QString saveFailedMessage(const QStringList &texts)
{
    return QStringLiteral("N\u00e3o foi poss\u00edvel salvar quando a janela foi fechada:\n\n") +
           texts.join(QLatin1Char('\n')) +
           QStringLiteral("\n\nO texto continua aberto e ser\u00e1 salvo quando a janela for fechada "
                          "novamente. Verifique se a pasta dos dados pode ser gravada.");
}

void endOnSessionSignals(ExitSignals &exitSignals, WindowSet &windows)
{
    QObject::connect(&exitSignals, &ExitSignals::received, &windows.tats, [&windows] {
        windows.tats.closeAndSave();
        windows.tops.Sai();
    });
}

int runDesk(QApplication &app, Services &services, const Paths &paths)
{
    // The end of the desktop session: SIGTERM and SIGHUP save and end; the session
    // manager first asks for the data to be saved, then ends the event loop. The handlers
    // are in place before the window set opens the program's socket, so a signal sent once
    // the program answers is never the default end; it waits for the event loop.
    ExitSignals exitSignals;
    WindowSet windows(services, paths);
    endOnSessionSignals(exitSignals, windows);
#ifndef QT_NO_SESSIONMANAGER
    QObject::connect(
        &app, &QGuiApplication::commitDataRequest, &windows.tats,
        [&windows](QSessionManager &) { windows.tats.closeAndSave(); }, Qt::DirectConnection);
#endif
    bool halting = false;
    QObject::connect(&windows.tops, &HiddenMainWindow::halting, &windows.tats,
                     [&halting] { halting = true; });
    // An end of the event loop that did not come through Sai (the session manager's quit)
    // still saves first.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &windows.tats, [&windows, &halting] {
        if (!halting)
            windows.tats.closeAndSave();
    });
    // Without a notification area the icon cannot be clicked: the suite window shows at
    // once, and a second start asks this copy to show it again instead of doing nothing.
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        services.instance.serveShowRequests([&windows] { windows.tats.ShowSuite(); });
        windows.tats.ShowSuite();
    }
    QTimer::singleShot(0, &windows.tops, &HiddenMainWindow::FormShow);
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

    const Paths paths = Paths::forApplication();
    RealServices real(instance, paths.windowsFile(QStringLiteral("\\Policies.ini")));
    return runDesk(app, real.services(), paths);
}

} // namespace zorv
