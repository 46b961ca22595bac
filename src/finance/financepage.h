#pragma once

#include "controls/money.h"
#include "finance/corrections.h"
#include "finance/correctionsarea.h"
#include "finance/ledger.h"
#include "finance/statementimport.h"
#include "finance/statementreading.h"
#include "store/textlist.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QAction;
class QProgressBar;
class QProgressDialog;

namespace zorv {

class LinkLabel;
class Paths;
struct Services;
class TzorvCurrency;
class StatementPreview;

// The finance page ("GF"): the entry row that records money movements into the month and
// year ledgers, the currency symbol, the month list and the chosen month's totals.
// Widgets carry their component names as objectName and member name.
class FinancePage : public QWidget
{
    Q_OBJECT

public:
    FinancePage(const Paths &paths, Services &services, QWidget *parent = nullptr);

    // What the suite window's show step does for this page: the symbol is read, the entry
    // date becomes today, the month list is refreshed and the amount field takes the focus.
    void ReadSymbol();
    void SetDateToToday();
    void FocusValue();

    QString WorkMonth() const { return m_workMonth; }
    QString WorkYear() const { return m_workYear; }
    QString SelectedMonthFile() const { return m_selectedMonthFile; }
    MonthSums shownSums() const { return m_sums; }
    // The lines of the month shown, as last read for its totals.
    const QStringList &heldLines() const { return m_held.lines.lines(); }
    QString heldFile() const { return m_held.path; }
    int pendingInstallments() const { return int(m_pending.size()); }

    // Whether the "Excluir" entry of the month list, the entry list and the sources field
    // has something to delete.
    bool canDeleteMonth() const;
    bool canDeleteEntry() const;
    bool canDeleteSource() const;

    // Asked before the page writes anything into the data folder (an entry, a correction,
    // a deletion, the sources, the symbol); while it answers false those fail as a write
    // that cannot be done does, with the fields kept. The suite window closes it while a
    // restore replaces the data folder.
    void setWriteGate(std::function<bool()> mayWrite);
    // The data folder was replaced (a restore): every list the page holds is read again
    // from it, and nothing held from the folder it replaced is kept.
    void dataFolderReplaced();

    // Entry row
    TzorvCurrency *FN1 = nullptr;
    QLineEdit *AL = nullptr;
    LinkLabel *Label111 = nullptr;
    QDateEdit *fn2 = nullptr;
    QComboBox *fn3 = nullptr;
    QComboBox *FN4 = nullptr;
    LinkLabel *Label109 = nullptr;
    QLineEdit *PCL = nullptr;
    QLineEdit *QT = nullptr;
    QComboBox *FN5 = nullptr;
    LinkLabel *pm1 = nullptr;
    QLineEdit *SBM = nullptr;
    LinkLabel *Label128 = nullptr;

    // Months and totals
    QListWidget *lvd1 = nullptr;
    QMenu *PopupMenu8 = nullptr;
    QAction *Excluir7 = nullptr;
    QAction *Atualizar3 = nullptr;
    QLineEdit *MKD = nullptr;
    QLabel *le = nullptr;
    QLabel *ls = nullptr;
    QLabel *SD = nullptr;
    QLabel *psd = nullptr;
    QLabel *tot = nullptr;
    QProgressBar *sq1 = nullptr;
    QProgressBar *sq2 = nullptr;

    QMenu *PopupMenu12 = nullptr;
    QAction *Excluir12 = nullptr;

    // The entry list of the month shown, its alteration and deletion, and the reports'
    // source field PO.
    CorrectionsArea *corrections = nullptr;

    // Room the report links fill.
    QWidget *reportsArea = nullptr;
    // Beside them: brings a bank statement (OFX) into the ledgers. Also reached with
    // Ctrl+I, and with Enter or Space once it has the focus.
    LinkLabel *ImportStatement = nullptr;
    // The preview of the statement being imported, while it is open.
    StatementPreview *statementPreview() const;
    // The "Lendo o extrato..." indicator with its Cancel, while a statement is being read.
    QProgressDialog *statementProgress() const;
    // What reads the statements, off the window's thread.
    StatementReading &statementReading() { return m_reading; }

    // What the last action did ("Lançamento gravado em 03.2013"), until the next action or
    // statusTimer's tick; and the month whose figures the totals show, beside them.
    QLabel *actionStatus = nullptr;
    QLabel *totalsMonth = nullptr;

    QTimer TMPC;
    QTimer tmcalc;
    QTimer statusTimer;

public slots:
    void pm1Click();
    bool LDATA();
    void Mdata(int installments);
    void TMPCTimer();
    void tmcalcTimer();
    void Atualizar3Click();
    void LoadFN(int row);
    void pdel();
    void CalV();
    void lvd1Click(int row);
    void MKDEnter();
    void Label128Click();
    void Label111Click();
    void Label109Click();
    void Excluir7Click();
    void Excluir12Click();
    void ImportStatementClick();
    // Cancels the reading of a statement under way: nothing of it is shown or written.
    void cancelStatementReading();
    void clearStatus();

signals:
    // A statement's reading ended (read, refused or cancelled) and the window is free again.
    void statementReadingEnded();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildUi();
    void connectCorrections();
    // Forgets the held month: its lines, its ledger, the entry list built from them.
    void forgetHeldMonth();
    bool mayWrite() const { return !m_mayWrite || m_mayWrite(); }
    bool handleKey(QObject *watched, int key);
    void applyPercentage(bool deduct);
    void multiplyByQuantity();
    void sourceEntered();
    void loadSourceItems();
    void saveSourceItems();
    void setWorkFromDate();
    void computeSumsOver(const QString &path);
    void resetTotals();
    void showNoComparison();
    void showSums();
    void clearEntryAfterSave();
    void statementRead(const StatementReadResult &read);
    void importRows(const QList<ImportRow> &rows, int alreadyImported);
    void tell(const QString &text);
    // Why a save wrote nothing, or empty when it may go on.
    QString saveRefusal() const;
    void amountLeft();
    QString symbol() const;

    const Paths &m_paths;
    Services &m_services;
    LedgerFiles m_ledgers;
    LedgerCorrections m_corrections;
    StatementImport m_import;
    QPointer<StatementPreview> m_preview;
    StatementReading m_reading;
    QPointer<QProgressDialog> m_progress;
    QString m_importFolder; // where the last statement came from
    HeldMonth m_held;       // the lines of the month shown and their ledger
    std::function<bool()> m_mayWrite;
    QString m_workMonth;
    QString m_workYear;
    QString m_selectedMonthFile;
    QStringList m_monthFiles; // the hidden file list behind lvd1, in the same order
    QStringList m_pending;    // installments still to write
    QString m_runFirstMonth;  // the month of the installment run's first entry
    int m_runWritten = 0;     // entries the installment run wrote so far
    QString m_notWritten;     // why the last LDATA wrote nothing
    bool m_altering = false;  // an alteration is removing its entry
    MonthSums m_sums;
    bool m_refreshing = false;
};

} // namespace zorv
