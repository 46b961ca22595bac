#include "finance/ledger.h"
#include "tempdatafolder.h"

#include <QDir>
#include <QTest>

using namespace zorv;

namespace {
Currency money(double v)
{
    return *Currency::fromDouble(v);
}
} // namespace

class TestLedger : public QObject
{
    Q_OBJECT

private slots:
    void ledgerLineAndNames();
    void percentage_data();
    void percentage();
    void installmentDates();
    void monthSums_data();
    void monthSums();
    void exitPercentageAndGauges();
    void wideSums_data();
    void wideSums();
    void appendWritesBothLedgers();
    void appendFailureWritesNeither();
    void monthFilesSortedAsText();
};

void TestLedger::ledgerLineAndNames()
{
    const LedgerEntry e{money(1234.5), QDate(2013, 3, 5), "Exit", "Market", "Cartão"};
    QCOMPARE(buildLedgerLine(e), QStringLiteral("1.234,50<1>05/03/2013<2>Exit<3>Market<4>Cartão"));
    // A source typed with a marker or a line break in it stays one field of one line.
    const LedgerEntry typed{money(2), QDate(2013, 3, 5), "Exit", "Loja <<4>4>X\nsul", "Dinheiro"};
    QCOMPARE(buildLedgerLine(typed), QStringLiteral("2,00<1>05/03/2013<2>Exit<3>Loja X sul<4>Dinheiro"));
    QCOMPARE(monthLedgerName(monthKey(QDate(2013, 3, 5))), QStringLiteral("dados\\Finance\\03.2013.fin"));
    QCOMPARE(yearLedgerName(yearKey(QDate(2013, 3, 5))), QStringLiteral("dados\\Finance\\2013.CX"));
    QCOMPARE(lineAmount(u"1.234,50<1>x").value(), money(1234.5));
    QCOMPARE(lineOperation(u"1<1>2<2>To pay<3>x<4>y"), QStringLiteral("To pay"));
}

void TestLedger::percentage_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("percent");
    QTest::addColumn<bool>("deduct");
    QTest::addColumn<QString>("result");
    QTest::newRow("deduct 10%") << 1500.0 << 10 << true << "1.350,00";
    QTest::newRow("add 10%") << 1500.0 << 10 << false << "1.650,00";
    QTest::newRow("0%") << 99.99 << 0 << true << "99,99";
    QTest::newRow("half cent rounds away from zero") << 10.01 << 5 << true << "9,51"; // 9,5095
    QTest::newRow("negative half cent") << -10.01 << 5 << true << "-9,51";
    QTest::newRow("exact half") << 0.1 << 5 << false << "0,11"; // 0,105
    QTest::newRow("more than 100%") << 100.0 << 150 << true << "-50,00";
}

void TestLedger::percentage()
{
    QFETCH(double, value);
    QFETCH(int, percent);
    QFETCH(bool, deduct);
    QFETCH(QString, result);
    QCOMPARE(formatAmount(applyPercentage(money(value), percent, deduct).value()), result);
}

void TestLedger::installmentDates()
{
    QDate d(2013, 1, 31);
    QStringList dates;
    for (int i = 0; i < 3; ++i) {
        d = nextInstallmentDate(d);
        dates << formatShortDate(d);
    }
    QCOMPARE(dates, (QStringList{"28/02/2013", "28/03/2013", "28/04/2013"}));
    QCOMPARE(nextInstallmentDate(QDate(2013, 12, 31)), QDate(2014, 1, 31));
    QCOMPARE(nextInstallmentDate(QDate(2012, 1, 31)), QDate(2012, 2, 29));
}

void TestLedger::monthSums_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("entrances");
    QTest::addColumn<QString>("exits");
    QTest::newRow("bills count in both") << QStringList{"1.000,00<1>01/03/2013<2>Entrance<3>a<4>Dinheiro",
                                                        "250,00<1>02/03/2013<2>Exit<3>b<4>Dinheiro",
                                                        "100,00<1>03/03/2013<2>To pay<3>c<4>Boleto"}
                                         << "1.100,00"
                                         << "350,00";
    QTest::newRow("damaged line in the middle is skipped")
        << QStringList{"1.000,00<1>01/03/2013<2>Entrance<3>a<4>Dinheiro", "", "x,y<1>garbage<2>Exit<3>",
                       "250,00<1>02/03/2013<2>Exit<3>b<4>Dinheiro",
                       "50,00<1>09/03/2013<2>Entrance<3>c<4>Cheque"}
        << "1.050,00"
        << "250,00";
    QTest::newRow("negative lowers its sum") << QStringList{"-10,00<1>01/03/2013<2>Exit<3>a<4>Dinheiro",
                                                            "30,00<1>01/03/2013<2>Exit<3>a<4>Dinheiro"}
                                             << "0,00"
                                             << "20,00";
    QTest::newRow("operation compared exactly")
        << QStringList{"5,00<1>01/03/2013<2>exit<3>a<4>Dinheiro"} << "5,00"
        << "5,00";
    QTest::newRow("empty month") << QStringList() << "0,00"
                                 << "0,00";
}

void TestLedger::monthSums()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, entrances);
    QFETCH(QString, exits);
    const MonthSums sums = computeMonthSums(lines);
    QCOMPARE(formatAmount(sums.entrances), entrances);
    QCOMPARE(formatAmount(sums.exits), exits);
}

