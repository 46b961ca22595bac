// The suite window's life: create, show, fade-in, follow-ups and close, the keys, the page
// guard and page menu, the wheel and scroll-bar rules, the "Excluir" table and the
// interface colour. Real widgets offscreen on fakes and a temporary data folder; timers
// are ticked through their slots.
#include "app/interfacecolour.h"
#include "app/windowset.h"
#include "controls/contactnamebox.h"
#include "controls/currencyedit.h"
#include "controls/linklabel.h"
#include "finance/financepage.h"
#include "organizer/activitymappage.h"
#include "organizer/phonebookpage.h"
#include "platform/fakes.h"
#include "store/flagfile.h"
#include "tempdatafolder.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QStackedWidget>
#include <QSystemTrayIcon>
#include <QTreeWidget>
#include <QtTest>
#include <QWheelEvent>
#include <QWindow>

#include <memory>
#include <stdexcept>

using namespace zorv;

namespace {

// The window set on fakes over a temporary data folder; `prepare` writes files before the
// windows exist, so the create step sees them. Sounds, hand-offs and exits are recorded.
struct Suite
{
    FakeServices fake;
    TempDataFolder data;
    std::unique_ptr<WindowSet> windows;
    QStringList launched;
    QList<int> halts;

    explicit Suite(const std::function<void(TempDataFolder &)> &prepare = {})
    {
        if (prepare)
            prepare(data);
        windows = std::make_unique<WindowSet>(fake, data.paths());
        tats().setLauncher([this](const QString &target) { launched << target; });
        windows->tops.setHaltHandler([this](int code) { halts << code; });
    }
    ~Suite()
    {
        if (windows)
            tats().hide();
    }

    SuiteWindow &tats() { return windows->tats; }
    FinancePage &finance() { return *windows->finance; }
    void write(const QString &relative, const QByteArray &bytes = "x\r\n")
    {
        QVERIFY(data.write(relative, bytes));
    }

