#include "backupschedule.h"

#include <QTimeZone>

#include <utility>

namespace zorv {

namespace {

// The moment the set hour falls on `day` in `zone`. On a day the clock jumps over that hour
// (spring forward), it is the first moment after the jump; a time that happens twice (fall
// back) gives one of its two moments, and the day's backup runs once all the same.
QDateTime setMomentOn(const QDate &day, const QTime &hour, const QTimeZone &zone)
{
    const QDateTime moment(day, hour, zone);
    if (moment.isValid() && moment.date() == day && moment.time() == hour)
        return moment;
    // In the gap: the transition that opened it is the first moment after the jump.
    QDateTime from(day.addDays(-1), QTime(12, 0), zone);
    for (int guard = 0; guard < 4 && from.isValid(); ++guard) {
        const QTimeZone::OffsetData jump = zone.nextTransition(from);
        if (!jump.atUtc.isValid())
            break;
        const QDateTime local = jump.atUtc.toTimeZone(zone);
        if (local.date() == day && local.time() >= hour)
            return local;
        if (local.date() > day)
            break;
        from = jump.atUtc;
    }
    return moment;
}

} // namespace

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
        const QDateTime setMoment = setMomentOn(now.date(), *hour, now.timeZone());
        due = previous < setMoment && setMoment <= now;
    }
    if (due) {
        m_doneDay = now.date();
        m_doneHour = *hour;
    }
    return due;
}

} // namespace zorv
