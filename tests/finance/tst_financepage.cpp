#include "controls/currencyedit.h"
#include "controls/linklabel.h"
#include "finance/correctionsarea.h"
#include "finance/financepage.h"
#include "platform/fakes.h"
#include "tempdatafolder.h"
#include "typing.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QTest>
#include <QTreeWidget>

using namespace zorv;

namespace {

const QByteArray kMarch("1.000,00<1>01/03/2013<2>Entrance<3>Sal\xe1rio<4>Dinheiro\r\n"
                        "250,00<1>02/03/2013<2>Exit<3>Mercado<4>Cart\xe3o\r\n"
                        "\r\n"
                        "100,00<1>05/03/2013<2>To pay<3>Luz<4>Boleto\r\n");

// A page on a temporary data folder, shown and active, on 15/03/2013.
struct Fixture
{
    TempDataFolder data;
    FakeServices fake;
    std::unique_ptr<FinancePage> page;

    Fixture() { fake.clock.set(QDate(2013, 3, 15)); }

    bool open()
    {
        page = std::make_unique<FinancePage>(data.paths(), fake.services());
        page->resize(1000, 700);
        page->show();
        QApplication::setActiveWindow(page.get());
        if (!QTest::qWaitForWindowActive(page.get()))
            return false;
        page->ReadSymbol();
        page->SetDateToToday();
        page->Atualizar3Click();
        page->FocusValue();
        return page->FN1->hasFocus();
    }

    void enter(QWidget *w) { QTest::keyClick(w, Qt::Key_Return); }

    // Walks the entry row with the keyboard as a user does.
    void typeEntry(const QString &amount, int operation, const QString &source, const QString &installments,
                   const QString &quantity, int form)
    {
        typeText(page->FN1, amount);
        enter(page->FN1);
        enter(page->AL);
        enter(page->fn2);
        page->fn3->setCurrentIndex(operation);
        enter(page->fn3);
        typeText(page->FN4->lineEdit(), source);
        enter(page->FN4->lineEdit());
        typeText(page->PCL, installments);
        enter(page->PCL);
        typeText(page->QT, quantity);
        enter(page->QT);
        page->FN5->setCurrentIndex(form);
        enter(page->FN5);
    }

    void tickInstallments()
    {
        while (page->TMPC.isActive())
            page->TMPCTimer();
    }
};

} // namespace

class TestFinancePage : public QObject
{
    Q_OBJECT

private slots:
    void entryLandsAsLastLineOfBothLedgers();
    void percentageKeys_data();
    void percentageKeys();
    void percentageTooLargeSaysWhy_data();
    void percentageTooLargeSaysWhy();
    void quantityMultiplies();
    void installmentsMoveOneMonthEach();
    void portionsTakeTheirValuesOnce();
    void installmentsCrossTheYear();
    void installmentRunStopsAtTheFirstFailedWrite();
    void saveNeedsInstallmentCountAndForm();
    void failedWriteKeepsTheFields();
    void sourcesAddedOnceIgnoringCase();
    void amountNotTakenIsNeverSaved_data();
    void amountNotTakenIsNeverSaved();
    void thousandsPointSavesTheAmountTyped_data();
    void thousandsPointSavesTheAmountTyped();
    void monthTotals_data();
    void monthTotals();
    void monthWithoutEntrancesComparesNothing();
    void everyActionSaysWhatItDid();
    void linksFollowTheFieldsAndRunFromTheKeyboard();
    void symbolAppliesAndShows();
    void monthSearch();
    void helpMessages();
};

void TestFinancePage::entryLandsAsLastLineOfBothLedgers()
{
    Fixture f;
    QVERIFY(f.data.write("dados/Finance/03.2013.fin", kMarch));
    QVERIFY(f.data.write("dados/Finance/2013.CX", kMarch));
    QVERIFY(f.open());
    f.typeEntry("1234.5", 1, "Padaria São João", "", "", 1);

    const QByteArray line("1.234,50<1>15/03/2013<2>Exit<3>Padaria S\xe3o Jo\xe3o<4>Cart\xe3o\r\n");
    QCOMPARE(f.data.read("dados/Finance/03.2013.fin"), kMarch + line);
    QCOMPARE(f.data.read("dados/Finance/2013.CX"), kMarch + line);
    QCOMPARE(f.data.read("dados/Fontes.cad"), QByteArray("Padaria S\xe3o Jo\xe3o\r\n"));
    // The row is cleared for the next entry, and the month's totals follow.
    QVERIFY(f.page->FN1->hasFocus());
    QCOMPARE(f.page->FN1->text(), QString());
    QCOMPARE(f.page->FN4->currentText(), QString());
    QCOMPARE(f.page->FN5->currentIndex(), -1);
    QCOMPARE(f.page->PCL->text(), QString());
    QCOMPARE(f.page->lvd1->count(), 1);
    QCOMPARE(f.page->ls->text(), QStringLiteral("R$ 1.584,50"));
}

