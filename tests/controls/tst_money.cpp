#include "controls/money.h"

#include <QRandomGenerator>
#include <QTest>

#include <cmath>
#include <limits>

using namespace zorv;

namespace {

constexpr qint64 kMax = std::numeric_limits<qint64>::max();
constexpr qint64 kMin = std::numeric_limits<qint64>::min();

// An impossible raw value marks "does not parse" in the tables.
constexpr qint64 kFails = kMin + 1;

qint64 rawOr(const std::optional<Currency> &c)
{
    return c ? c->raw() : kFails;
}

} // namespace

class TestMoney : public QObject
{
    Q_OBJECT

private slots:
    void parseCurrency_data();
    void parseCurrency();
    void parseTypedAmount_data();
    void parseTypedAmount();
    void parseAmount_data();
    void parseAmount();
    void parseRealKeepsDecimalsAndRange_data();
    void parseRealKeepsDecimalsAndRange();
    void formatAmounts_data();
    void formatAmounts();
    void formatThenParseRoundTrips();
    void formatReal_data();
    void formatReal();
    void roundReal_data();
    void roundReal();
    void fromDouble_data();
    void fromDouble();
    void checkedArithmetic();
    void otherSeparatorsAreHonoured();
    void shortDates();
};

// The amount field's strict reading: four decimals kept, halves beyond them to even.
void TestMoney::parseCurrency_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("raw");
    QTest::newRow("whole") << "1500" << qint64(15000000);
    QTest::newRow("one decimal") << "10,9" << qint64(109000);
    QTest::newRow("three decimals") << "1,005" << qint64(10050);
    QTest::newRow("plus sign") << "+3" << qint64(30000);
    QTest::newRow("minus sign") << "-12" << qint64(-120000);
    QTest::newRow("minus zero") << "-0" << qint64(0);
    QTest::newRow("no decimals after separator") << "5," << qint64(50000);
    QTest::newRow("no integer digits") << ",5" << qint64(5000);
    QTest::newRow("leading zeros") << "000000000000000000000001" << qint64(10000);
    // Fifth decimal exactly half: to the even neighbour, both directions and signs.
    QTest::newRow("half, even below") << "0,00005" << qint64(0);
    QTest::newRow("half, odd below") << "0,00015" << qint64(2);
    QTest::newRow("half, even below 2") << "0,00025" << qint64(2);
    QTest::newRow("negative half, odd") << "-0,00015" << qint64(-2);
    QTest::newRow("negative half, even") << "-0,00025" << qint64(-2);
    QTest::newRow("just above half") << "0,000250001" << qint64(3);
    QTest::newRow("below half") << "1,234549" << qint64(12345);
    QTest::newRow("above half") << "1,23456" << qint64(12346);
    QTest::newRow("half carries into whole") << "0,99995" << qint64(10000);
    QTest::newRow("largest") << "922337203685477,5807" << kMax;
    QTest::newRow("smallest") << "-922337203685477,5808" << kMin;
    QTest::newRow("half rounds down to fit") << "922337203685477,58065" << qint64(kMax - 1);
    QTest::newRow("too large") << "922337203685477,5808" << kFails;
    QTest::newRow("too small") << "-922337203685477,5809" << kFails;
    QTest::newRow("half rounds up past the top") << "922337203685477,58075" << kFails;
    QTest::newRow("far too large") << "99999999999999999999999" << kFails;
    QTest::newRow("empty") << "" << kFails;
    QTest::newRow("sign alone") << "-" << kFails;
    QTest::newRow("separator alone") << "," << kFails;
    QTest::newRow("thousands separator") << "1.234,50" << kFails;
    QTest::newRow("currency string") << "R$ 5" << kFails;
    QTest::newRow("leading space") << " 5" << kFails;
    QTest::newRow("trailing space") << "5 " << kFails;
    QTest::newRow("two separators") << "1,2,3" << kFails;
    QTest::newRow("two signs") << "--1" << kFails;
    QTest::newRow("sign after digits") << "1-" << kFails;
    QTest::newRow("exponent") << "1e3" << kFails;
    QTest::newRow("other script digits") << QString::fromUtf8("\u0661\u0662") << kFails;
}

void TestMoney::parseCurrency()
{
    QFETCH(QString, text);
    QFETCH(qint64, raw);
    QCOMPARE(rawOr(zorv::parseCurrency(text)), raw);
}

