#include "windowset.h"

#include "controls/currencyedit.h"
#include "finance/financepage.h"
#include "organizer/diarypage.h"
#include "organizer/notespage.h"
#include "organizer/richtextedit.h"
#include "platform/identity.h"
#include "reports/launcher.h"
#include "reports/reportlinks.h"
#include "settings/backupbar.h"

#include <QApplication>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLayout>
#include <QLineEdit>
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

// The quick notes on page 3: read on each show, written on close, AN in focus when the
// page is in front, and the menu rule of Imprimir1.
void wireNotesPage(TATS &tats, NotesPage *page)
{
    tats.setPage(NotesPage::pageIndex, page);
    QPointer<NotesPage> notes(page);
    tats.addShowStep(ShowStep::LoadQuickNotes, [notes] {
        if (notes)
            notes->LoadQuickNotes();
    });
    tats.addCloseStep(CloseStep::SaveQuickNotes, [notes] {
        if (notes)
            notes->SaveQuickNotes();
    });
    tats.setFocusField(NotesPage::pageIndex, page->AN);
    tats.addMenuRule(page->PopupMenu11, page->Imprimir1,
                     [notes] { return notes && notes->canPrintFromMenu(); });
}

// The diary on page 4: cal set to today at creation and on each show (with today's page),
// the page list refilled on each show, the page of cal's date written on close.
void wireDiaryPage(TATS &tats, DiaryPage *page)
{
    tats.setPage(DiaryPage::pageIndex, page);
    QPointer<DiaryPage> diary(page);
    auto on = [diary](void (DiaryPage::*operation)()) {
        return [diary, operation] {
            if (diary)
                (diary.data()->*operation)();
        };
    };
    tats.addCreateStep(CreateStep::Today, on(&DiaryPage::Today));
    tats.addShowStep(ShowStep::Today, on(&DiaryPage::ShowToday));
    tats.addShowStep(ShowStep::LoadDiaryList, on(&DiaryPage::LoadDiaryList));
    tats.addCloseStep(CloseStep::SaveDiaryPage, on(&DiaryPage::SaveDiaryPage));
    tats.setFocusField(DiaryPage::pageIndex, page->cal);
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
    notes = new NotesPage(paths, services);
    wireNotesPage(tats, notes);
    diary = new DiaryPage(paths, services);
    wireDiaryPage(tats, diary);
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