void TestFinancePage::percentageKeys_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("shown");
    QTest::newRow("F9") << QList<int>{Qt::Key_F9} << "1350,00";
    QTest::newRow("F10") << QList<int>{Qt::Key_F10} << "1650,00";
    QTest::newRow("F9 twice") << QList<int>{Qt::Key_F9, Qt::Key_F9} << "1215,00";
}

void TestFinancePage::percentageKeys()
{
    QFETCH(QList<int>, keys);
    QFETCH(QString, shown);
    Fixture f;
    QVERIFY(f.open());
    typeText(f.page->FN1, "1500");
    f.enter(f.page->FN1);
    typeText(f.page->AL, "10");
    for (int key : keys) {
        f.page->AL->setFocus();
        QTest::keyClick(f.page->AL, Qt::Key(key));
        QVERIFY(f.page->fn2->hasFocus());
    }
    QCOMPARE(f.page->FN1->text(), shown);
    QCOMPARE(f.page->AL->text(), QStringLiteral("10"));
}

void TestFinancePage::percentageTooLargeSaysWhy_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("F9") << int(Qt::Key_F9);
    QTest::newRow("F10") << int(Qt::Key_F10);
}

// A result beyond what an amount holds changes nothing, says why, and leaves the focus in
// the percentage for another one.
void TestFinancePage::percentageTooLargeSaysWhy()
{
    QFETCH(int, key);
    Fixture f;
    QVERIFY(f.open());
    typeText(f.page->FN1, "9999999999999");
    f.enter(f.page->FN1);
    QCOMPARE(f.page->FN1->text(), QStringLiteral("9999999999999,00"));
    typeText(f.page->AL, "999999");
    QTest::keyClick(f.page->AL, Qt::Key(key));
    QVERIFY(f.page->AL->hasFocus());
    QCOMPARE(f.page->FN1->text(), QStringLiteral("9999999999999,00"));
    QCOMPARE(f.page->actionStatus->text(),
             QStringLiteral("Percentual não aplicado: o resultado seria grande demais para um valor"));
}

void TestFinancePage::quantityMultiplies()
{
    Fixture f;
    QVERIFY(f.open());
    f.typeEntry("2,50", 1, "Pão", "", "3", 0);
    QCOMPARE(f.data.read("dados/Finance/03.2013.fin"),
             QByteArray("7,50<1>15/03/2013<2>Exit<3>P\xe3o<4>Dinheiro\r\n"));
}

void TestFinancePage::installmentsMoveOneMonthEach()
{
    Fixture f;
    f.fake.clock.set(QDate(2013, 1, 31));
    QVERIFY(f.open());
    f.typeEntry("100", 2, "Loja", "3", "", 3);
    QCOMPARE(f.page->pendingInstallments(), 3);
    QVERIFY(f.page->TMPC.isActive());
    QCOMPARE(f.page->TMPC.interval(), 300);
    f.tickInstallments();

    QVERIFY(!QFile::exists(f.data.file("dados/Finance/01.2013.fin")));
    QCOMPARE(f.data.read("dados/Finance/02.2013.fin"),
             QByteArray("100,00<1>28/02/2013<2>To pay<3>Loja<4>Boleto\r\n"));
    QCOMPARE(f.data.read("dados/Finance/03.2013.fin"),
             QByteArray("100,00<1>28/03/2013<2>To pay<3>Loja<4>Boleto\r\n"));
    QCOMPARE(f.data.read("dados/Finance/2013.CX"),
             QByteArray("100,00<1>28/02/2013<2>To pay<3>Loja<4>Boleto\r\n"
                        "100,00<1>28/03/2013<2>To pay<3>Loja<4>Boleto\r\n"
                        "100,00<1>28/04/2013<2>To pay<3>Loja<4>Boleto\r\n"));
    // The run works on its own copy of the date: the row keeps the one chosen.
    QCOMPARE(f.page->fn2->date(), QDate(2013, 1, 31));
    QCOMPARE(f.page->lvd1->count(), 3);
    QCOMPARE(f.page->FN4->currentText(), QString());
    QVERIFY(f.page->FN1->hasFocus());
}

