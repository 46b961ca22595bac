// The finance reports as a browser shows them, in one run of headless Chromium. Every
// report of a month with sources of one endless word is opened inside a frame as wide as a
// small window: the page must fit that width (no horizontal scrolling), read its letters in
// the character set it declares, show the amounts right-aligned in padded cells, and break
// no word but one wider than its column. Every report of a household's month is opened at
// 1280 pixels: no word of it may be broken across lines, which the bare markup never does
// either. Each page is laid out in the usual font families in turn, so the outcome does not
// hang on the fonts the machine has. Skipped where no Chromium is installed (scripts/setup
// installs it).
#include "controls/money.h"
#include "finance/amountsum.h"
#include "finance/ledger.h"
#include "reports/financereports.h"
#include "reports/reportwriter.h"
#include "store/textlist.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace zorv;

namespace {

constexpr int kWindowWidth = 640;
constexpr int kWideWindowWidth = 1280;

QStringList fixtureLines(const QString &name)
{
    TextList list;
    list.load(QStringLiteral(ZORV_TEST_DATA "/") + name);
    return list.lines();
}

// The reports' month and year with, for every operation, an entry whose source is one
// long word that no space lets the browser wrap.
FinanceReportInputs inputsWithLongSources()
{
    FinanceReportInputs in;
    in.monthLines = fixtureLines(QStringLiteral("02.2013.fin"));
    in.yearLines = fixtureLines(QStringLiteral("2013.CX"));
    for (const QString &operation : kOperations) {
        const QString line = QStringLiteral("12,00<1>03/02/2013<2>") + operation + QStringLiteral("<3>Mar") +
                             QStringLiteral("ketplace").repeated(40) + QStringLiteral("<4>Cartão");
        in.monthLines << line;
        in.yearLines << line;
    }
    in.filter = QStringLiteral("MAR");
    in.paymentForm = QStringLiteral("Cartão");
    in.entryDate = QDate(2013, 2, 3);
    in.symbol = QStringLiteral("R$");
    in.entrancesText = QStringLiteral("R$ 1.926,85");
    in.exitsText = QStringLiteral("R$ 465,35");
    in.balanceText = QStringLiteral("R$ 1.461,50");
    return in;
}

// A household's month: every operation and payment form, sources of several words.
FinanceReportInputs householdInputs()
{
    FinanceReportInputs in;
    const QStringList lines{
        "4.500,00<1>05/02/2013<2>Entrance<3>Salário da Empresa Comércio de Alimentos<4>Dinheiro",
        "1.234,56<1>06/02/2013<2>Exit<3>Aluguel do apartamento<4>Boleto",
        "89,90<1>07/02/2013<2>To pay<3>Companhia Energética de Minas Gerais<4>Duplicata",
        "350,00<1>08/02/2013<2>To receive<3>Marcenaria São José<4>Cheque",
        "45,90<1>09/02/2013<2>Quarrels<3>Padaria Pão Quente<4>Cartão",
        "12.345,67<1>10/02/2013<2>Exit<3>Concessionária Automóveis<4>Cartão",
    };
    for (const QString &line : lines) {
        in.monthLines << line;
        in.yearLines << line;
    }
    in.filter = QStringLiteral("MAR");
    in.paymentForm = QStringLiteral("Cartão");
    in.entryDate = QDate(2013, 2, 9);
    in.symbol = QStringLiteral("R$");
    in.entrancesText = QStringLiteral("R$ 4.940,00");
    in.exitsText = QStringLiteral("R$ 14.065,03");
    in.balanceText = QStringLiteral("R$ -9.125,03");
    return in;
}

QString findChromium()
{
    for (const char *name : {"chromium", "chromium-browser"}) {
        const QString browser = QStandardPaths::findExecutable(QLatin1String(name));
        if (!browser.isEmpty())
            return browser;
    }
    return {};
}

// The page as headless Chromium leaves it once its scripts have run, with a profile of its
// own in `profile`; empty when the browser did not finish (its error output in `errors`).
QString dumpDom(const QString &browser, const QString &page, const QString &profile, QString *errors)
{
    QProcess chromium;
    chromium.setProcessChannelMode(QProcess::SeparateChannels);
    chromium.start(
        browser,
        {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"), QStringLiteral("--disable-gpu"),
         QStringLiteral("--disable-quic"), QStringLiteral("--no-first-run"),
         QStringLiteral("--disable-background-networking"), QStringLiteral("--disable-component-update"),
         QStringLiteral("--disable-sync"), QStringLiteral("--user-data-dir=") + profile,
         QStringLiteral("--allow-file-access-from-files"), QStringLiteral("--virtual-time-budget=10000"),
         QStringLiteral("--dump-dom"), QUrl::fromLocalFile(page).toString()});
    if (!chromium.waitForFinished(100000)) {
        chromium.kill();
        chromium.waitForFinished();
        *errors = QStringLiteral("Chromium did not finish");
        return {};
    }
    *errors = QString::fromUtf8(chromium.readAllStandardError());
    return QString::fromUtf8(chromium.readAllStandardOutput());
}

// A page that frames each report at its window's width and, once all have loaded, writes
// what it measured into its own text, where the dumped page carries it out: for each
// frame its widths, character set, amount cell style, text, and the words the browser
// broke across lines (a word whose letters lie on more than one line).
QByteArray harness(const QList<std::pair<QString, int>> &frames)
{
    QByteArray html = "<!DOCTYPE html><html><head><meta charset=\"utf-8\">"
                      "<style>body{margin:0}iframe{border:0;display:block}</style></head><body>\n";
    for (const auto &[name, width] : frames)
        html += "<iframe name=\"" + name.toUtf8() + "\" src=\"" + name.toUtf8() + ".html\" width=\"" +
                QByteArray::number(width) + "\" height=\"400\"></iframe>\n";
    html += R"(<pre id="out">pending</pre>
<script>
window.addEventListener('load', () => {
  const fonts = ['', 'serif', 'sans-serif', 'monospace', 'Nimbus Roman', 'Nimbus Sans', 'URW Bookman',
                 'URW Gothic', 'C059', 'P052', 'Droid Sans Fallback', 'DejaVu Sans', 'DejaVu Serif',
                 'Liberation Sans', 'Liberation Serif', 'Noto Sans', 'Noto Serif'];
  const lines = [];
  for (const frame of document.querySelectorAll('iframe')) {
    const doc = frame.contentDocument;
    const root = doc.scrollingElement || doc.documentElement;
    const cell = doc.querySelector('tr:nth-of-type(2) td');
    const style = cell ? getComputedStyle(cell) : null;
    // The page is laid out again in each usual font family (those not installed fall back
    // to another): a word may break only where it is wider than its cell's room, whatever
    // the font, and the page must stay within the window.
    const broken = [];
    let scrollWidth = 0;
    for (const font of fonts) {
      doc.documentElement.style.fontFamily = font;
      scrollWidth = Math.max(scrollWidth, root.scrollWidth);
      const walker = doc.createTreeWalker(doc.body, NodeFilter.SHOW_TEXT);
      const texts = [];
      for (let node = walker.nextNode(); node; node = walker.nextNode())
        texts.push(node);
      for (const node of texts) {
        for (const m of node.data.matchAll(/\S+/g)) {
          const range = doc.createRange();
          range.setStart(node, m.index);
          range.setEnd(node, m.index + m[0].length);
          const tops = new Set([...range.getClientRects()].map(r => Math.round(r.top)));
          if (tops.size < 2)
            continue;
          const box = node.parentElement.closest('td') || node.parentElement;
          const boxStyle = getComputedStyle(box);
          const room = box.clientWidth - parseFloat(boxStyle.paddingLeft) - parseFloat(boxStyle.paddingRight);
          const probe = doc.createElement('span');
          probe.style.whiteSpace = 'nowrap';
          probe.textContent = m[0];
          box.appendChild(probe);
          const natural = probe.getBoundingClientRect().width;
          box.removeChild(probe);
          if (natural <= room + 0.5)
            broken.push((font || 'default') + ': ' + m[0]);
        }
      }
    }
    doc.documentElement.style.fontFamily = '';
    lines.push([frame.name, scrollWidth, root.clientWidth, doc.characterSet,
                style ? style.textAlign : '', style ? parseFloat(style.paddingLeft) : 0,
                doc.body.innerText.replace(/\u2060/g, ''), broken.join('|')].map(v => encodeURIComponent(String(v))).join(' '));
  }
  document.getElementById('out').textContent = lines.join('\n');
});
</script></body></html>
)";
    return html;
}

