// The opt-in full suite: its flag file read at each show, the settings box and the tray
// menu that switch it, the page bar and its keys, the page menu with every entry, the show
// step that hides nothing and minimises nothing, and "Sair". Real widgets offscreen on fakes
// and a temporary data folder; the fade-in is ticked through its slot.
#include "app/fullsuite.h"
#include "app/pagebar.h"
#include "app/windowset.h"
#include "controls/contactnamebox.h"
#include "controls/currencyedit.h"
#include "controls/linklabel.h"
#include "finance/financepage.h"
#include "organizer/notespage.h"
#include "organizer/phonebookpage.h"
#include "organizer/richtextedit.h"
#include "platform/fakes.h"
#include "richtextread.h"
#include "settings/settingspage.h"
#include "store/flagfile.h"
#include "tempdatafolder.h"
#include "typing.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QSystemTrayIcon>
#include <QTextDocument>
#include <QtTest>

#include <memory>

using namespace zorv;

namespace {

struct Suite
{
    FakeServices fake;
    TempDataFolder data;
    std::unique_ptr<WindowSet> windows;
    QList<int> halts;

    explicit Suite(bool fullSuite)
    {
        if (fullSuite)
            QVERIFY(writeFlagFile(data.file(kSuiteFullFlag)));
        windows = std::make_unique<WindowSet>(fake, data.paths());
        windows->tops.setHaltHandler([this](int code) { halts << code; });
    }
    ~Suite() { tats().hide(); }

    SuiteWindow &tats() { return windows->tats; }
    bool flagSet() const { return QFile::exists(data.file(kSuiteFullFlag)); }

    // Shows the window from the tray and lets the fade-in end, as the user sees it.
    void show()
    {
        tats().TrayIcon1Click();
        for (int i = 0; i < 50 && tats().Alpha.isActive(); ++i)
            tats().AlphaTimer();
        QTRY_VERIFY(tats().isActiveWindow()); // offscreen activation comes through the event loop
    }
    // A key pressed wherever the focus is, as a person does.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : &tats();
        QTest::keyClick(target, key, modifiers);
    }
    // Every entry the page menu holds, its help sub-menu included.
    QList<QAction *> pageMenuEntries() { return tats().PopupMenu1->findChildren<QAction *>(); }
};

} // namespace

class TestFullSuite : public QObject
{
    Q_OBJECT

private slots:
    void pageKeys_data();
    void pageKeys();
    void barFollowsThePageMenuCaptions();
    void withoutTheFlagNothingChanges();
    void keysAndBarChangePagesAndTheyStay();
    void showStepHidesAndMinimisesNothing();
    void sessionsOpensEveryPageEntry();
    void settingsBoxSwitchesAtOnce();
    void flagIsReadAtEveryShow();
    void trayMenuOnlyWhileOn();
    void sairSavesEndsCompanionAndProgram();
};

void TestFullSuite::pageKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("page");
    const int ctrl = Qt::ControlModifier;
    QTest::newRow("Ctrl+1 finance") << int(Qt::Key_1) << ctrl << 3 << 6;
    QTest::newRow("Ctrl+2 notes") << int(Qt::Key_2) << ctrl << 6 << 3;
    QTest::newRow("Ctrl+9 aliases") << int(Qt::Key_9) << ctrl << 6 << 1;
    QTest::newRow("keypad Ctrl+3") << int(Qt::Key_3) << int(Qt::ControlModifier | Qt::KeypadModifier) << 6
                                   << 5;
    QTest::newRow("PgDown next") << int(Qt::Key_PageDown) << ctrl << 6 << 3;
    QTest::newRow("PgDown wraps") << int(Qt::Key_PageDown) << ctrl << 11 << 6;
    QTest::newRow("PgUp wraps") << int(Qt::Key_PageUp) << ctrl << 6 << 11;
    QTest::newRow("PgUp previous") << int(Qt::Key_PageUp) << ctrl << 0 << 2;
    QTest::newRow("Ctrl+0 nothing") << int(Qt::Key_0) << ctrl << 6 << -1;
    QTest::newRow("plain digit") << int(Qt::Key_2) << 0 << 6 << -1;
    QTest::newRow("Ctrl+Shift+PgDown")
        << int(Qt::Key_PageDown) << int(Qt::ControlModifier | Qt::ShiftModifier) << 6 << -1;
    QTest::newRow("Alt+PgDown") << int(Qt::Key_PageDown) << int(Qt::AltModifier) << 6 << -1;
}

void TestFullSuite::pageKeys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, current);
    QFETCH(int, page);
    QCOMPARE(pageForKey(key, Qt::KeyboardModifiers(modifiers), current), page);
}

