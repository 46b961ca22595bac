#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <optional>

namespace zorv {

// Decides, tick by tick of the one-second timer, when the daily backup is due.
//
// The hour is the hour field's text. It is due at the tick whose clock reads exactly that
// text ("07:30:00"), and also at the first tick after the clock has passed the set time
// since the previous tick of the same run, so a tick delayed past the set second (a busy
// window, a suspended machine) does not lose the day's backup. It runs at most once per
// day for a given hour. On a day the clock springs forward over the set time, the backup
// runs at the first moment after the jump; a set time the clock passes twice runs once. A text that is not a
// complete time of day (a blank place such as " 7:30:00", the empty field "  :  :  ", "25:00:00") is never
// due.
class BackupSchedule
{
public:
    // The time of day of a complete "hh:mm:ss" text: two digits in every place.
    static std::optional<QTime> parseHour(const QString &text);

    // One tick at `now` with the hour field's current text. True when the backup is due.
    bool tick(const QString &hourText, const QDateTime &now);

private:
    QDateTime m_previousTick;
    QDate m_doneDay;
    QTime m_doneHour;
};

} // namespace zorv