// The values of a run are taken once, when it is saved: what the user types for the next
// entry while the portions are written reaches neither the portions nor is lost by them.
void TestFinancePage::portionsTakeTheirValuesOnce()
{
    Fixture f;
    QVERIFY(f.open());
    f.typeEntry("100", 1, "Loja", "10", "", 1);
    QVERIFY(f.page->FN1->hasFocus());
    QCOMPARE(f.page->FN1->text(), QString());
    for (int i = 0; i < 3; ++i)
        f.page->TMPCTimer();
    QCOMPARE(f.page->actionStatus->text(), QStringLiteral("Gravando parcela 3 de 10…"));

    // The next entry, typed up to its payment form while the run goes on.
    typeText(f.page->FN1, "50");
    f.enter(f.page->FN1);
    f.enter(f.page->AL);
    f.enter(f.page->fn2);
    f.page->fn3->setCurrentIndex(0);
    f.enter(f.page->fn3);
    typeText(f.page->FN4->lineEdit(), "Feira");
    f.enter(f.page->FN4->lineEdit());
    f.enter(f.page->PCL);
    f.enter(f.page->QT);
    f.page->FN5->setCurrentIndex(0);
    f.tickInstallments();
    QCOMPARE(f.page->actionStatus->text(), QStringLiteral("10 parcelas gravadas, de 04.2013 a 01.2014"));

    QByteArray year2013, year2014;
    for (int i = 1; i <= 10; ++i) {
        const QDate date = QDate(2013, 3, 15).addMonths(i);
        const QByteArray line =
            "100,00<1>" + date.toString("dd/MM/yyyy").toLatin1() + "<2>Exit<3>Loja<4>Cart\xe3o\r\n";
        QCOMPARE(f.data.read("dados/Finance/" + date.toString("MM.yyyy") + ".fin"), line);
        (date.year() == 2013 ? year2013 : year2014) += line;
    }
    QCOMPARE(f.data.read("dados/Finance/2013.CX"), year2013);
    QCOMPARE(f.data.read("dados/Finance/2014.CX"), year2014);

    // The next entry is still in the row, whole, and saves as typed.
    QCOMPARE(f.page->FN1->text(), QStringLiteral("50,00"));
    QCOMPARE(f.page->FN4->currentText(), QStringLiteral("Feira"));
    QCOMPARE(f.page->fn2->date(), QDate(2013, 3, 15));
    f.enter(f.page->FN5);
    QCOMPARE(f.data.read("dados/Finance/03.2013.fin"),
             QByteArray("50,00<1>15/03/2013<2>Entrance<3>Feira<4>Dinheiro\r\n"));
}

void TestFinancePage::installmentsCrossTheYear()
{
    Fixture f;
    f.fake.clock.set(QDate(2013, 11, 15));
    QVERIFY(f.open());
    f.typeEntry("10", 1, "Escola", "2", "", 0);
    f.tickInstallments();
    QCOMPARE(f.data.read("dados/Finance/2013.CX"),
             QByteArray("10,00<1>15/12/2013<2>Exit<3>Escola<4>Dinheiro\r\n"));
    QCOMPARE(f.data.read("dados/Finance/2014.CX"),
             QByteArray("10,00<1>15/01/2014<2>Exit<3>Escola<4>Dinheiro\r\n"));
}

// A run whose installment cannot be written stops there: the installments before it stay,
// the entry row keeps its fields with the date of the one that failed, nothing after it is
// written.
void TestFinancePage::installmentRunStopsAtTheFirstFailedWrite()
{
    Fixture f;
    f.fake.clock.set(QDate(2013, 1, 31));
    QVERIFY(QDir().mkpath(f.data.file("dados/Finance") + "/03.2013.fin")); // cannot become a file
    QVERIFY(f.open());
    f.typeEntry("100", 2, "Loja", "3", "", 3);
    f.tickInstallments();

    QVERIFY(!f.page->TMPC.isActive());
    QCOMPARE(f.page->pendingInstallments(), 0);
    const QByteArray february("100,00<1>28/02/2013<2>To pay<3>Loja<4>Boleto\r\n");
    QCOMPARE(f.data.read("dados/Finance/02.2013.fin"), february);
    QCOMPARE(f.data.read("dados/Finance/2013.CX"), february);
    QVERIFY(!QFile::exists(f.data.file("dados/Finance/04.2013.fin")));
    QCOMPARE(f.page->fn2->date(), QDate(2013, 3, 28));
    QCOMPARE(f.page->FN1->text(), QStringLiteral("100,00"));
    QCOMPARE(f.page->fn3->currentText(), QStringLiteral("To pay"));
    QCOMPARE(f.page->FN4->currentText(), QStringLiteral("Loja"));
    QCOMPARE(f.page->FN5->currentText(), QStringLiteral("Boleto"));
}

