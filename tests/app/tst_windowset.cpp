#include "app/exitsignals.h"
#include "app/windowset.h"
#include "controls/linklabel.h"
#include "filesizelimit.h"
#include "finance/correctionsarea.h"
#include "finance/financepage.h"
#include "launcher/deskpage.h"
#include "launcher/iconlist.h"
#include "launcher/shortcutcenter.h"
#include "media/audiopage.h"
#include "media/folderlisting.h"
#include "media/slideshow.h"
#include "media/volumecontroller.h"
#include "organizer/activitymappage.h"
#include "organizer/diarypage.h"
#include "organizer/notespage.h"
#include "organizer/richtextedit.h"
#include "platform/fakes.h"
#include "richtextread.h"
#include "security/password.h"
#include "settings/backupbar.h"
#include "settings/employeelist.h"
#include "settings/programrestriction.h"
#include "settings/settingspage.h"
#include "store/flagfile.h"
#include "tempdatafolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QSystemTrayIcon>
#include <QTreeWidget>
#include <QtTest>

#include <csignal>
#include <stdexcept>

using namespace zorv;

// The window set on fakes; Sai records its exit code instead of ending the test.
struct Fixture
{
    FakeServices fake;
    TempDataFolder data;
    WindowSet windows{fake, data.paths()};
    QList<int> halts;
    QStringList log; // close steps and halts, in the order they happened

    Fixture()
    {
        windows.tops.setHaltHandler([this](int code) {
            halts << code;
            log << QStringLiteral("halt");
        });
    }
};

class TestWindowSet : public QObject
{
    Q_OBJECT

private slots:
    void threeWindowsHiddenWithoutTaskbarEntries();
    void mainWindowHostsItsComponentsAndNeverShows();
    void memTrimsEveryTwentyMinutesFromTheShowStep();
    void trayIconShowsSuiteOnFinancePage();
    void escapeHidesSuiteAndRunsCloseStepsInOrder();
    void failingCloseStepDoesNotStopTheNext();
    void financePageTakesSheetSix();
    void closingGivesUpACorrection();
    void notesAndDiaryLoadOnShowAndSaveOnClose();
    void textWhoseSaveFailedIsKeptAndTheUserIsTold();
    void sessionEndSignalsSaveThenEnd_data();
    void sessionEndSignalsSaveThenEnd();

    void companionWatch_data();
    void companionWatch();
    void companionGoneEndsProgramWithinOneTick();

    void withoutTrayTheSuiteShowsAndAnswersSecondStarts();
    void backupRunsAtItsHourFromTimer2();
    void enterInReportSourceWritesAndOpensTheReport();
    void settingsPageFollowsTheWindowsSteps();
    void restoreHoldsTheFinanceWritesAndReloadsTheLists();
    void typedTextSurvivesBackupAndRestore();
    void quietMomentSavesTheOpenEditor_data();
    void quietMomentSavesTheOpenEditor();
    void audioPageOnSheetTwoWithItsSteps();
    void programFilterOnSinceStartUntilUnlocked();
};

