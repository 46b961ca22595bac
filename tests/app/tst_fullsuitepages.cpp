// Every page of the suite window in full-suite mode, used by keyboard alone: the mode
// switched on with its box, the page reached from the finance page by the page bar's keys,
// its main job done through its fields (the Enter chains) and links (Tab, then Enter or
// Space), and its file checked on disk. Escape closes the window on every page.
#include "fullsuitefixture.h"

#include "controls/contactnamebox.h"
#include "controls/currencyedit.h"
#include "controls/linklabel.h"
#include "finance/financepage.h"
#include "launcher/aliaspage.h"
#include "launcher/deskpage.h"
#include "launcher/iconlist.h"
#include "launcher/shortcutcenter.h"
#include "media/audiopage.h"
#include "organizer/activitymappage.h"
#include "organizer/appointmentspage.h"
#include "organizer/diarypage.h"
#include "organizer/notespage.h"
#include "organizer/phonebookpage.h"
#include "organizer/richtextedit.h"
#include "organizer/trainerpage.h"
#include "organizer/wordlookuppage.h"
#include "security/password.h"
#include "settings/settingspage.h"
#include "store/flagfile.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTreeWidget>
#include <QtTest>

using namespace zorv;

namespace {

// The page's own widget on its sheet (what the focus must lie in).
QWidget *pageWidget(SuiteOnKeys &s, int index)
{
    WindowSet &w = *s.windows;
    const std::array<QWidget *, SuiteWindow::pageCount> pages{
        w.desk,    w.aliases,     w.audio,     w.notes,      w.diary,   w.appointments,
        w.finance, w.activityMap, w.phoneBook, w.wordLookup, w.trainer, w.settings};
    return pages[size_t(index)];
}

// A file with some bytes, for the dialogs to choose.
QString makeFile(const TempDataFolder &data, const QString &name)
{
    const QString path = data.root() + QLatin1Char('/') + name;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write("x");
    return path;
}

} // namespace

class TestFullSuitePages : public QObject
{
    Q_OBJECT

private slots:
    void eachPageByKeysAndEscapeCloses_data();
    void eachPageByKeysAndEscapeCloses();
    void previousPageWrapsToTheSettings();

    void financeEntryRow();
    void deskStartsAShortcut();
    void aliasesCreateOne();
    void audioChoosesMusicAndPlays();
    void notesFindPrintAndSave();
    void diaryPageSavedOnClose();
    void appointmentSaved();
    void activityMapSaved();
    void phoneBookSaved();
    void wordLookupFillsTheResult();
    void trainerIntervalAndSwitch();
    void settingsPasswordAndSwitch();
};

void TestFullSuitePages::eachPageByKeysAndEscapeCloses_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("focusField"); // empty: the page names none
    const QList<std::pair<int, const char *>> pages = {{6, "FN1"}, {3, "AN"},  {5, "DC"},  {7, "z1"},
                                                       {4, "cal"}, {8, "e1"},  {2, "FL2"}, {0, ""},
                                                       {1, ""},    {9, "prt"}, {10, ""},   {11, ""}};
    for (const auto &[page, field] : pages)
        QTest::addRow("page %d", page) << page << QString::fromLatin1(field);
}

// The page comes to the front with the focus in its focus field (or in the page when it
// names none), and Escape typed wherever the focus is hides the window.
void TestFullSuitePages::eachPageByKeysAndEscapeCloses()
{
    QFETCH(int, page);
    QFETCH(QString, focusField);
    SuiteOnKeys s;
    QVERIFY(s.start());
    QVERIFY(s.reach(page));
    QVERIFY(pageWidget(s, page)->isAncestorOf(SuiteOnKeys::focus()));
    if (!focusField.isEmpty())
        QCOMPARE(SuiteOnKeys::focus()->objectName(), focusField);
    // Tab walks the page's chain without leaving the page for a hidden one.
    for (int i = 0; i < 6; ++i) {
        SuiteOnKeys::key(Qt::Key_Tab);
        QVERIFY(SuiteOnKeys::focus() && SuiteOnKeys::focus()->isVisible());
    }
    SuiteOnKeys::key(Qt::Key_Escape);
    QVERIFY(!s.tats().isVisible());
}

