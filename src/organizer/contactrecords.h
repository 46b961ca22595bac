#pragma once

#include "reports/reportwriter.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace zorv {

// ---- Phone book -------------------------------------------------------------------------

inline const QString kPhoneBookExtension = QStringLiteral(".tel");
inline const QStringList kPhoneCategories = {QStringLiteral("Pessoal"), QStringLiteral("Trabalho"),
                                             QStringLiteral("Negócios"), QStringLiteral("Religião"),
                                             QStringLiteral("Lazer")};
inline const QString kNoEmail = QStringLiteral("Não informado");
inline const QString kNoNote = QStringLiteral("Sem observação");
// The phone field's text before anything is typed into it.
inline const QString kUntouchedPhone = QStringLiteral("(  )     -    ");

// The phone as a record holds it, from the digits typed: eleven digits in the mobile form
// "(11) 98765-4321", up to ten in the land-line form "(11) 5555-1234" with the places not yet
// typed as spaces; digits beyond eleven are dropped.
QString phoneText(QStringView digits);
// The digits of a phone text, in order; everything else is left out.
QString phoneDigits(QStringView text);

// One save of a contact.
struct ContactEntry
{
    QString name;
    QString phone;
    QString category;
    QString email;
    QString note;
};

// name<1>phone<2>category<3>e-mail<4>note; line breaks and NUL typed or pasted into a field
// become spaces, so the entry stays one line, and marker texts ("<1>" .. "<4>") typed into a
// field are removed, so it stays five fields.
QString contactLine(const ContactEntry &entry);

// The fields of a contact line: contact before "<1>", phone up to "<2>", category up to
// "<3>", e-mail up to "<4>", the note after it (each cut 255 characters after its marker).
ContactEntry readContactLine(const QString &line);

// The report of one contact: one row per line, in order, under a title naming the contact
// and today's date.
ReportPage phoneBookReport(const QString &contact, const QDate &today, const QStringList &lines);

// ---- Activity map -----------------------------------------------------------------------

inline const QString kActivityMapExtension = QStringLiteral(".map");
inline const QStringList kActivityCategories = {QStringLiteral("Vendas"), QStringLiteral("Negócios"),
                                                QStringLiteral("Trabalho"), QStringLiteral("Pessoal")};
// The memo of notes about the contacts.
inline const QString kActivityNotesFile = QStringLiteral("dados\\Notas\\Map.next");

// One activity of a contact.
struct ActivityEntry
{
    QString name;
    QDate date;
    QString category;
    QString topic;
};

// name<1>dd/mm/yyyy<2>category<3>topic, line breaks and NUL turned to spaces and marker
// texts removed from the fields.
QString activityLine(const ActivityEntry &entry);

// The cells of an activity line: contact, date, category, topic (everything after "<3>",
// cut 255 characters after it).
QStringList readActivityLine(const QString &line);

// The report of one contact's activities; the title names the date only.
ReportPage activityMapReport(const QDate &today, const QStringList &lines);

} // namespace zorv