// What the amount field takes: the strict reading, or digits grouped in threes before a
// final decimal comma.
void TestMoney::parseTypedAmount_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("raw");
    QTest::newRow("plain") << "1500,50" << qint64(15005000);
    QTest::newRow("one separator keeps four decimals") << "1,234" << qint64(12340);
    QTest::newRow("thousands point") << "1.234,56" << qint64(12345600);
    QTest::newRow("point typed as comma") << "1,234,56" << qint64(12345600);
    QTest::newRow("millions") << "12.345.678,90" << qint64(123456789000);
    QTest::newRow("signed") << "-1.234,5" << qint64(-12345000);
    QTest::newRow("plus sign") << "+1.000,00" << qint64(10000000);
    QTest::newRow("three decimals after groups") << "1.234,567" << kFails;
    QTest::newRow("group of two") << "1.23,45" << kFails;
    QTest::newRow("first group of four") << "1234.567,89" << kFails;
    QTest::newRow("mixed group separators") << "1.234,567,89" << kFails;
    QTest::newRow("no decimals after groups") << "1.234," << kFails;
    // A point followed by exactly three digits is a thousands mark; followed by one, two or
    // four digits it is the decimal comma.
    QTest::newRow("thousands only") << "1.234" << qint64(12340000);
    QTest::newRow("rent") << "1.800" << qint64(18000000);
    QTest::newRow("five digits") << "12.345" << qint64(123450000);
    QTest::newRow("millions, no decimals") << "1.250.000" << qint64(12500000000);
    QTest::newRow("negative thousands") << "-1.800" << qint64(-18000000);
    QTest::newRow("point, one decimal") << "12.5" << qint64(125000);
    QTest::newRow("point, two decimals") << "10.35" << qint64(103500);
    QTest::newRow("point, four decimals") << "1.2345" << qint64(12345);
    QTest::newRow("grouped, point decimal") << "1.800.5" << qint64(18005000);
    QTest::newRow("point after comma groups") << "1,234.567" << kFails;
    QTest::newRow("short group before thousands") << "1.80.000" << kFails;
    QTest::newRow("letter among digits") << "1.8a0" << kFails;
    QTest::newRow("empty group") << "1..234,56" << kFails;
    QTest::newRow("leading separator") << ".234,56" << kFails;
    QTest::newRow("empty") << "" << kFails;
    QTest::newRow("beyond the range") << "999.999.999.999.999,00" << kFails;
}

void TestMoney::parseTypedAmount()
{
    QFETCH(QString, text);
    QFETCH(qint64, raw);
    QCOMPARE(rawOr(zorv::parseTypedAmount(text)), raw);
}

// The lenient reading of amounts in files and labels.
void TestMoney::parseAmount_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("raw");
    QTest::newRow("padded and grouped") << "  1.234,50" << qint64(12345000);
    QTest::newRow("currency string") << "R$ 1.234,50" << qint64(12345000);
    QTest::newRow("negative with currency") << "-R$ 12,00" << qint64(-120000);
    QTest::newRow("minus alone is zero") << "-" << qint64(0);
    QTest::newRow("separators anywhere") << "1.2.3,4" << qint64(1234000);
    QTest::newRow("only first currency string goes") << "R$R$5" << kFails;
    QTest::newRow("minus alone after cleaning") << " - " << kFails;
    QTest::newRow("empty") << "" << kFails;
    QTest::newRow("spaces only") << "   " << kFails;
    QTest::newRow("damaged line") << "12,5<1>x" << kFails;
    QTest::newRow("ledger maximum") << "922.337.203.685.477,58" << qint64(kMax - 7);
    QTest::newRow("beyond range") << "1.000.000.000.000.000,00" << kFails;
}

void TestMoney::parseAmount()
{
    QFETCH(QString, text);
    QFETCH(qint64, raw);
    QCOMPARE(rawOr(zorv::parseAmount(text)), raw);
    // The published cleaning step and the reading agree.
    if (text != QLatin1String("-"))
        QCOMPARE(rawOr(zorv::parseCurrency(CleanNumberText(text))), raw);
}

void TestMoney::parseRealKeepsDecimalsAndRange_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("parses");
    QTest::addColumn<double>("value");
    QTest::newRow("grouped") << "R$ 1.234,50" << true << 1234.5;
    QTest::newRow("five decimals kept") << "1,23456" << true << 1.23456;
    QTest::newRow("plus sign") << "+2,5" << true << 2.5;
    QTest::newRow("minus alone") << "-" << true << 0.0;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("beyond range") << "922337203685478" << false << 0.0;
    // The largest amount is in range, but its nearest double (…477,625) is not.
    QTest::newRow("largest amount as a double") << "922337203685477,5807" << false << 0.0;
    QTest::newRow("near the top, fits") << "922337203685477,5" << true << 922337203685477.5;
}

void TestMoney::parseRealKeepsDecimalsAndRange()
{
    QFETCH(QString, text);
    QFETCH(bool, parses);
    QFETCH(double, value);
    const auto read = parseReal(text);
    QCOMPARE(read.has_value(), parses);
    if (parses)
        QCOMPARE(*read, value);
}

