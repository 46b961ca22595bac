#include "controls/currencyedit.h"
#include "controls/linklabel.h"
#include "finance/corrections.h"
#include "finance/financepage.h"
#include "platform/fakes.h"
#include "tempdatafolder.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QTreeWidget>

#include <cstdio>

using namespace zorv;

namespace {

const QByteArray kMarket("1.234,50<1>05/03/2013<2>Exit<3>Market<4>Cart\xe3o\r\n");
const QByteArray kMarta("20,00<1>06/03/2013<2>Entrance<3>MARTA<4>Dinheiro\r\n");
const QByteArray kAmar("30,00<1>07/03/2013<2>Exit<3>Amar<4>Dinheiro\r\n");
const QByteArray kMarch = kMarket + kMarta + kAmar;
const QByteArray kApril("5,00<1>02/04/2013<2>Exit<3>ref 03/2013<4>Dinheiro\r\n");

struct Fixture
{
    TempDataFolder data;
    FakeServices fake;
    std::unique_ptr<FinancePage> page;

    // A page showing March 2013, whose ledgers hold `month` and `year`.
    bool open(const QByteArray &month = kMarch, const QByteArray &year = kMarch + kApril)
    {
        fake.clock.set(QDate(2013, 3, 15));
        if (!data.write("dados/Finance/03.2013.fin", month) || !data.write("dados/Finance/2013.CX", year))
            return false;
        page = std::make_unique<FinancePage>(data.paths(), fake.services());
        page->resize(1200, 700);
        page->show();
        QApplication::setActiveWindow(page.get());
        if (!QTest::qWaitForWindowActive(page.get()))
            return false;
        page->SetDateToToday();
        page->Atualizar3Click();
        page->lvd1Click(0);
        return true;
    }

    QStringList rows() const
    {
        QStringList out;
        for (int i = 0; i < page->corrections->LVF->topLevelItemCount(); ++i)
            out << page->corrections->LVF->topLevelItem(i)->text(3);
        return out;
    }

    // A click on the row as a user makes it, once the list has its place on the screen;
    // true when the row is selected afterwards.
    bool clickRow(int row) const
    {
        QTreeWidget *list = page->corrections->LVF;
        QApplication::processEvents();
        const QRect shown =
            list->visualItemRect(list->topLevelItem(row)).intersected(list->viewport()->rect());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, shown.center());
        return list->topLevelItem(row)->isSelected();
    }

    bool clickMonth(int row) const
    {
        QListWidget *list = page->lvd1;
        QApplication::processEvents();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
        return list->item(row)->isSelected();
    }

    void selectRow(int row) const
    {
        page->corrections->LVF->setCurrentItem(page->corrections->LVF->topLevelItem(row));
        page->corrections->LVF->topLevelItem(row)->setSelected(true);
    }
};

} // namespace

class TestCorrections : public QObject
{
    Q_OBJECT

private slots:
    void rowsAndFilters_data();
    void rowsAndFilters();
    void removeEntryKeepsLedgersInStep();
    void deleteMonthTakesOnlyItsDates();
    void listFilteredBySource();
    void alterRefillsTheEntryRow();
    void correctionSavedReplacesTheLine_data();
    void correctionSavedReplacesTheLine();
    void correctionGivenUpKeepsTheEntry_data();
    void correctionGivenUpKeepsTheEntry();
    void ledgerReplacedAfterListing_data();
    void ledgerReplacedAfterListing();
    void deleteEntryAsksNothing();
    void deleteEntryMissingFromYearLedger();
    void deleteMonthAsksFirst();
    void nameSearchSelectsLastMatch();
    void deleteSource();
    void deleteEntriesEnabledOnlyWithSomethingToDelete();
    void rowShowsInNNMHoweverItIsSelected();
    void deletedMonthCannotBeWrittenBack();
    void entryOfAVanishedLedgerIsNotWrittenBack();
    void nothingWrittenWhileWritesAreHeld();
    void replacedDataFolderIsReadAgain();
};

void TestCorrections::rowsAndFilters_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<bool>("passes");
    QTest::newRow("empty filter") << "Amar"
                                  << "" << true;
    QTest::newRow("MAR and Market") << "Market"
                                    << "MAR" << true;
    QTest::newRow("MAR and mARTA") << "mARTA"
                                   << "MAR" << true;
    QTest::newRow("MAR and Amar") << "Amar"
                                  << "MAR" << false;
    QTest::newRow("only a to z fold") << "ação"
                                      << "AÇÃO" << false;
    QTest::newRow("longer than source") << "Ma"
                                        << "MAR" << false;
}