void TestWindowSet::threeWindowsHiddenWithoutTaskbarEntries()
{
    Fixture f;
    const QList<QWidget *> windows = {&f.windows.tops, &f.windows.tats, &f.windows.taa1};
    const QStringList titles = {"Zorv Ledger Pro", "Zorv Desk Plus", "Zorv Dockbar"};
    for (int i = 0; i < windows.size(); ++i) {
        QVERIFY(windows[i]->isWindow());
        QCOMPARE(windows[i]->windowTitle(), titles[i]);
        QVERIFY(!windows[i]->isVisible());
        // Tool windows get no task-bar button.
        QCOMPARE(windows[i]->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    }
    QVERIFY(f.windows.tats.windowFlags() & Qt::FramelessWindowHint);

    QSystemTrayIcon *tray = f.windows.tats.TrayIcon1;
    QCOMPARE(tray->toolTip(), QStringLiteral("Zorv Desk - Finance"));
    QVERIFY(!tray->icon().isNull());
    QVERIFY(!tray->contextMenu());

    QVERIFY(f.windows.tats.Timer2.isActive());
    QCOMPARE(f.windows.tats.Timer2.interval(), 1000);
}

void TestWindowSet::mainWindowHostsItsComponentsAndNeverShows()
{
    Fixture f;
    HiddenMainWindow &tops = f.windows.tops;
    for (const char *name : {"LBS", "FC", "Comp", "a2", "a10"}) {
        QWidget *w = tops.findChild<QWidget *>(QLatin1String(name));
        QVERIFY2(w, name);
        QVERIFY(w->isHidden());
    }
    QCOMPARE(tops.FC->tag(), 0);
    QVERIFY(tops.a2->pixmap().isNull() && tops.a10->pixmap().isNull());

    tops.FormShow();
    f.windows.tats.ShowSuite();
    QVERIFY(!tops.isVisible());
    QVERIFY(!tops.windowHandle() || !tops.windowHandle()->isExposed());
}

void TestWindowSet::memTrimsEveryTwentyMinutesFromTheShowStep()
{
    Fixture f;
    HiddenMainWindow &tops = f.windows.tops;
    QVERIFY(!tops.MEM.isActive());
    tops.FormShow();
    QVERIFY(tops.MEM.isActive());
    QVERIFY(!tops.MEM.isSingleShot());
    QCOMPARE(tops.MEM.interval(), 1200000);
    QVERIFY(tops.MEM.remainingTime() > 1190000); // first trim 20 minutes after the show step
    QCOMPARE(f.fake.memory.calls, 0);
    tops.MEMTimer();
    QCOMPARE(f.fake.memory.calls, 1);
}

void TestWindowSet::trayIconShowsSuiteOnFinancePage()
{
    Fixture f;
    SuiteWindow &tats = f.windows.tats;
    int showSteps = 0;
    tats.addShowStep(ShowStep::Symbol, [&] { ++showSteps; });

    emit tats.TrayIcon1->activated(QSystemTrayIcon::Context); // not a left click
    QVERIFY(!tats.isVisible());

    emit tats.TrayIcon1->activated(QSystemTrayIcon::Trigger);
    QVERIFY(tats.isVisible());
    QCOMPARE(tats.currentPage(), SuiteWindow::financePage);
    QCOMPARE(tats.xPG->currentWidget()->objectName(), QStringLiteral("TabSheet6"));
    QCOMPARE(tats.geometry(), tats.screen()->geometry());
    QCOMPARE(showSteps, 1);

    // A click while it shows runs the show step again.
    tats.xPG->setCurrentIndex(0);
    emit tats.TrayIcon1->activated(QSystemTrayIcon::Trigger);
    QCOMPARE(showSteps, 2);
    QCOMPARE(tats.currentPage(), SuiteWindow::financePage);
}

void TestWindowSet::escapeHidesSuiteAndRunsCloseStepsInOrder()
{
    Fixture f;
    SuiteWindow &tats = f.windows.tats;
    // Added out of order: the close step runs them in the order of their slots.
    tats.addCloseStep(CloseStep::SaveDiaryPage, [&] { f.log << QStringLiteral("diary"); });
    tats.addCloseStep(CloseStep::SaveQuickNotes, [&] { f.log << QStringLiteral("notes"); });
    auto *field = new QLineEdit;
    tats.setFinancePage(field);

    tats.ShowSuite();
    // Key preview: Escape typed into a control of the window closes the window.
    QTest::keyClick(field, Qt::Key_Escape);
    QVERIFY(!tats.isVisible());
    QCOMPARE(f.log, (QStringList{"notes", "diary"}));
    QVERIFY(f.halts.isEmpty()); // closing only hides; the program goes on

    tats.ShowSuite();
    QVERIFY(tats.isVisible());
    tats.close();
    QCOMPARE(f.log.size(), 4);
}

void TestWindowSet::failingCloseStepDoesNotStopTheNext()
{
    Fixture f;
    SuiteWindow &tats = f.windows.tats;
    tats.addCloseStep(CloseStep::SaveQuickNotes, [] { throw std::runtime_error("disk full"); });
    tats.addCloseStep(CloseStep::SaveDiaryPage, [&] { f.log << QStringLiteral("diary"); });
    tats.ShowSuite();
    tats.close();
    QVERIFY(!tats.isVisible());
    QCOMPARE(f.log, QStringList{"diary"});
}

void TestWindowSet::financePageTakesSheetSix()
{
    Fixture f;
    SuiteWindow &tats = f.windows.tats;
    QWidget *sheet = tats.sheet(SuiteWindow::financePage);
    FinancePage *page = f.windows.finance;
    QVERIFY(page);
    QCOMPARE(page->parentWidget(), sheet);
    QTRY_VERIFY(!sheet->findChild<QLabel *>(QStringLiteral("financePlaceholder")));

    tats.ShowSuite();
    QVERIFY(page->isVisible());
    QCOMPARE(page->fn2->date(), f.fake.clock.today());
    QVERIFY(!tats.sheet(SuiteWindow::pageCount));
}

// Hiding the suite window (and quitting, which runs the same close steps) gives up a
// correction under way: the entry stays in its ledgers and the row is empty again.
void TestWindowSet::closingGivesUpACorrection()
{
    Fixture f;
    const QByteArray march("12,50<1>05/03/2013<2>Exit<3>Mercado<4>Dinheiro\r\n");
    QVERIFY(f.data.write("dados/Finance/03.2013.fin", march));
    QVERIFY(f.data.write("dados/Finance/2013.CX", march));
    SuiteWindow &tats = f.windows.tats;
    FinancePage *page = f.windows.finance;
    tats.ShowSuite();
    page->lvd1Click(0);
    page->corrections->Label30Click();
    page->corrections->LVF->setCurrentItem(page->corrections->LVF->topLevelItem(0));
    page->corrections->AltD();
    QVERIFY(page->correcting());

    tats.close();
    QVERIFY(!tats.isVisible());
    QVERIFY(!page->correcting());
    QCOMPARE(page->FN4->currentText(), QString());
    QCOMPARE(page->fn2->date(), f.fake.clock.today());
    QCOMPARE(f.data.read("dados/Finance/03.2013.fin"), march);
    QCOMPARE(f.data.read("dados/Finance/2013.CX"), march);
}

// One Timer2 tick. "showing": whether the suite window is open when the companion goes.
void TestWindowSet::notesAndDiaryLoadOnShowAndSaveOnClose()
{
    Fixture f;
    SuiteWindow &tats = f.windows.tats;
    QCOMPARE(tats.sheet(3)->findChild<NotesPage *>(), f.windows.notes);
    QCOMPARE(tats.sheet(4)->findChild<DiaryPage *>(), f.windows.diary);
    const QByteArray notes("{\\rtf1\\ansi Comprar p\\'e3o\\par\r\n}\r\n");
    QVERIFY(f.data.write("dados/Notas/Notas.speed", notes));
    QVERIFY(f.data.write("dados/Diary/01.03.2013", "velha"));
    f.fake.clock.set(QDate(2013, 3, 20));
    tats.ShowSuite();
    QCOMPARE(f.windows.notes->AN->toPlainText(), QString::fromUtf8("Comprar pão"));
    QCOMPARE(f.windows.diary->cal->date(), QDate(2013, 3, 20));
    QCOMPARE(f.windows.diary->LBD->count(), 1);
    f.windows.diary->RE->setFocus();
    QTest::keyClicks(f.windows.diary->RE, "novo dia");
    tats.close();
    // The untouched notes keep their bytes; the typed page lands under the shown date.
    QCOMPARE(f.data.read("dados/Notas/Notas.speed"), notes);
    QVERIFY(f.data.read("dados/Diary/20.03.2013").contains("novo dia\\par\r\n}\r\n"));
}

namespace {

// Types into an editor of the suite window at its end, as a person does.
void typeAtEnd(QWidget *editor, const QString &text)
{
    editor->setFocus();
    if (auto *rich = qobject_cast<QTextEdit *>(editor))
        rich->moveCursor(QTextCursor::End);
    else if (auto *plain = qobject_cast<QPlainTextEdit *>(editor))
        plain->moveCursor(QTextCursor::End);
    QTest::keyClicks(editor, text);
}

} // namespace

void TestWindowSet::textWhoseSaveFailedIsKeptAndTheUserIsTold()
{
    Fixture f;
    SuiteWindow &tats = f.windows.tats;
    QVERIFY(f.data.write("dados/Notas/Notas.speed", "{\\rtf1 notas\\par}"));
    QVERIFY(f.data.write("dados/Notas/Map.next", "memo\r\n"));
    QVERIFY(f.data.write("dados/Diary/20.03.2013", "{\\rtf1 dia\\par}"));
    f.fake.clock.set(QDate(2013, 3, 20));
    tats.ShowSuite();
    typeAtEnd(f.windows.notes->AN, " novas");
    typeAtEnd(f.windows.activityMap->MLPC, " novo");
    typeAtEnd(f.windows.diary->RE, " novo");
    {
        FileSizeLimit full(0); // as a folder that cannot be written
        QVERIFY(full.isSet());
        tats.close();
    }
    QVERIFY(f.fake.dialogs.messages().isEmpty());
    // The next show reads nothing over the texts that were not written, and says so.
    tats.ShowSuite();
    QCOMPARE(f.windows.notes->AN->toPlainText(), "notas novas");
    QCOMPARE(f.windows.activityMap->MLPC->toPlainText(), "memo novo");
    QCOMPARE(f.windows.diary->RE->toPlainText(), "dia novo");
    QCOMPARE(f.fake.dialogs.messages().size(), 1);
    const QString message = f.fake.dialogs.messages().first();
    QVERIFY2(message.contains(QString::fromUtf8("Anotações rápidas")) &&
                 message.contains(QString::fromUtf8("Diário, página de 20/03/2013")) &&
                 message.contains("Notas sobre os contatos"),
             qPrintable(message));
    // The next close writes them all, and the show after it says nothing.
    tats.close();
    QCOMPARE(plainTextOf(f.data.file("dados/Notas/Notas.speed")), "notas novas");
    QCOMPARE(plainTextOf(f.data.file("dados/Diary/20.03.2013")), "dia novo");
    QCOMPARE(f.data.read("dados/Notas/Map.next"), QByteArray("memo novo\r\n"));
    tats.ShowSuite();
    QCOMPARE(f.fake.dialogs.messages().size(), 1);
    tats.close();
}

void TestWindowSet::sessionEndSignalsSaveThenEnd_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("showing");
    QTest::newRow("SIGTERM while the window shows") << SIGTERM << true;
    QTest::newRow("SIGHUP while the window shows") << SIGHUP << true;
    // Hidden after a close whose save failed: the text is written now.
    QTest::newRow("SIGTERM while hidden") << SIGTERM << false;
}

