#include "organizer/appointments.h"

#include "store/records.h"

namespace zorv {

namespace {

const QString kDateSeparator = QStringLiteral("<>");
const QString kTimeSeparator = QStringLiteral("|");
const QString kDateFormat = QStringLiteral("dd/MM/yyyy");

} // namespace

QString appointmentDateText(const QDate &date)
{
    return date.toString(kDateFormat);
}

QDate appointmentDate(const QString &text)
{
    return QDate::fromString(text.trimmed(), kDateFormat);
}

QString appointmentLine(const QDate &date, const QString &time, const QString &text)
{
    // The text is the whole rest of the line after the first "|": it keeps any "|" or "<>"
    // typed into it. The time before it may hold neither.
    return appointmentDateText(date) + kDateSeparator +
           withoutMarkers(oneLineText(time), {kDateSeparator, kTimeSeparator}) + kTimeSeparator +
           oneLineText(text);
}

AppointmentRow readAppointment(const QString &line)
{
    const QString rest = FieldAfter(line, kDateSeparator);
    return {FieldBefore(line, kDateSeparator), FieldBefore(rest, kTimeSeparator),
            FieldAfter(rest, kTimeSeparator)};
}

QString appointmentLineDate(const QString &line)
{
    return FieldBefore(line, kDateSeparator);
}

QString appointmentReportText(const QString &line)
{
    return FieldAfter(line, kTimeSeparator);
}

QString appointmentDetails(const AppointmentRow &row)
{
    const QString rule(82, QLatin1Char('-'));
    return QStringList{QStringLiteral("Data: ") + row.date + QStringLiteral(" Hora: ") + row.time,
                       rule,
                       QStringLiteral("Compromisso:"),
                       rule,
                       QString(),
                       row.text}
        .join(QLatin1Char('\n'));
}

ReportPage appointmentsReport(const QStringList &lines, const QDate &today)
{
    ReportPage page;
    page.title = QStringLiteral("Zorv Desk - Todos os compromissos - ") + appointmentDateText(today);
    page.tableOpening = QStringLiteral(
        "<table width=\"100%\" border =0 cellpadding=\"0\" cellspacing=\"0\" bordercolor=\"#CCCCCC\" <tr> "
        "<td width=\"100\">&nbsp;</td> <td width=\"100\">&nbsp;</td> </td>");
    page.headerRow = QStringLiteral("<td></strong><strong>Data</strong><td></strong><strong>Hora</strong>"
                                    "<td></strong><strong>Compromisso</strong></td>");
    for (const QString &line : lines) {
        const AppointmentRow row = readAppointment(line);
        page.rows.add({row.date, row.time, appointmentReportText(line)});
    }
    return page;
}

} // namespace zorv