void TestCorrections::rowsAndFilters()
{
    QFETCH(QString, source);
    QFETCH(QString, filter);
    QFETCH(bool, passes);
    const QString line = "1,00<1>05/03/2013<2>Exit<3>" + source + "<4>Dinheiro";
    QCOMPARE(sourceBeginsWith(line, filter), passes);
    const EntryRow row = entryRowOf(line);
    QCOMPARE(row.joined(), "1,00 | 05/03/2013 | Exit | " + source);
    QCOMPARE(row.monthKey(), QStringLiteral("03.2013"));
    QCOMPARE(row.yearKey(), QStringLiteral("2013"));
}

void TestCorrections::removeEntryKeepsLedgersInStep()
{
    TempDataFolder data;
    const LedgerCorrections corrections(data.paths());
    const QString monthPath = data.file("dados/Finance/03.2013.fin");
    // The same entry saved twice: one removal takes exactly one line from each ledger.
    QVERIFY(data.write("dados/Finance/03.2013.fin", kMarket + kMarket));
    QVERIFY(data.write("dados/Finance/2013.CX", kMarket + kApril + kMarket));
    const EntryRow market = entryRowOf(QString::fromLatin1(kMarket).trimmed());
    LedgerCorrections::EntryChange change;
    QCOMPARE(corrections.removeEntry(monthPath, market, "2013", &change),
             LedgerCorrections::Removal::MonthAndYear);
    QCOMPARE(change.month.lines().size(), 1);
    QCOMPARE(data.read("dados/Finance/03.2013.fin"), kMarket);
    // The year ledger is searched from its second line on, then the first.
    QCOMPARE(data.read("dados/Finance/2013.CX"), kMarket + kApril);

    // A year ledger that cannot be written: the month ledger keeps its line.
    QVERIFY(QFile::remove(data.file("dados/Finance/2013.CX")));
    QVERIFY(QDir().mkpath(data.file("dados/Finance/2013.CX")));
    QVERIFY(QDir().mkpath(data.file("dados/Finance/2013.CX/x")));
    QCOMPARE(corrections.removeEntry(monthPath, market, "2013"), LedgerCorrections::Removal::Failed);
    QCOMPARE(data.read("dados/Finance/03.2013.fin"), kMarket);

    // A row no longer in the month ledger changes nothing.
    QVERIFY(QDir(data.file("dados/Finance/2013.CX")).removeRecursively());
    QVERIFY(data.write("dados/Finance/2013.CX", kMarket));
    QVERIFY(data.write("dados/Finance/03.2013.fin", kMarta));
    QCOMPARE(corrections.removeEntry(monthPath, market, "2013", &change), LedgerCorrections::Removal::Gone);
    QCOMPARE(data.read("dados/Finance/03.2013.fin"), kMarta);
    QCOMPARE(data.read("dados/Finance/2013.CX"), kMarket);
}

void TestCorrections::deleteMonthTakesOnlyItsDates()
{
    TempDataFolder data;
    const QByteArray february("1,00<1>28/02/2013<2>Exit<3>a<4>Dinheiro\r\n");
    QVERIFY(data.write("dados/Finance/03.2013.fin", kMarch));
    QVERIFY(data.write("dados/Finance/2013.CX", february + kMarket + kMarta + kApril + kAmar));
    QVERIFY(LedgerCorrections(data.paths()).deleteMonth("03.2013.fin"));
    QVERIFY(!QFile::exists(data.file("dados/Finance/03.2013.fin")));
    // April's entry whose source reads "ref 03/2013" stays.
    QCOMPARE(data.read("dados/Finance/2013.CX"), february + kApril);
    QVERIFY(!LedgerCorrections(data.paths()).deleteMonth("03.2013.fin"));
}

