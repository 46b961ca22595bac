#pragma once

#include "store/filestamp.h"
#include "store/textlist.h"

#include <QTimer>
#include <QWidget>

#include <functional>

class QAction;
class QDateEdit;
class QGridLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPlainTextEdit;
class QTreeWidget;
class QTreeWidgetItem;
class QVBoxLayout;

namespace zorv {

class LinkLabel;
class Paths;
struct Services;
class TagLabel;

// The appointments page: a date, a time and a text saved as one record of
// "dados\Notas\Tasks.go"; the list of every record (or of one date's records), the list
// of their dates, the details of the selected one, its change and deletion, the report
// of all records and the choice of a notification music.
class AppointmentsPage : public QWidget
{
    Q_OBJECT

public:
    static constexpr int pageIndex = 5;
    static constexpr int audioPageIndex = 2;
    static constexpr int markOff = 0;
    static constexpr int markOn = 5;
    static constexpr int tmchInterval = 1000;

    AppointmentsPage(const Paths &paths, Services &services, QWidget *parent = nullptr);

    // How the page brings another page (or itself) to the front; pages do not know the
    // window they stand in.
    void setPageSelector(std::function<void(int)> select) { m_selectPage = std::move(select); }

    // The audio page asks, on a double click or Enter on a track, whether the user is
    // choosing the notification music; if so it hands the track's full path here, which
    // stores it and brings this page back with the focus in MDC.
    bool isChoosingMusic() const;
    void storeNotificationMusic(const QString &path);

    // The suite window's steps for this page.
    void SetDateToToday();   // DC := today
    void LoadMusic();        // LM from "dados\notas\Music.comp"
    void LoadAppointments(); // GetComp
    void ClearDetails();     // MC emptied

    // Whether a row of LVC is selected (the rule of PopupMenu4's "Excluir").
    bool hasSelectedRow() const;
    // The record change waiting for the next save: the whole file line it replaces, empty
    // when none. Listing the records again keeps it: the save still replaces that line.
    QString pendingChange() const { return m_pendingLine; }

    QLabel *header = nullptr;
    QDateEdit *DC = nullptr;
    TagLabel *fil = nullptr; // tag: 0 every record listed, 5 narrowed to a date
    TagLabel *Image23 = nullptr;
    QLineEdit *MDC = nullptr;
    QLineEdit *EDC = nullptr;
    LinkLabel *pm31 = nullptr;
    QTreeWidget *LVC = nullptr;
    QListWidget *lts = nullptr;
    QMenu *PopupMenu9 = nullptr;
    QAction *Excluir8 = nullptr;
    QMenu *PopupMenu4 = nullptr; // attached to no control
    QAction *Excluir3 = nullptr;
    QPlainTextEdit *MC = nullptr;
    LinkLabel *pm21 = nullptr; // its mark: 5 while the notification music is being chosen
    LinkLabel *Label124 = nullptr;

    TextList LBC; // the lines of "Tasks.go", reloaded before every change
    TextList LM;  // the notification music's path

    QTimer tmch; // the delayed today check; one tick

public slots:
    void pm31Click();
    void GetComp();
    void GetComp2();
    void GetComp3();
    void TLSB();
    void filClick();
    void Image23Click();
    void LVCChange();
    void ltsClick(QListWidgetItem *item);
    // "Excluir" of the date list: the record of the entry the menu was opened on.
    void Excluir8Click();
    void Excluir3Click();
    void LVCDblClick();
    void pm21Click();
    void Label124Click();
    void tmchTimer();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The page's layout from its parts: the entry row over the date list and the
    // appointments with their detail and links.
    void buildLayout();
    QGridLayout *buildEntryRow();
    QListWidget *buildDateList();
    QVBoxLayout *buildAppointmentList();
    void connectSignals();
    // Empties LBC and loads the file into it. False when the file exists but could not be
    // read: nothing may then be written from the stale lines.
    bool reloadRecords();
    // lts: the date of every record line, in order; each entry knows its record's line.
    void fillDates(const QStringList &lines);
    // Keeps the rows whose date is `date`, in order.
    void narrowTo(const QString &date);
    // Deletes the selected row's record from the file, then the row. False when nothing
    // was deleted.
    bool deleteSelectedRecord();
    // Deletes the record `line` from the file; false when it is not there or the file
    // could not be read or written.
    bool deleteRecordLine(const QString &line);
    QTreeWidgetItem *selectedRow() const;
    QDate today() const;
    void selectPage(int index);

    const Paths &m_paths;
    Services &m_services;
    std::function<void(int)> m_selectPage;
    int m_musicMark = markOff;
    QString m_pendingLine;
    QListWidgetItem *m_menuEntry = nullptr; // the date entry PopupMenu9 was opened on
    // The version of the appointments file every row of LVC and every date of lts came
    // from, while they still show all of it unchanged; no stamp otherwise.
    FileStamp m_listedStamp;
};

} // namespace zorv
