#pragma once

#include "controls/money.h"
#include "finance/corrections.h"
#include "finance/correctionsarea.h"
#include "finance/financeentryrow.h"
#include "finance/ledger.h"
#include "finance/monthlistpanel.h"
#include "finance/monthtotalspanel.h"
#include "finance/statementimport.h"
#include "finance/statementreading.h"
#include "store/textlist.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QAction;
class QHBoxLayout;
class QProgressBar;
class QProgressDialog;

namespace zorv {

class LinkLabel;
class Paths;
struct Services;
class TzorvCurrency;
class StatementImportFlow;
class StatementPreview;

// The finance page ("GF"): the entry row that records money movements into the month and
// year ledgers, the currency symbol, the month list and the chosen month's totals.
// Each of those is a part of its own (FinanceEntryRow, MonthListPanel, MonthTotalsPanel,
// CorrectionsArea) that builds and lays out its widgets; the page wires them, keeps the
// ledgers and what is shown, and names the parts' widgets with their component names, as
// objectName and member name.
class FinancePage : public QWidget,
                    public FinanceEntryWidgets,
                    public MonthListWidgets,
                    public MonthTotalsWidgets
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
    // An entry of the entry list is being corrected: the next save replaces it.
    bool correcting() const { return m_correction.has_value(); }

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

    // The entry row's, the month list's and the totals' widgets are the page's members
    // too, under the same names (from the three bases above).

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
    StatementReading &statementReading();

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
    // Gives up a correction under way (another month chosen, the window hidden, a restore, a
    // statement import, quitting): the entry stays as it was, and the row is emptied and
    // dated today.
    void abandonCorrection();

signals:
    // A statement's reading ended (read, refused or cancelled) and the window is free again.
    void statementReadingEnded();

private:
    void buildUi();
    // The page's members naming the parts' widgets are set from the parts.
    void takePartNames();
    QHBoxLayout *buildReportsRow();
    void connectParts();
    void connectCorrections();
    // Forgets the held month: its lines, its ledger, the entry list built from them.
    void forgetHeldMonth();
    bool mayWrite() const { return !m_mayWrite || m_mayWrite(); }
    void setWorkFromDate();
    void computeSumsOver(const QString &path);
    void resetTotals();
    // A statement's entries were written: the month list and the month shown are read again.
    void importedEntries();
    void tell(const QString &text);
    // Why a save wrote nothing, or empty when it may go on.
    QString saveRefusal() const;
    QString symbol() const;

    // The entry being corrected, as listed from the month ledger at monthPath.
    struct PendingCorrection
    {
        EntryRow row;
        QString monthPath;
    };
    // The values of one save, taken from the fields once, when the save starts.
    struct EntrySave
    {
        LedgerEntry entry;
        std::optional<PendingCorrection> correction;
    };
    EntrySave takeSave() const;
    // Writes the entry into the ledgers of its date (replacing the corrected one, when it
    // is a correction); false with m_notWritten saying why when nothing was written.
    bool writeEntry(EntrySave &save);
    bool rowIsEmpty() const;

    const Paths &m_paths;
    Services &m_services;
    LedgerFiles m_ledgers;
    LedgerCorrections m_corrections;
    FinanceEntryRow *m_entry = nullptr;
    MonthListPanel *m_months = nullptr;
    MonthTotalsPanel *m_totals = nullptr;
    StatementImportFlow *m_importFlow = nullptr;
    HeldMonth m_held; // the lines of the month shown and their ledger
    std::function<bool()> m_mayWrite;
    QString m_workMonth;
    QString m_workYear;
    QString m_selectedMonthFile;
    QStringList m_monthFiles; // the hidden file list behind lvd1, in the same order
    QStringList m_pending;    // installments still to write
    QString m_runFirstMonth;  // the month of the installment run's first entry
    int m_runWritten = 0;     // entries the installment run wrote so far
    QString m_notWritten;     // why the last LDATA wrote nothing
    int m_runTotal = 0;       // installments of the run
    EntrySave m_run;          // the run's values, taken when it started
    std::optional<PendingCorrection> m_correction;
    MonthSums m_sums;
};

} // namespace zorv