void TestWindowSet::sessionEndSignalsSaveThenEnd()
{
    QFETCH(int, signal);
    QFETCH(bool, showing);
    Fixture f;
    ExitSignals exitSignals;
    QVERIFY(exitSignals.isActive());
    endOnSessionSignals(exitSignals, f.windows);
    SuiteWindow &tats = f.windows.tats;
    f.fake.clock.set(QDate(2013, 3, 20));
    tats.ShowSuite();
    typeAtEnd(f.windows.notes->AN, "nota");
    typeAtEnd(f.windows.activityMap->MLPC, "memo");
    typeAtEnd(f.windows.diary->RE, "dia");
    if (!showing) {
        FileSizeLimit full(0);
        QVERIFY(full.isSet());
        tats.close();
        QVERIFY(!tats.isVisible());
    }
    QCOMPARE(f.halts, QList<int>{});
    QVERIFY(std::raise(signal) == 0);
    QTRY_COMPARE(f.halts, QList<int>{0});
    QVERIFY(!tats.isVisible());
    QCOMPARE(plainTextOf(f.data.file("dados/Notas/Notas.speed")), "nota");
    QCOMPARE(plainTextOf(f.data.file("dados/Diary/20.03.2013")), "dia");
    QCOMPARE(f.data.read("dados/Notas/Map.next"), QByteArray("memo\r\n"));
}