void TestFinancePage::saveNeedsInstallmentCountAndForm()
{
    Fixture f;
    QVERIFY(f.open());
    typeText(f.page->FN1, "10");
    f.enter(f.page->FN1);
    f.page->fn3->setCurrentIndex(0);
    f.page->FN4->setEditText("Venda");
    f.page->FN5->setCurrentIndex(0);
    f.page->pm1Click(); // the installment count was never passed with Enter
    f.page->PCL->setText("1");
    f.page->FN5->setCurrentIndex(-1);
    f.page->pm1Click(); // no payment form
    QVERIFY(QDir(f.data.file("dados/Finance")).isEmpty());
    QCOMPARE(f.page->FN4->currentText(), QStringLiteral("Venda"));
}

void TestFinancePage::failedWriteKeepsTheFields()
{
    Fixture f;
    QVERIFY(QDir(f.data.file("dados/Finance")).removeRecursively());
    QVERIFY(f.open());
    f.typeEntry("10", 0, "Venda", "", "", 0);
    QVERIFY(!QFile::exists(f.data.file("dados/Finance")));
    QCOMPARE(f.page->FN1->text(), QStringLiteral("10,00"));
    QCOMPARE(f.page->FN4->currentText(), QStringLiteral("Venda"));
    QCOMPARE(f.page->FN5->currentIndex(), 0);
}

void TestFinancePage::sourcesAddedOnceIgnoringCase()
{
    Fixture f;
    QVERIFY(f.data.write("dados/Fontes.cad", "Market\r\n"));
    QVERIFY(f.open());
    f.page->FN4->setFocus();
    QCOMPARE(f.page->FN4->count(), 1);
    typeText(f.page->FN4->lineEdit(), "market");
    f.enter(f.page->FN4->lineEdit());
    QVERIFY(f.page->PCL->hasFocus());
    QCOMPARE(f.data.read("dados/Fontes.cad"), QByteArray("Market\r\n"));

    f.page->FN4->setFocus();
    f.page->FN4->lineEdit()->clear();
    typeText(f.page->FN4->lineEdit(), "Açougue");
    f.enter(f.page->FN4->lineEdit());
    QCOMPARE(f.data.read("dados/Fontes.cad"), QByteArray("Market\r\nA\xe7ougue\r\n"));

    // An empty source stays where it is.
    f.page->FN4->setFocus();
    f.page->FN4->lineEdit()->clear();
    f.enter(f.page->FN4->lineEdit());
    QVERIFY(f.page->FN4->hasFocus());
}

// A text that is no amount never lets the amount before it be saved: not through Enter in
// the field, a percentage key, the quantity or Save clicked while typing. The field shows
// the text as not taken and the page says why nothing was saved.
void TestFinancePage::amountNotTakenIsNeverSaved_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown"); // what the field shows once left
    QTest::addColumn<int>("path");      // 0 Enter chain, 1 F9 in AL, 2 Save clicked in FN1
    QTest::newRow("empty, Enter chain") << ""
                                        << "" << 0;
    QTest::newRow("short group") << "1.23.4"
                                 << "1.23.4" << 0;
    QTest::newRow("sign alone") << "-"
                                << "-" << 0;
    QTest::newRow("percentage of the old amount") << "12.34,5"
                                                  << "12.34,5" << 1;
    QTest::newRow("Save clicked while typing") << "1.23.4"
                                               << "1.23.4" << 2;
}