void TestLedger::exitPercentageAndGauges()
{
    QCOMPARE(exitPercentage(money(1100), money(350)), std::optional<int>(32));
    QCOMPARE(exitPercentage(money(100), money(150)), std::optional<int>(150));
    QCOMPARE(exitPercentage(money(200), money(1)), std::optional<int>(1)); // 0,5 rounds up
    QCOMPARE(exitPercentage(Currency(), money(250)), std::nullopt);
    QCOMPARE(exitPercentage(money(-200), money(1)), std::optional<WideInt>(-1)); // -0,5 away from zero
    QCOMPARE(exitPercentage(money(0.004), money(250)), std::nullopt);            // shows as 0,00
    QCOMPARE(clampGauge(150), 100);
    QCOMPARE(clampGauge(-50), 0);
    QCOMPARE(clampGauge(68), 68);
}

void TestLedger::wideSums_data()
{
    QTest::addColumn<QStringList>("amounts"); // summed in order
    QTest::addColumn<QString>("shown");
    const QString max = QStringLiteral("922.337.203.685.477,58"); // the largest amount a line holds
    QTest::newRow("within range") << QStringList{"1.234,50", "-0,50"} << "1.234,00";
    QTest::newRow("past the top") << QStringList{max, max, "0,01"} << "1.844.674.407.370.955,17";
    QTest::newRow("past the bottom") << QStringList{"-" + max, "-" + max} << "-1.844.674.407.370.955,16";
    QTest::newRow("back within range") << QStringList{max, max, "-" + max} << "922.337.203.685.477,58";
    QTest::newRow("half a cent rounds away from zero") << QStringList{"-0,005"} << "-0,01";
    QTest::newRow("below half a cent shows no sign") << QStringList{"-0,0049"} << "0,00";
    QStringList many;
    for (int i = 0; i < 1000; ++i)
        many << max;
    QTest::newRow("a thousand of the largest") << many << "922.337.203.685.477.580,00";
}

void TestLedger::wideSums()
{
    QFETCH(QStringList, amounts);
    QFETCH(QString, shown);
    AmountSum sum;
    for (const QString &text : amounts)
        sum += parseAmount(text).value();
    QCOMPARE(formatAmount(sum), shown);
    // Where the sum fits a currency amount, both show it alike.
    if (sum.raw() >= std::numeric_limits<qint64>::min() && sum.raw() <= std::numeric_limits<qint64>::max())
        QCOMPARE(formatAmount(Currency::fromRaw(qint64(sum.raw()))), shown);
}

void TestLedger::appendWritesBothLedgers()
{
    TempDataFolder data;
    QVERIFY(data.write("dados/Finance/03.2013.fin", "1,00<1>01/03/2013<2>Exit<3>a<4>Dinheiro\r\n"));
    const LedgerFiles ledgers(data.paths());
    const QString line = QStringLiteral("2,00<1>02/03/2013<2>Exit<3>Padaria São João<4>Cartão");
    QVERIFY(ledgers.appendEntry("03.2013", "2013", line, true));
    QCOMPARE(data.read("dados/Finance/03.2013.fin"),
             QByteArray("1,00<1>01/03/2013<2>Exit<3>a<4>Dinheiro\r\n"
                        "2,00<1>02/03/2013<2>Exit<3>Padaria S\xe3o Jo\xe3o<4>Cart\xe3o\r\n"));
    QCOMPARE(data.read("dados/Finance/2013.CX"),
             QByteArray("2,00<1>02/03/2013<2>Exit<3>Padaria S\xe3o Jo\xe3o<4>Cart\xe3o\r\n"));
}

void TestLedger::appendFailureWritesNeither()
{
    TempDataFolder data;
    const QByteArray before("1,00<1>01/03/2013<2>Exit<3>a<4>Dinheiro\r\n");
    QVERIFY(data.write("dados/Finance/03.2013.fin", before));
    // A folder where the year ledger should be: the year write fails after the month write.
    QVERIFY(QDir().mkpath(data.file("dados/Finance/2013.CX")));
    const LedgerFiles ledgers(data.paths());
    QVERIFY(!ledgers.appendEntry("03.2013", "2013", "2,00<1>x<2>Exit<3>b<4>Dinheiro", true));
    QCOMPARE(data.read("dados/Finance/03.2013.fin"), before);
    // A month ledger that did not exist before is removed again.
    QVERIFY(!ledgers.appendEntry("04.2013", "2013", "2,00<1>x<2>Exit<3>b<4>Dinheiro", true));
    QVERIFY(!QFile::exists(data.file("dados/Finance/04.2013.fin")));
    // Without the finance folder nothing is written at all.
    QVERIFY(QDir(data.file("dados/Finance")).removeRecursively());
    QVERIFY(!ledgers.appendEntry("03.2013", "2013", "2,00<1>x<2>Exit<3>b<4>Dinheiro", true));
    QVERIFY(!QFile::exists(data.file("dados/Finance")));
}

void TestLedger::monthFilesSortedAsText()
{
    TempDataFolder data;
    for (const char *name : {"02.2013.fin", "01.2014.fin", "12.2012.fin", "extra.fin", "2013.CX", "x.txt"})
        QVERIFY(data.write(QStringLiteral("dados/Finance/") + QLatin1String(name), ""));
    const LedgerFiles ledgers(data.paths());
    QCOMPARE(ledgers.monthFileNames(),
             (QStringList{"01.2014.fin", "02.2013.fin", "12.2012.fin", "extra.fin"}));
}

QTEST_GUILESS_MAIN(TestLedger)
#include "tst_ledger.moc"