void TestWindowSet::companionWatch_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<bool>("showing");
    QTest::addColumn<QStringList>("log");

    QTest::newRow("companion there") << true << false << QStringList{"backup hour"};
    QTest::newRow("companion there, suite showing") << true << true << QStringList{"backup hour"};
    QTest::newRow("companion gone") << false << false << QStringList{"halt"};
    // The suite window closes first, so typed text is saved before the program ends.
    QTest::newRow("companion gone, suite showing") << false << true << QStringList{"notes", "halt"};
}

void TestWindowSet::companionWatch()
{
    QFETCH(bool, present);
    QFETCH(bool, showing);
    QFETCH(QStringList, log);

    Fixture f;
    SuiteWindow &tats = f.windows.tats;
    tats.addCloseStep(CloseStep::SaveQuickNotes, [&] { f.log << QStringLiteral("notes"); });
    tats.addTimer2Step([&] { f.log << QStringLiteral("backup hour"); });
    if (showing)
        tats.ShowSuite();
    f.fake.companion.present = present;

    tats.Timer2Timer();
    QCOMPARE(f.fake.companion.checks, 1);
    QCOMPARE(f.log, log);
    QCOMPARE(f.halts, present ? QList<int>{} : QList<int>{0});
    QCOMPARE(tats.isVisible(), showing && present);
}

void TestWindowSet::companionGoneEndsProgramWithinOneTick()
{
    Fixture f;
    f.fake.companion.present = false;
    QSignalSpy halting(&f.windows.tops, &HiddenMainWindow::halting);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(halting.wait(2000));
    QVERIFY2(clock.elapsed() < 1500, QByteArray::number(clock.elapsed()).constData());
    QCOMPARE(f.halts, QList<int>{0});
}

// Offscreen there is no notification area: the whole start-up runs, the suite window
// shows at once, show requests are served, and Sai ends the event loop with exit code 0.
void TestWindowSet::withoutTrayTheSuiteShowsAndAnswersSecondStarts()
{
    QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
    FakeServices fake;
    TempDataFolder data;
    fake.companion.present = true;

    bool shownAtStart = false, memStarted = false, shownOnRequest = false;
    QTimer::singleShot(50, [&] {
        QWidget *tats = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->objectName() == QLatin1String("TATS"))
                tats = w;
            if (auto *tops = qobject_cast<HiddenMainWindow *>(w))
                memStarted = tops->MEM.isActive();
        }
        shownAtStart = tats && tats->isVisible();
        if (tats)
            tats->close();
        if (fake.instance.onShow)
            fake.instance.onShow(); // a second start asks for the window
        shownOnRequest = tats && tats->isVisible();
        fake.companion.present = false; // the next Timer2 tick ends the program
    });
    QElapsedTimer clock;
    clock.start();
    const int code = runDesk(*qApp, fake, data.paths());
    QCOMPARE(code, 0);
    QVERIFY(clock.elapsed() < 2500);
    QVERIFY(fake.instance.serving);
    QVERIFY(shownAtStart);
    QVERIFY(memStarted);
    QVERIFY(shownOnRequest);
}

