#include "correctionsarea.h"

#include "controls/linklabel.h"
#include "platform/services.h"
#include "store/records.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zorv {

namespace {

const QString kNothingSelected = QStringLiteral("...");

} // namespace

CorrectionsArea::CorrectionsArea(HeldMonth &held, const Paths &paths, Services &services, QWidget *parent)
    : QWidget(parent)
    , m_held(held)
    , m_services(services)
    , m_corrections(paths)
{
    setObjectName(QStringLiteral("correctionsArea"));
    auto *area = new QVBoxLayout(this);
    area->setContentsMargins(0, 0, 0, 0);
    area->addWidget(new QLabel(QStringLiteral("Alter release"), this));
    Label30 = new LinkLabel(
        QStringLiteral("Select one month and click here (soon after he/she gives double click to alter)..."),
        this);
    Label30->setObjectName(QStringLiteral("Label30"));
    Label30->setWordWrap(true);
    area->addWidget(Label30);

    PVF = new QWidget(this);
    PVF->setObjectName(QStringLiteral("PVF"));
    auto *panel = new QVBoxLayout(PVF);
    panel->setContentsMargins(0, 0, 0, 0);
    LVF = new QTreeWidget(PVF);
    LVF->setObjectName(QStringLiteral("LVF"));
    LVF->setColumnCount(4);
    LVF->setHeaderHidden(true);
    LVF->setRootIsDecorated(false);
    LVF->setSelectionMode(QAbstractItemView::SingleSelection);
    LVF->setSelectionBehavior(QAbstractItemView::SelectRows);
    LVF->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LVF->setContextMenuPolicy(Qt::CustomContextMenu);
    const int widths[] = {100, 100, 100, 250};
    for (int c = 0; c < 4; ++c)
        LVF->setColumnWidth(c, widths[c]);
    LLC = new QLineEdit(PVF);
    LLC->setObjectName(QStringLiteral("LLC"));
    auto *searchCaption = new QLabel(QStringLiteral("Lo&cate for name (partial)"), PVF);
    searchCaption->setBuddy(LLC);
    NNM = new QLabel(kNothingSelected, PVF);
    NNM->setObjectName(QStringLiteral("NNM"));
    auto *search = new QHBoxLayout;
    search->addWidget(searchCaption);
    search->addWidget(LLC);
    panel->addLayout(search);
    panel->addWidget(LVF, 1);
    panel->addWidget(NNM);
    area->addWidget(PVF, 1);
    area->addStretch();
    PVF->hide();

    PPF = new QMenu(this);
    PPF->setObjectName(QStringLiteral("PPF"));
    Excluir10 = PPF->addAction(QStringLiteral("Excluir"));
    Excluir10->setObjectName(QStringLiteral("Excluir10"));

    PO = new QLineEdit(this);
    PO->setObjectName(QStringLiteral("PO"));
    PO->setMaximumWidth(200);
    // Letters typed into the field show in upper case.
    connect(PO, &QLineEdit::textEdited, PO, [this](const QString &text) {
        const int cursor = PO->cursorPosition();
        PO->setText(text.toUpper());
        PO->setCursorPosition(cursor);
    });

    connect(Label30, &LinkLabel::clicked, this, &CorrectionsArea::Label30Click);
    // The selection, not the current item: a mouse press makes the item current before it
    // selects it, and the keys and the name search select through the current item too.
    connect(LVF, &QTreeWidget::itemSelectionChanged, this, &CorrectionsArea::showSelection);
    connect(LVF, &QTreeWidget::itemDoubleClicked, this, [this] { AltD(); });
    connect(LVF, &QTreeWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PPF->popup(LVF->viewport()->mapToGlobal(pos)); });
    connect(PPF, &QMenu::aboutToShow, this, [this] { Excluir10->setEnabled(canDeleteEntry()); });
    connect(Excluir10, &QAction::triggered, this, &CorrectionsArea::Excluir10Click);
    LVF->installEventFilter(this);
    LLC->installEventFilter(this);
}