    // Ticks the fade-in until it stops; the opacities it went through.
    QList<int> fade()
    {
        QList<int> seen;
        for (int i = 0; i < 50 && tats().Alpha.isActive(); ++i) {
            tats().AlphaTimer();
            seen << tats().alpha();
        }
        return seen;
    }
};

QStringList items(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

void sendWheel(QWidget *over, int angle)
{
    QWindow *window = over->window()->windowHandle();
    const QPointF local = over->mapTo(over->window(), over->rect().center());
    QWheelEvent wheel(local, over->mapToGlobal(over->rect().center()), QPoint(), QPoint(0, angle),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(window, &wheel);
}

} // namespace

class TestSuiteWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void frameAndLayout();
    void createStepRunsOnceInSlotOrder();
    void programFilterTag_data();
    void programFilterTag();

    void showStepLoadsAfreshOnEveryShow();
    void showStepsRunInSlotOrderAndSurviveFailures();
    void typingSoundOnlyWhenTheFileExists();
    void defaultSoundIsHarmlessWithoutAudio();
    void unusedSheetsAndDividersStayBlank();

    void fadeIn_data();
    void fadeIn();
    void fadeStepByOsGeneration();
    void followUpsAfterTheFade();
    void escapeHidesFromAnyControlAndStopsTheFade();

    void pageGuardKeepsTheFinancePage();
    void pageMenuEntriesSelectTheirPage_data();
    void pageMenuEntriesSelectTheirPage();
    void pageMenuOtherEntries();

    void wheelPagesTheFocusedList();
    void hookedListsNeverShowScrollBars();
    void excluirEntries_data();
    void excluirEntries();
    void menuRuleTableDrivesAnyMenu();

    void contactPagesOnTheirSheets();
    void linksFollowTheFieldsOfTheWindow();

    void colourText_data();
    void colourText();
    void interfaceColourFile_data();
    void interfaceColourFile();
};

// The phone book and the activity map on their sheets: the map's date and notes follow
// each show, its notes are written on each close, and each page's contact field takes the
// focus after the fade-in.
void TestSuiteWindow::contactPagesOnTheirSheets()
{
    Suite s([](TempDataFolder &data) { data.write(QStringLiteral("dados/Notas/Map.next"), "Ana\r\n"); });
    SuiteWindow &tats = s.tats();
    PhoneBookPage *phoneBook = s.windows->phoneBook;
    ActivityMapPage *map = s.windows->activityMap;
    QCOMPARE(phoneBook->parentWidget(), tats.sheet(8));
    QCOMPARE(tats.sheet(8)->objectName(), QStringLiteral("Tel"));
    QCOMPARE(map->parentWidget(), tats.sheet(7));
    QCOMPARE(tats.sheet(7)->objectName(), QStringLiteral("TabSheet10"));

    s.fake.clock.set(QDate(2013, 4, 2));
    tats.Agendatelefnica1->trigger();
    QCOMPARE(tats.currentPage(), 8);
    s.fade();
    QTRY_VERIFY(phoneBook->e1->hasFocus());
    QCOMPARE(map->z2->date(), QDate(2013, 4, 2));
    QCOMPARE(map->MLPC->toPlainText(), QStringLiteral("Ana"));

    // Shown again, then the map chosen before the fade ends.
    tats.ShowSuite();
    tats.Algosobremim1->trigger();
    s.fade();
    QTRY_VERIFY(map->z1->hasFocus());
    map->MLPC->setFocus();
    QTest::keyClick(map->MLPC, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(map->MLPC, Qt::Key_Return);
    QTest::keyClicks(map->MLPC, "Bruno");
    QTest::keyClick(map->MLPC, Qt::Key_Escape);
    QVERIFY(!tats.isVisible());
    QCOMPARE(s.data.read(QStringLiteral("dados/Notas/Map.next")), QByteArray("Ana\r\nBruno\r\n"));
}

// The offscreen platform warns about every opacity and raise request; they are expected.
static QtMessageHandler s_testLog = nullptr;
static void quietPlatformWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support")))
        return;
    s_testLog(type, context, message);
}

// With the finance page in front, Tab walks its fields and the backup bar's, then the
// links: the finance page's, its reports and the backup bar's, each run by Enter or Space.
void TestSuiteWindow::linksFollowTheFieldsOfTheWindow()
{
    Suite s;
    SuiteWindow &tats = s.tats();
    tats.TrayIcon1Click();
    QTRY_VERIFY(s.finance().FN1->hasFocus());
    QStringList names;
    QList<QWidget *> order;
    for (int i = 0; i < 80; ++i) {
        QWidget *w = QApplication::focusWidget();
        order << w;
        names << w->objectName();
        QTest::keyClick(w, Qt::Key_Tab);
        if (QApplication::focusWidget() == s.finance().FN1)
            break;
    }
    QCOMPARE(QApplication::focusWidget(), s.finance().FN1);
    qsizetype firstLink = -1;
    for (qsizetype i = 0; i < order.size(); ++i) {
        const bool link = qobject_cast<LinkLabel *>(order[i]) != nullptr;
        if (link && firstLink < 0)
            firstLink = i;
        QVERIFY2(link || firstLink < 0, qPrintable("a field after the links: " + names.join(' ')));
    }
    QVERIFY(firstLink > 0);
    QVERIFY(names.mid(0, firstLink).contains(QStringLiteral("CS")));
    for (const char *link : {"pm1", "Label30", "pg2", "RPM", "rpo2", "ImportStatement", "pma", "pma1", "pmo"})
        QVERIFY2(names.indexOf(QLatin1String(link)) >= firstLink, link);

    // Space on a report link opens the report; Enter on the backup folder link asks for it.
    auto *report = tats.findChild<LinkLabel *>(QStringLiteral("pg2"));
    report->setFocus(Qt::TabFocusReason);
    QVERIFY(!QFile::exists(s.data.file("dados/Relatorio.html")));
    QTest::keyClick(report, Qt::Key_Space);
    QVERIFY(s.data.read("dados/Relatorio.html").contains("Zorv Desk - Financial"));
    auto *folder = tats.findChild<LinkLabel *>(QStringLiteral("pma"));
    folder->setFocus(Qt::TabFocusReason);
    QTest::keyClick(folder, Qt::Key_Return);
    QVERIFY(!s.fake.dialogs.shown.isEmpty());
    QCOMPARE(s.fake.dialogs.shown.last().kind, FakeDialogs::Kind::ChooseFolder);
}

void TestSuiteWindow::initTestCase()
{
    s_testLog = qInstallMessageHandler(quietPlatformWarnings);
}

void TestSuiteWindow::frameAndLayout()
{
    Suite s;
    SuiteWindow &tats = s.tats();
    QCOMPARE(tats.windowTitle(), QStringLiteral("Zorv Desk Plus"));
    QVERIFY(tats.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(tats.colour(), QColor(0, 65, 116));
    QCOMPARE(tats.palette().color(QPalette::Window), QColor(0, 65, 116));
    QCOMPARE(tats.font().pointSize(), 8);

    // Hidden after creation, screen wide, 54 pixels short of the screen, on page 0.
    const QRect screen = tats.screen()->geometry();
    QVERIFY(!tats.isVisible());
    QCOMPARE(tats.geometry().width(), screen.width());
    QCOMPARE(tats.geometry().height(), screen.height() - 54);
    QCOMPARE(tats.currentPage(), 0);

    QStringList sheets;
    for (int i = 0; i < SuiteWindow::pageCount; ++i)
        sheets << tats.sheet(i)->objectName();
    QCOMPARE(sheets,
             (QStringList{"TabSheet1", "TabSheet9", "TabSheet2", "TabSheet3", "TabSheet4", "TabSheet5",
                          "TabSheet6", "TabSheet10", "Tel", "TabSheet11", "TabSheet13", "TabSheet7"}));

    tats.ShowSuite();
    QCOMPARE(tats.geometry(), screen);
    QCOMPARE(tats.Topo->geometry(), QRect(0, 0, screen.width(), 49));
    QVERIFY(!tats.Topo->pixmap().isNull() && !tats.Logo->pixmap().isNull() && !tats.IBT->pixmap().isNull());
    QCOMPARE(tats.Logo->pos(), QPoint(14, 10));
    QCOMPARE(tats.IBT->size(), QSize(21, 39));
    QCOMPARE(tats.IBT->y(), 6);
    QVERIFY(tats.IBT->geometry().right() < screen.width() && tats.IBT->x() > screen.width() / 2);
    // PDG fills between header and bottom panel; PNN covers the strip over the pages.
    QCOMPARE(tats.Panel10->geometry(), QRect(0, screen.height() - 37, screen.width(), 37));
    QCOMPARE(tats.PDG->geometry(), QRect(0, 49, screen.width(), screen.height() - 49 - 37));
    QCOMPARE(tats.PNN->geometry(), QRect(0, -4, screen.width(), 34));
    QCOMPARE(tats.xPG->y(), tats.PNN->geometry().bottom() + 1);
    QVERIFY(tats.Panel10->findChild<QWidget *>(QStringLiteral("backupBar")));
    QVERIFY(tats.Panel10->findChild<QWidget *>(QStringLiteral("wst")));
    QVERIFY(tats.pm2->isHidden());

    // The close picture closes.
    QTest::mouseClick(tats.IBT, Qt::LeftButton);
    QVERIFY(!tats.isVisible());
}

void TestSuiteWindow::createStepRunsOnceInSlotOrder()
{
    FakeServices fake;
    TempDataFolder data;
    HiddenMainWindow tops(fake);
    SuiteWindow tats(fake, data.paths(), tops);
    QStringList log;
    // Added in the reverse of their order.
    tats.addCreateStep(CreateStep::AutoPlay, [&] { log << "auto play"; });
    tats.addCreateStep(CreateStep::BackupSettings, [&] { log << "backup"; });
    tats.addCreateStep(CreateStep::DeferredTimers, [&] { throw std::runtime_error("no trainer"); });
    tats.addCreateStep(CreateStep::MasterVolume, [&] { log << "volume"; });
    QVERIFY(!tats.Timer2.isActive());

    tats.FormCreate();
    QCOMPARE(log, (QStringList{"volume", "backup", "auto play"}));
    QVERIFY(tats.Timer2.isActive());
    QCOMPARE(tats.currentPage(), 0);
    tats.FormCreate();
    QCOMPARE(log.size(), 3);
}

void TestSuiteWindow::programFilterTag_data()
{
    QTest::addColumn<bool>("filterOn");
    QTest::addColumn<int>("tag");
    QTest::newRow("no filter file") << false << 0;
    QTest::newRow("filter file") << true << 5;
}

void TestSuiteWindow::programFilterTag()
{
    QFETCH(bool, filterOn);
    QFETCH(int, tag);
    Suite s([&](TempDataFolder &data) {
        if (filterOn)
            QVERIFY(writeFlagFile(data.paths().windowsFile(QStringLiteral("\\MSDriver.dat"))));
    });
    QCOMPARE(s.windows->tops.FC->tag(), tag);
}

// The road into the finance page: every show reloads what it shows, nothing is cached.
void TestSuiteWindow::showStepLoadsAfreshOnEveryShow()
{
    Suite s([](TempDataFolder &data) {
        data.write(QStringLiteral("dados/Finance/03.2013.fin"), "");
        data.write(QStringLiteral("dados/Finance/01.2013.fin"), "");
        data.write(QStringLiteral("dados/Money.sbm"), "US$\r\n");
    });
    SuiteWindow &tats = s.tats();
    FinancePage &finance = s.finance();

    emit tats.TrayIcon1->activated(QSystemTrayIcon::Trigger);
    QVERIFY(tats.isVisible());
    QCOMPARE(tats.currentPage(), SuiteWindow::financePage);
    QCOMPARE(items(finance.lvd1), (QStringList{"01.2013.fin", "03.2013.fin"}));
    QCOMPARE(finance.SBM->text(), QStringLiteral("US$"));
    QCOMPARE(finance.fn2->date(), QDate(2013, 3, 15));
    QTRY_VERIFY(finance.FN1->hasFocus());
    QCOMPARE(s.fake.minimizer.calls, 1);
    QVERIFY(tats.TMF.isActive()); // the tray click's own follow-up

    // Closed, the files change, a day passes; the next click shows the new state.
    QTest::keyClick(finance.FN1, Qt::Key_Escape);
    QVERIFY(!tats.isVisible());
    s.write(QStringLiteral("dados/Finance/02.2013.fin"), "");
    s.write(QStringLiteral("dados/Money.sbm"), "EUR\r\n");
    s.fake.clock.set(QDate(2013, 3, 16));
    finance.FN1->setText(QStringLiteral("12,50"));

    tats.TrayIcon1Click();
    QCOMPARE(items(finance.lvd1), (QStringList{"01.2013.fin", "02.2013.fin", "03.2013.fin"}));
    QCOMPARE(finance.SBM->text(), QStringLiteral("EUR"));
    QCOMPARE(finance.fn2->date(), QDate(2013, 3, 16));
    QVERIFY(finance.FN1->text().isEmpty());
    QCOMPARE(s.fake.minimizer.calls, 2);

    // A click while it shows runs the show step again, fading in anew from 0.
    s.fade();
    s.write(QStringLiteral("dados/Finance/04.2013.fin"), "");
    tats.TrayIcon1Click();
    QCOMPARE(tats.alpha(), 0);
    QVERIFY(tats.Alpha.isActive());
    QCOMPARE(finance.lvd1->count(), 4);
    QCOMPARE(s.fake.minimizer.calls, 3);

    // LoadAll alone reloads the lists.
    s.write(QStringLiteral("dados/Finance/05.2013.fin"), "");
    tats.LoadAll();
    QCOMPARE(finance.lvd1->count(), 5);
}

void TestSuiteWindow::showStepsRunInSlotOrderAndSurviveFailures()
{
    Suite s;
    SuiteWindow &tats = s.tats();
    QStringList log;
    tats.addShowStep(ShowStep::DiaryListAgain, [&] { log << "diary again"; });
    tats.addShowStep(ShowStep::LoadPlaylistPosition, [&] { log << "playlist position"; });
    tats.addShowStep(ShowStep::LoadHistory, [&] { throw std::runtime_error("unreadable history"); });
    tats.addShowStep(ShowStep::LoadQuickNotes, [&] { log << "notes"; });
    tats.addShowStep(ShowStep::ResetFields, [&] { log << "fields"; });
    tats.addShowStep(ShowStep::BackupStatus, [&] { log << QString::number(tats.currentPage()); });
    tats.addShowStep(ShowStep::Today, [&] { log << QString::number(tats.currentPage()); });

    tats.ShowSuite();
    // The backup status comes before page 6 is selected, the dates after it; LoadAll in
    // its order; a failing load ends only itself.
    QCOMPARE(log, (QStringList{"0", "fields", "6", "notes", "playlist position", "diary again"}));

    log.clear();
    tats.LoadAll();
    QCOMPARE(log, (QStringList{"notes", "playlist position"}));
}

void TestSuiteWindow::typingSoundOnlyWhenTheFileExists()
{
    Suite s;
    s.tats().ShowSuite();
    QVERIFY(s.fake.sound.played.isEmpty());
    s.tats().close();

    s.write(QStringLiteral("Dados/Media/Typing.wav"), "RIFF");
    s.tats().ShowSuite();
    s.tats().ShowSuite();
    QCOMPARE(s.fake.sound.played.size(), 2);
    QCOMPARE(QFileInfo(s.fake.sound.played.first()).fileName(), QStringLiteral("Typing.wav"));
}

// The real player: an undecodable file, a missing resource, or a machine without audio
// play nothing, show nothing and return at once.
void TestSuiteWindow::defaultSoundIsHarmlessWithoutAudio()
{
    TempDataFolder data;
    data.write(QStringLiteral("dados/Media/Typing.wav"), "not a wave file");
    FakeOutputVolume volume;
    WaveSoundPlayer player(volume);
    player.play(data.file(QStringLiteral("dados/Media/Typing.wav")));
    player.play(QStringLiteral(":/no/such/sound.wav"));
    player.play(data.file(QStringLiteral("dados/Media/Typing.wav")));
    QCoreApplication::processEvents();
    QVERIFY(QApplication::topLevelWidgets().isEmpty() || !QApplication::activeModalWidget());
}

void TestSuiteWindow::unusedSheetsAndDividersStayBlank()
{
    Suite s;
    SuiteWindow &tats = s.tats();
    auto *shortcuts = new QLabel(QStringLiteral("shortcut center"));
    auto *notes = new QLabel(QStringLiteral("quick notes"));
    tats.setPage(0, shortcuts);
    tats.setPage(3, notes);
    QVERIFY(!tats.q2->pixmap().isNull());

    tats.ShowSuite();
    QVERIFY(tats.q2->pixmap().isNull());
    tats.selectPage(0);
    QCOMPARE(tats.currentPage(), 0);
    QVERIFY(!shortcuts->isVisible());
    tats.selectPage(3);
    QVERIFY(notes->isVisible());
}

// Older systems fade in twice as fast; this system counts as "Seven".
void TestSuiteWindow::fadeStepByOsGeneration()
{
    QCOMPARE(SuiteWindow::alphaStepFor(QStringLiteral("XP")), 60);
    QCOMPARE(SuiteWindow::alphaStepFor(QStringLiteral("Vista")), 30);
    QCOMPARE(SuiteWindow::alphaStepFor(QStringLiteral("Seven")), 30);
}

void TestSuiteWindow::fadeIn_data()
{
    QTest::addColumn<bool>("noFade");
    QTest::addColumn<QList<int>>("opacities");
    QTest::newRow("fades") << false << QList<int>{30, 60, 90, 120, 150, 180, 210, 240, 230};
    QTest::newRow("Dados\\Open.imd skips it") << true << QList<int>{230};
}

void TestSuiteWindow::fadeIn()
{
    QFETCH(bool, noFade);
    QFETCH(QList<int>, opacities);
    Suite s([&](TempDataFolder &data) {
        if (noFade)
            data.write(QStringLiteral("dados/Open.imd"), "57948579487593465966\r\n");
    });
    SuiteWindow &tats = s.tats();
    tats.ShowSuite();
    QCOMPARE(tats.alpha(), 0);
    QVERIFY(tats.Alpha.isActive());
    QCOMPARE(tats.Alpha.interval(), 10);
    tats.TMF.stop();
    // The test ticks the fade itself: the real timer's ticks while events are processed below
    // (a slow machine lets several pass) must not move it on.
    const QSignalBlocker realTicks(&tats.Alpha);
    // The fade waits while the focus moves: a tick of its own in between would end it early
    // (or at once, with "Open.imd") and put the focus back in FN1.
    tats.Alpha.stop();
    s.finance().FN4->setFocus();
    QTRY_VERIFY(s.finance().FN4->hasFocus());
    tats.Alpha.start();

    QCOMPARE(s.fade(), opacities);
    QVERIFY(!tats.Alpha.isActive());
    QCOMPARE(tats.windowOpacity(), 230 / 255.0);
    // The end of the fade puts the focus back in the amount field and starts both follow-ups.
    QTRY_VERIFY(s.finance().FN1->hasFocus());
    QVERIFY(tats.TMF.isActive() && tats.TMF.isSingleShot() && tats.TMF.interval() == 200);
    QVERIFY(tats.TMTT.isActive() && tats.TMTT.isSingleShot() && tats.TMTT.interval() == 200);
}

void TestSuiteWindow::followUpsAfterTheFade()
{
    Suite s;
    SuiteWindow &tats = s.tats();
    QStringList log;
    tats.addAfterFadeStep(AfterFadeStep::QuickNotesFocus, [&] { log << "notes focus"; });
    tats.addAfterFadeStep(AfterFadeStep::ShortcutCenter, [&] { log << "shortcuts"; });
    tats.ShowSuite();
    s.fade();

    // Typed during the fade, a month list selection: the refresh rebuilds the list.
    s.finance().FN1->setText(QStringLiteral("7"));
    s.write(QStringLiteral("dados/Finance/06.2013.fin"), "");
    tats.TMTTTimer();
    QVERIFY(!tats.TMTT.isActive());
    QCOMPARE(items(s.finance().lvd1), QStringList{"06.2013.fin"});
    QCOMPARE(log, (QStringList{"shortcuts", "notes focus"}));

    tats.TMFTimer();
    QVERIFY(!tats.TMF.isActive());
    QTRY_VERIFY(tats.isActiveWindow());
    // Nothing typed is disturbed by the follow-ups.
    QCOMPARE(s.finance().FN1->text(), QStringLiteral("7"));
}

void TestSuiteWindow::escapeHidesFromAnyControlAndStopsTheFade()
{
    Suite s;
    SuiteWindow &tats = s.tats();
    int closes = 0;
    tats.addCloseStep(CloseStep::SaveQuickNotes, [&] { ++closes; });
    for (QWidget *control :
         QList<QWidget *>{s.finance().FN1, s.finance().lvd1, s.finance().FN4->lineEdit(), s.finance().fn2}) {
        tats.ShowSuite();
        QVERIFY(tats.Alpha.isActive());
        QTest::keyClick(control, Qt::Key_Escape);
        QVERIFY2(!tats.isVisible(), qPrintable(control->objectName()));
        QVERIFY(!tats.Alpha.isActive() && !tats.TMF.isActive() && !tats.TMTT.isActive());
    }
    QCOMPARE(closes, 4);
    QVERIFY(s.halts.isEmpty());
}

void TestSuiteWindow::pageGuardKeepsTheFinancePage()
{
    Suite s;
    SuiteWindow &tats = s.tats();
    tats.ShowSuite();
    QTRY_VERIFY(s.finance().FN1->hasFocus());
    const QList<std::pair<Qt::Key, Qt::KeyboardModifiers>> switches = {
        {Qt::Key_Tab, Qt::ControlModifier},
        {Qt::Key_PageDown, Qt::ControlModifier},
        {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier}};
    for (const auto &[key, modifiers] : switches) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        QCOMPARE(tats.currentPage(), SuiteWindow::financePage);
    }
    // Whatever switches the container itself is turned back at once.
    tats.xPG->setCurrentIndex(3);
    QCOMPARE(tats.currentPage(), SuiteWindow::financePage);
    // The program's own choice stands.
    tats.selectPage(3);
    QCOMPARE(tats.currentPage(), 3);
}

void TestSuiteWindow::pageMenuEntriesSelectTheirPage_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("hidden");
    QTest::addColumn<int>("page");
    QTest::newRow("shortcuts") << "readetrabalho1"
                               << "Centro de atalhos" << true << 0;
    QTest::newRow("aliases") << "Visualdoambiente1"
                             << "Centro de apelidos" << true << 1;
    QTest::newRow("finance") << "Ferramentasdetrabalho1"
                             << "Minhas finanças" << false << 6;
    QTest::newRow("notes") << "Visualizadordeimagens1"
                           << "Anotações rápidas" << false << 3;
    QTest::newRow("appointments") << "Compromissoseanotaes1"
                                  << "Compromissos..." << false << 5;
    QTest::newRow("activity map") << "Algosobremim1"
                                  << "Mapa de atividades" << false << 7;
    QTest::newRow("diary") << "Meudiriopessoal1"
                           << "Meu diário pessoal" << false << 4;
    QTest::newRow("phone book") << "Agendatelefnica1"
                                << "Agenda telefônica" << false << 8;
    QTest::newRow("audio player") << "udioplayer1"
                                  << "Player de áudio" << true << 2;
    QTest::newRow("word lookup") << "Dicionrioetradutor1"
                                 << "Consulta de palavras" << true << 9;
    QTest::newRow("trainer") << "Personaltrainer1"
                             << "Personal trainer" << true << 10;
}