void TestWindowSet::backupRunsAtItsHourFromTimer2()
{
    FakeServices fake;
    TempDataFolder data;
    const QString target = data.root() + QStringLiteral("/backup");
    QVERIFY(QDir().mkpath(target));
    QVERIFY(data.write("dados/Back.auto", "12:00:00\r\n" + target.toUtf8() + "\r\n"));
    QVERIFY(data.write("dados/Finance/03.2013.fin", "1,00<1>01/03/2013<2>Exit<3>a<4>Dinheiro\r\n"));
    WindowSet windows(fake, data.paths());
    QVERIFY(windows.tats.Panel10->isAncestorOf(windows.backup));

    QSignalSpy finished(windows.backup, &BackupBar::backupFinished);
    fake.clock.set(QDate(2013, 3, 15), QTime(11, 59, 59));
    windows.tats.Timer2Timer();
    QCOMPARE(finished.count(), 0);
    fake.clock.set(QDate(2013, 3, 15), QTime(12, 0, 0));
    windows.tats.Timer2Timer();
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.first().first().toBool(), true);
    QVERIFY(QFile::exists(target + QStringLiteral("/dados/Finance/03.2013.fin")));
}

void TestWindowSet::enterInReportSourceWritesAndOpensTheReport()
{
    Fixture f;
    QVERIFY(f.data.write("dados/Finance/03.2013.fin", "12,50<1>05/03/2013<2>Exit<3>Mercado<4>Dinheiro\r\n"));
    f.windows.tats.ShowSuite();
    FinancePage *page = f.windows.finance;
    page->lvd1Click(0);
    page->corrections->PO->setFocus();
    QTest::keyClicks(page->corrections->PO, "mer");
    QTest::keyClick(page->corrections->PO, Qt::Key_Return);

    const QByteArray report = f.data.read("dados/Relatorio.html");
    QVERIFY(report.contains("Mercado"));
    QCOMPARE(f.data.read("dados/Web.start"), QFile::encodeName(f.data.file("dados/Relatorio.html")) + "\r\n");
    QCOMPARE(f.fake.programs.started.size(), 1);
    QVERIFY(f.fake.programs.started.first().program.endsWith(QStringLiteral("Web")));
    QVERIFY(f.windows.tats.isVisible()); // Enter in the field does not close the window
}

void TestWindowSet::settingsPageFollowsTheWindowsSteps()
{
    FakeServices fake;
    TempDataFolder data;
    QVERIFY(data.write("dados/Sound.viw", "57948579487593465966\r\n"));
    {
        QFile splash(data.paths().windowsFile("\\WStart.dat"));
        QVERIFY(splash.open(QIODevice::WriteOnly));
    }
    WindowSet windows(fake, data.paths());
    SettingsPage *page = windows.settings;
    QVERIFY(page);
    QCOMPARE(windows.tats.sheet(11)->objectName(), QStringLiteral("TabSheet7"));
    QCOMPARE(page->parentWidget(), windows.tats.sheet(11));
    // The create step read two switches and armed TMCHK.
    QVERIFY(page->c3->isChecked());
    QVERIFY(page->nrs->isChecked());
    QVERIFY(!page->c1->isChecked());
    QVERIFY(page->TMCHK.isActive());

    // Each show empties both password fields.
    page->esh->setText("12");
    page->DBF->setText("34");
    windows.tats.ShowSuite();
    QVERIFY(page->esh->text().isEmpty());
    QVERIFY(page->DBF->text().isEmpty());

    // HiddenMainWindow's LBS holds the password file's lines once a check loaded them.
    QVERIFY(windows.password.set("1234"));
    QTest::keyClicks(page->esh, "1234");
    QTest::keyClick(page->esh, Qt::Key_Return);
    QCOMPARE(windows.tops.LBS->count(), 1);
    QCOMPARE(windows.tops.LBS->item(0)->text(), QStringLiteral("^]\\["));

    // "Gerenciar Autorun" closes the suite window.
    QVERIFY(windows.tats.isVisible());
    page->pmgaClick();
    QVERIFY(!windows.tats.isVisible());
    QCOMPARE(fake.minimizer.calls >= 1, true);
}

