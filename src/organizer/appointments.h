#pragma once

#include "reports/reportwriter.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace zorv {

// The appointments: one record per line, "dd/mm/yyyy<>hh:mm:ss|text", in the order they
// were added; nothing sorts them.
inline const QString kAppointmentsFile = QStringLiteral("dados\\Notas\\Tasks.go");
// The chosen notification music: one line, the full path of an audio file.
inline const QString kNotificationMusicFile = QStringLiteral("dados\\notas\\Music.comp");

// The time field's text when the user typed nothing into it.
inline const QString kUntouchedTime = QStringLiteral("  :  :  ");

// A record as the list shows it. The fields are read with the tagged-record rule: the rest
// after "<>" is cut to 255 characters first, so a text shows at most 246 characters after
// an eight-character time.
struct AppointmentRow
{
    QString date;
    QString time;
    QString text;
};

// The date as every record stores it.
QString appointmentDateText(const QDate &date);
// The date a stored date text names; invalid when it names none.
QDate appointmentDate(const QString &text);

// The record line for a date, the time field's text and the typed text (line breaks and
// NUL in the text become spaces, so the record stays one line).
QString appointmentLine(const QDate &date, const QString &time, const QString &text);

// The list's reading of a record line.
AppointmentRow readAppointment(const QString &line);
// The date of a record line: the text before its first "<>".
QString appointmentLineDate(const QString &line);
// The report's text of a record line: at most 255 characters after its first "|".
QString appointmentReportText(const QString &line);

// The six lines of the details panel for one row.
QString appointmentDetails(const AppointmentRow &row);

// The report of every record in file order, titled with today's date.
ReportPage appointmentsReport(const QStringList &lines, const QDate &today);

} // namespace zorv
