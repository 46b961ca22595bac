#include "controls/linklabel.h"
#include "controls/money.h"
#include "finance/corrections.h"
#include "finance/financepage.h"
#include "platform/fakes.h"
#include "reports/financereports.h"
#include "reports/launcher.h"
#include "reports/reportlinks.h"
#include "reports/reportwriter.h"
#include "store/records.h"
#include "store/textlist.h"
#include "tempdatafolder.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace zorv;

namespace {

QByteArray fixtureBytes(const QString &name)
{
    QFile f(QStringLiteral(ZORV_TEST_DATA "/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// February 2013 on the screen (every operation, both payment forms, an accent, markup in a
// source, a blank and a damaged line), its year ledger on disk, and the reports run on
// 15/03/2013 with MAR in the source filter, Cartão chosen and the entry date 03/02/2013.
struct Fixture
{
    TempDataFolder data;
    FakeServices fake;
    FinanceReportInputs inputs;
    ReportLinks links{[this] { return inputs; }, data.paths(), fake.services()};

    Fixture()
    {
        fake.clock.set(QDate(2013, 3, 15));
        data.write(QStringLiteral("dados/Finance/02.2013.fin"), fixtureBytes(QStringLiteral("02.2013.fin")));
        data.write(QStringLiteral("dados/Finance/2013.CX"), fixtureBytes(QStringLiteral("2013.CX")));
        TextList month;
        month.load(data.file(QStringLiteral("dados/Finance/02.2013.fin")));
        inputs.monthLines = month.lines();
        inputs.filter = QStringLiteral("MAR");
        inputs.paymentForm = QStringLiteral("Cartão");
        inputs.entryDate = QDate(2013, 2, 3);
        inputs.symbol = QStringLiteral("R$");
        // The screen's totals count bills in both sums; the strict reports do not.
        inputs.entrancesText = QStringLiteral("R$ 1.866,85");
        inputs.exitsText = QStringLiteral("R$ 417,35");
        inputs.balanceText = QStringLiteral("R$ 1.449,50");
    }

    QString reportPath() const { return data.file(QStringLiteral("dados/Relatorio.html")); }
    QByteArray report() const { return data.read(QStringLiteral("dados/Relatorio.html")); }
    QByteArray handOff() const { return data.read(QStringLiteral("dados/Web.start")); }
    void click(const QString &name)
    {
        auto *label = links.findChild<LinkLabel *>(name);
        QVERIFY2(label, qPrintable(name));
        QTest::mouseClick(label, Qt::LeftButton);
    }
};

} // namespace

class TestReports : public QObject
{
    Q_OBJECT

private slots:
    void goldenPages_data();
    void goldenPages();
    void financePageFeedsTheLinks_data();
    void financePageFeedsTheLinks();
    void reportWithoutItsConditionDoesNothing_data();
    void reportWithoutItsConditionDoesNothing();
    void twoReportsInARowLeaveTheSecond();
    void headingsUseTheCurrentDate();
    void boxOnADayWithoutEntries();
    void yearWithoutLedgerReportsNoLines();
    void missingDataFolderWritesAndOpensNothing();
    void sourceFilter_data();
    void sourceFilter();
    void linesReadAsTheStandardReading();
    void escaping_data();
    void escaping();
    void sourceKeepsItsWordsWhole_data();
    void sourceKeepsItsWordsWhole();
    void characterBeyondTheCodePageReachesThePage();
    void totalsBeyondTheCurrencyRange();
};

void TestReports::goldenPages_data()
{
    QTest::addColumn<QString>("link");
    for (const FinanceReport report : kFinanceReports)
        QTest::newRow(qPrintable(financeReportName(report))) << financeReportName(report);
}

// Each link writes its page byte for byte as pinned, and hands it to the companion.
void TestReports::goldenPages()
{
    QFETCH(QString, link);
    Fixture f;
    f.click(link);

    const QByteArray actual = f.report();
    // Set ZORV_WRITE_GOLDEN=1 to write the pages over the fixtures after a deliberate change.
    if (qEnvironmentVariableIsSet("ZORV_WRITE_GOLDEN")) {
        QFile out(QStringLiteral(ZORV_TEST_DATA "/") + link + QStringLiteral(".html"));
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(actual) == actual.size());
    }
    const QByteArray expected = fixtureBytes(link + QStringLiteral(".html"));
    QVERIFY(!expected.isEmpty());
    if (actual != expected) {
        const QList<QByteArray> a = actual.split('\n'), e = expected.split('\n');
        for (qsizetype i = 0; i < qMax(a.size(), e.size()); ++i)
            QCOMPARE(a.value(i), e.value(i));
    }
    QCOMPARE(actual, expected);

    QCOMPARE(f.handOff(), handOffBytes(f.reportPath()));
    QCOMPARE(f.handOff(), f.reportPath().toLatin1() + "\r\n");
    QCOMPARE(f.fake.programs.started.size(), 1);
    QCOMPARE(f.fake.programs.started[0].program, f.data.paths().exeDir() + QStringLiteral("Web"));
    QVERIFY(f.fake.programs.started[0].arguments.isEmpty());
}

void TestReports::financePageFeedsTheLinks_data()
{
    QTest::addColumn<QString>("link");
    for (const char *name : {"pg2", "rpo", "RPM", "epo", "rpo2"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

// The same pages when the inputs come from the finance page itself: the month chosen in
// its list, its totals, the source filter, the payment form and the entry date.
void TestReports::financePageFeedsTheLinks()
{
    QFETCH(QString, link);
    Fixture f;
    FinancePage page(f.data.paths(), f.fake.services());
    page.ReadSymbol();
    page.Atualizar3Click();
    QCOMPARE(page.lvd1->count(), 1);
    page.lvd1Click(0);
    page.tmcalcTimer();
    page.corrections->PO->setText(QStringLiteral("MAR"));
    page.FN5->setCurrentIndex(int(kPaymentForms.indexOf(QStringLiteral("Cartão"))));
    page.fn2->setDate(QDate(2013, 2, 3));

    ReportLinks links([&page] { return pageReportInputs(page); }, f.data.paths(), f.fake.services());
    QTest::mouseClick(links.findChild<LinkLabel *>(link), Qt::LeftButton);
    QCOMPARE(f.report(), fixtureBytes(link + QStringLiteral(".html")));
}

void TestReports::reportWithoutItsConditionDoesNothing_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("paymentForm");
    QTest::newRow("Generate with an empty filter") << "rpo" << QString() << "Cartão";
    QTest::newRow("Coin without a payment form") << "RPM"
                                                 << "MAR" << QString();
}

void TestReports::reportWithoutItsConditionDoesNothing()
{
    QFETCH(QString, link);
    QFETCH(QString, filter);
    QFETCH(QString, paymentForm);
    Fixture f;
    f.data.write(QStringLiteral("dados/Relatorio.html"), "previous\r\n");
    f.inputs.filter = filter;
    f.inputs.paymentForm = paymentForm;
    f.click(link);
    QCOMPARE(f.report(), QByteArray("previous\r\n"));
    QVERIFY(!QFile::exists(f.data.file(QStringLiteral("dados/Web.start"))));
    QVERIFY(f.fake.programs.started.isEmpty());
}

void TestReports::twoReportsInARowLeaveTheSecond()
{
    Fixture f;
    f.links.pg3Click();
    QCOMPARE(f.handOff(), handOffBytes(f.reportPath()));
    f.links.rpo2Click();
    QCOMPARE(f.report(), fixtureBytes(QStringLiteral("rpo2.html")));
    QCOMPARE(f.handOff(), handOffBytes(f.reportPath()));
    // Each hand-off starts a companion of its own.
    QCOMPARE(f.fake.programs.started.size(), 2);
    QCOMPARE(f.fake.programs.started[1].program, f.fake.programs.started[0].program);
}

void TestReports::headingsUseTheCurrentDate()
{
    Fixture f;
    f.fake.clock.set(QDate(2014, 1, 9));
    auto title = [&](FinanceReport r) {
        return buildFinanceReport(r, f.inputs, f.fake.clock.today())->title;
    };
    QCOMPARE(title(FinanceReport::EntranceAndExit), QStringLiteral("Zorv Desk - Financial - 01/2014"));
    QCOMPARE(title(FinanceReport::Year), QStringLiteral("Report od Zorv Desk - Year - 2014"));
    QCOMPARE(title(FinanceReport::Box), QStringLiteral("Zorv Desk - Fechamento de Caixa - 09/01/2014"));
    const auto coin = buildFinanceReport(FinanceReport::PaymentForm, f.inputs, f.fake.clock.today());
    QCOMPARE(coin->headingLine, QStringLiteral("Zorv Desk - Moeda: Cartão - 01/2014"));
}

void TestReports::boxOnADayWithoutEntries()
{
    Fixture f;
    f.inputs.entryDate = QDate(2013, 2, 4);
    const auto page = buildFinanceReport(FinanceReport::Box, f.inputs, f.fake.clock.today());
    QVERIFY(page->rows.isEmpty());
    QCOMPARE(page->totals.size(), 3);
    for (const ReportTotal &total : page->totals)
        QCOMPARE(total.amount, QStringLiteral("R$ 0,00"));
}

// The year comes from the entry date; a year without a ledger has nothing to list rather
// than the lines of another year.
void TestReports::yearWithoutLedgerReportsNoLines()
{
    Fixture f;
    f.inputs.entryDate = QDate(2012, 12, 31);
    f.inputs.yearLines = f.inputs.monthLines;
    QVERIFY(f.links.run(FinanceReport::Year));
    const QByteArray page = f.report();
    QVERIFY(!page.contains("<td><hr>1.234,50"));
    QVERIFY(page.contains("<td><hr></strong><strong>R$ 0,00</strong></td>\r\n</tr>\r\n</body></html>\r\n"));
}

void TestReports::missingDataFolderWritesAndOpensNothing()
{
    QTemporaryDir exe;
    const Paths paths(exe.path(), exe.path());
    FakeServices fake;
    Fixture f;
    QVERIFY(!runFinanceReport(FinanceReport::EntranceAndExit, f.inputs, paths, fake.services()));
    QVERIFY(QDir(exe.path()).isEmpty());
    QVERIFY(fake.programs.started.isEmpty());
}

void TestReports::sourceFilter_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<bool>("matches");
    QTest::newRow("capitalised") << "Market"
                                 << "MAR" << true;
    QTest::newRow("mixed case") << "mARTA"
                                << "MAR" << true;
    QTest::newRow("inside the name") << "Amar"
                                     << "MAR" << false;
    QTest::newRow("shorter than the filter") << "Ma"
                                             << "MAR" << false;
    QTest::newRow("accented letters keep their case") << "ação"
                                                      << "AÇÃO" << false;
    QTest::newRow("accented letters as typed") << "AÇÃO social"
                                               << "AÇÃO" << true;
}

void TestReports::sourceFilter()
{
    QFETCH(QString, source);
    QFETCH(QString, filter);
    QFETCH(bool, matches);
    QCOMPARE(beginsWithFilter(source, filter), matches);
}

// Odd lines (markers missing, repeated, out of order, fields beyond the 255-character cut)
// give the cells the standard tagged-record reading gives.
void TestReports::linesReadAsTheStandardReading()
{
    const QString longText(300, QLatin1Char('x'));
    const QStringList lines = {
        QStringLiteral("1,00<1>01/02/2013<2>Exit<3>Market<4>Cartão"),
        QStringLiteral("2,00"),
        QStringLiteral("3,00<1>d<2>op<3>Padaria<4>"),
        QStringLiteral("4,00<1>d<2>op<3>a<4>b<4>c"),
        QStringLiteral("5,00<2>early<1>d<2>op<3>s"),
        QStringLiteral("6,00<1>d<3>s<2>op<4>f<3>t"),
        QStringLiteral("7,00<1>d<2>op<3>") + longText + QStringLiteral("<4>Dinheiro"),
        QStringLiteral("8,00<1>d<2>op<3>s<4>") + longText,
        QStringLiteral("9,00<1>") + longText + QStringLiteral("<2>op<3>s"),
        QStringLiteral("10,00<3>s<4>f"),
        QStringLiteral("11,00<1><1><2><2><3><3><4><4>"),
        QStringLiteral("12,00<1>d<2>op<3>s<4>f<"),
        QStringLiteral("13,00<1>d<4>x<2>op<3>s<4>f"),
    };
    FinanceReportInputs inputs;
    inputs.monthLines = lines;
    const auto page = buildFinanceReport(FinanceReport::EntranceAndExit, inputs, QDate(2013, 3, 15));

    ReportRows expected;
    expected.keepWordsWholeIn(3);
    for (const QString &line : lines) {
        const TaggedFields f = extractFields(line);
        if (const auto amount = parseAmount(f.f0))
            expected.add({formatAmount(*amount), f.f1, f.f2, f.f3});
    }
    QCOMPARE(expected.size(), lines.size() - 2); // a marker before "<1>" spoils the amount
    QCOMPARE(page->rows.markup(), expected.markup());
}

void TestReports::sourceKeepsItsWordsWhole_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QByteArray>("cell"); // as the page holds it
    QTest::newRow("plain words") << QStringLiteral("Padaria Pão Quente")
                                 << QByteArray("Padaria P\xe3o Quente");
    QTest::newRow("hyphens") << QStringLiteral("Pão-de-açúcar")
                             << QByteArray("P\xe3o&#8288;-&#8288;de&#8288;-&#8288;a\xe7\xfa"
                                           "car");
    QTest::newRow("slash and markup")
        << QStringLiteral("ref 03/2013 \"Cia\"</b>")
        << QByteArray("ref 03&#8288;/&#8288;2013 &quot;&#8288;Cia&#8288;&quot;&#8288;"
                      "&lt;&#8288;/&#8288;b&#8288;&gt;");
    QTest::newRow("accent kept on its letter")
        << QStringLiteral("Cafe\u0301-bar") << QByteArray("Cafe&#769;&#8288;-&#8288;bar");
}

// The source's punctuation never lets the browser break a word: a word joiner sits wherever it
// could. The other cells are written as they are.
void TestReports::sourceKeepsItsWordsWhole()
{
    QFETCH(QString, source);
    QFETCH(QByteArray, cell);
    ReportRows rows;
    rows.keepWordsWholeIn(3);
    rows.add({u"1,00", u"03/02/2013", u"To-pay", source});
    QCOMPARE(rows.markup(),
             "<td><hr>1,00<td><hr>03/02/2013<td><hr>To-pay<td><hr>" + cell + "</td>\r\n</tr>\r\n");
}

void TestReports::escaping_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("escaped");
    QTest::newRow("plain with accents") << "Salário € – Água"
                                        << "Salário € – Água";
    QTest::newRow("markup") << "<script>alert(\"x\")</script>"
                            << "&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;";
    QTest::newRow("ampersand") << "A & B"
                               << "A &amp; B";
    QTest::newRow("after a plain stretch") << "Supermercado Ótimo & Filhos \"SA\""
                                           << "Supermercado Ótimo &amp; Filhos &quot;SA&quot;";
    QTest::newRow("beyond the code page") << "Ωmega 😀"
                                          << "&#937;mega &#128512;";
}

void TestReports::escaping()
{
    QFETCH(QString, text);
    QFETCH(QString, escaped);
    QCOMPARE(escapeReportText(text), escaped);
}

void TestReports::characterBeyondTheCodePageReachesThePage()
{
    ReportPage page;
    page.title = QStringLiteral("Dados de: Łukasz");
    page.rows.add({QStringLiteral("Ωmega"), QStringLiteral("Água")});
    const QByteArray bytes = renderReport(page);
    QVERIFY(bytes.contains("<title>Dados de: &#321;ukasz</title>"));
    QVERIFY(bytes.contains("<td><hr>&#937;mega<td><hr>\xc1gua</td>\r\n"));
}

// Totals that leave the currency range are exact all the same, in the one format.
void TestReports::totalsBeyondTheCurrencyRange()
{
    FinanceReportInputs inputs;
    inputs.symbol = QStringLiteral("R$");
    inputs.yearLines = {QStringLiteral("500.000.000.000.000,00<1>02/03/2013<2>Entrance<3>a<4>Dinheiro"),
                        QStringLiteral("500.000.000.000.000,00<1>03/03/2013<2>Entrance<3>a<4>Dinheiro"),
                        QStringLiteral("900.000.000.000.000,00<1>04/03/2013<2>Exit<3>a<4>Dinheiro"),
                        QStringLiteral("900.000.000.000.000,00<1>05/03/2013<2>Exit<3>a<4>Dinheiro")};
    inputs.monthLines = inputs.yearLines;
    auto totals = [&](FinanceReport report) {
        QStringList shown;
        const std::optional<ReportPage> page = buildFinanceReport(report, inputs, QDate(2013, 3, 15));
        for (const ReportTotal &total : page->totals)
            shown << total.label + QLatin1Char(' ') + total.amount;
        return shown;
    };
    QCOMPARE(totals(FinanceReport::OnlyEntrance), QStringList{"Total: R$ 1.000.000.000.000.000,00"});
    QCOMPARE(totals(FinanceReport::Year),
             (QStringList{"Entrance: R$ 1.000.000.000.000.000,00", "Exit: R$ 1.800.000.000.000.000,00",
                          "Balance: R$ -800.000.000.000.000,00"}));
}

QTEST_MAIN(TestReports)
#include "tst_reports.moc"
