#pragma once

#include "reports/reportwriter.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

namespace zorv {

class Paths;
struct Services;

// The ten reports of the finance page, in the order their links stand.
enum class FinanceReport {
    EntranceAndExit, // pg2: every line of the month, with the screen's totals
    OnlyEntrance,    // pg3
    OnlyExit,        // pg4
    BillsToPay,      // pg42
    BillsToReceive,  // pg43
    Quarrels,        // PPO
    Source,          // rpo: sources beginning with the filter
    PaymentForm,     // RPM: one payment form, five columns
    Year,            // epo: the year ledger of the entry date's year
    Box,             // rpo2: the entries of the entry date's day
};

inline constexpr FinanceReport kFinanceReports[] = {
    FinanceReport::EntranceAndExit,
    FinanceReport::OnlyEntrance,
    FinanceReport::OnlyExit,
    FinanceReport::BillsToPay,
    FinanceReport::BillsToReceive,
    FinanceReport::Quarrels,
    FinanceReport::Source,
    FinanceReport::PaymentForm,
    FinanceReport::Year,
    FinanceReport::Box,
};

// The link's component name ("pg2") and caption ("Entrance and exit").
QString financeReportName(FinanceReport report);
QString financeReportCaption(FinanceReport report);

// What the finance page shows when a report link is clicked.
struct FinanceReportInputs
{
    QStringList monthLines; // the ledger lines held for the month whose totals are shown
    QStringList yearLines;  // the year report's lines (runFinanceReport reads them itself)
    QString filter;         // the reports' source field, upper case; empty: no source report
    QString paymentForm;    // the chosen payment form; empty when none is chosen
    QDate entryDate;        // the entry row's date
    QString symbol;         // the currency symbol
    // The month totals exactly as their labels show them, symbol included.
    QString entrancesText;
    QString exitsText;
    QString balanceText;
};

// The date texts of the headings, from the current date: "15/03/2013", "03/2013", "2013".
struct ReportDates
{
    QString day;
    QString month;
    QString year;
};
ReportDates reportDates(const QDate &today);

// The report's page, or nothing when its condition does not hold (the source report with
// an empty filter, the payment-form report without a payment form). Lines whose amount
// does not parse are left out of the rows and the sums.
std::optional<ReportPage> buildFinanceReport(FinanceReport report, const FinanceReportInputs &inputs,
                                             const QDate &today);

// Builds the report with the clock's date and publishes it. The year report first reads
// the year ledger of the entry date's year; a year without a ledger reports no lines.
// False when nothing was written.
bool runFinanceReport(FinanceReport report, FinanceReportInputs inputs, const Paths &paths,
                      Services &services);

} // namespace zorv
