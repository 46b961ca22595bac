#include "reports/financereports.h"

#include "controls/money.h"
#include "controls/numberformat.h"
#include "finance/corrections.h"
#include "finance/ledger.h"
#include "platform/services.h"
#include "store/paths.h"
#include "store/textlist.h"

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

struct Sums
{
    Currency all;
    Currency entrances; // operation exactly "Entrance"
    Currency exits;     // operation exactly "Exit"
};

void addTo(Currency &sum, Currency amount)
{
    if (const auto added = checkedAdd(sum, amount))
        sum = *added;
}

QString amountText(const QString &symbol, Currency amount)
{
    return symbol + QLatin1Char(' ') + formatAmount(amount);
}

// The standard reading of a ledger line (the cuts of extractFields: at most 255 characters
// after a marker), as views into the line so a long ledger is read without copies.
struct LineFields
{
    QStringView value, date, operation, source, paymentForm;
};

// Position of the first marker "<digit>" in the text, -1 when none.
qsizetype findMarker(QStringView text, char16_t digit)
{
    for (qsizetype i = text.indexOf(u'<'); i >= 0 && i + 2 < text.size(); i = text.indexOf(u'<', i + 1)) {
        if (text[i + 1].unicode() == digit && text[i + 2].unicode() == u'>')
            return i;
    }
    return -1;
}

QStringView viewAfter(QStringView text, char16_t marker)
{
    const qsizetype pos = findMarker(text, marker);
    return pos < 0 ? QStringView() : text.sliced(pos + 3).left(255);
}

QStringView viewBefore(QStringView text, char16_t marker)
{
    const qsizetype pos = findMarker(text, marker);
    return pos < 0 ? text : text.first(pos);
}

// Any line, marker by marker.
LineFields readLineInFull(QStringView line)
{
    LineFields f;
    f.value = viewBefore(line, u'1');
    f.date = viewBefore(viewAfter(line, u'1'), u'2');
    f.operation = viewBefore(viewAfter(line, u'2'), u'3');
    const QStringView rest = viewAfter(line, u'3');
    const QStringView form = viewAfter(rest, u'4');
    if (form.isEmpty()) {
        f.source = rest;
    } else {
        f.source = viewBefore(rest, u'4');
        f.paymentForm = form;
    }
    return f;
}

LineFields readLine(QStringView line)
{
    // A line of the usual shape, in one pass: short enough that no field is cut, each
    // marker's first occurrence after the one before it (or missing), so every field lies
    // between two first occurrences. Anything else is read marker by marker.
    if (line.size() > 255 + 3)
        return readLineInFull(line);
    qsizetype at[5] = {-1, -1, -1, -1, -1};
    const char16_t *units = reinterpret_cast<const char16_t *>(line.utf16());
    const qsizetype n = line.size();
    auto markerAt = [&](qsizetype i) {
        if (i + 2 >= n || units[i + 2] != u'>')
            return;
        const char16_t d = units[i + 1];
        if (d >= u'1' && d <= u'4' && at[d - u'0'] < 0)
            at[d - u'0'] = i;
    };
    qsizetype i = 0;
#if defined(__SSE2__)
    // Eight units at a time: only the positions holding '<' are looked at.
    const __m128i open = _mm_set1_epi16('<');
    for (; i + 8 <= n; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(units + i));
        unsigned mask = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(v, open)));
        while (mask != 0) {
            markerAt(i + std::countr_zero(mask) / 2);
            mask &= mask - 1; // the two bits of one unit
            mask &= mask - 1;
        }
    }
#endif
    for (; i < n; ++i) {
        if (units[i] == u'<')
            markerAt(i);
    }
    for (int k = 2; k <= 4; ++k) {
        if (at[k] >= 0 && at[k - 1] >= 0 && at[k] < at[k - 1])
            return readLineInFull(line);
    }
    // The text from the end of marker k to marker `next` (or to the end of the line).
    auto between = [&](int k, qsizetype next) {
        if (at[k] < 0)
            return QStringView();
        const qsizetype from = at[k] + 3;
        return next >= 0 ? line.sliced(from, next - from) : line.sliced(from);
    };
    LineFields f;
    f.value = at[1] < 0 ? line : line.first(at[1]);
    f.date = between(1, at[2]);
    f.operation = between(2, at[3]);
    const QStringView form = at[3] >= 0 ? between(4, -1) : QStringView();
    if (form.isEmpty()) {
        f.source = between(3, -1);
    } else {
        f.source = between(3, at[4]);
        f.paymentForm = form;
    }
    return f;
}

// The rows of the lines `include` accepts, in the order read, and their sums. A line
// whose amount does not parse is left out of both.
template<typename Include>
void collect(ReportPage &page, Sums &sums, const QStringList &lines, bool withPaymentForm, Include include)
{
    page.rows.reserve(lines.size() * 96);
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
        addTo(sums.all, *amount);
        if (fields.operation == kOperationEntrance)
            addTo(sums.entrances, *amount);
        else if (fields.operation == kOperationExit)
            addTo(sums.exits, *amount);
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
    const Currency balance = checkedSub(sums.entrances, sums.exits).value_or(Currency());
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
    case FinanceReport::OnlyExit:
        return operationReport(financial, kOperationExit, in);
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
        Sums sums;
        collect(page, sums, in.yearLines, false, [](const LineFields &) { return true; });
        strictTotals(page, sums, in.symbol);
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
        if (year.load(path) == TextList::LoadResult::Failed)
            return false;
        inputs.yearLines = std::move(year.lines());
    }
    const std::optional<ReportPage> page = buildFinanceReport(report, inputs, services.clock.today());
    return page && publishReport(*page, paths, services.programs);
}

} // namespace zorv
