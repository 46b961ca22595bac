#pragma once

#include <QWidget>

#include <functional>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;

namespace zorv {

class LinkLabel;
class Paths;
class QuietSaveTimer;
class RichTextEdit;
struct Services;

// The quick notes (TabSheet3): one rich-text document, "dados\Notas\Notas.speed", read on
// every show and written on close when it holds text and changed; searched from EDR and
// printed from pm30 or the editor's menu. Changes are also written on a quiet moment while
// the window is open (quietSave), and whenever the write gate says the data folder may be
// written.
class NotesPage : public QWidget
{
    Q_OBJECT
public:
    static constexpr int pageIndex = 3;
    static constexpr const char *notesFile = "dados\\Notas\\Notas.speed";

    NotesPage(const Paths &paths, Services &services, QWidget *parent = nullptr);

    // Imprimir1 of PopupMenu11 is enabled exactly when this answers true.
    bool canPrintFromMenu() const;
    // Whether the last write of the notes failed; their text is still in AN, which is not
    // read from the file again until a write succeeds.
    bool lastSaveFailed() const { return m_saveFailed; }
    // Asked before every write: false while the data folder is being replaced.
    void setWriteGate(std::function<bool()> gate) { m_writeGate = std::move(gate); }

    // Falls due a few seconds after the last change of the notes.
    QuietSaveTimer *quietSave = nullptr;

    QLabel *Label1 = nullptr; // header
    QLabel *Label2 = nullptr; // header
    RichTextEdit *AN = nullptr;
    QLabel *LabelEDR = nullptr; // "Locali&zar", buddy of EDR
    QLineEdit *EDR = nullptr;
    LinkLabel *pm30 = nullptr;
    QMenu *PopupMenu11 = nullptr;
    QAction *Imprimir1 = nullptr;
    QAction *Copiar1 = nullptr; // hidden, inactive
    QAction *Colar1 = nullptr;  // hidden, inactive

public slots:
    // Show step: the notes file into AN when it exists, unless AN holds notes that could
    // not be written.
    void LoadQuickNotes();
    // Close step: AN to the notes file when it holds text and changed since it was read
    // or written (or the file is gone).
    void SaveQuickNotes();
    // The quiet moment after typing: the notes are written when they changed.
    void QuietSaveTimerTimer();
    // The data folder was replaced (a restore): AN shows the notes file found there, or
    // nothing, and holds no change of its own to write back.
    void dataFolderReplaced();
    // Enter in EDR: the caret to the first occurrence of EDR's text, case ignored.
    void EDRFind();
    void pm30Click();
    void Imprimir1Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    const Paths &m_paths;
    Services &m_services;
    bool m_saveFailed = false;
    std::function<bool()> m_writeGate;
};

} // namespace zorv