// While a restore runs the finance page writes nothing into the folder being replaced;
// afterwards the window shows the restored folder and holds nothing of the one it replaced.
void TestWindowSet::restoreHoldsTheFinanceWritesAndReloadsTheLists()
{
    FakeServices fake;
    fake.clock.set(QDate(2013, 3, 15), QTime(10, 0, 0));
    TempDataFolder data;
    const QString backup = data.root() + QStringLiteral("/backup");
    const QByteArray restored("7,00<1>09/03/2013<2>Exit<3>Feira<4>Dinheiro\r\n");
    QVERIFY(QDir().mkpath(backup + QStringLiteral("/dados/Finance")));
    for (const char *name : {"/dados/Finance/03.2013.fin", "/dados/Finance/2013.CX"}) {
        QFile file(backup + QLatin1String(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(restored) == restored.size());
    }
    QFile april(backup + QStringLiteral("/dados/Finance/04.2013.fin"));
    QVERIFY(april.open(QIODevice::WriteOnly));
    april.close();
    QVERIFY(data.write("dados/Back.auto", "  :  :  \r\n" + backup.toUtf8() + "\r\n"));
    const QByteArray live(
        "1,00<1>01/03/2013<2>Exit<3>a<4>Dinheiro\r\n2,00<1>02/03/2013<2>Exit<3>b<4>Dinheiro\r\n");
    QVERIFY(data.write("dados/Finance/03.2013.fin", live));
    QVERIFY(data.write("dados/Finance/2013.CX", live));

    WindowSet windows(fake, data.paths());
    windows.tats.ShowSuite();
    FinancePage *page = windows.finance;
    QCOMPARE(page->lvd1->count(), 1);
    QTest::mouseClick(page->lvd1->viewport(), Qt::LeftButton, {},
                      page->lvd1->visualItemRect(page->lvd1->item(0)).center());
    QTest::mouseClick(page->corrections->Label30, Qt::LeftButton);
    QApplication::processEvents(); // the entry list takes its place on the screen
    QTreeWidget *entries = page->corrections->LVF;
    const QRect row =
        entries->visualItemRect(entries->topLevelItem(0)).intersected(entries->viewport()->rect());
    QTest::mouseClick(entries->viewport(), Qt::LeftButton, {}, row.center());
    QVERIFY(page->canDeleteEntry());

    QSignalSpy finished(windows.backup, &BackupBar::restoreFinished);
    fake.dialogs.answers << true; // "Restaurar a cópia de ...?"
    QTest::mouseClick(windows.backup->pmo, Qt::LeftButton);
    QVERIFY(windows.backup->isRestoring());
    page->corrections->Excluir10->trigger(); // held: the folder may be half replaced
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.first().first().toBool(), true);
    QVERIFY(!windows.backup->isRestoring());

    QCOMPARE(data.read("dados/Finance/03.2013.fin"), restored);
    QCOMPARE(data.read("dados-anterior-2013-03-15_10-00-00/Finance/03.2013.fin"), live);
    QCOMPARE(page->lvd1->count(), 2);
    QVERIFY(page->heldLines().isEmpty());
    QCOMPARE(page->corrections->LVF->topLevelItemCount(), 0);
    page->corrections->Excluir10->trigger();
    QCOMPARE(data.read("dados/Finance/03.2013.fin"), restored);
    QCOMPARE(data.read("dados/Finance/2013.CX"), restored);
}

