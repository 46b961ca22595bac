#pragma once

#include "finance/statementimport.h"

#include <QDialog>

class QTreeWidget;
class QDialogButtonBox;

namespace zorv {

// What an import would write, one row per transaction of the statement: date, amount,
// operation, source and payment form, with a box ticked for every row not imported
// before ("já importado" marks the others); Space turns the box of the current row. Enter imports the ticked
// rows (the dialog is accepted), Escape cancels.
class StatementPreview : public QDialog
{
    Q_OBJECT

public:
    enum Column { DateColumn, AmountColumn, OperationColumn, SourceColumn, FormColumn, StateColumn };

    StatementPreview(const QList<ImportRow> &rows, QWidget *parent = nullptr);

    // The rows whose box is ticked, in file order.
    QList<ImportRow> tickedRows() const;

    QTreeWidget *ImportRows = nullptr;
    QDialogButtonBox *buttons = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<ImportRow> m_rows;
};

} // namespace zorv
