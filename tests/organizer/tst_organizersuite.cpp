// The organizer pages inside the suite window: the appointments' create, show and close
// steps, the focus after the fade-in and the main window's appointment icon with the
// delayed today check; the trainer's loading after the start; the word lookup's reset.
// Real windows offscreen on fakes and a temporary data folder.
#include "app/windowset.h"
#include "organizer/appointmentspage.h"
#include "organizer/trainerpage.h"
#include "organizer/wordlookuppage.h"
#include "platform/fakes.h"
#include "settings/settingspage.h"
#include "store/flagfile.h"
#include "tempdatafolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTest>
#include <QTreeWidget>

using namespace zorv;

namespace {

struct Suite
{
    FakeServices fake;
    TempDataFolder data;
    std::unique_ptr<WindowSet> windows;

    Suite()
    {
        fake.clock.set(QDate(2013, 3, 7));
        data.write(QStringLiteral("dados/Notas/Tasks.go"),
                   "05/03/2013<>09:00:00|A\r\n07/03/2013<>10:00:00|Hoje\r\n");
        data.write(QStringLiteral("dados/notas/Music.comp"), "/musica/toque.wav\r\n");
        data.write(QStringLiteral("dados/Personal.not"), "60\r\n");
        windows = std::make_unique<WindowSet>(fake, data.paths());
    }
    ~Suite() { windows->tats.hide(); }

    SuiteWindow &tats() { return windows->tats; }
    AppointmentsPage &page() { return *windows->appointments; }
    int rows() { return page().LVC->topLevelItemCount(); }
    void fade()
    {
        for (int i = 0; i < 50 && tats().Alpha.isActive(); ++i)
            tats().AlphaTimer();
    }
};

} // namespace

class TestOrganizerSuite : public QObject
{
    Q_OBJECT

private slots:
    void createShowAndClose();
    void iconOpensTheTodayCheck();
    void trainerLoadsAfterTheStart();
    void wordLookupResetOnShow();
};

void TestOrganizerSuite::createShowAndClose()
{
    Suite s;
    QCOMPARE(s.tats().sheet(5)->findChild<AppointmentsPage *>(), &s.page());
    QCOMPARE(s.rows(), 2);
    QCOMPARE(s.page().LM.lines(), QStringList{"/musica/toque.wav"});
    QCOMPARE(s.page().DC->date(), QDate(2013, 3, 7));

    // Each show lists the file afresh and sets the date to today.
    s.fake.clock.set(QDate(2013, 3, 8));
    s.data.write(QStringLiteral("dados/Notas/Tasks.go"), "08/03/2013<>  :  :  |Novo\r\n");
    s.tats().ShowSuite();
    QCOMPARE(s.rows(), 1);
    QCOMPARE(s.page().DC->date(), QDate(2013, 3, 8));

    // With the appointments in front, the fade-in ends with the focus in DC.
    s.tats().selectPage(AppointmentsPage::pageIndex);
    s.fade();
    QApplication::setActiveWindow(&s.tats());
    QTRY_VERIFY(s.page().DC->hasFocus());

    s.page().MC->setPlainText(QStringLiteral("detalhes"));
    s.tats().close();
    QCOMPARE(s.page().MC->toPlainText(), QString());
}

void TestOrganizerSuite::iconOpensTheTodayCheck()
{
    Suite s;
    QVERIFY(!s.tats().isVisible());
    QVERIFY(!s.windows->tops.Comp->isVisible());
    emit s.windows->tops.Comp->clicked();

    QVERIFY(s.tats().isVisible());
    QCOMPARE(s.tats().xPG->currentIndex(), AppointmentsPage::pageIndex);
    QVERIFY(s.page().tmch.isActive());
    QCOMPARE(s.rows(), 2);
    s.page().tmchTimer();
    QVERIFY(!s.page().tmch.isActive());
    QCOMPARE(s.rows(), 1);
    QCOMPARE(s.page().LVC->topLevelItem(0)->text(2), QStringLiteral("Hoje"));
}

void TestOrganizerSuite::trainerLoadsAfterTheStart()
{
    Suite s;
    TrainerPage &trainer = *s.windows->trainer;
    QCOMPARE(s.tats().sheet(10)->findChild<TrainerPage *>(), &trainer);
    QVERIFY(trainer.TMPRS.isActive());
    QVERIFY(!trainer.tmcm.isActive());
    trainer.personal();
    QVERIFY(trainer.tmcm.isActive());
    QCOMPARE(trainer.tmcm.interval(), 60 * 60000);
    QCOMPARE(trainer.lmn->text(), QStringLiteral("60"));

    // TMCHK's tick sets the box from the switch file, with the settings page's boxes.
    QVERIFY(!trainer.clm->isChecked());
    QVERIFY(writeFlagFile(s.data.file(QStringLiteral("dados/Personal.pse"))));
    s.windows->settings->TMCHKTimer();
    QVERIFY(trainer.clm->isChecked());
    // Switching on stages its marker in the list the settings switches share.
    const int staged = s.windows->LB.lineCount();
    trainer.clmClick(true);
    QCOMPARE(s.windows->LB.lineCount(), staged + 1);
}

void TestOrganizerSuite::wordLookupResetOnShow()
{
    Suite s;
    WordLookupPage &lookup = *s.windows->wordLookup;
    QCOMPARE(s.tats().sheet(9)->findChild<WordLookupPage *>(), &lookup);
    lookup.prt->setText(QStringLiteral("casa"));
    s.tats().ShowSuite();
    QCOMPARE(lookup.prt->text(), QString());
    // Both pages stay out of sight, as every unused sheet does.
    QVERIFY(!lookup.isVisibleTo(s.tats().sheet(9)));
    QVERIFY(!s.windows->trainer->isVisibleTo(s.tats().sheet(10)));
    QVERIFY(s.fake.pages.requested.isEmpty());
}

QTEST_MAIN(TestOrganizerSuite)
#include "tst_organizersuite.moc"
