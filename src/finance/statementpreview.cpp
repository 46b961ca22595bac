#include "finance/statementpreview.h"

#include "controls/money.h"
#include "controls/numberformat.h"
#include "finance/ledger.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zorv {

namespace {

// The payment-form cell's editor: a list of the five forms.
class PaymentFormDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        auto *box = new QComboBox(parent);
        box->setObjectName(QStringLiteral("RowForm"));
        box->addItems(kPaymentForms);
        return box;
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        auto *box = static_cast<QComboBox *>(editor);
        box->setCurrentIndex(qMax(0, box->findText(index.data().toString())));
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        model->setData(index, static_cast<QComboBox *>(editor)->currentText());
    }
};

} // namespace

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
        // Editable for the payment form only: the other columns have no editor to open.
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable |
                       Qt::ItemIsEditable);
        item->setCheckState(DateColumn, row.alreadyImported ? Qt::Unchecked : Qt::Checked);
        items.append(item);
    }
    ImportRows->addTopLevelItems(items);
    ImportRows->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ImportRows->setItemDelegateForColumn(FormColumn, new PaymentFormDelegate(ImportRows));
    connect(ImportRows, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item, int column) {
        if (column == FormColumn)
            ImportRows->editItem(item, FormColumn);
    });
    ImportRows->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    ImportRows->header()->setStretchLastSection(true);
    if (!items.isEmpty())
        ImportRows->setCurrentItem(items.first());
    layout->addWidget(ImportRows, 1);

    auto *allRow = new QHBoxLayout;
    FormForAll = new QComboBox(this);
    FormForAll->setObjectName(QStringLiteral("FormForAll"));
    FormForAll->addItems(kPaymentForms);
    FormForAll->setCurrentIndex(-1);
    FormForAll->setPlaceholderText(QStringLiteral("(como no extrato)"));
    auto *allCaption = new QLabel(QStringLiteral("&Forma de todas:"), this);
    allCaption->setBuddy(FormForAll);
    allRow->addWidget(allCaption);
    allRow->addWidget(FormForAll);
    allRow->addWidget(new QLabel(QStringLiteral("F2 muda a forma da linha."), this));
    allRow->addStretch();
    layout->addLayout(allRow);
    connect(FormForAll, &QComboBox::activated, this,
            [this](int index) { setFormOfAllRows(FormForAll->itemText(index)); });

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

void StatementPreview::editCurrentForm()
{
    if (QTreeWidgetItem *item = ImportRows->currentItem())
        ImportRows->editItem(item, FormColumn);
}

void StatementPreview::setFormOfAllRows(const QString &form)
{
    for (int i = 0; i < ImportRows->topLevelItemCount(); ++i)
        ImportRows->topLevelItem(i)->setText(FormColumn, form);
}

bool StatementPreview::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ImportRows && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_F2) {
        editCurrentForm();
        return true;
    }
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
        const QTreeWidgetItem *item = ImportRows->topLevelItem(i);
        if (item->checkState(DateColumn) != Qt::Checked)
            continue;
        ImportRow row = m_rows[i];
        row.entry.paymentForm = item->text(FormColumn);
        ticked.append(row);
    }
    return ticked;
}

} // namespace zorv