void TestFullSuitePages::previousPageWrapsToTheSettings()
{
    SuiteOnKeys s;
    QVERIFY(s.start());
    SuiteOnKeys::key(Qt::Key_PageUp, Qt::ControlModifier);
    QCOMPARE(s.tats().currentPage(), 11);
    SuiteOnKeys::key(Qt::Key_PageDown, Qt::ControlModifier);
    QCOMPARE(s.tats().currentPage(), SuiteWindow::financePage);
}

// The entry row walked with Enter from the amount to the payment form saves the entry.
void TestFullSuitePages::financeEntryRow()
{
    SuiteOnKeys s;
    QVERIFY(s.start());
    FinancePage &p = *s.windows->finance;
    QCOMPARE(SuiteOnKeys::focus(), p.FN1);
    s.type(QStringLiteral("1500"));
    s.enter();
    QCOMPARE(SuiteOnKeys::focus(), p.AL);
    s.enter();
    QCOMPARE(SuiteOnKeys::focus(), p.fn2);
    s.enter();
    QCOMPARE(SuiteOnKeys::focus(), p.fn3);
    s.key(Qt::Key_Down); // the first operation
    s.enter();
    QVERIFY(p.FN4->isAncestorOf(SuiteOnKeys::focus()) || SuiteOnKeys::focus() == p.FN4);
    s.type(QStringLiteral("Salario"));
    s.enter();
    QCOMPARE(SuiteOnKeys::focus(), p.PCL);
    s.enter();
    QCOMPARE(SuiteOnKeys::focus(), p.QT);
    s.enter();
    QCOMPARE(SuiteOnKeys::focus(), p.FN5);
    s.key(Qt::Key_Down); // the first payment form
    s.enter();
    const QByteArray month = s.data.read(QStringLiteral("dados/Finance/03.2013.fin"));
    QVERIFY2(month.startsWith("1.500,00<1>15/03/2013<2>" + p.fn3->itemText(0).toLatin1() + "<3>Salario<4>"),
             month);
    QCOMPARE(s.data.read(QStringLiteral("dados/Finance/2013.CX")), month);
    QCOMPARE(SuiteOnKeys::focus(), p.FN1);
}

// The shortcut center's grid takes the focus by Tab; Enter on an item hands it over.
void TestFullSuitePages::deskStartsAShortcut()
{
    SuiteOnKeys s([](TempDataFolder &d) { d.write("dados/ma.list", "Agenda<>/x/agenda.exe\r\n"); });
    QVERIFY(s.start());
    QVERIFY(s.reach(0));
    IconList *grid = s.windows->desk->shortcuts->LVx;
    QVERIFY(SuiteOnKeys::tabTo(grid));
    // The item marked by the focus is the one Enter starts.
    QVERIFY(grid->selectedItem() && grid->row(grid->selectedItem()) == 0);
    SuiteOnKeys::enter();
    QVERIFY(!s.tats().isVisible());
    QCOMPARE(s.handOff(), QByteArray("/x/agenda.exe\r\n"));
    QCOMPARE(s.fake.programs.started.size(), 1);
}

