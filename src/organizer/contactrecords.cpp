#include "organizer/contactrecords.h"

#include "controls/numberformat.h"
#include "store/records.h"

namespace zorv {

namespace {

const QString kPhoneBookTitle = QStringLiteral("Zorv Desk - Dados de: ");
const QString kPhoneBookTableOpening = QStringLiteral(
    "<table width=\"100%\" border =0 cellpadding=\"0\" cellspacing=\"0\" bordercolor=\"#CCCCCC\" <tr> "
    "<td width=\"250\">&nbsp;</td> <td width=\"130\">&nbsp;</td> <td width=\"150\">&nbsp;</td>");
const QString kPhoneBookHeaderRow =
    QStringLiteral("<td></strong><strong>Contato</strong><td></strong><strong>Telefone</strong>"
                   "<td></strong><strong>Categoria</strong><td></strong><strong>E-mail</strong>"
                   "<td></strong><strong>Observação</strong></td>");

const QString kActivityMapTitle = QStringLiteral("Zorv Desk - Mapa de atividades e negócios - ");
const QString kActivityMapTableOpening = QStringLiteral(
    "<table width=\"100%\" border =0 cellpadding=\"0\" cellspacing=\"0\" bordercolor=\"#CCCCCC\" <tr> "
    "<td width=\"250\">&nbsp;</td> <td width=\"100\">&nbsp;</td> <td width=\"150\">&nbsp;</td>");
const QString kActivityMapHeaderRow =
    QStringLiteral("<td></strong><strong>Contato</strong><td></strong><strong>Data</strong>"
                   "<td></strong><strong>Categoria</strong><td></strong><strong>Tema abordado</strong></td>");

// The text between two markers: after `from` (cut as FieldAfter cuts), before `to`.
QString between(const QString &line, const QString &from, const QString &to)
{
    return FieldBefore(FieldAfter(line, from), to);
}

// A typed field as the record stores it: one line, and no marker text left in it that would
// split the record when it is read.
QString fieldText(const QString &text)
{
    return withoutMarkers(oneLineText(text));
}

} // namespace

QString phoneText(QStringView digits)
{
    static constexpr int kMobileDigits = 11;
    const bool mobile = digits.size() >= kMobileDigits;
    QString text = mobile ? QStringLiteral("(##) #####-####") : QStringLiteral("(##) ####-####");
    qsizetype next = 0;
    for (QChar &place : text) {
        if (place == u'#')
            place = next < digits.size() ? digits.at(next++) : QChar(u' ');
    }
    return text;
}

QString phoneDigits(QStringView text)
{
    QString digits;
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9')
            digits.append(c);
    }
    return digits;
}

QString contactLine(const ContactEntry &entry)
{
    return fieldText(entry.name) + kMarker1 + fieldText(entry.phone) + kMarker2 + fieldText(entry.category) +
           kMarker3 + fieldText(entry.email) + kMarker4 + fieldText(entry.note);
}

ContactEntry readContactLine(const QString &line)
{
    return {FieldBefore(line, kMarker1), between(line, kMarker1, kMarker2), between(line, kMarker2, kMarker3),
            between(line, kMarker3, kMarker4), FieldAfter(line, kMarker4)};
}

ReportPage phoneBookReport(const QString &contact, const QDate &today, const QStringList &lines)
{
    ReportPage page;
    page.title = kPhoneBookTitle + contact + QStringLiteral(" - ") + formatShortDate(today);
    page.tableOpening = kPhoneBookTableOpening;
    page.headerRow = kPhoneBookHeaderRow;
    for (const QString &line : lines) {
        const ContactEntry e = readContactLine(line);
        page.rows.add({e.name, e.phone, e.category, e.email, e.note});
    }
    return page;
}

QString activityLine(const ActivityEntry &entry)
{
    return fieldText(entry.name) + kMarker1 + formatShortDate(entry.date) + kMarker2 +
           fieldText(entry.category) + kMarker3 + fieldText(entry.topic);
}

QStringList readActivityLine(const QString &line)
{
    return {FieldBefore(line, kMarker1), between(line, kMarker1, kMarker2), between(line, kMarker2, kMarker3),
            FieldAfter(line, kMarker3)};
}

ReportPage activityMapReport(const QDate &today, const QStringList &lines)
{
    ReportPage page;
    page.title = kActivityMapTitle + formatShortDate(today);
    page.tableOpening = kActivityMapTableOpening;
    page.headerRow = kActivityMapHeaderRow;
    for (const QString &line : lines)
        page.rows.add(readActivityLine(line));
    return page;
}

} // namespace zorv