// One button per page, each page once, captioned as its page-menu entry.
void TestFullSuite::barFollowsThePageMenuCaptions()
{
    Suite s(false);
    QSet<int> pages;
    for (const PageBarEntry &entry : pageBarEntries()) {
        pages << entry.page;
        PageButton *button = s.tats().pageBar->button(entry.page);
        QVERIFY(button);
        QCOMPARE(button->objectName(), QStringLiteral("pageButton%1").arg(entry.page));
        QCOMPARE(button->text(), entry.caption);
        QCOMPARE(button->focusPolicy(), Qt::NoFocus);
    }
    QCOMPARE(pages.size(), SuiteWindow::pageCount);
    // The page menu names the same pages the same way (the settings page has no entry).
    for (QAction *action : s.pageMenuEntries()) {
        for (const PageBarEntry &entry : pageBarEntries()) {
            if (entry.caption == action->text())
                pages.remove(entry.page);
        }
    }
    QCOMPARE(pages, QSet<int>{11});
}

void TestFullSuite::withoutTheFlagNothingChanges()
{
    Suite s(false);
    SuiteWindow &tats = s.tats();
    s.show();
    QVERIFY(!tats.fullSuite());
    QVERIFY(tats.pageBar->isHidden());
    QVERIFY(tats.pm2->isHidden());
    QVERIFY(!tats.TrayIcon1->contextMenu());
    QCOMPARE(s.fake.minimizer.calls, 1);
    QVERIFY(!tats.Personaltrainer1->isVisible());
    for (Qt::Key key : {Qt::Key_2, Qt::Key_PageDown, Qt::Key_PageUp}) {
        s.press(key);
        QCOMPARE(tats.currentPage(), SuiteWindow::financePage);
    }
}

void TestFullSuite::keysAndBarChangePagesAndTheyStay()
{
    Suite s(true);
    SuiteWindow &tats = s.tats();
    WindowSet &w = *s.windows;
    s.show();
    QVERIFY(tats.fullSuite());
    QVERIFY(tats.pageBar->isVisible());
    QVERIFY(w.finance->FN1->hasFocus());
    QVERIFY(tats.pageBar->button(6)->isChecked());

    // Ctrl+2: the quick notes, their editor in focus, the button marked; the guard lets it be.
    s.press(Qt::Key_2);
    QCOMPARE(tats.currentPage(), 3);
    QVERIFY(w.notes->AN->hasFocus());
    QVERIFY(tats.pageBar->button(3)->isChecked());
    QCoreApplication::processEvents();
    QCOMPARE(tats.currentPage(), 3);

    // Ctrl+PgDown walks the bar from there, the phone book's field in focus on its page.
    QList<int> walked;
    for (int i = 0; i < SuiteWindow::pageCount; ++i) {
        s.press(Qt::Key_PageDown);
        walked << tats.currentPage();
    }
    QCOMPARE(walked, (QList<int>{5, 7, 4, 8, 2, 0, 1, 9, 10, 11, 6, 3}));
    s.press(Qt::Key_PageUp);
    QCOMPARE(tats.currentPage(), 6);
    s.press(Qt::Key_6);
    QCOMPARE(tats.currentPage(), 8);
    QVERIFY(w.phoneBook->e1->hasFocus());

    // A click on a button of the bar; whatever else switches the container is let be as well.
    QTest::mouseClick(tats.pageBar->button(7), Qt::LeftButton);
    QCOMPARE(tats.currentPage(), 7);
    tats.xPG->setCurrentIndex(4);
    QCOMPARE(tats.currentPage(), 4);
    QVERIFY(tats.pageBar->button(4)->isChecked());
    // The show step and the tray click still open the finance page.
    tats.TrayIcon1Click();
    QCOMPARE(tats.currentPage(), SuiteWindow::financePage);
}

void TestFullSuite::showStepHidesAndMinimisesNothing()
{
    Suite s(true);
    SuiteWindow &tats = s.tats();
    s.show();
    s.show();
    QCOMPARE(s.fake.minimizer.calls, 0);
    for (int page : {0, 1, 9, 10, 11}) {
        s.tats().choosePage(page);
        QWidget *content = tats.sheet(page)->findChild<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
        QVERIFY(content);
        QVERIFY2(content->isVisible(), qPrintable(content->objectName()));
    }
    QVERIFY(s.windows->settings->sfull->isVisible());
    QVERIFY(s.windows->settings->sfull->isChecked());

    // Nor do the page menu's entries that close the window to start something else.
    tats.Maladireta1->trigger();
    s.show();
    tats.ContatocomaBrevance1->trigger();
    QCOMPARE(s.fake.minimizer.calls, 0);
}

void TestFullSuite::sessionsOpensEveryPageEntry()
{
    Suite s(true);
    SuiteWindow &tats = s.tats();
    s.show();
    QVERIFY(tats.pm2->isVisible());
    QCOMPARE(tats.pm2->text(), QStringLiteral("Sess\u00f5es"));
    QTest::mouseClick(tats.pm2, Qt::LeftButton);
    QTRY_VERIFY(tats.PopupMenu1->isVisible());
    for (QAction *entry : s.pageMenuEntries())
        QVERIFY2(entry->isVisible(), qPrintable(entry->text()));
    // An entry once hidden selects its page, which stays.
    tats.PopupMenu1->close();
    tats.Personaltrainer1->trigger();
    QCOMPARE(tats.currentPage(), 10);
    QCoreApplication::processEvents();
    QCOMPARE(tats.currentPage(), 10);
}