// "Criar novos apelidos" by Enter: the scripted dialog's file, the alias typed, "Aplicar"
// by Space writes the line.
void TestFullSuitePages::aliasesCreateOne()
{
    SuiteOnKeys s;
    const QString file = makeFile(s.data, QStringLiteral("docs/carta.odt"));
    s.fake.dialogs.files.enqueue(file);
    QVERIFY(s.start());
    QVERIFY(s.reach(1));
    AliasPage &p = *s.windows->aliases;
    QVERIFY(SuiteOnKeys::tabTo(p.cna));
    SuiteOnKeys::enter();
    QCOMPARE(SuiteOnKeys::focus(), p.ENA);
    QCOMPARE(p.LNA->text(), QStringLiteral("carta.odt"));
    s.type(QStringLiteral("ct"));
    QVERIFY(SuiteOnKeys::tabTo(p.ana));
    SuiteOnKeys::key(Qt::Key_Space);
    QCOMPARE(s.data.read(QStringLiteral("dados/Speed.Run")), "CT<>" + file.toUtf8() + "\r\n");
}

// "Procurar músicas" by Enter lists the chosen track's folder and plays the track; Down and
// Enter in the track list play the next one.
void TestFullSuitePages::audioChoosesMusicAndPlays()
{
    SuiteOnKeys s;
    const QString first = makeFile(s.data, QStringLiteral("musica/a.mp3"));
    makeFile(s.data, QStringLiteral("musica/b.mp3"));
    s.fake.dialogs.files.enqueue(first);
    QVERIFY(s.start());
    QVERIFY(s.reach(2));
    AudioPage &p = *s.windows->audio;
    QCOMPARE(SuiteOnKeys::focus(), p.FL2);
    QVERIFY(SuiteOnKeys::tabTo(p.pm));
    SuiteOnKeys::enter();
    QCOMPARE(p.FL2->count(), 2);
    QVERIFY(
        s.data.read(QStringLiteral("dados/Play.list")).startsWith(QFileInfo(first).absolutePath().toUtf8()));
    QVERIFY(s.fake.audio.last());
    QCOMPARE(QFileInfo(s.fake.audio.last()->path).fileName(), QStringLiteral("a.mp3"));

    QVERIFY(SuiteOnKeys::tabTo(p.FL2));
    SuiteOnKeys::key(Qt::Key_Down);
    SuiteOnKeys::enter();
    QCOMPARE(QFileInfo(s.fake.audio.last()->path).fileName(), QStringLiteral("b.mp3"));
}

// Notes typed into the editor, found with Enter in "Localizar", printed by the link, and
// saved when Escape closes the window.
void TestFullSuitePages::notesFindPrintAndSave()
{
    SuiteOnKeys s;
    QVERIFY(s.start());
    QVERIFY(s.reach(3));
    NotesPage &p = *s.windows->notes;
    QCOMPARE(SuiteOnKeys::focus(), p.AN);
    s.type(QStringLiteral("Comprar pao e leite"));
    QVERIFY(SuiteOnKeys::tabTo(p.EDR));
    s.type(QStringLiteral("LEITE"));
    SuiteOnKeys::enter();
    // The caret at the word found, back in the editor; the field emptied.
    QCOMPARE(SuiteOnKeys::focus(), p.AN);
    QCOMPARE(p.AN->textCursor().position(), 14);
    QVERIFY(p.EDR->text().isEmpty());
    QVERIFY(SuiteOnKeys::tabTo(p.pm30));
    SuiteOnKeys::enter();
    QCOMPARE(s.fake.printer.jobs.size(), 1);
    SuiteOnKeys::key(Qt::Key_Escape);
    QVERIFY(!s.tats().isVisible());
    QVERIFY(s.data.read(QStringLiteral("dados/Notas/Notas.speed")).contains("Comprar pao e leite"));
}

// Enter in the date goes to the page; what is typed there lands under the date on close.
void TestFullSuitePages::diaryPageSavedOnClose()
{
    SuiteOnKeys s;
    QVERIFY(s.start());
    QVERIFY(s.reach(4));
    DiaryPage &p = *s.windows->diary;
    QCOMPARE(SuiteOnKeys::focus(), p.cal);
    SuiteOnKeys::key(Qt::Key_Down); // the day before
    SuiteOnKeys::enter();
    QCOMPARE(SuiteOnKeys::focus(), p.RE);
    s.type(QStringLiteral("Dia calmo"));
    SuiteOnKeys::key(Qt::Key_Escape);
    QVERIFY(!s.tats().isVisible());
    QVERIFY(s.data.read(QStringLiteral("dados/Diary/14.03.2013")).contains("Dia calmo"));
}

