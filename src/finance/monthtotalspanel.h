#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

namespace zorv {

struct MonthSums;

// The month totals' widgets under their component names.
struct MonthTotalsWidgets
{
    QLabel *le = nullptr;
    QLabel *ls = nullptr;
    QLabel *SD = nullptr;
    QLabel *psd = nullptr;
    QLabel *tot = nullptr;
    QProgressBar *sq1 = nullptr;
    QProgressBar *sq2 = nullptr;
    // The month whose figures the totals show.
    QLabel *totalsMonth = nullptr;
};

// The totals of the month shown: entrances, exits and balance in the page's currency
// symbol, the two percentages with their gauges, and which month they are of.
class MonthTotalsPanel : public QWidget, public MonthTotalsWidgets
{
    Q_OBJECT

public:
    explicit MonthTotalsPanel(QWidget *parent);

    // Zero amounts, no month, no comparison.
    void reset(const QString &symbol);
    // The percentages say there is nothing to compare the exits with.
    void showNoComparison();
    void showMonth(const QString &month);
    // Entrances and exits.
    void showSums(const QString &symbol, const MonthSums &sums);
    // The balance and the percentages, from the sums rounded to cents.
    void showBalance(const QString &symbol, const MonthSums &sums);
};

} // namespace zorv