void TestFinancePage::amountNotTakenIsNeverSaved()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, path);
    Fixture f;
    QVERIFY(f.open());
    f.typeEntry("77", 0, "Venda", "", "", 0);
    const QByteArray saved("77,00<1>15/03/2013<2>Entrance<3>Venda<4>Dinheiro\r\n");
    QCOMPARE(f.data.read("dados/Finance/03.2013.fin"), saved);
    QVERIFY(f.page->FN1->hasFocus());

    if (path == 0) {
        f.typeEntry(typed, 0, "Venda", "", "2", 0);
    } else if (path == 1) {
        typeText(f.page->FN1, typed);
        f.enter(f.page->FN1);
        typeText(f.page->AL, "10");
        QTest::keyClick(f.page->AL, Qt::Key_F9);
        QCOMPARE(f.page->actionStatus->text(), TzorvCurrency::notTakenHint());
        f.page->fn3->setCurrentIndex(0);
        f.page->FN4->setEditText("Venda");
        f.page->PCL->setText("1");
        f.page->FN5->setCurrentIndex(0);
        QTest::mouseClick(f.page->pm1, Qt::LeftButton);
    } else {
        f.page->fn3->setCurrentIndex(0);
        f.page->FN4->setEditText("Venda");
        f.page->PCL->setText("1");
        f.page->FN5->setCurrentIndex(0);
        f.page->FocusValue();
        typeText(f.page->FN1, typed);
        QTest::mouseClick(f.page->pm1, Qt::LeftButton);
    }
    QCOMPARE(f.data.read("dados/Finance/03.2013.fin"), saved);
    QCOMPARE(f.data.read("dados/Finance/2013.CX"), saved);
    QCOMPARE(f.page->FN1->text(), shown);
    QVERIFY(!f.page->FN1->IsValid());
    QCOMPARE(f.page->FN1->toolTip(), shown.isEmpty() ? QString() : TzorvCurrency::notTakenHint());
    QCOMPARE(f.page->actionStatus->text(), shown.isEmpty() ? QStringLiteral("Nada gravado: falta o valor")
                                                           : QStringLiteral("Nada gravado: valor inválido"));

    // The amount typed again is saved; the rest of the row was kept.
    f.page->FocusValue();
    typeText(f.page->FN1, "5");
    f.enter(f.page->FN1);
    QVERIFY(f.page->FN1->IsValid());
    f.page->PCL->setText("1");
    QTest::mouseClick(f.page->pm1, Qt::LeftButton);
    QCOMPARE(f.data.read("dados/Finance/03.2013.fin"),
             saved + "5,00<1>15/03/2013<2>Entrance<3>Venda<4>Dinheiro\r\n");
}

// Amounts typed the Brazilian way are saved as meant: a point before exactly three digits
// groups thousands, before one or two digits it is the decimal comma.
void TestFinancePage::thousandsPointSavesTheAmountTyped_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("value"); // as the ledger line holds it
    QTest::newRow("plain") << "1800" << QByteArray("1.800,00");
    QTest::newRow("comma decimals") << "1500,50" << QByteArray("1.500,50");
    QTest::newRow("thousands, no decimals") << "1.800" << QByteArray("1.800,00");
    QTest::newRow("five digits") << "12.345" << QByteArray("12.345,00");
    QTest::newRow("millions") << "1.250.000" << QByteArray("1.250.000,00");
    QTest::newRow("thousands and decimals") << "1.234,56" << QByteArray("1.234,56");
    QTest::newRow("grouped with decimals") << "12.345.678,90" << QByteArray("12.345.678,90");
    QTest::newRow("point, one decimal") << "10.3" << QByteArray("10,30");
    QTest::newRow("point, one decimal again") << "12.5" << QByteArray("12,50");
    QTest::newRow("point, two decimals") << "7.25" << QByteArray("7,25");
}

void TestFinancePage::thousandsPointSavesTheAmountTyped()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, value);
    Fixture f;
    QVERIFY(f.open());
    f.typeEntry(typed, 1, "Aluguel", "", "", 3);
    const QByteArray line = value + "<1>15/03/2013<2>Exit<3>Aluguel<4>Boleto\r\n";
    QCOMPARE(f.data.read("dados/Finance/03.2013.fin"), line);
    QCOMPARE(f.data.read("dados/Finance/2013.CX"), line);
}