void TestCorrections::listFilteredBySource()
{
    Fixture f;
    QVERIFY(f.open());
    QVERIFY(!f.page->corrections->PVF->isVisible());
    QTest::mouseClick(f.page->corrections->Label30, Qt::LeftButton);
    QCOMPARE(f.rows(), (QStringList{"Market", "MARTA", "Amar"}));
    QVERIFY(f.page->corrections->PVF->isVisible());

    QTest::keyClicks(f.page->corrections->PO, "mar");
    QCOMPARE(f.page->corrections->PO->text(), QStringLiteral("MAR"));
    QTest::mouseClick(f.page->corrections->Label30, Qt::LeftButton);
    QCOMPARE(f.rows(), (QStringList{"Market", "MARTA"}));

    f.selectRow(0);
    QCOMPARE(f.page->corrections->NNM->text(), QStringLiteral("1.234,50 | 05/03/2013 | Exit | Market"));
    // Choosing a month hides the panel again and resets the row label.
    f.page->lvd1Click(0);
    QVERIFY(!f.page->corrections->PVF->isVisible());
    QCOMPARE(f.page->corrections->NNM->text(), QStringLiteral("..."));
}

void TestCorrections::alterRefillsTheEntryRow()
{
    Fixture f;
    QVERIFY(f.open());
    f.page->corrections->Label30Click();
    f.selectRow(0);
    f.page->corrections->LVF->setFocus();
    QTest::keyClick(f.page->corrections->LVF, Qt::Key_Return);

    // The message says what is true: nothing is removed until the corrected entry is saved.
    QCOMPARE(f.fake.dialogs.messages(),
             QStringList{"To alter, type the entry again: the current registration is replaced by the "
                         "corrected one when you save it, and stays as it is until then.\n"
                         "Dont forget to save (the current value is: R$ 1.234,50).\n\n"
                         "Dont forget to verify the date before saving the alteration!"});
    QCOMPARE(f.data.read("dados/Finance/03.2013.fin"), kMarch);
    QCOMPARE(f.data.read("dados/Finance/2013.CX"), kMarch + kApril);
    QVERIFY(f.page->correcting());
    QCOMPARE(f.page->fn2->date(), QDate(2013, 3, 5));
    QCOMPARE(f.page->fn3->currentText(), QStringLiteral("Exit"));
    QCOMPARE(f.page->FN4->currentText(), QStringLiteral("Market"));
    QVERIFY(f.page->FN1->hasFocus());
    QCOMPARE(f.page->FN1->text(), QString());
    QCOMPARE(f.page->WorkMonth(), QStringLiteral("03.2013"));
    QVERIFY(!f.page->corrections->PVF->isVisible());
    QCOMPARE(f.page->ls->text(), QStringLiteral("R$ 1.264,50"));
    QCOMPARE(f.page->actionStatus->text(),
             QStringLiteral(
                 "Alterando o lançamento de 03.2013: ele será substituído quando o corrigido for gravado"));
}

void TestCorrections::correctionSavedReplacesTheLine_data()
{
    QTest::addColumn<QDate>("date"); // the corrected entry's date, chosen before saving
    QTest::addColumn<QByteArray>("march");
    QTest::addColumn<QByteArray>("april");
    QTest::addColumn<QByteArray>("year");
    const QByteArray inMarch("1.300,00<1>05/03/2013<2>Exit<3>Market<4>Cart\xe3o\r\n");
    const QByteArray inApril("1.300,00<1>05/04/2013<2>Exit<3>Market<4>Cart\xe3o\r\n");
    QTest::newRow("same month") << QDate(2013, 3, 5) << kMarta + kAmar + inMarch << QByteArray()
                                << kMarta + kAmar + kApril + inMarch;
    QTest::newRow("moved to April") << QDate(2013, 4, 5) << kMarta + kAmar << inApril
                                    << kMarta + kAmar + kApril + inApril;
}

