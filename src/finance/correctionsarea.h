#pragma once

#include "finance/corrections.h"
#include "store/textlist.h"

#include <QWidget>

#include <functional>
#include <optional>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QTreeWidget;

namespace zorv {

class LinkLabel;
class Paths;
struct Services;

// The lines of the month whose totals the finance page shows, as read from its ledger,
// and the ledger they came from. Entries are removed from these lines and the rest is
// written back to that ledger, so they are emptied whenever the ledger goes away.
struct HeldMonth
{
    TextList lines;
    QString path;

    void clear()
    {
        lines = TextList();
        path.clear();
    }
};

// The corrections area of the finance page: the entry list of the month shown, its search,
// the selected row as one line, alteration and deletion of an entry, and the reports' source
// field that also filters the list. The page composes it and answers its signals with the
// entry row and the month totals.
class CorrectionsArea : public QWidget
{
    Q_OBJECT

public:
    CorrectionsArea(HeldMonth &held, const Paths &paths, Services &services, QWidget *parent = nullptr);

    // The currency symbol the alteration message names.
    void setSymbolSource(std::function<QString()> symbol) { m_symbol = std::move(symbol); }
    // Asked before anything is written; while it answers false (the data folder is being
    // replaced) alteration and deletion do nothing at all.
    void setWriteGate(std::function<bool()> mayWrite) { m_mayWrite = std::move(mayWrite); }

    // Whether the entry list's "Excluir" has something to delete.
    bool canDeleteEntry() const;
    // The row chosen in the entry list; empty when none.
    std::optional<EntryRow> selectedRow() const;
    // Empties the entry list and hides the panel: the lines it was built from are gone.
    void forgetRows();
    void hidePanel();
    // NNM back to "...".
    void resetSelectedRowLabel();

    LinkLabel *Label30 = nullptr;
    QWidget *PVF = nullptr;
    QTreeWidget *LVF = nullptr;
    QLineEdit *LLC = nullptr;
    QLabel *NNM = nullptr;
    QMenu *PPF = nullptr;
    QAction *Excluir10 = nullptr;
    // The reports' source field; the page places it beside the report links.
    QLineEdit *PO = nullptr;

public slots:
    void Label30Click();
    void AltD();
    void Excluir10Click();
    void LLCEnter();

    // The message shown when an alteration starts.
    static QString alterationMessage(const QString &symbol, const QString &amount);

signals:
    // Alteration found the row's line in the month ledger at `monthPath`: the entry row
    // takes the row's amount, date, operation and source, and the work month and year
    // follow its date. Nothing is written until the corrected entry is saved.
    void alteringEntry(const zorv::EntryRow &row, const QString &monthPath);
    // The line is gone from the month ledger; `yearToo` when the year ledger lost it too.
    void entryRemoved(bool yearToo);
    // A deletion changed nothing: `reason` says why; `gone` when the line was no longer
    // in the ledger (another program changed it since it was listed).
    void entryNotRemoved(const QString &reason, bool gone);
    // Alteration started: the amount is typed again.
    void entryAltered();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showSelection();
    // Removes the line matching `row` from its month and year ledgers, both read again;
    // true when the month ledger lost it.
    bool removeHeldEntry(const EntryRow &row);
    bool mayWrite() const { return !m_mayWrite || m_mayWrite(); }

    HeldMonth &m_held;
    Services &m_services;
    LedgerCorrections m_corrections;
    std::function<QString()> m_symbol;
    std::function<bool()> m_mayWrite;
};

} // namespace zorv