// Notes typed in the open window are in the copy "Now!" makes; text typed after it ends up
// in the folder a restore sets aside; after the restore every editor shows the restored
// files, and the next close writes nothing of what they held before.
void TestWindowSet::typedTextSurvivesBackupAndRestore()
{
    Fixture f;
    SuiteWindow &tats = f.windows.tats;
    BackupBar *bar = f.windows.backup;
    const QString backup = f.data.root() + QStringLiteral("/backup");
    f.fake.clock.set(QDate(2013, 3, 20), QTime(9, 9, 0));
    tats.ShowSuite();
    bar->LC->setText(backup);
    typeAtEnd(f.windows.notes->AN, "antes da copia");
    typeAtEnd(f.windows.activityMap->MLPC, "memo antes");
    QSignalSpy backedUp(bar, &BackupBar::backupFinished);
    QTest::mouseClick(bar->pma1, Qt::LeftButton);
    QVERIFY(backedUp.wait(10000));
    QCOMPARE(backedUp.first().first().toBool(), true);
    QCOMPARE(plainTextOf(backup + "/dados/Notas/Notas.speed"), "antes da copia");
    QVERIFY(!QFileInfo::exists(backup + "/dados/Diary/20.03.2013"));

    typeAtEnd(f.windows.notes->AN, " e depois");
    typeAtEnd(f.windows.activityMap->MLPC, " e depois");
    typeAtEnd(f.windows.diary->RE, "dia depois");
    f.fake.clock.set(QDate(2013, 3, 20), QTime(9, 30, 0));
    f.fake.dialogs.answers << true;
    QSignalSpy restored(bar, &BackupBar::restoreFinished);
    QTest::mouseClick(bar->pmo, Qt::LeftButton);
    QVERIFY(f.windows.notes->AN->isReadOnly());
    QVERIFY(restored.wait(10000));
    QCOMPARE(restored.first().first().toBool(), true);
    QVERIFY(!f.windows.notes->AN->isReadOnly());

    const QString kept = QStringLiteral("dados-anterior-2013-03-20_09-30-00");
    QCOMPARE(plainTextOf(f.data.file(kept + "/Notas/Notas.speed")), "antes da copia e depois");
    QCOMPARE(plainTextOf(f.data.file(kept + "/Diary/20.03.2013")), "dia depois");
    QCOMPARE(f.data.read(kept + "/Notas/Map.next"), QByteArray("memo antes e depois\r\n"));
    QCOMPARE(f.windows.notes->AN->toPlainText(), "antes da copia");
    QCOMPARE(f.windows.activityMap->MLPC->toPlainText(), "memo antes");
    QCOMPARE(f.windows.diary->RE->toPlainText(), QString());

    const QByteArray notes = f.data.read("dados/Notas/Notas.speed");
    tats.close();
    QVERIFY(!QFileInfo::exists(f.data.file("dados/Diary/20.03.2013")));
    QCOMPARE(f.data.read("dados/Notas/Notas.speed"), notes);
    QCOMPARE(f.data.read("dados/Notas/Map.next"), QByteArray("memo antes\r\n"));
}

void TestWindowSet::quietMomentSavesTheOpenEditor_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("file");
    QTest::newRow("quick notes") << "AN"
                                 << "dados/Notas/Notas.speed";
    QTest::newRow("diary page") << "RE"
                                << "dados/Diary/20.03.2013";
    QTest::newRow("contact notes") << "MLPC"
                                   << "dados/Notas/Map.next";
}

// While the window is open, an editor's changes are written a few seconds after the last
// key, each key putting that moment off; nothing is written before it.
void TestWindowSet::quietMomentSavesTheOpenEditor()
{
    QFETCH(QString, editor);
    QFETCH(QString, file);
    Fixture f;
    f.fake.clock.set(QDate(2013, 3, 20), QTime(9, 0, 0));
    f.windows.tats.ShowSuite();
    QWidget *page = editor == "AN"   ? static_cast<QWidget *>(f.windows.notes)
                    : editor == "RE" ? static_cast<QWidget *>(f.windows.diary)
                                     : static_cast<QWidget *>(f.windows.activityMap);
    auto *typed = page->findChild<QWidget *>(editor);
    QVERIFY(typed);
    auto *quiet = page->findChild<QTimer *>("quietSave");
    QVERIFY(quiet);
    QVERIFY(!quiet->isActive());
    typeAtEnd(typed, "primeira");
    QVERIFY(quiet->isActive());
    QCOMPARE(quiet->interval(), 3000);
    QVERIFY(!QFileInfo::exists(f.data.file(file)));
    QVERIFY(QMetaObject::invokeMethod(page, "QuietSaveTimerTimer"));
    QVERIFY(!quiet->isActive());
    QVERIFY(f.data.read(file).contains("primeira"));
    typeAtEnd(typed, " segunda");
    QVERIFY(quiet->isActive());
    QVERIFY(!f.data.read(file).contains("segunda"));
    QVERIFY(QMetaObject::invokeMethod(page, "QuietSaveTimerTimer"));
    QVERIFY(f.data.read(file).contains("primeira segunda"));
}

