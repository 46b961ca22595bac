#pragma once

#include "finance/statementimport.h"

#include <QDialog>

class QComboBox;
class QTreeWidget;
class QDialogButtonBox;

namespace zorv {

// What an import would write, one row per transaction of the statement: date, amount,
// operation, source and payment form, with a box ticked for every row not imported
// before ("já importado" marks the others); Space turns the box of the current row. The
// payment form of a row is changed with F2 or a double click on it (a list of the five
// forms), that of every row at once with the "Forma de todas" list. Enter imports the
// ticked rows (the dialog is accepted), Escape cancels.
class StatementPreview : public QDialog
{
    Q_OBJECT

public:
    enum Column { DateColumn, AmountColumn, OperationColumn, SourceColumn, FormColumn, StateColumn };

    StatementPreview(const QList<ImportRow> &rows, QWidget *parent = nullptr);

    // The rows whose box is ticked, in file order, with the payment forms chosen.
    QList<ImportRow> tickedRows() const;
    // Opens the payment-form list of the current row.
    void editCurrentForm();
    // Gives every row the payment form `form`.
    void setFormOfAllRows(const QString &form);

    QTreeWidget *ImportRows = nullptr;
    QComboBox *FormForAll = nullptr;
    QDialogButtonBox *buttons = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<ImportRow> m_rows;
};

} // namespace zorv
