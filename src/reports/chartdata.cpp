#include "reports/chartdata.h"

#include "finance/ledger.h"

#include <algorithm>

namespace zorv {

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// "mm/yyyy" of a "dd/mm/yyyy" date with a month from 01 to 12; empty for anything else.
QStringView monthOf(QStringView date)
{
    if (date.size() != 10 || date[2] != u'/' || date[5] != u'/')
        return {};
    for (const qsizetype i : {0, 1, 3, 4, 6, 7, 8, 9})
        if (!isDigit(date[i]))
            return {};
    const int month = (date[3].unicode() - u'0') * 10 + (date[4].unicode() - u'0');
    if (month < 1 || month > 12)
        return {};
    return date.sliced(3);
}

// Calendar order of two "mm/yyyy" texts: the year first. The empty text comes last.
bool monthBefore(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return !a.isEmpty() && b.isEmpty();
    const QStringView ya = QStringView(a).sliced(3), yb = QStringView(b).sliced(3);
    if (ya != yb)
        return ya < yb;
    return QStringView(a).first(2) < QStringView(b).first(2);
}

} // namespace

void MonthlyTotals::add(QStringView date, QStringView operation, Currency amount)
{
    const bool entrance = operation == kOperationEntrance;
    const bool exit = operation == kOperationExit;
    const QStringView month = monthOf(date);
    // Most lines belong to the month of the line before them.
    if (m_last < 0 || month != m_months[m_last].month) {
        m_last = -1;
        for (qsizetype i = 0; i < m_months.size(); ++i) {
            if (m_months[i].month == month) {
                m_last = i;
                break;
            }
        }
        if (m_last < 0) {
            m_months.append(MonthBars{month.toString(), {}, {}});
            m_last = m_months.size() - 1;
        }
    }
    MonthBars &bars = m_months[m_last];
    if (entrance)
        bars.entrances += amount;
    else if (exit)
        bars.exits += amount;
}

QList<MonthBars> MonthlyTotals::months() const
{
    QList<MonthBars> sorted = m_months;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const MonthBars &a, const MonthBars &b) { return monthBefore(a.month, b.month); });
    return sorted;
}

void SourceTotals::add(QStringView source, Currency amount)
{
    const QString name = source.toString();
    auto it = m_index.constFind(name);
    if (it == m_index.cend()) {
        it = m_index.insert(name, m_sources.size());
        m_sources.append(SourceBar{name, {}, false});
    }
    m_sources[*it].amount += amount;
}

QList<SourceBar> SourceTotals::largest(qsizetype count) const
{
    QList<SourceBar> sorted = m_sources;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const SourceBar &a, const SourceBar &b) { return a.amount > b.amount; });
    if (sorted.size() <= count)
        return sorted;
    SourceBar others{QStringLiteral("Outros"), {}, true};
    for (qsizetype i = count; i < sorted.size(); ++i)
        others.amount += sorted[i].amount;
    sorted.resize(count);
    sorted.append(others);
    return sorted;
}

} // namespace zorv