// A page that frames each chart page at its window's width and writes, as JSON in its own
// text, what the browser made of each: the table's cells row by row, where the table ends
// and the chart begins, each bar's title and drawn size, and any element a ledger text
// could have smuggled in.
QByteArray chartHarness(const QList<std::pair<QString, int>> &frames)
{
    QByteArray html = "<!DOCTYPE html><html><head><meta charset=\"utf-8\">"
                      "<style>body{margin:0}iframe{border:0;display:block}</style></head><body>\n";
    for (const auto &[name, width] : frames)
        html += "<iframe name=\"" + name.toUtf8() + "\" src=\"" + name.toUtf8() + ".html\" width=\"" +
                QByteArray::number(width) + "\" height=\"600\"></iframe>\n";
    html += R"(<pre id="out">pending</pre>
<script>
window.addEventListener('load', () => {
  try {
  const pages = {};
  for (const frame of document.querySelectorAll('iframe')) {
    const doc = frame.contentDocument;
    const root = doc.scrollingElement || doc.documentElement;
    const table = doc.querySelector('table');
    const svg = doc.querySelector('svg');
    pages[frame.name] = {
      scrollWidth: root.scrollWidth, clientWidth: root.clientWidth,
      rows: [...table.rows].map(tr => [...tr.cells].map(td => td.textContent.replace(/\u2060/g, '').trim())),
      tableBottom: table.getBoundingClientRect().bottom,
      chartTop: svg ? svg.getBoundingClientRect().top : -1,
      chartWidth: svg ? svg.getBoundingClientRect().width : -1,
      smuggled: doc.querySelectorAll('script, img, b, iframe, [onerror], [style]').length,
      bars: svg ? [...svg.querySelectorAll('rect')].filter(r => r.querySelector('title')).map(r => {
        const box = r.getBoundingClientRect();
        return {title: r.querySelector('title').textContent, width: box.width, height: box.height};
      }) : [],
    };
  }
  document.getElementById('out').textContent = encodeURIComponent(JSON.stringify(pages));
  } catch (e) {
    document.getElementById('out').textContent = 'failed: ' + e;
  }
});
</script></body></html>
)";
    return html;
}