// Saving the corrected entry replaces the old line: the files end as removing it and then
// saving the new entry leave them.
void TestCorrections::correctionSavedReplacesTheLine()
{
    QFETCH(QDate, date);
    QFETCH(QByteArray, march);
    QFETCH(QByteArray, april);
    QFETCH(QByteArray, year);
    Fixture f;
    QVERIFY(f.open());
    QTest::mouseClick(f.page->corrections->Label30, Qt::LeftButton);
    QVERIFY(f.clickRow(0));
    f.page->corrections->LVF->setFocus();
    QTest::keyClick(f.page->corrections->LVF, Qt::Key_Return);
    QVERIFY(f.page->FN1->hasFocus());
    QTest::keyClicks(f.page->FN1, "1.300");
    QTest::keyClick(f.page->FN1, Qt::Key_Return);
    f.page->fn2->setDate(date);
    f.page->PCL->setText("1");
    f.page->FN5->setCurrentIndex(1);
    QTest::mouseClick(f.page->pm1, Qt::LeftButton);

    QCOMPARE(f.data.read("dados/Finance/03.2013.fin"), march);
    QCOMPARE(f.data.read("dados/Finance/04.2013.fin"), april);
    QCOMPARE(f.data.read("dados/Finance/2013.CX"), year);
    QVERIFY(!f.page->correcting());
    QCOMPARE(f.page->actionStatus->text(), QStringLiteral("Lançamento corrigido em %1").arg(monthKey(date)));
    // The next save is a new entry again.
    QTest::keyClicks(f.page->FN1, "2");
    QTest::keyClick(f.page->FN1, Qt::Key_Return);
    f.page->FN4->setEditText("Feira");
    f.page->PCL->setText("1");
    f.page->FN5->setCurrentIndex(0);
    QTest::mouseClick(f.page->pm1, Qt::LeftButton);
    QVERIFY(f.data.read("dados/Finance/2013.CX").startsWith(year));
}

void TestCorrections::correctionGivenUpKeepsTheEntry_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("another month chosen") << "month";
    QTest::newRow("window hidden or program quit") << "close";
    QTest::newRow("backup restored") << "restore";
    QTest::newRow("statement import") << "import";
}

// A correction started and then given up leaves every file byte for byte as it was, and the
// entry row empty and dated today.
void TestCorrections::correctionGivenUpKeepsTheEntry()
{
    QFETCH(QString, way);
    Fixture f;
    QVERIFY(f.data.write("dados/Finance/04.2013.fin", kApril));
    QVERIFY(f.open());
    QTest::mouseClick(f.page->corrections->Label30, Qt::LeftButton);
    QVERIFY(f.clickRow(0));
    f.page->corrections->LVF->setFocus();
    QTest::keyClick(f.page->corrections->LVF, Qt::Key_Return);
    QCOMPARE(f.page->fn2->date(), QDate(2013, 3, 5));
    QTest::keyClicks(f.page->FN1, "99");

    if (way == "month") {
        QVERIFY(f.clickMonth(1));
    } else if (way == "close") {
        f.page->abandonCorrection(); // the suite window's close step
    } else if (way == "restore") {
        f.page->dataFolderReplaced();
    } else {
        f.fake.dialogs.files.enqueue(QString()); // the file choice cancelled
        QTest::mouseClick(f.page->ImportStatement, Qt::LeftButton, {},
                          f.page->ImportStatement->rect().center());
    }

    QVERIFY(!f.page->correcting());
    QCOMPARE(f.page->actionStatus->text(),
             QStringLiteral("Correção cancelada: o lançamento ficou como estava"));
    QCOMPARE(f.page->FN1->text(), QString());
    QCOMPARE(f.page->fn3->currentIndex(), -1);
    QCOMPARE(f.page->FN4->currentText(), QString());
    QCOMPARE(f.page->FN5->currentIndex(), -1);
    QCOMPARE(f.page->fn2->date(), QDate(2013, 3, 15));
    QCOMPARE(f.data.read("dados/Finance/03.2013.fin"), kMarch);
    QCOMPARE(f.data.read("dados/Finance/2013.CX"), kMarch + kApril);
    QCOMPARE(f.data.read("dados/Finance/04.2013.fin"), kApril);
}

void TestCorrections::ledgerReplacedAfterListing_data()
{
    QTest::addColumn<QString>("action"); // "delete" or "correct"
    QTest::addColumn<bool>("rowKept");   // the other program kept the listed entry
    QTest::newRow("deletion keeps the other program's line") << "delete" << true;
    QTest::newRow("deletion of a line already gone") << "delete" << false;
    QTest::newRow("correction keeps the other program's line") << "correct" << true;
    QTest::newRow("correction of a line already gone") << "correct" << false;
}