void TestSuiteWindow::pageMenuEntriesSelectTheirPage()
{
    QFETCH(QString, entry);
    QFETCH(QString, caption);
    QFETCH(bool, hidden);
    QFETCH(int, page);
    Suite s;
    SuiteWindow &tats = s.tats();
    auto *action = tats.PopupMenu1->findChild<QAction *>(entry);
    QVERIFY(action);
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->isVisible(), !hidden);

    // From hidden: the window shows (its show step runs), then the page is selected.
    action->trigger();
    QVERIFY(tats.isVisible());
    QCOMPARE(s.fake.minimizer.calls, 1);
    QCOMPARE(tats.currentPage(), page);
    // While showing: no second show step.
    tats.selectPage(SuiteWindow::financePage);
    action->trigger();
    QCOMPARE(s.fake.minimizer.calls, 1);
    QCOMPARE(tats.currentPage(), page);
}

void TestSuiteWindow::pageMenuOtherEntries()
{
    Suite s;
    SuiteWindow &tats = s.tats();
    QStringList closes;
    tats.addCloseStep(CloseStep::SaveDiaryPage, [&] { closes << "saved"; });
    QCOMPARE(tats.PopupMenu1->findChild<QMenu *>("helpMenu")->menuAction()->isVisible(), false);

    tats.Ajuda1->trigger();
    tats.Daroseufeedback1->trigger();
    QCOMPARE(s.launched.size(), 2);
    QVERIFY(s.launched[0].startsWith("https://") && s.launched[1].startsWith("https://"));
    QVERIFY(s.launched[0] != s.launched[1]);

    // The contact program is handed over by its full path; the window closes (and saves).
    tats.ShowSuite();
    tats.ContatocomaBrevance1->trigger();
    QVERIFY(!tats.isVisible());
    QCOMPARE(s.launched.last(), s.data.paths().exeDir() + "zorvContact.exe");
    QCOMPARE(closes.size(), 1);
    const int minimised = s.fake.minimizer.calls;

    // Mail: closes, minimises all, and starts the mail program only when it is there.
    tats.ShowSuite();
    tats.Maladireta1->trigger();
    QVERIFY(!tats.isVisible());
    QCOMPARE(closes.size(), 2);
    QCOMPARE(s.fake.minimizer.calls, minimised + 2);
    QVERIFY(s.fake.programs.started.isEmpty());
    QVERIFY(QDir(s.data.paths().exeDir()).mkpath("Aplicativos"));
    s.write(QStringLiteral("Aplicativos/MD.exe"));
    tats.ShowSuite();
    tats.Maladireta1->trigger();
    QCOMPARE(closes.size(), 3);
    QCOMPARE(s.fake.programs.started.size(), 1);
    QCOMPARE(s.fake.programs.started[0].program, s.data.file("Aplicativos/MD.exe"));
    QCOMPARE(s.fake.programs.started[0].arguments, QStringList{"DeL"});

    // End the program: the close step saves first.
    tats.ShowSuite();
    tats.Finalizaroprograma1->trigger();
    QCOMPARE(closes.size(), 4);
    QVERIFY(!tats.isVisible());
    QCOMPARE(s.halts, QList<int>{0});
}

