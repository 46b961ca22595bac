#pragma once

#include "reports/financereports.h"

#include <QWidget>

#include <functional>

class QLabel;

namespace zorv {

class FinancePage;
class LinkLabel;
class Paths;
struct Services;

// The finance page's report links under "Reports:". Each link writes its report and opens it
// through the companion launcher; a report whose condition does not hold does nothing.
// What the page shows at the moment of the click comes from `inputs`, asked once per click.
class ReportLinks : public QWidget
{
    Q_OBJECT

public:
    using InputsProvider = std::function<FinanceReportInputs()>;

    ReportLinks(InputsProvider inputs, const Paths &paths, Services &services, QWidget *parent = nullptr);

    // The link of a report (pg2 ... rpo2).
    LinkLabel *link(FinanceReport report) const;

    QLabel *caption = nullptr; // "Reports:"
    LinkLabel *pg2 = nullptr;
    LinkLabel *pg3 = nullptr;
    LinkLabel *pg4 = nullptr;
    LinkLabel *pg42 = nullptr;
    LinkLabel *pg43 = nullptr;
    LinkLabel *PPO = nullptr;
    LinkLabel *rpo = nullptr;
    LinkLabel *RPM = nullptr;
    LinkLabel *epo = nullptr;
    LinkLabel *rpo2 = nullptr;

public slots:
    // Writes and opens one report; false when nothing was written.
    bool run(FinanceReport report);

    void pg2Click() { run(FinanceReport::EntranceAndExit); }
    void pg3Click() { run(FinanceReport::OnlyEntrance); }
    void pg4Click() { run(FinanceReport::OnlyExit); }
    void pg42Click() { run(FinanceReport::BillsToPay); }
    void pg43Click() { run(FinanceReport::BillsToReceive); }
    void PPOClick() { run(FinanceReport::Quarrels); }
    // Also what Enter in the reports' source field does.
    void rpoClick() { run(FinanceReport::Source); }
    void RPMClick() { run(FinanceReport::PaymentForm); }
    void epoClick() { run(FinanceReport::Year); }
    void rpo2Click() { run(FinanceReport::Box); }

private:
    InputsProvider m_inputs;
    const Paths &m_paths;
    Services &m_services;
};

// What the finance page shows now: the lines held for the month shown, the source filter,
// the symbol, the payment form (when one is chosen), the entry date and the three totals.
// The page's links are then ReportLinks([page] { return pageReportInputs(*page); }, ...).
FinanceReportInputs pageReportInputs(const FinancePage &page);

} // namespace zorv