// Another program (a sync tool) replaces the month and year ledgers, by rename, after the
// month was listed: the ledgers are read again right before the line leaves them, so its
// line stays in both; a line it took away changes nothing and the page says so.
void TestCorrections::ledgerReplacedAfterListing()
{
    QFETCH(QString, action);
    QFETCH(bool, rowKept);
    Fixture f;
    QVERIFY(f.open());
    QTest::mouseClick(f.page->corrections->Label30, Qt::LeftButton);
    QVERIFY(f.clickRow(0)); // Market

    const QByteArray synced("8,00<1>09/03/2013<2>Exit<3>Sincronizado<4>Dinheiro\r\n");
    const QByteArray month = (rowKept ? kMarch : kMarta + kAmar) + synced;
    const QByteArray year = (rowKept ? kMarch : kMarta + kAmar) + kApril + synced;
    for (const auto &[name, bytes] :
         {std::pair{QStringLiteral("03.2013.fin"), month}, std::pair{QStringLiteral("2013.CX"), year}}) {
        const QString target = f.data.file("dados/Finance/" + name);
        QVERIFY(f.data.write("dados/other.tmp", bytes));
        QVERIFY(::rename(QFile::encodeName(f.data.file("dados/other.tmp")).constData(),
                         QFile::encodeName(target).constData()) == 0);
    }

    if (action == "delete") {
        f.page->corrections->Excluir10->trigger();
    } else {
        f.page->corrections->LVF->setFocus();
        QTest::keyClick(f.page->corrections->LVF, Qt::Key_Return);
        QTest::keyClicks(f.page->FN1, "1.300");
        QTest::keyClick(f.page->FN1, Qt::Key_Return);
        f.page->PCL->setText("1");
        f.page->FN5->setCurrentIndex(1);
        QTest::mouseClick(f.page->pm1, Qt::LeftButton);
    }

    const QByteArray corrected = action == "correct"
                                     ? QByteArray("1.300,00<1>05/03/2013<2>Exit<3>Market<4>Cart\xe3o\r\n")
                                     : QByteArray();
    if (rowKept) {
        QCOMPARE(f.data.read("dados/Finance/03.2013.fin"), kMarta + kAmar + synced + corrected);
        QCOMPARE(f.data.read("dados/Finance/2013.CX"), kMarta + kAmar + kApril + synced + corrected);
        return;
    }
    QCOMPARE(f.data.read("dados/Finance/03.2013.fin"), month);
    QCOMPARE(f.data.read("dados/Finance/2013.CX"), year);
    QCOMPARE(f.page->actionStatus->text(),
             action == "delete"
                 ? QStringLiteral("Nada excluído: o lançamento não está mais em 03.2013.fin")
                 : QStringLiteral("Nada gravado: o lançamento corrigido não está mais em 03.2013; "
                                  "grave de novo para lançá-lo como novo"));
    if (action == "delete") // the month is shown as it is now
        QCOMPARE(f.page->heldLines().size(), 3);
}

void TestCorrections::deleteEntryAsksNothing()
{
    Fixture f;
    QVERIFY(f.open());
    f.page->corrections->Label30Click();
    f.selectRow(1);
    f.page->corrections->Excluir10->trigger();
    QVERIFY(f.fake.dialogs.shown.isEmpty());
    QCOMPARE(f.data.read("dados/Finance/03.2013.fin"), kMarket + kAmar);
    QCOMPARE(f.data.read("dados/Finance/2013.CX"), kMarket + kAmar + kApril);
    QCOMPARE(f.page->ls->text(), QStringLiteral("R$ 1.264,50"));
    QCOMPARE(f.page->fn2->date(), QDate(2013, 3, 15)); // the entry row is not touched
    QCOMPARE(f.page->actionStatus->text(), QStringLiteral("Lançamento excluído de 03.2013"));
}

void TestCorrections::deleteEntryMissingFromYearLedger()
{
    Fixture f;
    QVERIFY(f.open(kMarch, kApril));
    f.page->corrections->Label30Click();
    f.selectRow(0);
    f.page->corrections->Excluir10->trigger();
    QCOMPARE(f.data.read("dados/Finance/03.2013.fin"), kMarta + kAmar);
    QCOMPARE(f.data.read("dados/Finance/2013.CX"), kApril);
    // The totals are not recomputed until the next recomputation.
    QCOMPARE(f.page->ls->text(), QStringLiteral("R$ 1.264,50"));
    QCOMPARE(f.page->actionStatus->text(),
             QStringLiteral("Lançamento excluído de 03.2013 (não estava no livro do ano)"));
}