void TestSuiteWindow::wheelPagesTheFocusedList()
{
    Suite s;
    SuiteWindow &tats = s.tats();
    QListWidget *months = s.finance().lvd1;
    tats.ShowSuite();
    for (int i = 0; i < 300; ++i)
        months->addItem(QStringLiteral("%1.2013.fin").arg(i));
    months->setFocus();
    QTRY_VERIFY(months->hasFocus());
    QScrollBar *bar = months->verticalScrollBar();
    QVERIFY(bar->maximum() > 3 * bar->pageStep());

    // Over the header, which does not scroll itself: exactly a page per notch.
    sendWheel(tats.Topo, -120);
    QCOMPARE(bar->value(), bar->pageStep());
    sendWheel(tats.Topo, -240);
    QCOMPARE(bar->value(), 3 * bar->pageStep());
    sendWheel(tats.Topo, 120);
    QCOMPARE(bar->value(), 2 * bar->pageStep());
    // Fine-grained wheels add up to a notch.
    sendWheel(tats.Topo, 60);
    QCOMPARE(bar->value(), 2 * bar->pageStep());
    sendWheel(tats.Topo, 60);
    QCOMPARE(bar->value(), bar->pageStep());

    // Focus in a field that is not a list: the list stays.
    s.finance().FN1->setFocus();
    QTRY_VERIFY(s.finance().FN1->hasFocus());
    sendWheel(tats.Topo, -120);
    QCOMPARE(bar->value(), bar->pageStep());
}

