#pragma once

#include "organizer/contactfolderpage.h"
#include "store/textlist.h"

#include <QLineEdit>

class QComboBox;
class QLabel;

namespace zorv {

class ContactNameBox;
class LinkLabel;

// The phone field: a land line "(11) 5555-1234" and a mobile "(11) 98765-4321" under one
// input mask each. A digit typed into a full land line (or a paste that makes eleven digits)
// moves the number to the mobile form; removing a digit from a mobile moves it back, the
// digits closed up. Untouched it reads "(  )     -    ", as before mobiles were accepted.
class PhoneField : public QLineEdit
{
    Q_OBJECT

public:
    explicit PhoneField(QWidget *parent = nullptr);

    bool isMobile() const;
    // The field in the form of `digits` (see phoneText), the caret after `caretDigits` of them.
    void setDigits(const QString &digits, qsizetype caretDigits);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void closeUpMobile();
    qsizetype digitsBefore(int position) const;
};

// The phone book: one file per contact in "dados\Notas" (".tel"), each save adding one line
// to the contact's history, and a report of a contact's lines. There is no list of
// contacts: the names are offered in the two name boxes, the data seen only in the report.
// Widgets carry their component names as objectName and member name.
class PhoneBookPage : public ContactFolderPage
{
    Q_OBJECT

public:
    // The page's place among the suite window's pages.
    static constexpr int pageIndex = 8;

    PhoneBookPage(const Paths &paths, Services &services, QWidget *parent = nullptr);

    // Entry fields, in focus order, and the save link.
    ContactNameBox *e1 = nullptr; // contact name, upper case
    PhoneField *e2 = nullptr;     // phone, "(99) 9999-9999" or "(99) 99999-9999"
    QComboBox *e3 = nullptr;      // category
    QLineEdit *e4 = nullptr;      // e-mail, lower case
    QLineEdit *OBS = nullptr;     // note
    LinkLabel *zq1 = nullptr;     // "Salvar"

    // Report and deletion row.
    ContactNameBox *rel2 = nullptr;
    LinkLabel *zq2 = nullptr; // "Gerar"
    LinkLabel *zq3 = nullptr; // "Excluir contato"
    // What the last "Salvar" did: the contact saved, or why it was not.
    QLabel *stTel = nullptr;

    // The lines of the contact file being saved.
    TextList LTEL{TextList::SavePolicy::Utf8WhenNeeded};

public slots:
    // Saves the entry row as one more line of the contact's file, then empties the row.
    void zq1Click();
    // The report of the contact named in rel2.
    void zq2Click();
    // Deletes the file of the contact named in rel2, without asking.
    void zq3Click();

protected:
    bool enterPressed(QObject *watched) override;

private:
    void buildUi();
};

} // namespace zorv