void TestFinancePage::monthTotals_data()
{
    QTest::addColumn<QByteArray>("ledger");
    QTest::addColumn<QStringList>("labels"); // le, ls, SD, psd, tot
    QTest::addColumn<int>("green");
    QTest::addColumn<int>("maroon");
    QTest::newRow("example month with a blank line")
        << kMarch << QStringList{"R$ 1.100,00", "R$ 350,00", "R$ 750,00", "32%", "68%"} << 68 << 32;
    QTest::newRow("only exits") << QByteArray("250,00<1>02/03/2013<2>Exit<3>a<4>Dinheiro\r\n")
                                << QStringList{"R$ 0,00", "R$ 250,00", "R$ -250,00", "\u2013", "\u2013"} << 0
                                << 0;
    QTest::newRow("exits beyond entrances")
        << QByteArray("100,00<1>02/03/2013<2>Entrance<3>a<4>Dinheiro\r\n150,00<1>02/03/"
                      "2013<2>Exit<3>a<4>Dinheiro\r\n")
        << QStringList{"R$ 100,00", "R$ 150,00", "R$ -50,00", "150%", "0%"} << 0 << 100;
    // Sums beyond the currency range are exact: no amount is dropped to stay within it.
    QTest::newRow("sums beyond the currency range")
        << QByteArray("500.000.000.000.000,00<1>02/03/2013<2>Entrance<3>a<4>Dinheiro\r\n"
                      "500.000.000.000.000,00<1>03/03/2013<2>Entrance<3>a<4>Dinheiro\r\n"
                      "900.000.000.000.000,00<1>04/03/2013<2>Exit<3>a<4>Dinheiro\r\n")
        << QStringList{"R$ 1.000.000.000.000.000,00", "R$ 900.000.000.000.000,00",
                       "R$ 100.000.000.000.000,00", "90%", "10%"}
        << 10 << 90;
    QTest::newRow("exits beyond the currency range")
        << QByteArray("0,01<1>02/03/2013<2>Entrance<3>a<4>Dinheiro\r\n"
                      "900.000.000.000.000,00<1>03/03/2013<2>Exit<3>a<4>Dinheiro\r\n"
                      "900.000.000.000.000,00<1>04/03/2013<2>Exit<3>a<4>Dinheiro\r\n")
        << QStringList{"R$ 0,01", "R$ 1.800.000.000.000.000,00", "R$ -1.799.999.999.999.999,99",
                       "18000000000000000000%", "0%"}
        << 0 << 100;
    QTest::newRow("empty month") << QByteArray()
                                 << QStringList{"R$ 0,00", "R$ 0,00", "R$ 0,00", "\u2013", "\u2013"} << 0
                                 << 0;
}

void TestFinancePage::monthTotals()
{
    QFETCH(QByteArray, ledger);
    QFETCH(QStringList, labels);
    QFETCH(int, green);
    QFETCH(int, maroon);
    Fixture f;
    QVERIFY(f.data.write("dados/Finance/01.2013.fin", ""));
    QVERIFY(f.data.write("dados/Finance/03.2013.fin", ledger));
    QVERIFY(f.open());
    QTest::mouseClick(f.page->lvd1->viewport(), Qt::LeftButton, {},
                      f.page->lvd1->visualItemRect(f.page->lvd1->item(1)).center());
    QCOMPARE(f.page->SelectedMonthFile(), f.data.file("dados/Finance/03.2013.fin"));
    QVERIFY(f.page->tmcalc.isActive());
    QCOMPARE(f.page->tmcalc.interval(), 500);
    f.page->tmcalcTimer();
    QVERIFY(!f.page->tmcalc.isActive());
    const QStringList shown{f.page->le->text(), f.page->ls->text(), f.page->SD->text(), f.page->psd->text(),
                            f.page->tot->text()};
    QCOMPARE(shown, labels);
    QCOMPARE(f.page->sq1->value(), green);
    QCOMPARE(f.page->sq2->value(), maroon);
    QCOMPARE(f.page->totalsMonth->text(), QStringLiteral("Mês: 03.2013"));
}