// The box on the settings page, reached by keyboard, switched by a click and by Space; the
// window follows at once and the box follows the file at each show.
void TestFullSuite::settingsBoxSwitchesAtOnce()
{
    Suite s(true);
    SuiteWindow &tats = s.tats();
    QCheckBox *sfull = s.windows->settings->sfull;
    s.show();
    s.press(Qt::Key_PageUp); // from the finance page back round to the settings
    QCOMPARE(tats.currentPage(), 11);
    QVERIFY(sfull->isVisible());
    QCOMPARE(s.windows->settings->findChild<QLabel *>("sfullCaption")->text(),
             QStringLiteral("Mostrar todas as p\u00e1ginas"));

    QTest::mouseClick(sfull, Qt::LeftButton);
    QVERIFY(!s.flagSet());
    QVERIFY(!tats.fullSuite());
    QVERIFY(tats.pageBar->isHidden());
    QVERIFY(!tats.TrayIcon1->contextMenu());

    sfull->setFocus();
    QTest::keyClick(sfull, Qt::Key_Space);
    QVERIFY(sfull->isChecked());
    QCOMPARE(s.data.read(QStringLiteral("dados/Suite.full")), QByteArray("57948579487593465966\r\n"));
    QVERIFY(tats.fullSuite());
    QVERIFY(tats.pageBar->isVisible());
    // Tab goes from ai to the box.
    s.windows->settings->ai->setFocus();
    QTest::keyClick(s.windows->settings->ai, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), sfull);

    // Removed behind the program's back: the box and the window say so at the next show.
    QVERIFY(deleteFlagFile(s.data.file(kSuiteFullFlag)));
    s.show();
    QVERIFY(!sfull->isChecked());
    QVERIFY(!tats.fullSuite());
}

void TestFullSuite::flagIsReadAtEveryShow()
{
    Suite s(false);
    SuiteWindow &tats = s.tats();
    s.show();
    tats.close();
    // Written while the window is hidden (the companion's menu does so), letters as on Windows.
    QVERIFY(writeFlagFile(s.data.paths().exeDir() + QStringLiteral("dados/SUITE.FULL")));
    s.show();
    QVERIFY(tats.fullSuite());
    QVERIFY(tats.pageBar->isVisible());
    QCOMPARE(s.fake.minimizer.calls, 1); // the first show only

    QVERIFY(QFile::remove(s.data.paths().exeDir() + QStringLiteral("dados/SUITE.FULL")));
    tats.choosePage(11);
    s.show();
    QVERIFY(!tats.fullSuite());
    QCOMPARE(tats.currentPage(), SuiteWindow::financePage);
    QCOMPARE(s.fake.minimizer.calls, 2);
    QVERIFY(!s.windows->settings->isVisibleTo(tats.sheet(11))); // hidden again by the show step
    QVERIFY(!tats.Personaltrainer1->isVisible());
    QVERIFY(tats.pm2->isHidden());
}

void TestFullSuite::trayMenuOnlyWhileOn()
{
    Suite s(true);
    SuiteWindow &tats = s.tats();
    auto *menu = qobject_cast<FullSuiteTrayMenu *>(tats.TrayIcon1->contextMenu());
    QVERIFY(menu); // from the start, before any show
    QCOMPARE(menu->open->text(), QStringLiteral("Abrir"));
    QCOMPARE(menu->suiteFull->text(), QStringLiteral("Suite completa"));
    QCOMPARE(menu->quit->text(), QStringLiteral("Sair"));
    QVERIFY(menu->suiteFull->isChecked());

    menu->open->trigger();
    QVERIFY(tats.isVisible());
    QCOMPARE(tats.currentPage(), SuiteWindow::financePage);

    // Switched off from the tray: the file goes, the menu and the bar with it.
    menu->suiteFull->trigger();
    QVERIFY(!s.flagSet());
    QVERIFY(!tats.fullSuite());
    QVERIFY(!tats.TrayIcon1->contextMenu());
    QVERIFY(tats.pageBar->isHidden());
    QVERIFY(!s.windows->settings->sfull->isChecked());
}

void TestFullSuite::sairSavesEndsCompanionAndProgram()
{
    Suite s(true);
    SuiteWindow &tats = s.tats();
    QSignalSpy halting(&s.windows->tops, &HiddenMainWindow::halting);
    s.show();
    s.press(Qt::Key_2);
    typeText(s.windows->notes->AN, QStringLiteral("ligar para o banco"));

    auto *menu = qobject_cast<FullSuiteTrayMenu *>(tats.TrayIcon1->contextMenu());
    QVERIFY(menu);
    menu->quit->trigger();
    QCOMPARE(plainTextOf(s.data.file(QStringLiteral("dados/Notas/Notas.speed"))),
             QStringLiteral("ligar para o banco"));
    QVERIFY(!tats.isVisible());
    QCOMPARE(s.fake.companion.endRequests, 1);
    QCOMPARE(halting.count(), 1);
    QCOMPARE(s.halts, QList<int>{0});
}

QTEST_MAIN(TestFullSuite)
#include "tst_fullsuite.moc"
