#pragma once

#include "store/writeresult.h"

#include <QWidget>

#include <functional>
#include <optional>

class QAction;
class QComboBox;
class QDateEdit;
class QGridLayout;
class QLabel;
class QLineEdit;
class QMenu;

namespace zorv {

class LinkLabel;
class Paths;
class TzorvCurrency;

// The entry row's widgets under their component names.
struct FinanceEntryWidgets
{
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
    // What the last action did ("Lançamento gravado em 03.2013"), until the next action or
    // the status timer's tick.
    QLabel *actionStatus = nullptr;
    QMenu *PopupMenu12 = nullptr;
    QAction *Excluir12 = nullptr;
};

// The finance page's entry row: amount and percentage, date, operation, source with its
// list, installments, quantity, payment form and Save, the currency symbol and the status
// of the last action. Enter walks the fields in their order; what a field computes on its
// way (a percentage, a multiple, a new source) happens here. Saving is the page's: Enter in
// the payment form asks for it.
class FinanceEntryRow : public QWidget, public FinanceEntryWidgets
{
    Q_OBJECT

public:
    // `mayWrite` is asked before the source list is written.
    FinanceEntryRow(const Paths &paths, std::function<bool()> mayWrite, QWidget *parent);

    bool canDeleteSource() const;
    // The number of installments typed in PCL; none when it holds no number.
    std::optional<qint64> installments() const;
    // The sources list offered in FN4 read again from its file, the typed text kept.
    void loadSourceItems();
    // FN4's items written to the sources file.
    void saveSourceItems();
    // The data folder was replaced: the sources are read again, or emptied when the new
    // folder has none, so a deletion cannot write the old folder's list into it.
    void reloadSources();
    // The source chosen in FN4 taken out of the list, which is then written; FN4 is
    // emptied either way. The source taken out, or empty when the text typed was none
    // of the list's.
    QString removeSource();
    // SBM takes the symbol of the symbol file, when it has one.
    void readSymbol();
    // SBM's text written as the symbol file; false when it could not be written.
    WriteResult saveSymbol();
    // After a save: amount, source and payment form emptied.
    void clearAfterSave();
    // Percentage, installments and quantity emptied.
    void clearCounts();

signals:
    // Enter in the payment form: the row is to be saved.
    void saveRequested();
    // A hint for the status line (an amount that was not taken).
    void told(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildFieldRow(QGridLayout *entry);
    void buildCountsRow(QGridLayout *entry);
    void buildSymbolRow(QGridLayout *entry);
    bool handleKey(QObject *watched, int key);
    void applyPercentage(bool deduct);
    void multiplyByQuantity();
    void sourceEntered();
    void amountLeft();

    const Paths &m_paths;
    std::function<bool()> m_mayWrite;
};

} // namespace zorv