void TestCorrections::deleteMonthAsksFirst()
{
    Fixture f;
    QVERIFY(f.open());
    f.page->lvd1->setCurrentRow(0);
    f.fake.dialogs.answers << false;
    f.page->Excluir7->trigger();
    QCOMPARE(f.fake.dialogs.questions(), QStringList{"Este procedimento excluirá o mês do relatório anual.\n"
                                                     "Você deseja realmente fazer isso?"});
    QCOMPARE(f.fake.dialogs.shown.first().caption, QStringLiteral("Zorv Desk"));
    QVERIFY(QFile::exists(f.data.file("dados/Finance/03.2013.fin")));
    QCOMPARE(f.data.read("dados/Finance/2013.CX"), kMarch + kApril);

    f.fake.dialogs.answers << true;
    f.page->Excluir7->trigger();
    QVERIFY(!QFile::exists(f.data.file("dados/Finance/03.2013.fin")));
    QCOMPARE(f.data.read("dados/Finance/2013.CX"), kApril);
    QCOMPARE(f.page->lvd1->count(), 0);
    QCOMPARE(f.page->le->text(), QStringLiteral("R$ 0,00"));
    QCOMPARE(f.page->psd->text(), QStringLiteral("\u2013"));
    QCOMPARE(f.page->actionStatus->text(), QStringLiteral("Mês 03.2013 excluído"));
}

void TestCorrections::nameSearchSelectsLastMatch()
{
    Fixture f;
    const QByteArray month =
        kMarket + kMarta + "1,00<1>08/03/2013<2>Exit<3>Supermarket<4>Dinheiro\r\n" + kAmar;
    QVERIFY(f.open(month, month));
    f.page->corrections->Label30Click();
    QTest::keyClicks(f.page->corrections->LLC, "KET");
    QTest::keyClick(f.page->corrections->LLC, Qt::Key_Return);
    QCOMPARE(f.page->corrections->LVF->currentItem()->text(3), QStringLiteral("Supermarket"));
    QVERIFY(f.page->corrections->LVF->hasFocus());

    f.selectRow(0);
    f.page->corrections->LLC->setText("a much longer text than any source");
    f.page->corrections->LLCEnter();
    QCOMPARE(f.page->corrections->LVF->currentItem()->text(3), QStringLiteral("Market"));
}

void TestCorrections::deleteSource()
{
    Fixture f;
    QVERIFY(f.data.write("dados/Fontes.cad", "Market\r\nPadaria\r\n"));
    QVERIFY(f.open());
    f.page->FN4->setFocus();
    f.page->FN4->setEditText("Typed only");
    f.page->Excluir12->trigger();
    QCOMPARE(f.page->FN4->currentText(), QString());
    QCOMPARE(f.data.read("dados/Fontes.cad"), QByteArray("Market\r\nPadaria\r\n"));

    f.page->FN4->setCurrentIndex(0);
    // Coming back from the drop-down keeps the chosen item.
    QFocusEvent back(QEvent::FocusIn, Qt::PopupFocusReason);
    QApplication::sendEvent(f.page->FN4, &back);
    QCOMPARE(f.page->FN4->currentIndex(), 0);
    f.page->Excluir12->trigger();
    QCOMPARE(f.data.read("dados/Fontes.cad"), QByteArray("Padaria\r\n"));
}

void TestCorrections::deleteEntriesEnabledOnlyWithSomethingToDelete()
{
    Fixture f;
    QVERIFY(f.open());
    f.page->corrections->Label30Click();
    emit f.page->corrections->PPF->aboutToShow();
    QVERIFY(!f.page->corrections->Excluir10->isEnabled());
    f.selectRow(0);
    emit f.page->corrections->PPF->aboutToShow();
    QVERIFY(f.page->corrections->Excluir10->isEnabled());

    emit f.page->PopupMenu12->aboutToShow();
    QVERIFY(!f.page->Excluir12->isEnabled());
    f.page->FN4->setEditText("x");
    emit f.page->PopupMenu12->aboutToShow();
    QVERIFY(f.page->Excluir12->isEnabled());

    emit f.page->PopupMenu8->aboutToShow();
    QVERIFY(f.page->Excluir7->isEnabled());
}