// After a save into a month without entrances the totals are that month's, and so are the
// percentages: there is nothing to compare, never the figures of the month shown before.
void TestFinancePage::monthWithoutEntrancesComparesNothing()
{
    Fixture f;
    QVERIFY(f.data.write("dados/Finance/03.2013.fin", kMarch));
    QVERIFY(f.open());
    f.page->lvd1Click(0);
    f.page->tmcalcTimer();
    QCOMPARE(f.page->psd->text(), QStringLiteral("32%"));
    QCOMPARE(f.page->sq1->value(), 68);

    f.page->fn2->setDate(QDate(2013, 4, 2));
    f.page->FocusValue();
    f.typeEntry("80", 1, "Farmácia", "", "", 0);
    QCOMPARE(f.page->totalsMonth->text(), QStringLiteral("Mês: 04.2013"));
    QCOMPARE(f.page->le->text(), QStringLiteral("R$ 0,00"));
    QCOMPARE(f.page->ls->text(), QStringLiteral("R$ 80,00"));
    QVERIFY(f.page->tmcalc.isActive());
    f.page->tmcalcTimer();
    QCOMPARE(f.page->SD->text(), QStringLiteral("R$ -80,00"));
    QCOMPARE(f.page->psd->text(), QStringLiteral("\u2013"));
    QCOMPARE(f.page->tot->text(), QStringLiteral("\u2013"));
    QCOMPARE(f.page->sq1->value(), 0);
    QCOMPARE(f.page->sq2->value(), 0);
}

// A user working by keyboard is told the result of each action, with its month, until the
// next action or the status timer's tick.
void TestFinancePage::everyActionSaysWhatItDid()
{
    Fixture f;
    f.fake.clock.set(QDate(2026, 12, 12));
    QVERIFY(f.open());
    QLabel *status = f.page->actionStatus;
    QCOMPARE(status->text(), QString());

    f.typeEntry("10", 0, "Venda", "", "", 0);
    QCOMPARE(status->text(), QStringLiteral("Lançamento gravado em 12.2026"));
    QCOMPARE(f.page->totalsMonth->text(), QStringLiteral("Mês: 12.2026"));
    QVERIFY(f.page->statusTimer.isActive());
    QVERIFY(f.page->statusTimer.isSingleShot());
    QVERIFY(f.page->statusTimer.interval() >= 3000 && f.page->statusTimer.interval() <= 10000);
    f.page->clearStatus(); // the timer's tick
    QCOMPARE(status->text(), QString());
    QVERIFY(!f.page->statusTimer.isActive());

    // A save the row cannot make says why; the next action replaces it.
    f.typeEntry("10", 0, "Venda", "", "", -1);
    f.page->pm1Click();
    QCOMPARE(status->text(), QStringLiteral("Nada gravado: escolha a forma de pagamento"));
    f.page->FN5->setCurrentIndex(0);
    f.page->PCL->clear();
    f.page->pm1Click();
    QCOMPARE(status->text(), QStringLiteral("Nada gravado: falta o número de parcelas"));

    // Installments name the months they went to.
    f.page->FocusValue();
    f.typeEntry("20", 2, "Loja", "3", "", 3);
    f.tickInstallments();
    QCOMPARE(status->text(), QStringLiteral("3 parcelas gravadas, de 01.2027 a 03.2027"));

    f.page->SBM->setFocus();
    QTest::mouseClick(f.page->Label128, Qt::LeftButton);
    QCOMPARE(status->text(), QStringLiteral("Símbolo R$ gravado"));
    f.page->lvd1Click(0);
    QCOMPARE(status->text(), QString());
}

// The links take the focus with Tab only after every field, show a ring while they have
// it and act on Enter or Space; the Enter chain and the fields that are no tab stops are
// as they were.
void TestFinancePage::linksFollowTheFieldsAndRunFromTheKeyboard()
{
    Fixture f;
    QVERIFY(f.open());
    QList<QWidget *> order;
    QWidget *w = f.page->FN1;
    for (int i = 0; i < 40; ++i) {
        order.append(w);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        w = QApplication::focusWidget();
        if (w == f.page->FN1)
            break;
    }
    QStringList names;
    for (QWidget *each : order)
        names.append(each->objectName());
    qsizetype firstLink = -1;
    for (qsizetype i = 0; i < order.size(); ++i) {
        const bool link = qobject_cast<LinkLabel *>(order[i]) != nullptr;
        if (link && firstLink < 0)
            firstLink = i;
        QVERIFY2(!link || firstLink >= 0, qPrintable(names.join(' ')));
        QVERIFY2(link || firstLink < 0, qPrintable("a field after the links: " + names.join(' ')));
    }
    QVERIFY(firstLink > 0);
    QCOMPARE(names.mid(0, 4), (QStringList{"FN1", "AL", "FN4", "PCL"}));
    for (const char *noTabStop : {"fn2", "fn3", "FN5"})
        QVERIFY(!names.contains(QLatin1String(noTabStop)));
    for (const char *link : {"pm1", "Label128", "Label30", "ImportStatement"})
        QVERIFY2(names.indexOf(QLatin1String(link)) >= firstLink, link);

    // The focused link shows a ring; Space on "Apply" stores the symbol, Enter on the
    // corrections link lists the entries.
    LinkLabel *apply = f.page->Label128;
    const QImage plain = apply->grab().toImage();
    apply->setFocus(Qt::TabFocusReason);
    QVERIFY(apply->hasFocus());
    QVERIFY(apply->grab().toImage() != plain);
    QTest::keyClick(apply, Qt::Key_Space);
    QCOMPARE(f.data.read("dados/Money.sbm"), QByteArray("R$\r\n"));

    QVERIFY(f.data.write("dados/Finance/03.2013.fin", kMarch));
    f.page->Atualizar3Click();
    f.page->lvd1Click(0);
    f.page->corrections->Label30->setFocus(Qt::TabFocusReason);
    QTest::keyClick(f.page->corrections->Label30, Qt::Key_Return);
    QVERIFY(f.page->corrections->PVF->isVisible());
}

