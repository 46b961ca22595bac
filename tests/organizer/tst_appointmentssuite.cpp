// The appointments page inside the suite window: its create, show and close steps, the
// focus after the fade-in, and the main window's appointment icon with the delayed today
// check. Real windows offscreen on fakes and a temporary data folder.
#include "app/windowset.h"
#include "organizer/appointmentspage.h"
#include "platform/fakes.h"
#include "tempdatafolder.h"

#include <QApplication>
#include <QDateEdit>
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
        windows = std::make_unique<WindowSet>(fake, data.paths());
        windows->tats.setSoundPlayer([](const QString &) {});
    }
    ~Suite() { windows->tats.hide(); }

    TATS &tats() { return windows->tats; }
    AppointmentsPage &page() { return *windows->appointments; }
    int rows() { return page().LVC->topLevelItemCount(); }
    void fade()
    {
        for (int i = 0; i < 50 && tats().Alpha.isActive(); ++i)
            tats().AlphaTimer();
    }
};

} // namespace

class TestAppointmentsSuite : public QObject
{
    Q_OBJECT

private slots:
    void createShowAndClose();
    void iconOpensTheTodayCheck();
};

void TestAppointmentsSuite::createShowAndClose()
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

void TestAppointmentsSuite::iconOpensTheTodayCheck()
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

QTEST_MAIN(TestAppointmentsSuite)
#include "tst_appointmentssuite.moc"
