#pragma once

#include "controls/money.h"
#include "finance/amountsum.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

namespace zorv {

// One month of the yearly chart: what its lines brought in and took out.
struct MonthBars
{
    QString month;       // "03/2013"; empty for lines whose date is not a day of a month
    AmountSum entrances; // lines whose operation is exactly "Entrance"
    AmountSum exits;     // lines whose operation is exactly "Exit"
    AmountSum balance() const { return entrances - exits; }
};

// Adds up a year's lines month by month, with the same strict rule as the report's
// "Entrance:" and "Exit:" totals, so the months always add up to those totals. Every month
// that has a line gets its pair, even when no line of it is an entrance or an exit.
class MonthlyTotals
{
public:
    // `date` is the line's date field ("15/03/2013"); the amount counts only for the
    // operations "Entrance" and "Exit".
    void add(QStringView date, QStringView operation, Currency amount);

    bool isEmpty() const { return m_months.isEmpty(); }
    // The months in calendar order; lines without a readable date last.
    QList<MonthBars> months() const;

private:
    QList<MonthBars> m_months;
    qsizetype m_last = -1; // ledgers run in date order: the month added to last comes first
};

// One bar of the exits chart.
struct SourceBar
{
    QString name; // the source as the table shows it; "Outros" for the rest
    AmountSum amount;
    bool others = false; // the bar that stands for every source after the largest
};

// Adds up a month's exits by source (the source text exactly as the table shows it).
class SourceTotals
{
public:
    void add(QStringView source, Currency amount);

    bool isEmpty() const { return m_sources.isEmpty(); }
    // The `count` largest sources, largest first (equal amounts in the order the sources
    // first appear), then one bar "Outros" holding the sum of all the others when there are
    // more. The bars add up to the sum of everything added.
    QList<SourceBar> largest(qsizetype count = 10) const;

private:
    QList<SourceBar> m_sources;
    QHash<QString, qsizetype> m_index;
};

} // namespace zorv
