#include "iconlist.h"

#include "controls/linklabel.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>

namespace zorv {

namespace {

// Every item is drawn on a black brush, whatever its row.
class BlackItemDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->backgroundBrush = QBrush(Qt::black);
        option->palette.setColor(QPalette::Text, QColor(LinkLabel::kSilver));
    }
};

} // namespace

IconList::IconList(const QString &name, QWidget *parent)
    : QListWidget(parent)
{
    setObjectName(name);
    setViewMode(QListView::IconMode);
    setFlow(QListView::TopToBottom);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setMovement(QListView::Static);
    setDragEnabled(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setIconSize(QSize(kIconSize, kIconSize));
    setWordWrap(true);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setItemDelegate(new BlackItemDelegate(this));
    QPalette pal = palette();
    pal.setColor(QPalette::Base, Qt::black);
    pal.setColor(QPalette::Text, QColor(LinkLabel::kSilver));
    setPalette(pal);
}

QString IconList::subItem(const QListWidgetItem *item, int n)
{
    return item ? item->data(kSubItemRole + n).toString() : QString();
}

bool IconList::hasSubItems(const QListWidgetItem *item)
{
    return item && item->data(kSubItemRole).isValid();
}

QListWidgetItem *IconList::addEntry(const QString &caption, const QStringList &subItems, const QIcon &icon)
{
    // Everything is set before the item joins the list: a change after that would make
    // the list lay the item out again.
    auto *item = new QListWidgetItem(icon, caption);
    for (int i = 0; i < subItems.size(); ++i)
        item->setData(kSubItemRole + i, subItems[i]);
    addItem(item);
    return item;
}

void IconList::showPlaceholder()
{
    clear();
    addItem(QStringLiteral("Vazio!"));
}

QListWidgetItem *IconList::selectedItem() const
{
    const QList<QListWidgetItem *> selected = selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

void IconList::focusInEvent(QFocusEvent *event)
{
    QListWidget::focusInEvent(event);
    const bool byKey = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    if (!byKey || selectedItem() || count() == 0)
        return;
    if (!currentItem())
        setCurrentRow(0);
    else
        currentItem()->setSelected(true);
}

void IconList::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        emit enterPressed();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void IconList::mousePressEvent(QMouseEvent *event)
{
    QListWidget::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        emit otherButtonPressed(event->globalPosition().toPoint());
}

} // namespace zorv
