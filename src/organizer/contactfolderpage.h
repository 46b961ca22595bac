#pragma once

#include "organizer/contactfolder.h"
#include "reports/reportwriter.h"

#include <QStringList>
#include <QWidget>

#include <functional>

class QGridLayout;
class QHBoxLayout;
class QVBoxLayout;

namespace zorv {

class ContactNameBox;
class LinkLabel;
class Paths;
struct Services;

// What the phone book and the activity map share: a page over the contact files of one
// extension in "dados\Notas", whose name boxes offer the contacts on disk, whose entry
// fields form an Enter chain, and whose report row reads one contact's file. Each page
// keeps its own fields, names and what Enter does in each of them.
class ContactFolderPage : public QWidget
{
    Q_OBJECT

public:
    const ContactFolder &folder() const { return m_folder; }

protected:
    ContactFolderPage(const Paths &paths, Services &services, const QString &extension, QWidget *parent);

    // The page's layout, its heading lines first; captions light on the window's colour.
    QVBoxLayout *startPage(const QStringList &headingLines);
    // A name box over this page's contacts, its letters kept upper case.
    ContactNameBox *contactNameBox(const char *name);
    // The entry row: each field under its caption, the save link after the last; the first
    // caption's mnemonic moves the focus to the first field.
    QGridLayout *entryGrid(const QStringList &captions, const QList<QWidget *> &fields, LinkLabel *save);
    // The report row: the name box, the "Gerar" and "Excluir contato" links apart by "|".
    QHBoxLayout *reportRow(ContactNameBox *box, LinkLabel *generate, LinkLabel *remove);

    // Keys of the Enter chain are seen in these fields before their own handling.
    void watchEnter(const QList<QWidget *> &fields);
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Enter in one of the watched fields; true when it is the page's to handle.
    virtual bool enterPressed(QObject *watched) = 0;

    // The report of the contact `name`: a name without a file gives an empty table; a
    // refused or unreadable one, no report.
    void publishContactReport(const QString &name,
                              const std::function<ReportPage(const QStringList &)> &build);
    // Deletes the file of the contact named in `box` and empties the box's text.
    void removeContact(ContactNameBox *box);

    const Paths &m_paths;
    Services &m_services;
    ContactFolder m_folder;
};

} // namespace zorv
