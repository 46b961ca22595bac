#pragma once

#include <QDate>
#include <QWidget>

#include <functional>

class QAction;
class QDateEdit;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenu;

namespace zorv {

class Paths;
class QuietSaveTimer;
class RichTextEdit;
struct Services;

// The diary (TabSheet4): one rich-text page per day in "dados\Diary", named "dd.mm.yyyy".
// cal and RE always change together, so the page shown is the page of cal's date. Before
// another page is shown or one is deleted, the page shown is written when it holds text
// and changed, so typed text is never thrown away: while that write fails, the page stays
// shown with its text until a save succeeds. Changes are also written on a quiet moment
// while the window is open (quietSave), and only while the write gate allows.
class DiaryPage : public QWidget
{
    Q_OBJECT
public:
    static constexpr int pageIndex = 4;
    static constexpr int itemHeight = 20;

    DiaryPage(const Paths &paths, Services &services, QWidget *parent = nullptr);

    // The date of the page shown in RE.
    QDate shownDate() const { return m_shown; }
    // Whether the last write of the page shown failed; its text is still in RE.
    bool lastSaveFailed() const { return m_saveFailed; }
    // Asked before every write: false while the data folder is being replaced.
    void setWriteGate(std::function<bool()> gate) { m_writeGate = std::move(gate); }

    // Falls due a few seconds after the last change of the page shown.
    QuietSaveTimer *quietSave = nullptr;

    QLabel *Label1 = nullptr; // header
    QLabel *Label2 = nullptr; // header
    QDateEdit *cal = nullptr;
    RichTextEdit *RE = nullptr;
    QListWidget *LBD = nullptr;
    QMenu *PopupMenu7 = nullptr;
    QAction *Excluir6 = nullptr;

public slots:
    // Create step: cal set to today; nothing is loaded yet.
    void Today();
    // Show step: cal set to today and today's page shown, as choosing a date does.
    void ShowToday();
    // Show step: LBD filled with the page names.
    void LoadDiaryList();
    // Close step: RE to the page of cal's date when it holds text and changed since it
    // was read or written (or its file is gone).
    void SaveDiaryPage();
    // The quiet moment after typing: the page shown is written when it changed.
    void QuietSaveTimerTimer();
    // The data folder was replaced (a restore): RE shows the page of its date as found
    // there, or an empty page, the list names the pages there, and nothing of the page
    // shown before is written back.
    void dataFolderReplaced();
    // A date chosen in cal by the user.
    void calChange(const QDate &date);
    // A click on a page name, or its choice with the keyboard.
    void LBDClick(QListWidgetItem *item);
    // "Excluir": deletes the file of the page the menu was opened on (else the selected
    // one); the editor is emptied only when that page is the one shown.
    void Excluir6Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The parts of the page, built in this order by the constructor.
    void buildHeader();
    void buildDateField();
    void buildEditor();
    void buildPageList();
    void layOut();
    void connectSignals();

    void setCal(const QDate &date);
    // Writes RE to the page `name` when it holds text and changed; false when that write
    // failed (the text stays in RE, still marked as changed).
    bool savePage(const QString &name);
    // Shows the page `name` of `date` in RE: its file when it exists, else an empty page.
    void showPage(const QDate &date, const QString &name);

    const Paths &m_paths;
    Services &m_services;
    QDate m_shown;
    QString m_shownName; // the file the page shown was read from (pages are written under m_shown)
    QListWidgetItem *m_menuItem = nullptr; // the entry PopupMenu7 was opened on
    bool m_settingCal = false;
    bool m_saveFailed = false;
    std::function<bool()> m_writeGate;
};

} // namespace zorv