void TestCorrections::rowShowsInNNMHoweverItIsSelected()
{
    Fixture f;
    QVERIFY(f.open());
    QTest::mouseClick(f.page->corrections->Label30, Qt::LeftButton);
    QLabel *nnm = f.page->corrections->NNM;
    QCOMPARE(nnm->text(), QStringLiteral("..."));

    QVERIFY(f.clickRow(0));
    QCOMPARE(nnm->text(), QStringLiteral("1.234,50 | 05/03/2013 | Exit | Market"));
    QTest::keyClick(f.page->corrections->LVF, Qt::Key_Down);
    QCOMPARE(nnm->text(), QStringLiteral("20,00 | 06/03/2013 | Entrance | MARTA"));

    QTest::keyClicks(f.page->corrections->LLC, "amar");
    QTest::keyClick(f.page->corrections->LLC, Qt::Key_Return);
    QCOMPARE(nnm->text(), QStringLiteral("30,00 | 07/03/2013 | Exit | Amar"));

    // A rebuilt list has nothing selected.
    QTest::mouseClick(f.page->corrections->Label30, Qt::LeftButton);
    QCOMPARE(nnm->text(), QStringLiteral("..."));
}

// Deleting the month shown while its entries are listed leaves nothing of it behind: a
// deletion or an alteration made from the old list would otherwise write the month's other
// lines into a new ledger of that month, which the year ledger no longer holds.
void TestCorrections::deletedMonthCannotBeWrittenBack()
{
    Fixture f;
    QVERIFY(f.open());
    QVERIFY(f.clickMonth(0));
    QTest::mouseClick(f.page->corrections->Label30, Qt::LeftButton);
    QVERIFY(f.clickRow(1));
    f.fake.dialogs.answers << true;
    f.page->Excluir7->trigger();
    QVERIFY(!QFile::exists(f.data.file("dados/Finance/03.2013.fin")));

    QCOMPARE(f.page->corrections->LVF->topLevelItemCount(), 0);
    QVERIFY(!f.page->corrections->PVF->isVisible());
    QCOMPARE(f.page->corrections->NNM->text(), QStringLiteral("..."));
    QVERIFY(f.page->heldLines().isEmpty());
    QCOMPARE(f.page->heldFile(), QString());
    QCOMPARE(f.page->SelectedMonthFile(), QString());
    QVERIFY(!f.page->canDeleteEntry());

    f.page->corrections->Excluir10->trigger();
    f.page->corrections->LVF->setFocus();
    QTest::keyClick(f.page->corrections->LVF, Qt::Key_Return);
    QTest::mouseClick(f.page->corrections->Label30, Qt::LeftButton);
    QCOMPARE(f.page->corrections->LVF->topLevelItemCount(), 0);
    QVERIFY(!QFile::exists(f.data.file("dados/Finance/03.2013.fin")));
    QCOMPARE(f.data.read("dados/Finance/2013.CX"), kApril);
    QVERIFY(f.fake.dialogs.messages().isEmpty());
}

// A ledger removed behind the page's back (another month's deletion, a file manager) is not
// created again from the lines the page still lists.
void TestCorrections::entryOfAVanishedLedgerIsNotWrittenBack()
{
    Fixture f;
    QVERIFY(f.open());
    QTest::mouseClick(f.page->corrections->Label30, Qt::LeftButton);
    QVERIFY(f.clickRow(0));
    QVERIFY(QFile::remove(f.data.file("dados/Finance/03.2013.fin")));
    f.page->corrections->Excluir10->trigger();
    QVERIFY(!QFile::exists(f.data.file("dados/Finance/03.2013.fin")));
    QCOMPARE(f.data.read("dados/Finance/2013.CX"), kMarch + kApril);
}

