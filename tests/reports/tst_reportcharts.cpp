// The charts under the yearly and the exits report: the pages byte for byte over small
// ledgers, the tables above them unchanged, the sums behind the bars, and the markup a
// chart may hold.
#include "controls/money.h"
#include "finance/amountsum.h"
#include "reports/chartdata.h"
#include "reports/financereports.h"
#include "reports/reportwriter.h"
#include "reports/svgchart.h"
#include "store/records.h"
#include "store/textcodec.h"
#include "store/textlist.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QXmlStreamReader>

using namespace zorv;

namespace {

const QDate kToday(2014, 3, 15);

QStringList fixtureLines(const QString &name)
{
    TextList list;
    list.load(QStringLiteral(ZORV_TEST_DATA "/") + name);
    return list.lines();
}

QByteArray fixtureBytes(const QString &name)
{
    QFile f(QStringLiteral(ZORV_TEST_DATA "/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

FinanceReportInputs inputsFor(const QString &ledger)
{
    FinanceReportInputs in;
    in.symbol = QStringLiteral("R$");
    in.entryDate = QDate(2014, 3, 1);
    const QStringList lines = fixtureLines(ledger);
    if (ledger.endsWith(QLatin1String(".CX")))
        in.yearLines = lines;
    else
        in.monthLines = lines;
    return in;
}

ReportPage pageFor(FinanceReport report, const QString &ledger)
{
    return *buildFinanceReport(report, inputsFor(ledger), kToday);
}

// The chart's markup as the page holds it: from the table's end to the end of the page.
QString chartOnPage(const QByteArray &page)
{
    const qsizetype start = page.indexOf("</table>\r\n");
    if (start < 0)
        return {};
    return decodeWindows1252(page.sliced(start + 10, page.size() - start - 10 - 16));
}

// What the titles of a chart's bars say, in the order drawn.
QStringList barTitles(const QString &chart)
{
    QStringList titles;
    static const QRegularExpression bar(QStringLiteral("<rect [^>]*><title>([^<]*)</title></rect>"));
    for (const auto &m : bar.globalMatch(chart))
        titles << m.captured(1);
    return titles;
}

} // namespace

class TestReportCharts : public QObject
{
    Q_OBJECT

private slots:
    void goldenPages_data();
    void goldenPages();
    void tableUnchangedAboveTheChart_data();
    void tableUnchangedAboveTheChart();
    void chartHoldsOnlyDrawing_data();
    void chartHoldsOnlyDrawing();
    void nothingToChartLeavesThePageAsItWas();
    void monthsAddUpToTheTotals();
    void monthsInCalendarOrder();
    void largestSourcesThenTheRest_data();
    void largestSourcesThenTheRest();
    void sumsBeyondTheCurrencyRange();
    void barLengthsFollowTheAmounts();
};

void TestReportCharts::goldenPages_data()
{
    QTest::addColumn<FinanceReport>("report");
    QTest::addColumn<QString>("ledger");
    QTest::addColumn<QString>("golden");
    // A month with a loss, one whose only entrance is negative, one with neither entrances
    // nor exits, amounts of three decimals, markup in sources.
    QTest::newRow("year") << FinanceReport::Year << "charts-2014.CX"
                          << "epo-chart.html";
    QTest::newRow("exits of one source") << FinanceReport::OnlyExit << "charts-one.fin"
                                         << "pg4-one.html";
    // Twelve sources: ten bars and "Outros" (a refund makes it negative); a long name, markup.
    QTest::newRow("exits of twelve sources") << FinanceReport::OnlyExit << "charts-twelve.fin"
                                             << "pg4-twelve.html";
}

// Set ZORV_WRITE_GOLDEN=1 to write the pages over the fixtures after a deliberate change.
void TestReportCharts::goldenPages()
{
    QFETCH(FinanceReport, report);
    QFETCH(QString, ledger);
    QFETCH(QString, golden);
    const QByteArray actual = renderReport(pageFor(report, ledger));
    if (qEnvironmentVariableIsSet("ZORV_WRITE_GOLDEN")) {
        QFile out(QStringLiteral(ZORV_TEST_DATA "/") + golden);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(actual) == actual.size());
    }
    const QByteArray expected = fixtureBytes(golden);
    QVERIFY(!expected.isEmpty());
    const QList<QByteArray> a = actual.split('\n'), e = expected.split('\n');
    for (qsizetype i = 0; i < qMax(a.size(), e.size()); ++i)
        QCOMPARE(a.value(i), e.value(i));
    QCOMPARE(actual, expected);
}

void TestReportCharts::tableUnchangedAboveTheChart_data()
{
    QTest::addColumn<FinanceReport>("report");
    QTest::addColumn<QString>("ledger");
    QTest::newRow("year") << FinanceReport::Year << "charts-2014.CX";
    QTest::newRow("exits") << FinanceReport::OnlyExit << "charts-twelve.fin";
    QTest::newRow("year of the old fixture") << FinanceReport::Year << "2013.CX";
}

// The page is the table page as before, then the table's end tag and the chart: a browser
// moves anything it finds inside an open table above it.
void TestReportCharts::tableUnchangedAboveTheChart()
{
    QFETCH(FinanceReport, report);
    QFETCH(QString, ledger);
    ReportPage page = pageFor(report, ledger);
    QVERIFY(!page.chart.isEmpty());
    const QByteArray withChart = renderReport(page);
    page.chart.clear();
    const QByteArray tableOnly = renderReport(page);
    const QByteArray end = "</body></html>\r\n";
    QVERIFY(tableOnly.endsWith(end));
    const QByteArray table = tableOnly.chopped(end.size());
    QVERIFY(withChart.startsWith(table + "</table>\r\n<svg "));
    QVERIFY(withChart.endsWith("</svg>\r\n" + end));
}

void TestReportCharts::chartHoldsOnlyDrawing_data()
{
    tableUnchangedAboveTheChart_data();
}

// The chart is well-formed SVG made of drawing elements only: no script, no style, no
// event handler, no link; every ledger text in it is text, not markup.
void TestReportCharts::chartHoldsOnlyDrawing()
{
    QFETCH(FinanceReport, report);
    QFETCH(QString, ledger);
    const QString chart = chartOnPage(renderReport(pageFor(report, ledger)));
    QVERIFY(!chart.isEmpty());
    const QSet<QString> allowed{"svg", "title", "defs", "pattern", "rect", "text", "line"};
    QXmlStreamReader xml(chart);
    QStringList texts;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            QVERIFY2(allowed.contains(xml.name().toString()), qPrintable(xml.name().toString()));
            for (const QXmlStreamAttribute &attribute : xml.attributes()) {
                const QString name = attribute.name().toString();
                QVERIFY2(name != QLatin1String("style") && !name.startsWith(QLatin1String("on")) &&
                             !name.contains(QLatin1String("href")),
                         qPrintable(name));
                QVERIFY(!attribute.value().contains(QLatin1String("javascript")));
            }
        } else if (xml.isCharacters()) {
            texts << xml.text().toString();
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    // The sources with markup come back as the texts they are.
    const QString all = texts.join(QLatin1Char('\n'));
    if (ledger == QLatin1String("charts-2014.CX")) {
        QVERIFY(barTitles(chart).contains(QStringLiteral("02/2014 Exit: 5.200,50")));
    } else if (ledger == QLatin1String("charts-twelve.fin")) {
        QVERIFY(all.contains(QStringLiteral("<img src=x onerror=alert(1)> & \"Cia\": 150,00")));
        QVERIFY(all.contains(QStringLiteral("Padaria São João: 385,10")));
    }
}

// A year without lines and a month without exits draw nothing: their pages are as before.
void TestReportCharts::nothingToChartLeavesThePageAsItWas()
{
    FinanceReportInputs in = inputsFor(QStringLiteral("charts-one.fin"));
    in.monthLines.removeIf([](const QString &line) { return line.contains(QLatin1String("<2>Exit<")); });
    const auto exits = buildFinanceReport(FinanceReport::OnlyExit, in, kToday);
    QVERIFY(exits->chart.isEmpty());
    QVERIFY(!renderReport(*exits).contains("</table>"));
    const auto year = buildFinanceReport(FinanceReport::Year, in, kToday);
    QVERIFY(year->chart.isEmpty());
    QVERIFY(renderReport(*year).endsWith("R$ 0,00</strong></td>\r\n</tr>\r\n</body></html>\r\n"));
    QVERIFY(yearChartSvg({}).isEmpty());
    QVERIFY(exitsChartSvg({}).isEmpty());
}

// The months' entrances and exits add up, exactly, to the year's strict totals; bills and
// receivables only give their month a place.
void TestReportCharts::monthsAddUpToTheTotals()
{
    const QStringList lines = fixtureLines(QStringLiteral("charts-2014.CX"));
    MonthlyTotals totals;
    AmountSum entrances, exits;
    for (const QString &line : lines) {
        const TaggedFields f = extractFields(line);
        const Currency amount = *parseAmount(f.f0);
        totals.add(f.f1, f.f2, amount);
        if (f.f2 == QLatin1String("Entrance"))
            entrances += amount;
        else if (f.f2 == QLatin1String("Exit"))
            exits += amount;
    }
    const QList<MonthBars> months = totals.months();
    QStringList shown;
    AmountSum monthEntrances, monthExits;
    for (const MonthBars &m : months) {
        shown << m.month + QLatin1Char(' ') + formatAmount(m.entrances) + QLatin1Char(' ') +
                     formatAmount(m.exits) + QLatin1Char(' ') + formatAmount(m.balance());
        monthEntrances += m.entrances;
        monthExits += m.exits;
    }
    QCOMPARE(shown, (QStringList{"01/2014 4.500,00 1.324,47 3.175,53", "02/2014 3.000,00 5.200,50 -2.200,50",
                                 "03/2014 -150,00 300,00 -450,00", "04/2014 0,00 0,00 0,00",
                                 "07/2014 2.000,00 2.000,00 0,01", "12/2014 12.345,67 7.890,12 4.455,55"}));
    QCOMPARE(monthEntrances, entrances);
    QCOMPARE(monthExits, exits);
}

// Months of several years and lines without a day's date: calendar order, undated last.
void TestReportCharts::monthsInCalendarOrder()
{
    MonthlyTotals totals;
    const Currency one = *parseAmount(u"1,00");
    for (const char *date : {"05/03/2014", "31/12/2013", "no date", "01/03/2014", "10/13/2014", "02/01/2014"})
        totals.add(QString::fromLatin1(date), u"Exit", one);
    QStringList order;
    for (const MonthBars &m : totals.months())
        order << m.month + QLatin1Char('=') + formatAmount(m.exits);
    QCOMPARE(order, (QStringList{"12/2013=1,00", "01/2014=1,00", "03/2014=2,00", "=2,00"}));

    // Months of two years are named in full under their bars, an undated one in words.
    const QString chart = yearChartSvg(totals.months());
    QVERIFY(chart.contains(QStringLiteral(">12/2013</text>")));
    QVERIFY(chart.contains(QStringLiteral(">Sem data</text>")));
    QVERIFY(barTitles(chart).contains(QStringLiteral("Sem data Exit: 2,00")));
}

void TestReportCharts::largestSourcesThenTheRest_data()
{
    QTest::addColumn<int>("sources");
    QTest::addColumn<QStringList>("bars");
    QTest::newRow("one") << 1 << QStringList{"S1: 1,00"};
    QTest::newRow("ten: no others") << 10 << QStringList{"S10: 10,00", "S9: 9,00", "S8: 8,00", "S7: 7,00",
                                                         "S6: 6,00",   "S5: 5,00", "S4: 4,00", "S3: 3,00",
                                                         "S2: 2,00",   "S1: 1,00"};
    QTest::newRow("eleven") << 11 << QStringList{"S11: 11,00", "S10: 10,00", "S9: 9,00",    "S8: 8,00",
                                                 "S7: 7,00",   "S6: 6,00",   "S5: 5,00",    "S4: 4,00",
                                                 "S3: 3,00",   "S2: 2,00",   "Outros: 1,00"};
    QTest::newRow("fourteen") << 14 << QStringList{"S14: 14,00", "S13: 13,00", "S12: 12,00",   "S11: 11,00",
                                                   "S10: 10,00", "S9: 9,00",   "S8: 8,00",     "S7: 7,00",
                                                   "S6: 6,00",   "S5: 5,00",   "Outros: 10,00"};
}

// Sources added up by their exact text, the largest first, the rest in "Outros".
void TestReportCharts::largestSourcesThenTheRest()
{
    QFETCH(int, sources);
    QFETCH(QStringList, bars);
    SourceTotals totals;
    // Source n gets n reais, in pieces of one real added in turn, so order of first
    // appearance says nothing about size.
    for (int round = 1; round <= sources; ++round)
        for (int n = round; n <= sources; ++n)
            totals.add(QStringLiteral("S%1").arg(n), *parseAmount(u"1,00"));
    QStringList shown;
    for (const SourceBar &bar : totals.largest())
        shown << bar.name + QStringLiteral(": ") + formatAmount(bar.amount);
    QCOMPARE(shown, bars);
}

// Sums past the currency type are shown exactly, as the totals are, and drawn to scale.
void TestReportCharts::sumsBeyondTheCurrencyRange()
{
    FinanceReportInputs in;
    in.symbol = QStringLiteral("R$");
    const QString big = QStringLiteral("900.000.000.000.000,00");
    in.yearLines = {big + "<1>04/03/2013<2>Exit<3>a<4>Dinheiro", big + "<1>05/03/2013<2>Exit<3>a<4>Dinheiro",
                    big + "<1>06/04/2013<2>Exit<3>b<4>Dinheiro"};
    in.monthLines = in.yearLines;
    const QString year = buildFinanceReport(FinanceReport::Year, in, kToday)->chart;
    QCOMPARE(barTitles(year),
             (QStringList{"03/2013 Entrance: 0,00", "03/2013 Exit: 1.800.000.000.000.000,00",
                          "04/2013 Entrance: 0,00", "04/2013 Exit: 900.000.000.000.000,00"}));
    const QString exits = buildFinanceReport(FinanceReport::OnlyExit, in, kToday)->chart;
    QCOMPARE(barTitles(exits), (QStringList{"a: 1.800.000.000.000.000,00", "b: 900.000.000.000.000,00"}));
    QVERIFY(exits.contains(QStringLiteral("width=\"428\"")));
    QVERIFY(exits.contains(QStringLiteral("width=\"214\"")));
}

// Lengths from one zero line on one scale; negative amounts on the other side of it.
void TestReportCharts::barLengthsFollowTheAmounts()
{
    const Currency a = *parseAmount(u"300,00"), b = *parseAmount(u"-100,00"), c = *parseAmount(u"150,00");
    const QString exits = exitsChartSvg({{"a", a}, {"c", c}, {"b", b}});
    // Room of 428 from -100 to 300: zero at 107 past the bars' start (242).
    QVERIFY(exits.contains(QStringLiteral("<rect x=\"349\" y=\"49\" width=\"321\" height=\"16\"")));
    QVERIFY(exits.contains(QStringLiteral("<rect x=\"349\" y=\"75\" width=\"160.5\" height=\"16\"")));
    QVERIFY(exits.contains(QStringLiteral("<rect x=\"242\" y=\"101\" width=\"107\" height=\"16\"")));
    QVERIFY(exits.contains(QStringLiteral("<line x1=\"349\"")));

    MonthBars loss{QStringLiteral("02/2014"), a, AmountSum(a) + AmountSum(a)};
    MonthBars refund{QStringLiteral("03/2014"), b, {}};
    const QString year = yearChartSvg({loss, refund});
    // 240 from -100 to 600: zero at 205.71 below the top (76); the loss in red with its sign.
    QVERIFY(year.contains(QStringLiteral("y=\"178.86\" width=\"34\" height=\"102.86\" fill=\"#2e7d32\"")));
    QVERIFY(year.contains(
        QStringLiteral("y=\"76\" width=\"34\" height=\"205.71\" fill=\"url(#zorv-exit-hatch)\"")));
    QVERIFY(year.contains(QStringLiteral("y=\"281.71\" width=\"34\" height=\"34.29\" fill=\"#2e7d32\"")));
    QVERIFY(year.contains(QStringLiteral(
        "fill=\"#b71c1c\" font-size=\"11\"><title>02/2014 Balance: -300,00</title>-300,00</text>")));
    // Each balance sits under the word "Saldo", so it never reads as the entrance bar's value.
    QVERIFY(year.contains(QStringLiteral(
        "<text x=\"350\" y=\"58\" text-anchor=\"middle\" fill=\"#b71c1c\" font-size=\"10\">Saldo</text>\r\n"
        "<text x=\"350\" y=\"70\" text-anchor=\"middle\" fill=\"#b71c1c\"")));
    QCOMPARE(year.count(QStringLiteral(">Saldo</text>")), 2);
}

QTEST_MAIN(TestReportCharts)
#include "tst_reportcharts.moc"
