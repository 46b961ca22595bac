#include "finance/monthtotalspanel.h"

#include "controls/captions.h"
#include "finance/ledger.h"

#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>

namespace zorv {

namespace {

// Shown for the percentages while there are no entrances to compare the exits with.
const QString kNoComparison = QStringLiteral("\u2013");

QProgressBar *gauge(const char *name, const QColor &colour, QWidget *parent)
{
    auto *bar = new QProgressBar(parent);
    bar->setObjectName(QLatin1String(name));
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    bar->setStyleSheet(
        QStringLiteral("QProgressBar { border: 1px solid gray; background: white; height: 12px; }"
                       "QProgressBar::chunk { background: %1; }")
            .arg(colour.name()));
    return bar;
}

} // namespace

MonthTotalsPanel::MonthTotalsPanel(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("monthTotals"));
    auto *totals = new QGridLayout(this);
    totals->setContentsMargins(0, 0, 0, 0);
    // Sized as a layout nested in the page's would be.
    totals->setSizeConstraint(QLayout::SetMinAndMaxSize);
    le = namedLabel("le", QString(), this);
    ls = namedLabel("ls", QString(), this);
    SD = namedLabel("SD", QString(), this);
    for (QLabel *amount : {le, ls, SD}) {
        QFont bold = amount->font();
        bold.setBold(true);
        amount->setFont(bold);
    }
    psd = namedLabel("psd", QString(), this);
    tot = namedLabel("tot", QString(), this);
    sq1 = gauge("sq1", QColor(0, 128, 0), this);
    sq2 = gauge("sq2", QColor(128, 0, 0), this);
    sq1->setFixedWidth(220);
    sq2->setFixedWidth(220);
    totalsMonth = namedLabel("totalsMonth", QString(), this);
    totals->addWidget(totalsMonth, 0, 0, 1, 2);
    totals->addWidget(caption(QStringLiteral("Entrances of the month"), this), 1, 0);
    totals->addWidget(le, 1, 1);
    totals->addWidget(caption(QStringLiteral("It includes bills to receive."), this), 2, 0, 1, 2);
    totals->addWidget(caption(QStringLiteral("Exits of the month"), this), 3, 0);
    totals->addWidget(ls, 3, 1);
    totals->addWidget(caption(QStringLiteral("It includes bills to pay."), this), 4, 0, 1, 2);
    totals->addWidget(caption(QStringLiteral("Balance"), this), 5, 0);
    totals->addWidget(SD, 5, 1);
    totals->addWidget(caption(QStringLiteral("% of the exit x entrance."), this), 6, 0);
    totals->addWidget(psd, 6, 1);
    totals->addWidget(sq2, 7, 0, 1, 2);
    totals->addWidget(caption(QStringLiteral("% of the entrance x exit."), this), 8, 0);
    totals->addWidget(tot, 8, 1);
    totals->addWidget(sq1, 9, 0, 1, 2);
    totals->setRowStretch(10, 1);
}

void MonthTotalsPanel::reset(const QString &symbol)
{
    const QString zero = symbol + QLatin1Char(' ') + formatAmount(Currency());
    le->setText(zero);
    ls->setText(zero);
    SD->setText(zero);
    totalsMonth->setText(QStringLiteral("Mês: %1").arg(kNoComparison));
    showNoComparison();
}

void MonthTotalsPanel::showNoComparison()
{
    sq1->setValue(0);
    sq2->setValue(0);
    psd->setText(kNoComparison);
    tot->setText(kNoComparison);
}

void MonthTotalsPanel::showMonth(const QString &month)
{
    totalsMonth->setText(QStringLiteral("Mês: %1").arg(month));
}

void MonthTotalsPanel::showSums(const QString &symbol, const MonthSums &sums)
{
    le->setText(symbol + QLatin1Char(' ') + formatAmount(sums.entrances));
    ls->setText(symbol + QLatin1Char(' ') + formatAmount(sums.exits));
}

void MonthTotalsPanel::showBalance(const QString &symbol, const MonthSums &sums)
{
    const AmountSum entrances = sums.entrances.roundedToCents();
    const AmountSum exits = sums.exits.roundedToCents();
    SD->setText(symbol + QLatin1Char(' ') + formatAmount(entrances - exits));
    const auto percent = exitPercentage(entrances, exits);
    if (!percent) {
        // Without entrances there is nothing to compare the exits with: the percentages
        // say so rather than keep what another month showed.
        showNoComparison();
        return;
    }
    psd->setText(wideIntText(*percent) + QLatin1Char('%'));
    sq2->setValue(clampGauge(*percent));
    sq1->setValue(clampGauge(100 - *percent));
    tot->setText(QString::number(sq1->value()) + QLatin1Char('%'));
}

} // namespace zorv