void TestSuiteWindow::hookedListsNeverShowScrollBars()
{
    Suite s;
    SuiteWindow &tats = s.tats();
    // A list placed after creation, under one of the hooked names, is hooked too.
    auto *history = new QListWidget;
    history->setObjectName(QStringLiteral("PN"));
    tats.setPage(0, history);
    tats.ShowSuite();
    for (int i = 0; i < 300; ++i) {
        s.finance().lvd1->addItem(QStringLiteral("a long month file name %1.fin").arg(i).repeated(5));
        new QTreeWidgetItem(s.finance().corrections->LVF, {QString::number(i), "15/03/2013", "Entrada", "x"});
    }
    QCoreApplication::processEvents();
    for (QAbstractScrollArea *list :
         QList<QAbstractScrollArea *>{s.finance().lvd1, s.finance().corrections->LVF, history}) {
        QCOMPARE(list->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(list->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    }
    QVERIFY(!s.finance().lvd1->verticalScrollBar()->isVisible());
    QVERIFY(s.finance().lvd1->verticalScrollBar()->maximum() > 0); // still scrolls by keys
}

void TestSuiteWindow::excluirEntries_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("somethingToDelete");
    for (bool yes : {false, true}) {
        const char *tail = yes ? ", something to delete" : ", nothing to delete";
        QTest::addRow("months%s", tail) << "PopupMenu8"
                                        << "Excluir7" << yes;
        QTest::addRow("entries%s", tail) << "PPF"
                                         << "Excluir10" << yes;
        QTest::addRow("sources%s", tail) << "PopupMenu12"
                                         << "Excluir12" << yes;
    }
}

void TestSuiteWindow::excluirEntries()
{
    QFETCH(QString, menu);
    QFETCH(QString, entry);
    QFETCH(bool, somethingToDelete);
    Suite s;
    FinancePage &f = s.finance();
    s.tats().ShowSuite();
    if (somethingToDelete) {
        f.lvd1->addItem(QStringLiteral("03.2013.fin"));
        auto *row = new QTreeWidgetItem(f.corrections->LVF, {"10,00", "15/03/2013", "Entrada", "LOJA"});
        f.corrections->LVF->setCurrentItem(row);
        f.FN4->setEditText(QStringLiteral("LOJA"));
    } else {
        f.lvd1->clear();
        f.corrections->LVF->clear();
        f.FN4->setEditText(QString());
    }
    auto *popup = f.findChild<QMenu *>(menu);
    auto *action = popup->findChild<QAction *>(entry);
    QVERIFY(popup && action);
    action->setEnabled(!somethingToDelete);
    popup->popup(QPoint(10, 10));
    QCOMPARE(action->isEnabled(), somethingToDelete);
    popup->close();
}

void TestSuiteWindow::menuRuleTableDrivesAnyMenu()
{
    Suite s;
    QMenu menu;
    QAction *remove = menu.addAction(QStringLiteral("Excluir"));
    QAction *print = menu.addAction(QStringLiteral("Imprimir"));
    bool selected = false, text = true;
    s.tats().addMenuRule(&menu, remove, [&] { return selected; });
    s.tats().addMenuRule(&menu, print, [&] { return text; });
    emit menu.aboutToShow();
    QVERIFY(!remove->isEnabled() && print->isEnabled());
    selected = true;
    text = false;
    emit menu.aboutToShow();
    QVERIFY(remove->isEnabled() && !print->isEnabled());
}

void TestSuiteWindow::colourText_data()
{
    const QPalette system = QGuiApplication::palette();
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("colour"); // invalid: not a colour text
    QTest::newRow("clNavy") << "clNavy" << QColor(0, 0, 128);
    QTest::newRow("clSkyBlue") << "clSkyBlue" << QColor(166, 202, 240);
    QTest::newRow("letter case") << "CLNAVY" << QColor(0, 0, 128);
    QTest::newRow("clBtnFace") << "clBtnFace" << system.color(QPalette::Button);
    QTest::newRow("$00FF0000 is blue") << "$00FF0000" << QColor(0, 0, 255);
    QTest::newRow("255 is red") << "255" << QColor(255, 0, 0);
    QTest::newRow("trailing blanks") << "clWhite  " << QColor(255, 255, 255);
    QTest::newRow("system colour by number") << "-16777201" << system.color(QPalette::Button);
    QTest::newRow("garbage") << "azul marinho" << QColor();
    QTest::newRow("unknown cl name") << "clSunset" << QColor();
    QTest::newRow("clNone names no colour") << "clNone" << QColor();
    QTest::newRow("bad hex") << "$GG0000" << QColor();
    QTest::newRow("beyond 24 bits") << "$1FFFFFFF" << QColor();
    QTest::newRow("empty") << "" << QColor();
}

void TestSuiteWindow::colourText()
{
    QFETCH(QString, text);
    QFETCH(QColor, colour);
    const auto parsed = colourFromText(text, QGuiApplication::palette());
    QCOMPARE(parsed.has_value(), colour.isValid());
    if (parsed)
        QCOMPARE(*parsed, colour);
}

void TestSuiteWindow::interfaceColourFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("no file") << QByteArray() << QColor(0, 65, 116);
    QTest::newRow("clNavy") << QByteArray("clNavy\r\n") << QColor(0, 0, 128);
    QTest::newRow("hex") << QByteArray("$0000FF00\r\nignored\r\n") << QColor(0, 255, 0);
    QTest::newRow("garbage keeps the built-in colour") << QByteArray("verde\r\n") << QColor(0, 65, 116);
    QTest::newRow("empty file") << QByteArray("") << QColor(0, 65, 116);
}

