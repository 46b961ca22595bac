#include "windowset.h"

#include "controls/currencyedit.h"
#include "finance/financepage.h"
#include "organizer/appointmentspage.h"
#include "organizer/trainerpage.h"
#include "organizer/wordlookuppage.h"
#include "platform/identity.h"
#include "reports/launcher.h"
#include "reports/reportlinks.h"
#include "settings/backupbar.h"
#include "settings/settingspage.h"

#include <QApplication>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>

namespace zorv {

namespace {

constexpr int settingsPage = 11; // sheet TabSheet7

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

// The appointments page: its date set to today at creation and on every show, its
// notification music and records loaded at creation, its records again on every show,
// its details cleared on close; DC takes the focus after the fade-in.
void wireAppointmentsPage(TATS &tats, AppointmentsPage *page)
{
    tats.setPage(AppointmentsPage::pageIndex, page);
    QPointer<AppointmentsPage> appointments(page);
    auto on = [appointments](void (AppointmentsPage::*operation)()) {
        return [appointments, operation] {
            if (appointments)
                (appointments.data()->*operation)();
        };
    };
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

// The settings page on sheet 11: its switches read in the create step, TMCHK armed with the
// other deferred timers, the password fields emptied on each show. "Gerenciar Autorun"
// closes the suite window.
void wireSettingsPage(TATS &tats, SettingsPage *page)
{
    tats.setPage(settingsPage, page);
    QPointer<SettingsPage> settings(page);
    auto on = [settings](void (SettingsPage::*operation)()) {
        return [settings, operation] {
            if (settings)
                (settings.data()->*operation)();
        };
    };
    tats.addCreateStep(CreateStep::DeferredTimers, on(&SettingsPage::DeferredTimers));
    tats.addCreateStep(CreateStep::AutostartFlag, on(&SettingsPage::AutostartFlag));
    tats.addCreateStep(CreateStep::SoundFlag, on(&SettingsPage::SoundFlag));
    tats.addShowStep(ShowStep::ResetFields, on(&SettingsPage::ResetPasswordFields));
    QObject::connect(page, &SettingsPage::closeSuiteRequested, &tats, &QWidget::close);
}

// TOPS's hidden LBS shows the password file's lines as the store last loaded them.
void mirrorPasswordInto(PasswordStore &password, TOPS &tops)
{
    QPointer<QListWidget> lbs(tops.LBS);
    password.setMirror([lbs](const QStringList &lines) {
        if (!lbs)
            return;
        lbs->clear();
        lbs->addItems(lines);
    });
}

// The word lookup: its word field emptied on every show, and the focus there after the
// fade-in.
void wireWordLookupPage(TATS &tats, WordLookupPage *page)
{
    tats.setPage(WordLookupPage::pageIndex, page);
    QPointer<WordLookupPage> lookup(page);
    tats.addShowStep(ShowStep::ResetFields, [lookup] {
        if (lookup)
            lookup->ResetFields();
    });
    tats.setFocusField(WordLookupPage::pageIndex, page->prt);
}

// The personal trainer: its stored interval loaded four seconds after the start, its box
// set from its switch file on TMCHK's tick with the settings page's boxes.
void wireTrainerPage(TATS &tats, SettingsPage *settings, TrainerPage *page)
{
    tats.setPage(TrainerPage::pageIndex, page);
    QPointer<TrainerPage> trainer(page);
    settings->addCheckStep([trainer] {
        if (trainer)
            trainer->CheckSwitch();
    });
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
    wireBackupBar(tats, backup);
    appointments = new AppointmentsPage(paths, services);
    wireAppointmentsPage(tats, appointments);
    QObject::connect(tops.Comp, &TagLabel::clicked, &tats, [this] { CompClick(); });
    mirrorPasswordInto(password, tops);
    settings = new SettingsPage(paths, services, password, LB);
    wireSettingsPage(tats, settings);
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

    const Paths paths = Paths::forApplication();
    RealServices real(instance, paths.windowsFile(QStringLiteral("\\Policies.ini")));
    return runDesk(app, real.services(), paths);
}

} // namespace zorv