// Two decimals, halves away from zero: differs from the even rule at 0,0250.
void TestMoney::formatAmounts_data()
{
    QTest::addColumn<qint64>("raw");
    QTest::addColumn<QString>("grouped");
    QTest::addColumn<QString>("plain");
    QTest::newRow("example") << qint64(12345000) << "1.234,50"
                             << "1234,50";
    QTest::newRow("zero") << qint64(0) << "0,00"
                          << "0,00";
    QTest::newRow("negative") << qint64(-120000) << "-12,00"
                              << "-12,00";
    QTest::newRow("three integer digits") << qint64(9990000) << "999,00"
                                          << "999,00";
    QTest::newRow("four integer digits") << qint64(10000000) << "1.000,00"
                                         << "1000,00";
    QTest::newRow("half cent up") << qint64(50) << "0,01"
                                  << "0,01";
    QTest::newRow("half cent down, negative") << qint64(-50) << "-0,01"
                                              << "-0,01";
    QTest::newRow("half where even would go down") << qint64(250) << "0,03"
                                                   << "0,03";
    QTest::newRow("negative, even would go down") << qint64(-250) << "-0,03"
                                                  << "-0,03";
    QTest::newRow("under half") << qint64(49) << "0,00"
                                << "0,00";
    QTest::newRow("negative shows as zero") << qint64(-49) << "0,00"
                                            << "0,00";
    QTest::newRow("1,005 stored") << qint64(10050) << "1,01"
                                  << "1,01";
    QTest::newRow("carry through a group") << qint64(9999950) << "1.000,00"
                                           << "1000,00";
    QTest::newRow("millions") << qint64(1234567890123) << "123.456.789,01"
                              << "123456789,01";
    QTest::newRow("largest") << kMax << "922.337.203.685.477,58"
                             << "922337203685477,58";
    QTest::newRow("smallest") << kMin << "-922.337.203.685.477,58"
                              << "-922337203685477,58";
}

void TestMoney::formatAmounts()
{
    QFETCH(qint64, raw);
    QFETCH(QString, grouped);
    QFETCH(QString, plain);
    QCOMPARE(formatAmount(Currency::fromRaw(raw)), grouped);
    QCOMPARE(formatPlain(Currency::fromRaw(raw)), plain);
}

// What the ledger writes it must read back as the same cents.
void TestMoney::formatThenParseRoundTrips()
{
    QRandomGenerator rng(4711);
    QList<qint64> raws = {0, 1, -1, 49, 50, -50, 9999950, kMax, kMin, kMax - 50, kMin + 49};
    for (int i = 0; i < 2000; ++i) {
        const int digits = rng.bounded(1, 19);
        qint64 v = static_cast<qint64>(rng.generate64() % static_cast<quint64>(std::pow(10.0, digits)));
        raws.append(rng.bounded(2) ? v : -v);
    }
    for (const qint64 raw : raws) {
        const Currency c = Currency::fromRaw(raw);
        const Currency cents = c.roundedToCents();
        QCOMPARE(rawOr(zorv::parseAmount(formatAmount(c))), cents.raw());
        QCOMPARE(rawOr(zorv::parseCurrency(formatPlain(c))), cents.raw());
    }
}

void TestMoney::formatReal_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("text");
    const int n = int(RealFormat::Number), m = int(RealFormat::Money), f = int(RealFormat::Fixed);
    QTest::newRow("default pattern") << 1234.5 << n << "10.2"
                                     << "  1.234,50";
    QTest::newRow("negative padded") << -1234.5 << n << "10.2"
                                     << " -1.234,50";
    QTest::newRow("money") << 1234.5 << m << "10.2"
                           << "R$ 1.234,50";
    QTest::newRow("negative money") << -1234.5 << m << ""
                                    << "-R$ 1.234,50";
    QTest::newRow("fixed") << 1234.5 << f << "10.2"
                           << "   1234,50";
    QTest::newRow("empty size") << 0.0 << n << ""
                                << "0,00";
    QTest::newRow("exact width") << 1234.5 << n << "8"
                                 << "1.234,50";
    QTest::newRow("left justified") << 1234.5 << n << "-10.2"
                                    << "1.234,50  ";
    QTest::newRow("no decimals") << 1234.5 << n << ".0"
                                 << "1.235";
    QTest::newRow("three decimals") << 1.0005 << f << ".3"
                                    << "1,001";
    QTest::newRow("read-back rounding") << 1234.567 << n << "10.2"
                                        << "  1.234,57";
    QTest::newRow("exact binary half") << 0.125 << n << ".2"
                                       << "0,13";
    QTest::newRow("negative exact half") << -0.125 << n << ".2"
                                         << "-0,13";
    QTest::newRow("decimal half") << 2.675 << n << ".2"
                                  << "2,68";
    QTest::newRow("carry") << 999.995 << n << ".2"
                           << "1.000,00";
    QTest::newRow("negative rounds to zero") << -0.001 << n << ".2"
                                             << "0,00";
    QTest::newRow("huge") << 1e20 << f << ".2"
                          << "100000000000000000000,00";
    QTest::newRow("bad size counts as none") << 1234.5 << n << "abc"
                                             << "1.234,50";
    QTest::newRow("nan") << std::nan("") << n << "10.2"
                         << "       NAN";
}