// The audio page's create and show steps: the auto-play track armed at creation and
// started by Timer5, the saved folder listed and the remembered track selected on show,
// the track list focused when its page is in front after the fade.
// The audio page's create and show steps: the start-up volume and its timer, the endpoint,
// the auto-play track armed at creation and started by Timer5, the saved music and picture
// folders listed and the remembered track selected on show, the track list focused when
// its page is in front after the fade.
void TestWindowSet::audioPageOnSheetTwoWithItsSteps()
{
    FakeServices fake;
    TempDataFolder data;
    const QString folder = data.root() + QStringLiteral("/Musicas");
    QVERIFY(QDir().mkpath(folder));
    for (const char *name : {"c.mp3", "a.mp3", "b.wma"})
        QVERIFY(QFile(folder + "/" + name).open(QIODevice::WriteOnly));
    QVERIFY(data.write("dados/Play.list", folder.toUtf8() + "/\r\n"));
    QVERIFY(data.write("Dados/Auto.rep", folder.toUtf8() + "/b.wma\r\n"));
    QVERIFY(QFile::copy(folder + "/a.mp3", folder + "/foto.png"));
    QVERIFY(data.write("dados/Slide.list", folder.toUtf8() + "/\r\n"));
    WaveSoundPlayer sounds(fake.volume); // the real show-sound player, on the page's volume
    WindowSet windows(fake, data.paths());
    AudioPage *page = windows.audio;
    QVERIFY(page);
    QVERIFY(windows.tats.sheet(2)->isAncestorOf(page));
    QVERIFY(page->Timer5.isActive());
    QVERIFY(page->TMVL.isActive());
    QVERIFY(page->hasEndpointVolume());
    QCOMPARE(fake.volume.levels(), std::optional<OutputVolume::Levels>(OutputVolume::Levels{13107, 13107}));
    // Short sounds play at the program's gain and follow it.
    QCOMPARE(sounds.gain(), 0.2);
    page->zorvVol->SetMute(true);
    QCOMPARE(sounds.gain(), 0.0);
    page->zorvVol->SetMute(false);
    QCOMPARE(page->gg->width(), 0);

    windows.tats.ShowSuite();
    QCOMPARE(page->FL2->count(), 3);
    QCOMPARE(page->FL2->currentRow(), 0);
    QCOMPARE(page->FLi->currentRow(), 0);
    QCOMPARE(page->slides->fl1->names(), QStringList{"foto.png"});

    page->Timer5Timer();
    QCOMPARE(fake.audio.last()->path, folder + "/b.wma");

    windows.tats.selectPage(2);
    for (int i = 0; i < 10 && windows.tats.Alpha.isActive(); ++i)
        windows.tats.AlphaTimer();
    QCOMPARE(windows.tats.focusWidget(), page->FL2);
}

void TestWindowSet::programFilterOnSinceStartUntilUnlocked()
{
    FakeServices fake;
    TempDataFolder data;
    QVERIFY(PasswordStore(data.paths()).set("1234"));
    QVERIFY(writeFlagFile(data.paths().windowsFile(kProgramFilterFlagFile)));
    QFile list(data.paths().windowsFile(kEmployeeListFile));
    QVERIFY(list.open(QIODevice::WriteOnly));
    list.write("Paint<>paint.exe@/opt/paint.exe\r\n");
    list.close();
    QPixmap paintIcon(16, 16);
    paintIcon.fill(Qt::red);
    fake.shell.icons.insert("/opt/paint.exe", QIcon(paintIcon));
    WindowSet windows(fake, data.paths());
    ProgramRestriction *panel = windows.restriction;
    QVERIFY(panel);
    QCOMPARE(panel->parentWidget(), windows.settings->employeeArea);
    QCOMPARE(windows.tops.FC->tag(), 5);
    QVERIFY(panel->C4->isChecked());
    QVERIFY(panel->TMLL.isActive());
    panel->TMLLTimer();
    QCOMPARE(panel->employeeLines(), QStringList{"Paint<>paint.exe@/opt/paint.exe"});
    QVERIFY(!panel->LFC->topLevelItem(0)->icon(0).isNull());
    // With the filter on, the shortcut center lists the released programs.
    windows.desk->shortcuts->Atualizar2Click();
    QCOMPARE(windows.desk->shortcuts->LVx->count(), 1);
    QCOMPARE(windows.desk->shortcuts->LVx->item(0)->text(), QStringLiteral("Paint"));

    // Switched on at start: "Excluir" stays off until an unlock.
    emit panel->PopupMenu10->aboutToShow();
    QVERIFY(!panel->Excluir9->isEnabled());
    windows.tops.setIconSlotsShown(false);
    for (char c : QByteArray("1234"))
        QTest::keyClick(windows.settings->DBF, c);
    QTest::keyClick(windows.settings->DBF, Qt::Key_Return);
    QCOMPARE(windows.tops.FC->tag(), 0);
    QVERIFY(windows.tops.iconSlotsShown());
    QVERIFY(!windows.tops.q.first()->isHidden() && !windows.tops.x.last()->isHidden());
    emit panel->PopupMenu10->aboutToShow();
    QVERIFY(panel->Excluir9->isEnabled());

    // TMCHK's tick brings C4 back to the flag file.
    QVERIFY(writeFlagFile(data.paths().windowsFile(kProgramFilterFlagFile)));
    windows.settings->TMCHKTimer();
    QVERIFY(panel->C4->isChecked());
}

QTEST_MAIN(TestWindowSet)
#include "tst_windowset.moc"