void TestFinancePage::symbolAppliesAndShows()
{
    Fixture f;
    QVERIFY(f.data.write("dados/Finance/03.2013.fin", "1.234,50<1>02/03/2013<2>Entrance<3>a<4>Dinheiro\r\n"));
    QVERIFY(f.open());
    QCOMPARE(f.page->SBM->text(), QStringLiteral("R$"));
    f.page->SBM->clear();
    typeText(f.page->SBM, "us$");
    QCOMPARE(f.page->SBM->text(), QStringLiteral("US$"));
    QTest::mouseClick(f.page->Label128, Qt::LeftButton);
    QCOMPARE(f.data.read("dados/Money.sbm"), QByteArray("US$\r\n"));
    f.page->lvd1Click(0);
    f.page->tmcalcTimer();
    QCOMPARE(f.page->le->text(), QStringLiteral("US$ 1.234,50"));
    QCOMPARE(f.page->SD->text(), QStringLiteral("US$ 1.234,50"));

    // The next show reads the stored symbol back.
    f.page->SBM->setText("R$");
    f.page->ReadSymbol();
    QCOMPARE(f.page->SBM->text(), QStringLiteral("US$"));
}

void TestFinancePage::monthSearch()
{
    Fixture f;
    for (const char *name : {"01.2013.fin", "03.2012.fin", "03.2013.fin"})
        QVERIFY(f.data.write(QStringLiteral("dados/Finance/") + QLatin1String(name),
                             "5,00<1>02/03/2013<2>Entrance<3>a<4>Dinheiro\r\n"));
    QVERIFY(f.open());
    f.page->MKD->setFocus();
    typeText(f.page->MKD, "032013");
    f.enter(f.page->MKD);
    QCOMPARE(f.page->lvd1->currentRow(), 2);
    QCOMPARE(f.page->SelectedMonthFile(), f.data.file("dados/Finance/03.2013.fin"));
    QCOMPARE(f.page->le->text(), QStringLiteral("R$ 5,00"));

    // A month without a file changes nothing.
    f.page->MKD->clear();
    typeText(f.page->MKD, "072013");
    f.enter(f.page->MKD);
    QCOMPARE(f.page->lvd1->currentRow(), 2);
    QCOMPARE(f.page->SelectedMonthFile(), f.data.file("dados/Finance/03.2013.fin"));
    // An empty search does nothing either.
    f.page->MKD->clear();
    QCOMPARE(f.page->MKD->displayText(), QStringLiteral("  .    "));
    f.enter(f.page->MKD);
    QCOMPARE(f.page->lvd1->currentRow(), 2);
}

void TestFinancePage::helpMessages()
{
    Fixture f;
    QVERIFY(f.open());
    QTest::mouseClick(f.page->Label109, Qt::LeftButton);
    QTest::mouseClick(f.page->Label111, Qt::LeftButton);
    const QStringList shown = f.fake.dialogs.messages();
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown[0], QStringLiteral("The source is of who you paid or it received."));
    QVERIFY(
        shown[1].startsWith(" The percentage field is good for you to increase or to deduce a percentage: "));
    QVERIFY(shown[1].endsWith(" 3 - or simply, leave the empty field and type Enter to attribute 0%. "));
}

QTEST_MAIN(TestFinancePage)
#include "tst_financepage.moc"
