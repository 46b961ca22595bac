#include "finance/monthlistpanel.h"

#include "controls/captions.h"
#include "controls/keys.h"
#include "store/records.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QVBoxLayout>

namespace zorv {

namespace {

const QString kEmptyMonthSearch = QStringLiteral("  .    ");

} // namespace

MonthListPanel::MonthListPanel(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("monthList"));
    auto *months = new QVBoxLayout(this);
    months->setContentsMargins(0, 0, 0, 0);
    // Sized as a layout nested in the page's would be.
    months->setSizeConstraint(QLayout::SetMinAndMaxSize);
    MKD = new QLineEdit(this);
    MKD->setObjectName(QStringLiteral("MKD"));
    MKD->setInputMask(QStringLiteral("00.9999; "));
    MKD->setMaximumWidth(90);
    auto *searchCaption = caption(QStringLiteral("&Locate month"), this, MKD);
    lvd1 = new QListWidget(this);
    lvd1->setObjectName(QStringLiteral("lvd1"));
    lvd1->setContextMenuPolicy(Qt::CustomContextMenu);
    lvd1->setMaximumWidth(160);
    PopupMenu8 = new QMenu(this);
    PopupMenu8->setObjectName(QStringLiteral("PopupMenu8"));
    Excluir7 = PopupMenu8->addAction(QStringLiteral("Excluir"));
    Excluir7->setObjectName(QStringLiteral("Excluir7"));
    PopupMenu8->addSeparator();
    Atualizar3 = PopupMenu8->addAction(QStringLiteral("Atualizar"));
    Atualizar3->setObjectName(QStringLiteral("Atualizar3"));
    months->addWidget(searchCaption);
    months->addWidget(MKD);
    months->addWidget(lvd1, 1);

    MKD->installEventFilter(this);
    connect(PopupMenu8, &QMenu::aboutToShow, this, [this] { Excluir7->setEnabled(canDeleteMonth()); });
    connect(lvd1, &QListWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu8->popup(lvd1->viewport()->mapToGlobal(pos)); });
    connect(lvd1, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { emit monthChosen(lvd1->row(item)); });
    connect(lvd1, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!m_refreshing && row >= 0)
            emit monthChosen(row);
    });
}

bool MonthListPanel::canDeleteMonth() const
{
    return lvd1->count() > 0;
}

void MonthListPanel::setMonths(const QStringList &names)
{
    m_refreshing = true;
    lvd1->clear();
    lvd1->addItems(names);
    lvd1->setCurrentRow(-1);
    m_refreshing = false;
    Excluir7->setEnabled(lvd1->count() > 0);
}

void MonthListPanel::selectQuietly(int row)
{
    m_refreshing = true;
    lvd1->setCurrentRow(row);
    m_refreshing = false;
}

void MonthListPanel::removeQuietly(int row)
{
    m_refreshing = true;
    delete lvd1->takeItem(row);
    lvd1->setCurrentRow(-1);
    m_refreshing = false;
}

int MonthListPanel::rowOfTypedMonth() const
{
    const QString typed = MKD->displayText();
    if (typed == kEmptyMonthSearch)
        return -1;
    const QString key = typed.trimmed();
    if (key.isEmpty() || key == QLatin1String("."))
        return -1;
    QStringList items;
    for (int i = 0; i < lvd1->count(); ++i)
        items.append(lvd1->item(i)->text());
    return int(findLineByPrefix(items, key));
}

bool MonthListPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == MKD && isEnterPress(event)) {
        emit searchEntered();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace zorv
