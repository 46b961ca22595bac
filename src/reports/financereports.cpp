#include "reports/financereports.h"

#include "controls/money.h"
#include "controls/numberformat.h"
#include "finance/amountsum.h"
#include "finance/corrections.h"
#include "finance/ledger.h"
#include "platform/services.h"
#include "reports/chartdata.h"
#include "reports/svgchart.h"
#include "store/logging.h"
#include "store/paths.h"
#include "store/records.h"
#include "store/textlist.h"

namespace zorv {

namespace {

const QString kTableOpening = QStringLiteral(
    "<table width=\"100%\" border =0 cellpadding=\"0\" cellspacing=\"0\" bordercolor=\"#CCCCCC\" <tr> "
    "<td width=\"150\">&nbsp;</td> <td width=\"100\">&nbsp;</td> <td width=\"150\">&nbsp;</td>");
const QString kPaymentFormTableOpening = QStringLiteral(
    "<table width=\"100%\" border =0 cellpadding=\"0\" cellspacing=\"0\" bordercolor=\"#CCCCCC\" <tr> "
    "<td width=\"150\">&nbsp;</td> <td width=\"100\">&nbsp;</td> <td width=\"50\">&nbsp;</td>");
const QString kHeaderRow =
    QStringLiteral("<td></strong><strong>Valor</strong><td></strong><strong>Data</strong>"
                   "<td></strong><strong>Operação</strong><td></strong><strong>Fonte</strong></td>");
const QString kPaymentFormHeaderRow =
    QStringLiteral("<td></strong><strong>Valor</strong><td></strong><strong>Data</strong>"
                   "<td></strong><strong>Operação</strong><td></strong><strong>Fonte</strong>"
                   "<td></strong><strong>Moeda</strong></td>");

const QString kEntranceLabel = QStringLiteral("Entrance:");
const QString kExitLabel = QStringLiteral("Exit:");
const QString kBalanceLabel = QStringLiteral("Balance:");
const QString kTotalLabel = QStringLiteral("Total:");

// Wide sums, so a total is never short of an amount that pushed it out of range.
struct Sums
{
    AmountSum all;
    AmountSum entrances; // operation exactly "Entrance"
    AmountSum exits;     // operation exactly "Exit"
};

QString amountText(const QString &symbol, AmountSum amount)
{
    return symbol + QLatin1Char(' ') + formatAmount(amount);
}

// The fields of a ledger line, as views into it so a long ledger is read without copies.
struct LineFields
{
    QStringView value, date, operation, source, paymentForm;
};

LineFields readLine(QStringView line)
{
    const TaggedFieldViews f = extractFieldViews(line);
    return {f.f0, f.f1, f.f2, f.f3, f.f4};
}

// Nothing more to do with a line once it is a row.
constexpr auto kRowOnly = [](const LineFields &, Currency) {};

// The rows of the lines `include` accepts, in the order read, and their sums; each row's
// fields and amount are also handed to `onRow`. A line whose amount does not parse is left
// out of all three.
template<typename Include, typename OnRow = decltype(kRowOnly)>
void collect(ReportPage &page, Sums &sums, const QStringList &lines, bool withPaymentForm, Include include,
             OnRow onRow = kRowOnly)
{
    page.rows.reserve(lines.size() * 96);
    page.rows.keepWordsWholeIn(3); // the source
    for (const QString &line : lines) {
        const LineFields fields = readLine(line);
        if (!include(fields))
            continue;
        const std::optional<Currency> amount = parseAmount(fields.value);
        if (!amount)
            continue;
        const QString value = formatAmount(*amount);
        if (withPaymentForm)
            page.rows.add({value, fields.date, fields.operation, fields.source, fields.paymentForm});
        else
            page.rows.add({value, fields.date, fields.operation, fields.source});
        sums.all += *amount;
        if (fields.operation == kOperationEntrance)
            sums.entrances += *amount;
        else if (fields.operation == kOperationExit)
            sums.exits += *amount;
        onRow(fields, *amount);
    }
}

ReportPage financePage(const QString &title)
{
    ReportPage page;
    page.title = title;
    page.tableOpening = kTableOpening;
    page.headerRow = kHeaderRow;
    return page;
}

// "Entrance:", "Exit:" and "Balance:" from the sums of the lines included.
void strictTotals(ReportPage &page, const Sums &sums, const QString &symbol)
{
    const AmountSum balance = sums.entrances - sums.exits;
    page.totals = {{kEntranceLabel, amountText(symbol, sums.entrances)},
                   {kExitLabel, amountText(symbol, sums.exits)},
                   {kBalanceLabel, amountText(symbol, balance)}};
}

ReportPage operationReport(const QString &title, const QString &operation, const FinanceReportInputs &in)
{
    ReportPage page = financePage(title);
    Sums sums;
    collect(page, sums, in.monthLines, false, [&](const LineFields &f) { return f.operation == operation; });
    page.totals = {{kTotalLabel, amountText(in.symbol, sums.all)}};
    return page;
}

} // namespace

QString financeReportName(FinanceReport report)
{
    switch (report) {
    case FinanceReport::EntranceAndExit:
        return QStringLiteral("pg2");
    case FinanceReport::OnlyEntrance:
        return QStringLiteral("pg3");
    case FinanceReport::OnlyExit:
        return QStringLiteral("pg4");
    case FinanceReport::BillsToPay:
        return QStringLiteral("pg42");
    case FinanceReport::BillsToReceive:
        return QStringLiteral("pg43");
    case FinanceReport::Quarrels:
        return QStringLiteral("PPO");
    case FinanceReport::Source:
        return QStringLiteral("rpo");
    case FinanceReport::PaymentForm:
        return QStringLiteral("RPM");
    case FinanceReport::Year:
        return QStringLiteral("epo");
    case FinanceReport::Box:
        return QStringLiteral("rpo2");
    }
    return {};
}

QString financeReportCaption(FinanceReport report)
{
    switch (report) {
    case FinanceReport::EntranceAndExit:
        return QStringLiteral("Entrance and exit");
    case FinanceReport::OnlyEntrance:
        return QStringLiteral("Only entrance");
    case FinanceReport::OnlyExit:
        return QStringLiteral("Only exit");
    case FinanceReport::BillsToPay:
        return QStringLiteral("Bills to pay");
    case FinanceReport::BillsToReceive:
        return QStringLiteral("Bills to receive");
    case FinanceReport::Quarrels:
        return QStringLiteral("Receivable quarrels");
    case FinanceReport::Source:
        return QStringLiteral("Generate");
    case FinanceReport::PaymentForm:
        return QStringLiteral("General report for Coin");
    case FinanceReport::Year:
        return QStringLiteral("Anual");
    case FinanceReport::Box:
        return QStringLiteral("Box");
    }
    return {};
}

ReportDates reportDates(const QDate &today)
{
    const QString day = formatShortDate(today);
    return {day, day.mid(3), day.mid(6)};
}

std::optional<ReportPage> buildFinanceReport(FinanceReport report, const FinanceReportInputs &in,
                                             const QDate &today)
{
    const ReportDates dates = reportDates(today);
    const QString financial = QStringLiteral("Zorv Desk - Financial - ") + dates.month;

    switch (report) {
    case FinanceReport::EntranceAndExit: {
        // Every line, under the totals the screen shows (which count bills in both sums).
        ReportPage page = financePage(financial);
        Sums sums;
        collect(page, sums, in.monthLines, false, [](const LineFields &) { return true; });
        page.totals = {
            {kEntranceLabel, in.entrancesText}, {kExitLabel, in.exitsText}, {kBalanceLabel, in.balanceText}};
        return page;
    }
    case FinanceReport::OnlyEntrance:
        return operationReport(financial, kOperationEntrance, in);
    case FinanceReport::OnlyExit: {
        // The exits by source under the table: the ten largest and the rest together.
        ReportPage page = financePage(financial);
        Sums sums;
        SourceTotals sources;
        collect(
            page, sums, in.monthLines, false,
            [](const LineFields &f) { return f.operation == kOperationExit; },
            [&](const LineFields &f, Currency amount) { sources.add(f.source, amount); });
        page.totals = {{kTotalLabel, amountText(in.symbol, sums.all)}};
        page.chart = exitsChartSvg(sources.largest());
        return page;
    }
    case FinanceReport::BillsToPay:
        return operationReport(QStringLiteral("Zorv Desk - To pay - ") + dates.month,
                               QStringLiteral("To pay"), in);
    case FinanceReport::BillsToReceive:
        return operationReport(QStringLiteral("Zorv Desk - To receive - ") + dates.month,
                               QStringLiteral("To receive"), in);
    case FinanceReport::Quarrels:
        return operationReport(QStringLiteral("Zorv Desk - Pendências recebíveis - ") + dates.month,
                               QStringLiteral("Quarrels"), in);
    case FinanceReport::Source: {
        if (in.filter.isEmpty())
            return std::nullopt;
        ReportPage page = financePage(financial);
        Sums sums;
        collect(page, sums, in.monthLines, false,
                [&](const LineFields &f) { return beginsWithFilter(f.source, in.filter); });
        strictTotals(page, sums, in.symbol);
        return page;
    }
    case FinanceReport::PaymentForm: {
        if (in.paymentForm.isEmpty())
            return std::nullopt;
        ReportPage page;
        page.title = QStringLiteral("Zorv Desk - Moeda - ") + dates.month;
        page.headingLine =
            QStringLiteral("Zorv Desk - Moeda: ") + in.paymentForm + QStringLiteral(" - ") + dates.month;
        page.tableOpening = kPaymentFormTableOpening;
        page.headerRow = kPaymentFormHeaderRow;
        page.totalFillerCells = 3;
        Sums sums;
        collect(page, sums, in.monthLines, true,
                [&](const LineFields &f) { return f.paymentForm == in.paymentForm; });
        page.totals = {{kTotalLabel, amountText(in.symbol, sums.all)}};
        return page;
    }
    case FinanceReport::Year: {
        ReportPage page = financePage(QStringLiteral("Report od Zorv Desk - Year - ") + dates.year);
        // Each month's entrances and exits under the table, on the totals' strict rule.
        Sums sums;
        MonthlyTotals months;
        collect(
            page, sums, in.yearLines, false, [](const LineFields &) { return true; },
            [&](const LineFields &f, Currency amount) { months.add(f.date, f.operation, amount); });
        strictTotals(page, sums, in.symbol);
        page.chart = yearChartSvg(months.months());
        return page;
    }
    case FinanceReport::Box: {
        ReportPage page = financePage(QStringLiteral("Zorv Desk - Fechamento de Caixa - ") + dates.day);
        const QString day = formatShortDate(in.entryDate);
        Sums sums;
        collect(page, sums, in.monthLines, false, [&](const LineFields &f) { return f.date == day; });
        strictTotals(page, sums, in.symbol);
        return page;
    }
    }
    return std::nullopt;
}

bool runFinanceReport(FinanceReport report, FinanceReportInputs inputs, const Paths &paths,
                      Services &services)
{
    if (report == FinanceReport::Year) {
        // The year of the entry date, read afresh; a year without a ledger has no lines.
        TextList year;
        const QString path = paths.resolve(yearLedgerName(yearKey(inputs.entryDate)));
        if (year.load(path) == TextList::LoadResult::Failed) {
            qCWarning(lcReports) << "year ledger not read, report not made:" << path
                                 << "(unreadable, not a regular file or too large)";
            return false;
        }
        inputs.yearLines = std::move(year.lines());
    }
    const std::optional<ReportPage> page = buildFinanceReport(report, inputs, services.clock.today());
    return page && publishReport(*page, paths, services.programs);
}

} // namespace zorv