void TestSuiteWindow::interfaceColourFile()
{
    QFETCH(QByteArray, file);
    QFETCH(QColor, colour);
    Suite s([&](TempDataFolder &data) {
        if (!file.isNull())
            data.write(QStringLiteral("dados/interface.col"), file);
        data.write(QStringLiteral("dados/Money.sbm"), "US$\r\n");
    });
    SuiteWindow &tats = s.tats();
    // Read at creation already.
    QCOMPARE(tats.colour(), colour);
    tats.ShowSuite();
    QCOMPARE(tats.colour(), colour);
    QCOMPARE(tats.palette().color(QPalette::Window), colour);
    QCOMPARE(tats.palette().color(QPalette::WindowText), colour);
    // Whatever the file held, the rest of the show step ran.
    QCOMPARE(s.finance().SBM->text(), QStringLiteral("US$"));
    const bool changed = colour != QColor(0, 65, 116);
    QCOMPARE(s.finance().sq1->styleSheet().contains(colour.name()), changed);

    // Read again on every show: a colour written since applies at the next one.
    tats.close();
    s.write(QStringLiteral("dados/interface.col"), "clMaroon\r\n");
    tats.ShowSuite();
    QCOMPARE(tats.colour(), QColor(128, 0, 0));
    QVERIFY(s.finance().sq2->styleSheet().contains(QColor(128, 0, 0).name()));
    QVERIFY(!s.finance().sq2->styleSheet().contains(colour.name()) || !changed);
}

QTEST_MAIN(TestSuiteWindow)
#include "tst_suitewindow.moc"