void TestMoney::formatReal()
{
    QFETCH(double, value);
    QFETCH(int, style);
    QFETCH(QString, size);
    QFETCH(QString, text);
    QCOMPARE(zorv::formatReal(value, RealFormat(style), size), text);
}

void TestMoney::roundReal_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("rounded");
    QTest::newRow("read back") << 1234.567 << 1234.57;
    QTest::newRow("decimal half") << 2.675 << 2.68;
    QTest::newRow("negative half") << -2.675 << -2.68;
    QTest::newRow("binary half") << 0.125 << 0.13;
    QTest::newRow("percentage") << 16.9915 << 16.99;
    QTest::newRow("float noise") << 0.1 + 0.2 << 0.3;
}

void TestMoney::roundReal()
{
    QFETCH(double, value);
    QFETCH(double, rounded);
    QCOMPARE(zorv::roundReal(value), rounded);
}

void TestMoney::fromDouble_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<qint64>("raw");
    QTest::newRow("decimal half kept") << 2.675 << qint64(26750);
    QTest::newRow("half to even") << 1.00005 << qint64(10000);
    QTest::newRow("odd half up") << 1.00015 << qint64(10002);
    QTest::newRow("float noise") << 0.1 + 0.2 << qint64(3000);
    QTest::newRow("negative") << -1350.0 << qint64(-13500000);
    QTest::newRow("beyond range") << 1e15 << kFails;
    QTest::newRow("nan") << std::nan("") << kFails;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << kFails;
}

void TestMoney::fromDouble()
{
    QFETCH(double, value);
    QFETCH(qint64, raw);
    QCOMPARE(rawOr(Currency::fromDouble(value)), raw);
}

void TestMoney::checkedArithmetic()
{
    const Currency max = Currency::fromRaw(kMax);
    QVERIFY(!checkedAdd(max, Currency::fromRaw(1)));
    QVERIFY(!checkedSub(Currency::fromRaw(kMin), Currency::fromRaw(1)));
    QVERIFY(!checkedMul(max, 2));
    QCOMPARE(rawOr(checkedMul(Currency::fromRaw(25000), 3)), qint64(75000));
    QCOMPARE(rawOr(checkedAdd(Currency::fromRaw(1), Currency::fromRaw(-3))), qint64(-2));
    QCOMPARE(Currency::fromRaw(-250).roundedToCents().raw(), qint64(-300));
}

// Every step takes its separators and currency string from the format it is given.
void TestMoney::otherSeparatorsAreHonoured()
{
    NumberFormat us = NumberFormat::brazilian();
    us.decimalSeparator = QLatin1Char('.');
    us.thousandSeparator = QLatin1Char(',');
    us.currencyString = QStringLiteral("US$");
    us.currencyFormat = 0;
    us.negCurrFormat = 0;
    const Currency c = Currency::fromRaw(-12345000);
    QCOMPARE(formatAmount(c, us), QStringLiteral("-1,234.50"));
    QCOMPARE(formatPlain(c, us), QStringLiteral("-1234.50"));
    QCOMPARE(rawOr(zorv::parseAmount(QStringLiteral("US$ 1,234.50"), us)), qint64(12345000));
    QCOMPARE(rawOr(zorv::parseCurrency(QStringLiteral("1234,50"), us)), kFails);
    QCOMPARE(zorv::formatReal(-1234.5, RealFormat::Money, QStringLiteral(""), us),
             QStringLiteral("(US$1,234.50)"));
    QCOMPARE(CleanNumberText(QStringLiteral(" US$ 1,2 "), us), QStringLiteral("12"));
}

void TestMoney::shortDates()
{
    QCOMPARE(formatShortDate(QDate(2013, 3, 5)), QStringLiteral("05/03/2013"));
    QCOMPARE(parseShortDate(QStringLiteral("31/12/2024")), QDate(2024, 12, 31));
    QVERIFY(!parseShortDate(QStringLiteral("12/31/2024")).isValid());
}

QTEST_APPLESS_MAIN(TestMoney)
#include "tst_money.moc"
