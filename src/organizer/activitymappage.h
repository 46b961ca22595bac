#pragma once

#include "organizer/contactfolderpage.h"
#include "store/textlist.h"

#include <functional>

class QComboBox;
class QDateEdit;
class QLineEdit;
class QPlainTextEdit;

namespace zorv {

class ContactNameBox;
class LinkLabel;
class QuietSaveTimer;

// The activity map: dated activities per contact, one file per contact in "dados\Notas"
// (".map"), each save adding one line, a report of a contact's activities, and a memo of
// notes about the contacts kept in "dados\Notas\Map.next" across shows of the window.
// Widgets carry their component names as objectName and member name.
class ActivityMapPage : public ContactFolderPage
{
    Q_OBJECT

public:
    // The page's place among the suite window's pages.
    static constexpr int pageIndex = 7;

    ActivityMapPage(const Paths &paths, Services &services, QWidget *parent = nullptr);

    // Whether the last write of the memo failed; its text is still in MLPC.
    bool lastSaveFailed() const { return m_saveFailed; }
    // Asked before every write of the memo: false while the data folder is being replaced.
    void setWriteGate(std::function<bool()> gate) { m_writeGate = std::move(gate); }

    // Entry fields, in focus order, and the save link.
    ContactNameBox *z1 = nullptr; // contact name, upper case
    QDateEdit *z2 = nullptr;      // date of the activity
    QComboBox *z3 = nullptr;      // category
    QLineEdit *z4 = nullptr;      // topic, upper case
    LinkLabel *lza = nullptr;     // "Salvar"

    // Report and deletion row.
    ContactNameBox *rel = nullptr;
    LinkLabel *lza1 = nullptr; // "Gerar"
    LinkLabel *lza2 = nullptr; // "Excluir contato"

    // Notes about the contacts.
    QPlainTextEdit *MLPC = nullptr;
    // Falls due a few seconds after the last change of the memo.
    QuietSaveTimer *quietSave = nullptr;

    // The lines of the activity file being saved.
    TextList LBM{TextList::SavePolicy::Utf8WhenNeeded};

public slots:
    // Saves the entry row as one more line of the contact's file; the name and topic empty.
    void lzaClick();
    // The report of the contact named in rel.
    void MapG();
    // Deletes the file of the contact named in rel once the user confirms.
    void lza2Click();
    // The date field becomes today (every show of the window).
    void SetDateToToday();
    // The memo takes the lines of "Map.next" when the file exists (every show), unless it
    // holds notes that could not be written.
    void LoadActivityNotes();
    // The memo's lines are written to "Map.next" when it holds text (every close); an
    // emptied memo writes nothing, so the old notes come back at the next show.
    void SaveActivityNotes();
    // The quiet moment after typing: the memo is written when it changed.
    void QuietSaveTimerTimer();
    // The data folder was replaced (a restore): the memo shows the notes found there, or
    // nothing, and holds nothing of its own to write back.
    void dataFolderReplaced();

protected:
    bool enterPressed(QObject *watched) override;

private:
    void buildUi();

    // "Map.next" as last loaded: its encoding is the one the notes are saved in.
    TextList m_notes{TextList::SavePolicy::Utf8WhenNeeded};
    bool m_saveFailed = false;
    std::function<bool()> m_writeGate;
};

// The memo's text as file lines: a line ends at every break the editor holds (paragraphs,
// Shift+Enter's line separator, CR, LF), a break at the very end adds no empty line, and
// NUL becomes a space.
QStringList notesLines(const QString &memoText);

} // namespace zorv
