#include "choicelist.h"

#include <QKeyEvent>

namespace zorv {

ChoiceList::ChoiceList(QWidget *parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void ChoiceList::keyPressEvent(QKeyEvent *event)
{
    QListWidgetItem *before = currentItem();
    const bool wasSelected = before && before->isSelected();
    const int key = event->key();
    const bool confirm = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
    QListWidget::keyPressEvent(event);
    if (confirm)
        event->accept(); // Enter is not passed on to the page: it chose the entry
    QListWidgetItem *now = currentItem();
    if (now && confirm && !now->isSelected())
        now->setSelected(true); // Enter chooses the entry the focus frame is on
    if (!now || !now->isSelected())
        return;
    if (now != before || !wasSelected || confirm)
        emit itemChosen(now);
}

} // namespace zorv
