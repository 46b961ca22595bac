#include "controls/contactnamebox.h"

#include "controls/keyfilter_p.h"

#include <QLineEdit>
#include <QListView>
#include <QSignalBlocker>

namespace zorv {

ContactNameBox::ContactNameBox(QWidget *parent)
    : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    // A folder may hold thousands of names: the box's width does not follow its items, and
    // the list lays its rows out as one height.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(24);
    auto *list = new QListView(this);
    list->setUniformItemSizes(true);
    setView(list);
}

void ContactNameBox::rebuild()
{
    const QStringList names = m_source ? m_source() : QStringList();
    {
        const QSignalBlocker block(this);
        clear();
        addItems(names);
        setCurrentIndex(-1);
        clearEditText();
    }
    emit rebuilt();
}

void ContactNameBox::clearAll()
{
    const QSignalBlocker block(this);
    clear();
    clearEditText();
}

void ContactNameBox::showPopup()
{
    rebuild();
    QComboBox::showPopup();
}

void ContactNameBox::focusInEvent(QFocusEvent *event)
{
    if (m_rebuildOnEntry && detail::movesBetweenControls(event))
        rebuild();
    QComboBox::focusInEvent(event);
}

} // namespace zorv