struct Measured
{
    int scrollWidth = 0;
    int clientWidth = 0;
    QString characterSet;
    QString amountAlign;
    double cellPadding = 0;
    QString text;
    QString brokenWords;
};

} // namespace

class TestReportBrowser : public QObject
{
    Q_OBJECT

private slots:
    void reportsFitTheWindowAndKeepWordsWhole();
    void chartsAgreeWithTheirTables();
};

void TestReportBrowser::reportsFitTheWindowAndKeepWordsWhole()
{
    const QString browser = findChromium();
    if (browser.isEmpty())
        QSKIP("No headless Chromium installed (scripts/setup installs the chromium package): the "
              "reports' rendering in a browser is not checked.");

    QTemporaryDir pages;
    QTemporaryDir profile;
    QVERIFY(pages.isValid() && profile.isValid());
    const FinanceReportInputs inputs = inputsWithLongSources();
    const FinanceReportInputs household = householdInputs();
    QStringList names;
    QList<std::pair<QString, int>> frames;
    for (const FinanceReport report : kFinanceReports) {
        const QString name = financeReportName(report);
        for (const bool wide : {false, true}) {
            const auto page = buildFinanceReport(report, wide ? household : inputs, QDate(2013, 3, 15));
            QVERIFY(page);
            QVERIFY2(page->rows.size() > 0, qPrintable(name));
            const QString frameName = name + (wide ? QStringLiteral("-wide") : QString());
            QFile file(pages.filePath(frameName + QStringLiteral(".html")));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(renderReport(*page));
            frames.append({frameName, wide ? kWideWindowWidth : kWindowWidth});
        }
        names << name;
    }
    QFile frame(pages.filePath(QStringLiteral("harness.html")));
    QVERIFY(frame.open(QIODevice::WriteOnly));
    frame.write(harness(frames));
    frame.close();

    QString errors;
    const QString dom = dumpDom(browser, frame.fileName(), profile.path(), &errors);
    const auto out = QRegularExpression(QStringLiteral("<pre id=\"out\">([^<]*)</pre>")).match(dom);
    QVERIFY2(out.hasMatch(), qPrintable(errors.right(2000)));

    QMap<QString, Measured> measured;
    for (const QString &line : out.captured(1).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList f = line.split(QLatin1Char(' '));
        QCOMPARE(f.size(), 8);
        auto field = [&](int i) { return QUrl::fromPercentEncoding(f[i].toLatin1()); };
        measured.insert(field(0), {field(1).toInt(), field(2).toInt(), field(3), field(4),
                                   field(5).toDouble(), field(6), field(7)});
    }
    QCOMPARE(measured.keys().size(), frames.size());
    for (const QString &name : names) {
        const Measured m = measured.value(name);
        const QByteArray what = name.toLatin1();
        QVERIFY2(m.clientWidth > 0 && m.scrollWidth <= m.clientWidth,
                 what + " is " + QByteArray::number(m.scrollWidth) + " px wide in a window of " +
                     QByteArray::number(m.clientWidth));
        QVERIFY2(m.characterSet.compare(QLatin1String("windows-1252"), Qt::CaseInsensitive) == 0,
                 what + " read as " + m.characterSet.toLatin1());
        QVERIFY2(m.text.contains(QStringLiteral("Operação")), what);
        QCOMPARE(m.amountAlign, QStringLiteral("right"));
        QVERIFY2(m.cellPadding > 0, what);
        // Only a word wider than its column is broken to fit (the endless one); every other
        // word stays whole, in every font.
        QVERIFY2(m.brokenWords.isEmpty(), what + " breaks " + m.brokenWords.toUtf8());
    }
    for (const QString &name : names) {
        const Measured m = measured.value(name + QStringLiteral("-wide"));
        QVERIFY2(m.clientWidth > kWideWindowWidth - 32, qPrintable(name));
        QVERIFY2(m.scrollWidth <= m.clientWidth, qPrintable(name));
        QVERIFY2(m.brokenWords.isEmpty(), qPrintable(name + QStringLiteral(" breaks ") + m.brokenWords));
    }
    QVERIFY(measured.value(QStringLiteral("RPM-wide")).text.contains(QStringLiteral("Padaria Pão Quente")));
    QVERIFY(measured.value(QStringLiteral("PPO")).text.contains(QStringLiteral("Pendências recebíveis")));
    QVERIFY(measured.value(QStringLiteral("pg2")).text.contains(QStringLiteral("Salário")));
}

