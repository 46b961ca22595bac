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
        for (int i = 0; i < page->LVF->topLevelItemCount(); ++i)
            out << page->LVF->topLevelItem(i)->text(3);
        return out;
    }

    void selectRow(int row) const
    {
        page->LVF->setCurrentItem(page->LVF->topLevelItem(row));
        page->LVF->topLevelItem(row)->setSelected(true);
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
    void deleteEntryAsksNothing();
    void deleteEntryMissingFromYearLedger();
    void deleteMonthAsksFirst();
    void nameSearchSelectsLastMatch();
    void deleteSource();
    void deleteEntriesEnabledOnlyWithSomethingToDelete();
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
    QStringList lines = decodeLines(kMarket + kMarket);
    QCOMPARE(corrections.removeEntry(monthPath, lines, TextEncoding::Ansi, 0, "2013"),
             LedgerCorrections::Removal::MonthAndYear);
    QCOMPARE(lines.size(), 1);
    QCOMPARE(data.read("dados/Finance/03.2013.fin"), kMarket);
    // The year ledger is searched from its second line on, then the first.
    QCOMPARE(data.read("dados/Finance/2013.CX"), kMarket + kApril);

    // A year ledger that cannot be written: the month ledger keeps its line.
    QVERIFY(QFile::remove(data.file("dados/Finance/2013.CX")));
    QVERIFY(QDir().mkpath(data.file("dados/Finance/2013.CX")));
    QVERIFY(QDir().mkpath(data.file("dados/Finance/2013.CX/x")));
    QCOMPARE(corrections.removeEntry(monthPath, lines, TextEncoding::Ansi, 0, "2013"),
             LedgerCorrections::Removal::Failed);
    QCOMPARE(data.read("dados/Finance/03.2013.fin"), kMarket);
    QCOMPARE(lines.size(), 1);
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
    QVERIFY(!f.page->PVF->isVisible());
    QTest::mouseClick(f.page->Label30, Qt::LeftButton);
    QCOMPARE(f.rows(), (QStringList{"Market", "MARTA", "Amar"}));
    QVERIFY(f.page->PVF->isVisible());

    QTest::keyClicks(f.page->PO, "mar");
    QCOMPARE(f.page->PO->text(), QStringLiteral("MAR"));
    QTest::mouseClick(f.page->Label30, Qt::LeftButton);
    QCOMPARE(f.rows(), (QStringList{"Market", "MARTA"}));

    f.selectRow(0);
    QCOMPARE(f.page->NNM->text(), QStringLiteral("1.234,50 | 05/03/2013 | Exit | Market"));
    // Choosing a month hides the panel again and resets the row label.
    f.page->lvd1Click(0);
    QVERIFY(!f.page->PVF->isVisible());
    QCOMPARE(f.page->NNM->text(), QStringLiteral("..."));
}

void TestCorrections::alterRefillsTheEntryRow()
{
    Fixture f;
    QVERIFY(f.open());
    f.page->Label30Click();
    f.selectRow(0);
    f.page->LVF->setFocus();
    QTest::keyClick(f.page->LVF, Qt::Key_Return);

    QCOMPARE(f.fake.dialogs.messages(),
             QStringList{"To alter, the current registration was excluded.\n"
                         "Dont forget to save (the current value is: R$ 1.234,50).\n\n"
                         "Dont forget to verify the date before saving the alteration!"});
    QCOMPARE(f.data.read("dados/Finance/03.2013.fin"), kMarta + kAmar);
    QCOMPARE(f.data.read("dados/Finance/2013.CX"), kMarta + kAmar + kApril);
    QCOMPARE(f.page->fn2->date(), QDate(2013, 3, 5));
    QCOMPARE(f.page->fn3->currentText(), QStringLiteral("Exit"));
    QCOMPARE(f.page->FN4->currentText(), QStringLiteral("Market"));
    QVERIFY(f.page->FN1->hasFocus());
    QCOMPARE(f.page->FN1->text(), QString());
    QCOMPARE(f.page->WorkMonth(), QStringLiteral("03.2013"));
    QVERIFY(!f.page->PVF->isVisible());
    QCOMPARE(f.page->ls->text(), QStringLiteral("R$ 30,00"));
}

void TestCorrections::deleteEntryAsksNothing()
{
    Fixture f;
    QVERIFY(f.open());
    f.page->Label30Click();
    f.selectRow(1);
    f.page->Excluir10->trigger();
    QVERIFY(f.fake.dialogs.shown.isEmpty());
    QCOMPARE(f.data.read("dados/Finance/03.2013.fin"), kMarket + kAmar);
    QCOMPARE(f.data.read("dados/Finance/2013.CX"), kMarket + kAmar + kApril);
    QCOMPARE(f.page->ls->text(), QStringLiteral("R$ 1.264,50"));
    QCOMPARE(f.page->fn2->date(), QDate(2013, 3, 15)); // the entry row is not touched
}

void TestCorrections::deleteEntryMissingFromYearLedger()
{
    Fixture f;
    QVERIFY(f.open(kMarch, kApril));
    f.page->Label30Click();
    f.selectRow(0);
    f.page->Excluir10->trigger();
    QCOMPARE(f.data.read("dados/Finance/03.2013.fin"), kMarta + kAmar);
    QCOMPARE(f.data.read("dados/Finance/2013.CX"), kApril);
    // The totals are not recomputed until the next recomputation.
    QCOMPARE(f.page->ls->text(), QStringLiteral("R$ 1.264,50"));
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
    QCOMPARE(f.page->psd->text(), QStringLiteral("0%"));
}

void TestCorrections::nameSearchSelectsLastMatch()
{
    Fixture f;
    const QByteArray month =
        kMarket + kMarta + "1,00<1>08/03/2013<2>Exit<3>Supermarket<4>Dinheiro\r\n" + kAmar;
    QVERIFY(f.open(month, month));
    f.page->Label30Click();
    QTest::keyClicks(f.page->LLC, "KET");
    QTest::keyClick(f.page->LLC, Qt::Key_Return);
    QCOMPARE(f.page->LVF->currentItem()->text(3), QStringLiteral("Supermarket"));
    QVERIFY(f.page->LVF->hasFocus());

    f.selectRow(0);
    f.page->LLC->setText("a much longer text than any source");
    f.page->LLCEnter();
    QCOMPARE(f.page->LVF->currentItem()->text(3), QStringLiteral("Market"));
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
    f.page->Label30Click();
    emit f.page->PPF->aboutToShow();
    QVERIFY(!f.page->Excluir10->isEnabled());
    f.selectRow(0);
    emit f.page->PPF->aboutToShow();
    QVERIFY(f.page->Excluir10->isEnabled());

    emit f.page->PopupMenu12->aboutToShow();
    QVERIFY(!f.page->Excluir12->isEnabled());
    f.page->FN4->setEditText("x");
    emit f.page->PopupMenu12->aboutToShow();
    QVERIFY(f.page->Excluir12->isEnabled());

    emit f.page->PopupMenu8->aboutToShow();
    QVERIFY(f.page->Excluir7->isEnabled());
}

QTEST_MAIN(TestCorrections)
#include "tst_corrections.moc"