// Date, time and text by the Enter chain; Enter in the text saves the appointment.
void TestFullSuitePages::appointmentSaved()
{
    SuiteOnKeys s;
    QVERIFY(s.start());
    QVERIFY(s.reach(5));
    AppointmentsPage &p = *s.windows->appointments;
    QCOMPARE(SuiteOnKeys::focus(), p.DC);
    SuiteOnKeys::enter();
    QCOMPARE(SuiteOnKeys::focus(), p.MDC);
    SuiteOnKeys::key(Qt::Key_Home);
    s.type(QStringLiteral("143000"));
    SuiteOnKeys::enter();
    QCOMPARE(SuiteOnKeys::focus(), p.EDC);
    s.type(QStringLiteral("Contador"));
    SuiteOnKeys::enter();
    QCOMPARE(s.data.read(QStringLiteral("dados/Notas/Tasks.go")),
             QByteArray("15/03/2013<>14:30:00|Contador\r\n"));
    QCOMPARE(p.LVC->topLevelItemCount(), 1);
}

// Contact, date, category and topic by Enter; Enter in the topic saves the activity.
void TestFullSuitePages::activityMapSaved()
{
    SuiteOnKeys s;
    QVERIFY(s.start());
    QVERIFY(s.reach(7));
    ActivityMapPage &p = *s.windows->activityMap;
    QVERIFY(p.z1->isAncestorOf(SuiteOnKeys::focus()) || SuiteOnKeys::focus() == p.z1);
    s.type(QStringLiteral("joao"));
    SuiteOnKeys::enter();
    QCOMPARE(SuiteOnKeys::focus(), p.z2);
    SuiteOnKeys::enter();
    QCOMPARE(SuiteOnKeys::focus(), p.z3);
    SuiteOnKeys::key(Qt::Key_Down);
    SuiteOnKeys::enter();
    QCOMPARE(SuiteOnKeys::focus(), p.z4);
    s.type(QStringLiteral("proposta"));
    SuiteOnKeys::enter();
    QCOMPARE(s.data.read(QStringLiteral("dados/Notas/JOAO.map")),
             "JOAO<1>15/03/2013<2>" + p.z3->itemText(0).toLatin1() + "<3>PROPOSTA\r\n");
}

// Name, phone, category (its list dropped down by Enter), e-mail and note by Enter; Enter
// in the note saves the contact.
void TestFullSuitePages::phoneBookSaved()
{
    SuiteOnKeys s;
    QVERIFY(s.start());
    QVERIFY(s.reach(8));
    PhoneBookPage &p = *s.windows->phoneBook;
    QVERIFY(p.e1->isAncestorOf(SuiteOnKeys::focus()) || SuiteOnKeys::focus() == p.e1);
    s.type(QStringLiteral("maria"));
    SuiteOnKeys::enter();
    QCOMPARE(SuiteOnKeys::focus(), p.e2);
    SuiteOnKeys::key(Qt::Key_Home);
    s.type(QStringLiteral("1155551234"));
    SuiteOnKeys::enter();
    // The category's list is down: Down and Enter choose from it.
    SuiteOnKeys::key(Qt::Key_Down);
    SuiteOnKeys::enter();
    QTRY_VERIFY(!QApplication::activePopupWidget());
    QVERIFY(p.e3->currentIndex() >= 0);
    const QByteArray category = p.e3->currentText().toUtf8();
    SuiteOnKeys::enter();
    QCOMPARE(SuiteOnKeys::focus(), p.e4);
    SuiteOnKeys::enter();
    QCOMPARE(SuiteOnKeys::focus(), p.OBS);
    s.type(QStringLiteral("vizinha"));
    SuiteOnKeys::enter();
    QCOMPARE(s.data.read(QStringLiteral("dados/Notas/MARIA.tel")),
             "MARIA<1>(11) 5555-1234<2>" + category + "<3>N\xe3o informado<4>vizinha\r\n");
}

