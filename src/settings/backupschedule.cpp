#include "backupschedule.h"

#include <utility>

namespace zorv {

std::optional<QTime> BackupSchedule::parseHour(const QString &text)
{
    if (text.size() != 8 || text.at(2) != QLatin1Char(':') || text.at(5) != QLatin1Char(':'))
        return std::nullopt;
    for (int i : {0, 1, 3, 4, 6, 7}) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    const QTime time(text.left(2).toInt(), text.mid(3, 2).toInt(), text.mid(6, 2).toInt());
    if (!time.isValid())
        return std::nullopt;
    return time;
}

bool BackupSchedule::tick(const QString &hourText, const QDateTime &now)
{
    const QDateTime previous = std::exchange(m_previousTick, now);
    const std::optional<QTime> hour = parseHour(hourText);
    if (!hour || !now.isValid())
        return false;
    if (m_doneDay == now.date() && m_doneHour == *hour)
        return false;

    bool due = now.time().toString(QStringLiteral("HH:mm:ss")) == hourText;
    if (!due && previous.isValid()) {
        const QDateTime setMoment(now.date(), *hour);
        due = previous < setMoment && setMoment <= now;
    }
    if (due) {
        m_doneDay = now.date();
        m_doneHour = *hour;
    }
    return due;
}

} // namespace zorv
