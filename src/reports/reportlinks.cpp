#include "reports/reportlinks.h"

#include "controls/linklabel.h"
#include "finance/financepage.h"
#include "platform/services.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace zorv {

ReportLinks::ReportLinks(InputsProvider inputs, const Paths &paths, Services &services, QWidget *parent)
    : QWidget(parent)
    , m_inputs(std::move(inputs))
    , m_paths(paths)
    , m_services(services)
{
    setObjectName(QStringLiteral("ReportLinks"));
    caption = new QLabel(QStringLiteral("Reports:"), this);
    caption->setObjectName(QStringLiteral("ReportsCaption"));

    LinkLabel **members[] = {&pg2, &pg3, &pg4, &pg42, &pg43, &PPO, &rpo, &RPM, &epo, &rpo2};
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(caption, 0, 0);
    // Two rows of five links beside the caption.
    int index = 0;
    for (const FinanceReport report : kFinanceReports) {
        auto *label = new LinkLabel(financeReportCaption(report), this);
        label->setObjectName(financeReportName(report));
        label->setCursor(Qt::PointingHandCursor);
        *members[index] = label;
        grid->addWidget(label, index / 5, 1 + index % 5);
        connect(label, &LinkLabel::clicked, this, [this, report] { run(report); });
        ++index;
    }
    grid->setColumnStretch(6, 1);
}

LinkLabel *ReportLinks::link(FinanceReport report) const
{
    return findChild<LinkLabel *>(financeReportName(report), Qt::FindDirectChildrenOnly);
}

bool ReportLinks::run(FinanceReport report)
{
    if (!m_inputs)
        return false;
    return runFinanceReport(report, m_inputs(), m_paths, m_services);
}

FinanceReportInputs pageReportInputs(const FinancePage &page)
{
    FinanceReportInputs in;
    in.monthLines = page.heldLines();
    in.filter = page.corrections->PO->text();
    in.symbol = page.SBM->text();
    if (page.FN5->currentIndex() >= 0)
        in.paymentForm = page.FN5->currentText();
    in.entryDate = page.fn2->date();
    in.entrancesText = page.le->text();
    in.exitsText = page.ls->text();
    in.balanceText = page.SD->text();
    return in;
}

} // namespace zorv