// The yearly and the exits charts as the browser draws them, at 1280 pixels and in a small
// window: below their table and within the window, every bar's title giving the figure the
// table's rows add up to (to the cent; a cent more or less per row where the ledger holds
// a third decimal the rows round away), the bars adding up to the totals, every bar as long
// as its amount on the chart's one scale, and no markup from a source turned into an element.
void TestReportBrowser::chartsAgreeWithTheirTables()
{
    const QString browser = findChromium();
    if (browser.isEmpty())
        QSKIP("No headless Chromium installed (scripts/setup installs the chromium package): the "
              "charts' rendering in a browser is not checked.");

    QTemporaryDir pages;
    QTemporaryDir profile;
    QVERIFY(pages.isValid() && profile.isValid());
    const QList<std::tuple<QString, FinanceReport, QString>> charts{
        {QStringLiteral("year"), FinanceReport::Year, QStringLiteral("charts-2014.CX")},
        {QStringLiteral("one"), FinanceReport::OnlyExit, QStringLiteral("charts-one.fin")},
        {QStringLiteral("twelve"), FinanceReport::OnlyExit, QStringLiteral("charts-twelve.fin")},
        {QStringLiteral("household"), FinanceReport::Year, QString()},
    };
    QList<std::pair<QString, int>> frames;
    for (const auto &[name, report, ledger] : charts) {
        FinanceReportInputs in = householdInputs();
        if (!ledger.isEmpty())
            in.yearLines = in.monthLines = fixtureLines(ledger);
        const auto page = buildFinanceReport(report, in, QDate(2014, 3, 15));
        QVERIFY(page && !page->chart.isEmpty());
        QFile file(pages.filePath(name + QStringLiteral(".html")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(renderReport(*page));
        file.close();
        QVERIFY(QFile::copy(file.fileName(), pages.filePath(name + QStringLiteral("-small.html"))));
        frames.append({name, kWideWindowWidth});
        frames.append({name + QStringLiteral("-small"), kWindowWidth});
    }
    QFile frame(pages.filePath(QStringLiteral("charts.html")));
    QVERIFY(frame.open(QIODevice::WriteOnly));
    frame.write(chartHarness(frames));
    frame.close();

    QString errors;
    const QString dom = dumpDom(browser, frame.fileName(), profile.path(), &errors);
    const auto out = QRegularExpression(QStringLiteral("<pre id=\"out\">([^<]*)</pre>")).match(dom);
    QVERIFY2(out.hasMatch(), qPrintable(errors.right(2000)));
    const QJsonObject measured =
        QJsonDocument::fromJson(QUrl::fromPercentEncoding(out.captured(1).toLatin1()).toUtf8()).object();
    QVERIFY2(measured.size() == frames.size(), qPrintable(out.captured(1).left(300) + errors.right(1500)));

    auto amount = [](const QString &text) { return AmountSum(parseAmount(text).value_or(Currency())); };
    for (const auto &[name, width] : frames) {
        const QJsonObject page = measured.value(name).toObject();
        const QByteArray what = name.toUtf8();
        QVERIFY2(page.value(QLatin1String("scrollWidth")).toInt() <=
                     page.value(QLatin1String("clientWidth")).toInt(),
                 what);
        QVERIFY2(page.value(QLatin1String("chartTop")).toDouble() >=
                     page.value(QLatin1String("tableBottom")).toDouble(),
                 what + " draws its chart over the table");
        QVERIFY2(page.value(QLatin1String("chartWidth")).toDouble() > width * 0.9, what);
        QCOMPARE(page.value(QLatin1String("smuggled")).toInt(), 0);

        // The table's data rows (amount, date, operation, source) and its totals by label.
        struct Row
        {
            AmountSum amount;
            QString month, operation, source;
        };
        QList<Row> rows;
        QMap<QString, AmountSum> totals;
        for (const QJsonValue &r : page.value(QLatin1String("rows")).toArray()) {
            const QJsonArray cells = r.toArray();
            if (cells.size() != 4)
                continue;
            const QString first = cells[0].toString();
            if (first.endsWith(QLatin1Char(':')))
                totals.insert(first, amount(cells[3].toString()));
            else if (parseAmount(first))
                rows.append(
                    {amount(first), cells[1].toString().mid(3), cells[2].toString(), cells[3].toString()});
        }
        QVERIFY2(!rows.isEmpty(), what);

        const bool year = !totals.contains(QStringLiteral("Total:"));
        const QJsonArray bars = page.value(QLatin1String("bars")).toArray();
        QVERIFY2(!bars.isEmpty(), what);
        QStringList named;
        double pixelsPerCent = 0; // of the longest bar, where rounding to pixels weighs least
        double largestCents = 0;
        QMap<QString, AmountSum> barSums;
        for (const QJsonValue &b : bars) {
            const QString title = b.toObject().value(QLatin1String("title")).toString();
            const qsizetype colon = title.lastIndexOf(QStringLiteral(": "));
            QVERIFY2(colon > 0, qPrintable(title));
            const AmountSum shown = amount(title.mid(colon + 2));
            const QString label = title.first(colon);
            // What the table's rows give for the bar, and how many rows that is.
            AmountSum expected;
            int count = 0;
            for (const Row &row : rows) {
                bool in = false;
                if (year) {
                    const QString month = label.section(QLatin1Char(' '), 0, 0);
                    in = row.month == month && row.operation == label.section(QLatin1Char(' '), 1);
                } else {
                    in = label == QLatin1String("Outros") ? false : row.source == label;
                }
                if (in) {
                    expected += row.amount;
                    ++count;
                }
            }
            if (!year)
                named << label;
            if (year || label != QLatin1String("Outros")) {
                QVERIFY2(count > 0 || shown == AmountSum(), qPrintable(title));
                QVERIFY2(std::abs(double((shown - expected).raw())) <= 50.0 * count, qPrintable(title));
            }
            const QString kind =
                year ? label.section(QLatin1Char(' '), 1) + QLatin1Char(':') : QStringLiteral("Total:");
            barSums[kind] += shown;
            const double length = b.toObject().value(QLatin1String(year ? "height" : "width")).toDouble();
            const double cents = std::abs(double(shown.roundedToCents().raw()) / 100);
            if (cents > largestCents) {
                largestCents = cents;
                pixelsPerCent = length / cents;
            }
        }
        // "Outros": the rows of every source without a bar of its own.
        if (!year && named.contains(QStringLiteral("Outros"))) {
            AmountSum rest;
            for (const Row &row : rows)
                if (!named.contains(row.source))
                    rest += row.amount;
            const QString title = bars.last().toObject().value(QLatin1String("title")).toString();
            QVERIFY2(
                std::abs(double((amount(title.mid(title.lastIndexOf(QLatin1Char(':')) + 2)) - rest).raw())) <=
                    50.0 * rows.size(),
                qPrintable(title));
        }
        // The bars add up to the totals under the table.
        for (auto it = barSums.cbegin(); it != barSums.cend(); ++it) {
            const QString &label = it.key();
            QVERIFY2(totals.contains(label), qPrintable(label));
            QVERIFY2(std::abs(double((it.value() - totals.value(label)).raw())) <= 50.0 * rows.size(),
                     qPrintable(what + ' ' + label + ' ' + formatAmount(it.value())));
        }
        // One scale: each bar's length is its amount times the same pixels per cent.
        QVERIFY2(pixelsPerCent > 0, what);
        for (const QJsonValue &b : bars) {
            const QString title = b.toObject().value(QLatin1String("title")).toString();
            const double cents = std::abs(
                double(amount(title.mid(title.lastIndexOf(QLatin1Char(':')) + 2)).roundedToCents().raw()) /
                100);
            const double length = b.toObject().value(QLatin1String(year ? "height" : "width")).toDouble();
            QVERIFY2(std::abs(length - cents * pixelsPerCent) <= 1.0,
                     qPrintable(what + ' ' + title + " is " + QString::number(length) + " px"));
        }
    }
}

QTEST_MAIN(TestReportBrowser)
#include "tst_reportbrowser.moc"