// While the data folder is being replaced the page writes nothing, and what the user typed
// stays in the fields.
void TestCorrections::nothingWrittenWhileWritesAreHeld()
{
    Fixture f;
    QVERIFY(f.data.write("dados/Fontes.cad", "Market\r\n"));
    QVERIFY(f.open());
    bool held = true;
    f.page->setWriteGate([&held] { return !held; });
    QTest::mouseClick(f.page->corrections->Label30, Qt::LeftButton);
    QVERIFY(f.clickRow(0));

    f.page->corrections->Excluir10->trigger();
    f.page->corrections->LVF->setFocus();
    QTest::keyClick(f.page->corrections->LVF, Qt::Key_Return); // alteration
    QVERIFY(f.clickMonth(0));
    f.fake.dialogs.answers << true;
    f.page->Excluir7->trigger();
    f.page->FN4->setFocus(); // the sources are read into the field
    f.page->FN4->setCurrentIndex(0);
    f.page->Excluir12->trigger();
    QTest::mouseClick(f.page->Label128, Qt::LeftButton);

    f.page->FN1->setFocus();
    QTest::keyClicks(f.page->FN1, "10");
    QTest::keyClick(f.page->FN1, Qt::Key_Return);
    f.page->fn3->setCurrentIndex(0);
    f.page->FN4->setEditText("Venda");
    f.page->PCL->setText("1");
    f.page->FN5->setCurrentIndex(0);
    QTest::mouseClick(f.page->pm1, Qt::LeftButton);

    QVERIFY(f.fake.dialogs.shown.isEmpty());
    QCOMPARE(f.data.read("dados/Finance/03.2013.fin"), kMarch);
    QCOMPARE(f.data.read("dados/Finance/2013.CX"), kMarch + kApril);
    QCOMPARE(f.data.read("dados/Fontes.cad"), QByteArray("Market\r\n"));
    QVERIFY(!QFile::exists(f.data.file("dados/Money.sbm")));
    QCOMPARE(f.page->FN1->text(), QStringLiteral("10,00"));
    QCOMPARE(f.page->FN4->currentText(), QStringLiteral("Venda"));

    // Once the writes go on again, the same save lands.
    held = false;
    QTest::mouseClick(f.page->pm1, Qt::LeftButton);
    QVERIFY(f.data.read("dados/Finance/03.2013.fin")
                .endsWith("10,00<1>15/03/2013<2>Entrance<3>Venda<4>Dinheiro\r\n"));
}

// After a restore the page holds nothing of the folder it replaced: the month list, the
// symbol and the sources come from the restored files, and an entry listed before cannot
// be deleted into them.
void TestCorrections::replacedDataFolderIsReadAgain()
{
    Fixture f;
    QVERIFY(f.data.write("dados/Fontes.cad", "Market\r\nPadaria\r\n"));
    QVERIFY(f.open());
    f.page->FN4->setFocus(); // the sources are read into the field
    QCOMPARE(f.page->FN4->count(), 2);
    QTest::mouseClick(f.page->corrections->Label30, Qt::LeftButton);
    QVERIFY(f.clickRow(0));

    // The restored folder: another March, no sources, another symbol.
    const QByteArray restored("7,00<1>09/03/2013<2>Exit<3>Feira<4>Dinheiro\r\n");
    QVERIFY(f.data.write("dados/Finance/03.2013.fin", restored));
    QVERIFY(f.data.write("dados/Finance/04.2013.fin", kApril));
    QVERIFY(f.data.write("dados/Finance/2013.CX", restored + kApril));
    QVERIFY(QFile::remove(f.data.file("dados/Fontes.cad")));
    QVERIFY(f.data.write("dados/Money.sbm", "US$\r\n"));
    f.page->dataFolderReplaced();

    QCOMPARE(f.page->lvd1->count(), 2);
    QVERIFY(f.page->heldLines().isEmpty());
    QCOMPARE(f.page->corrections->LVF->topLevelItemCount(), 0);
    QCOMPARE(f.page->SBM->text(), QStringLiteral("US$"));
    QCOMPARE(f.page->le->text(), QStringLiteral("US$ 0,00"));
    QCOMPARE(f.page->FN4->count(), 0);
    f.page->corrections->Excluir10->trigger();
    f.page->FN4->setEditText("Market");
    f.page->Excluir12->trigger();
    QCOMPARE(f.data.read("dados/Finance/03.2013.fin"), restored);
    QCOMPARE(f.data.read("dados/Finance/2013.CX"), restored + kApril);
    QCOMPARE(f.data.read("dados/Fontes.cad"), QByteArray()); // the restored list: none

    QVERIFY(f.clickMonth(0));
    QCOMPARE(f.page->heldLines(), QStringList{"7,00<1>09/03/2013<2>Exit<3>Feira<4>Dinheiro"});
}

QTEST_MAIN(TestCorrections)
#include "tst_corrections.moc"