bool CorrectionsArea::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Enter acts and never reaches the list or the field as a typed character.
            if (watched == LVF) {
                AltD();
                return true;
            }
            if (watched == LLC) {
                LLCEnter();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CorrectionsArea::showSelection()
{
    const auto row = selectedRow();
    NNM->setText(row ? row->joined() : kNothingSelected);
}

void CorrectionsArea::resetSelectedRowLabel()
{
    NNM->setText(kNothingSelected);
}

void CorrectionsArea::hidePanel()
{
    PVF->hide();
}

void CorrectionsArea::forgetRows()
{
    LVF->clear();
    PVF->hide();
    resetSelectedRowLabel();
}

void CorrectionsArea::Label30Click()
{
    LVF->clear();
    const QString filter = PO->text();
    for (const QString &line : m_held.lines.lines()) {
        if (!sourceBeginsWith(line, filter))
            continue;
        const EntryRow row = entryRowOf(line);
        new QTreeWidgetItem(LVF, {row.amount, row.date, row.operation, row.source});
    }
    if (LVF->topLevelItemCount() > 0)
        PVF->show();
}

bool CorrectionsArea::canDeleteEntry() const
{
    return selectedRow().has_value();
}

std::optional<EntryRow> CorrectionsArea::selectedRow() const
{
    const QList<QTreeWidgetItem *> selected = LVF->selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    const QTreeWidgetItem *item = selected.first();
    return EntryRow{item->text(0), item->text(1), item->text(2), item->text(3)};
}

bool CorrectionsArea::removeHeldEntry(const EntryRow &row)
{
    if (findMatchingLine(m_held.lines.lines(), row) < 0)
        return false;
    // The ledger is read again right before the line leaves it: what another program wrote
    // since the month was listed stays, and a line it took away is not written back. The
    // line goes back to the ledger it was read from, so a file whose name is not its
    // entries' month never receives another month's lines.
    LedgerCorrections::EntryChange change;
    const WriteResult result = m_corrections.changeEntry(m_held.path, row, row.yearKey(), {}, change);
    if (!result) {
        emit entryNotRemoved(result.reason(), change.removal == LedgerCorrections::Removal::Gone);
        return false;
    }
    m_held.lines = change.month;
    PVF->hide();
    emit entryRemoved(change.removal == LedgerCorrections::Removal::MonthAndYear);
    return true;
}

QString CorrectionsArea::alterationMessage(const QString &symbol, const QString &amount)
{
    return tr("To alter, type the entry again: the current registration is replaced by the corrected one "
              "when you save it, and stays as it is until then.\n"
              "Dont forget to save (the current value is: %1 %2).\n\n"
              "Dont forget to verify the date before saving the alteration!")
        .arg(symbol, amount);
}

void CorrectionsArea::AltD()
{
    if (m_held.lines.lines().isEmpty() || !mayWrite())
        return;
    resetSelectedRowLabel();
    const auto row = selectedRow();
    if (!row)
        return;
    // Nothing is written here: the entry is replaced when the corrected one is saved.
    m_services.dialogs.message(alterationMessage(m_symbol ? m_symbol() : QString(), row->amount));
    if (findMatchingLine(m_held.lines.lines(), *row) < 0)
        return;
    emit alteringEntry(*row, m_held.path);
    PVF->hide();
    emit entryAltered();
}

void CorrectionsArea::Excluir10Click()
{
    if (!mayWrite())
        return;
    if (const auto row = selectedRow())
        removeHeldEntry(*row);
}

void CorrectionsArea::LLCEnter()
{
    const QString wanted = asciiUpper(LLC->text());
    for (int i = 0; i < LVF->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = LVF->topLevelItem(i);
        if (LastPos(wanted, asciiUpper(item->text(3))) == 0)
            continue;
        LVF->setCurrentItem(item);
        LVF->setFocus();
        LVF->scrollToItem(item, QAbstractItemView::PositionAtTop);
    }
}

} // namespace zorv
