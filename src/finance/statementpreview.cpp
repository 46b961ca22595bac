#include "finance/statementpreview.h"

#include "controls/money.h"
#include "controls/numberformat.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zorv {

StatementPreview::StatementPreview(const QList<ImportRow> &rows, QWidget *parent)
    : QDialog(parent)
    , m_rows(rows)
{
    setObjectName(QStringLiteral("StatementPreview"));
    setWindowTitle(QStringLiteral("Importar extrato"));
    auto *layout = new QVBoxLayout(this);
    auto *caption =
        new QLabel(QStringLiteral("Marque as transações a importar; Enter importa, Esc cancela."), this);
    layout->addWidget(caption);

    ImportRows = new QTreeWidget(this);
    ImportRows->setObjectName(QStringLiteral("ImportRows"));
    ImportRows->setRootIsDecorated(false);
    ImportRows->setUniformRowHeights(true);
    ImportRows->setHeaderLabels({QStringLiteral("Data"), QStringLiteral("Valor"), QStringLiteral("Operação"),
                                 QStringLiteral("Fonte"), QStringLiteral("Forma"), QString()});
    QList<QTreeWidgetItem *> items;
    items.reserve(rows.size());
    for (const ImportRow &row : rows) {
        auto *item = new QTreeWidgetItem;
        item->setText(DateColumn, formatShortDate(row.entry.date));
        item->setText(AmountColumn, formatAmount(row.entry.value));
        item->setTextAlignment(AmountColumn, Qt::AlignRight | Qt::AlignVCenter);
        item->setText(OperationColumn, row.entry.operation);
        item->setText(SourceColumn, row.entry.source);
        item->setText(FormColumn, row.entry.paymentForm);
        if (row.alreadyImported)
            item->setText(StateColumn, QStringLiteral("já importado"));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(DateColumn, row.alreadyImported ? Qt::Unchecked : Qt::Checked);
        items.append(item);
    }
    ImportRows->addTopLevelItems(items);
    ImportRows->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    ImportRows->header()->setStretchLastSection(true);
    if (!items.isEmpty())
        ImportRows->setCurrentItem(items.first());
    layout->addWidget(ImportRows, 1);

    buttons = new QDialogButtonBox(this);
    QPushButton *import = buttons->addButton(QStringLiteral("Importar"), QDialogButtonBox::AcceptRole);
    import->setObjectName(QStringLiteral("ImportButton"));
    import->setDefault(true);
    buttons->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("CancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(760, 480);
    ImportRows->installEventFilter(this);
    ImportRows->setFocus();
}

bool StatementPreview::eventFilter(QObject *watched, QEvent *event)
{
    // Space turns the box of the row, whichever of its cells is current.
    if (watched == ImportRows && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Space) {
        if (QTreeWidgetItem *item = ImportRows->currentItem())
            item->setCheckState(DateColumn,
                                item->checkState(DateColumn) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

QList<ImportRow> StatementPreview::tickedRows() const
{
    QList<ImportRow> ticked;
    for (int i = 0; i < ImportRows->topLevelItemCount(); ++i) {
        if (ImportRows->topLevelItem(i)->checkState(DateColumn) == Qt::Checked)
            ticked.append(m_rows[i]);
    }
    return ticked;
}

} // namespace zorv