// Enter in the word field asks for the word's page; its meaning fills the result.
void TestFullSuitePages::wordLookupFillsTheResult()
{
    SuiteOnKeys s;
    QVERIFY(s.start());
    QVERIFY(s.reach(9));
    WordLookupPage &p = *s.windows->wordLookup;
    QCOMPARE(SuiteOnKeys::focus(), p.prt);
    s.type(QStringLiteral("casa"));
    SuiteOnKeys::enter();
    QCOMPARE(s.fake.pages.requested.size(), 1);
    const QUrl address = s.fake.pages.requested.last();
    QVERIFY(address.toString().endsWith(QStringLiteral("casa")));
    s.fake.pages.pages.insert(
        address.toString(),
        {"<html><body><div id=\"significado\"><b>Morada</b> de uma fam\xc3\xadlia</div></body></html>",
         "utf-8", address});
    QVERIFY(s.fake.pages.completePending());
    QVERIFY(p.rst->toPlainText().contains(QStringLiteral("Morada")));
}

// The interval chosen with the arrow key and applied by Enter; the switch ticked by Space.
void TestFullSuitePages::trainerIntervalAndSwitch()
{
    SuiteOnKeys s;
    QVERIFY(s.start());
    QVERIFY(s.reach(10));
    TrainerPage &p = *s.windows->trainer;
    QVERIFY(SuiteOnKeys::tabTo(p.cmn));
    SuiteOnKeys::key(Qt::Key_Down);
    SuiteOnKeys::enter();
    QCOMPARE(s.data.read(QStringLiteral("dados/Personal.not")), QByteArray("30\r\n"));
    QVERIFY(SuiteOnKeys::tabTo(p.clm));
    SuiteOnKeys::key(Qt::Key_Space);
    QVERIFY(flagFileExists(s.data.file(QStringLiteral("dados/Personal.pse"))));
    // "Aplicar" from the keyboard applies the new choice.
    QVERIFY(SuiteOnKeys::tabTo(p.cmn));
    SuiteOnKeys::key(Qt::Key_Down);
    QVERIFY(SuiteOnKeys::tabTo(p.pml));
    SuiteOnKeys::key(Qt::Key_Space);
    QCOMPARE(s.data.read(QStringLiteral("dados/Personal.not")), QByteArray("45\r\n"));
}

// The password typed and applied by the link lands in the stand-in folder; a switch box is
// ticked by Space.
void TestFullSuitePages::settingsPasswordAndSwitch()
{
    SuiteOnKeys s;
    QVERIFY(s.start());
    QVERIFY(s.reach(11));
    SettingsPage &p = *s.windows->settings;
    QVERIFY(SuiteOnKeys::tabTo(p.esh));
    s.type(QStringLiteral("1234"));
    QVERIFY(SuiteOnKeys::tabTo(p.pm20));
    SuiteOnKeys::enter();
    QVERIFY(p.esh->text().isEmpty());
    QVERIFY(QFile::exists(s.data.paths().windowsFile(kPasswordFile)));
    QCOMPARE(s.fake.policies.writes.size(), 4);

    QVERIFY(SuiteOnKeys::tabTo(p.nrs));
    SuiteOnKeys::key(Qt::Key_Space);
    QVERIFY(p.nrs->isChecked());
    QVERIFY(flagFileExists(s.data.file(QStringLiteral("dados/Sound.viw"))));
}

QTEST_MAIN(TestFullSuitePages)
#include "tst_fullsuitepages.moc"
