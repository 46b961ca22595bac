#include "finance/financeentryrow.h"

#include "controls/captions.h"
#include "controls/currencyedit.h"
#include "controls/keys.h"
#include "controls/linklabel.h"
#include "finance/ledger.h"
#include "store/paths.h"
#include "store/textlist.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpressionValidator>

namespace zorv {

namespace {

const QString kDefaultSymbol = QStringLiteral("R$");

// Letters typed into the field show in upper case.
void keepUpperCase(QLineEdit *edit)
{
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString &text) {
        const int cursor = edit->cursorPosition();
        edit->setText(text.toUpper());
        edit->setCursorPosition(cursor);
    });
}

QLineEdit *digitsField(const char *name, QWidget *parent, bool centred)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d*")), edit));
    if (centred)
        edit->setAlignment(Qt::AlignCenter);
    return edit;
}

QComboBox *pickList(const char *name, const QStringList &items, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->addItems(items);
    box->setCurrentIndex(-1);
    box->setFocusPolicy(Qt::ClickFocus); // reached through the Enter chain, not by Tab
    return box;
}

// A whole number typed into a digits-only field; empty when there is none.
std::optional<qint64> wholeNumber(const QLineEdit *field)
{
    bool ok = false;
    const qint64 n = field->text().toLongLong(&ok);
    return ok ? std::optional<qint64>(n) : std::nullopt;
}

} // namespace

FinanceEntryRow::FinanceEntryRow(const Paths &paths, std::function<bool()> mayWrite, QWidget *parent)
    : QWidget(parent)
    , m_paths(paths)
    , m_mayWrite(std::move(mayWrite))
{
    setObjectName(QStringLiteral("entryRow"));
    // Captions above their fields.
    auto *entry = new QGridLayout(this);
    entry->setContentsMargins(0, 0, 0, 0);
    // Sized as a layout nested in the page's would be.
    entry->setSizeConstraint(QLayout::SetMinAndMaxSize);
    buildFieldRow(entry);
    buildCountsRow(entry);
    buildSymbolRow(entry);

    PopupMenu12 = new QMenu(this);
    PopupMenu12->setObjectName(QStringLiteral("PopupMenu12"));
    Excluir12 = PopupMenu12->addAction(QStringLiteral("Excluir"));
    Excluir12->setObjectName(QStringLiteral("Excluir12"));
    connect(PopupMenu12, &QMenu::aboutToShow, this, [this] { Excluir12->setEnabled(canDeleteSource()); });
    connect(FN4, &QComboBox::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu12->popup(FN4->mapToGlobal(pos)); });

    // Keys of the Enter chain are seen before the fields' own handling.
    for (QWidget *w : {static_cast<QWidget *>(FN1), static_cast<QWidget *>(AL), static_cast<QWidget *>(fn2),
                       static_cast<QWidget *>(fn3), static_cast<QWidget *>(FN4), static_cast<QWidget *>(PCL),
                       static_cast<QWidget *>(QT), static_cast<QWidget *>(FN5)})
        w->installEventFilter(this);
    FN4->lineEdit()->installEventFilter(this);

    connect(FN1, &TzorvCurrency::entered, FN1, [this] { FN1->clear(); });
    connect(FN1, &TzorvCurrency::exited, this, &FinanceEntryRow::amountLeft);
    keepUpperCase(SBM);
}

void FinanceEntryRow::buildFieldRow(QGridLayout *entry)
{
    FN1 = new TzorvCurrency(this);
    FN1->setObjectName(QStringLiteral("FN1"));
    FN1->setFixedWidth(120);
    auto *valueCaption = caption(QStringLiteral("&Value"), this, FN1);
    AL = digitsField("AL", this, true);
    AL->setMaximumWidth(50);
    Label111 = new LinkLabel(QStringLiteral("?"), this);
    Label111->setObjectName(QStringLiteral("Label111"));
    fn2 = new QDateEdit(this);
    fn2->setObjectName(QStringLiteral("fn2"));
    fn2->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    fn2->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    fn2->setFocusPolicy(Qt::ClickFocus);
    fn2->setMinimumWidth(110);
    fn3 = pickList("fn3", kOperations, this);
    FN4 = new QComboBox(this);
    FN4->setObjectName(QStringLiteral("FN4"));
    FN4->setEditable(true);
    FN4->setInsertPolicy(QComboBox::NoInsert);
    FN4->setMinimumWidth(220);
    FN4->setContextMenuPolicy(Qt::CustomContextMenu);
    Label109 = new LinkLabel(QStringLiteral("?"), this);
    Label109->setObjectName(QStringLiteral("Label109"));

    entry->addWidget(valueCaption, 0, 0);
    entry->addWidget(Label111, 0, 1);
    entry->addWidget(caption(QStringLiteral("Date"), this), 0, 2);
    entry->addWidget(caption(QStringLiteral("Operation"), this), 0, 3);
    auto *sourceCaption = new QHBoxLayout;
    sourceCaption->addWidget(caption(QStringLiteral("Productis..."), this));
    sourceCaption->addWidget(Label109);
    sourceCaption->addStretch();
    entry->addLayout(sourceCaption, 0, 4);
    entry->addWidget(FN1, 1, 0);
    entry->addWidget(AL, 1, 1);
    entry->addWidget(fn2, 1, 2);
    entry->addWidget(fn3, 1, 3);
    entry->addWidget(FN4, 1, 4);
    entry->setColumnStretch(5, 1);
}

void FinanceEntryRow::buildCountsRow(QGridLayout *entry)
{
    // The second row: installments, quantity, payment form and Save.
    PCL = digitsField("PCL", this, true);
    PCL->setMaximumWidth(50);
    QT = digitsField("QT", this, false);
    QT->setMaximumWidth(50);
    FN5 = pickList("FN5", kPaymentForms, this);
    pm1 = new LinkLabel(QStringLiteral("Save"), this);
    pm1->setObjectName(QStringLiteral("pm1"));
    auto *second = new QHBoxLayout;
    second->addWidget(caption(QStringLiteral("Portions, Qtde. and Coin |"), this));
    second->addWidget(PCL);
    second->addWidget(QT);
    second->addWidget(FN5);
    second->addWidget(pm1);
    second->addStretch();
    entry->addLayout(second, 2, 0, 1, 5);
}

void FinanceEntryRow::buildSymbolRow(QGridLayout *entry)
{
    // The currency symbol.
    SBM = new QLineEdit(kDefaultSymbol, this);
    SBM->setObjectName(QStringLiteral("SBM"));
    SBM->setMaximumWidth(60);
    Label128 = new LinkLabel(QStringLiteral("Apply"), this);
    Label128->setObjectName(QStringLiteral("Label128"));
    auto *symbolRow = new QHBoxLayout;
    symbolRow->addWidget(caption(QStringLiteral("Monetary symbol"), this));
    symbolRow->addWidget(SBM);
    symbolRow->addWidget(Label128);
    actionStatus = namedLabel("actionStatus", QString(), this);
    {
        QFont bold = actionStatus->font();
        bold.setBold(true);
        actionStatus->setFont(bold);
    }
    symbolRow->addSpacing(24);
    symbolRow->addWidget(actionStatus);
    symbolRow->addStretch();
    entry->addLayout(symbolRow, 3, 0, 1, 5);
}

bool FinanceEntryRow::canDeleteSource() const
{
    return !FN4->currentText().isEmpty();
}

std::optional<qint64> FinanceEntryRow::installments() const
{
    return wholeNumber(PCL);
}

void FinanceEntryRow::clearAfterSave()
{
    FN1->clear();
    FN4->clear();
    FN4->clearEditText();
    FN5->setCurrentIndex(-1);
}

void FinanceEntryRow::clearCounts()
{
    QT->clear();
    PCL->clear();
    AL->clear();
}

// ---- Keys --------------------------------------------------------------------------------

bool FinanceEntryRow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        // Focus coming back from the field's own drop-down or context menu, or with the
        // window's activation, is not the user arriving in the field.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason)
            return QWidget::eventFilter(watched, event);
        if (watched == FN4 || watched == FN4->lineEdit())
            loadSourceItems();
        else if (watched == QT)
            QT->clear();
    } else if (event->type() == QEvent::KeyPress) {
        if (handleKey(watched, static_cast<QKeyEvent *>(event)->key()))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool FinanceEntryRow::handleKey(QObject *watched, int key)
{
    const bool enter = isEnterKey(key);
    if (watched == FN1 && enter) {
        AL->setFocus(); // leaving FN1 commits the typed amount
        return true;
    }
    if (watched == AL) {
        if (enter) {
            if (AL->text().isEmpty())
                AL->setText(QStringLiteral("0"));
            fn2->setFocus();
            return true;
        }
        if (key == Qt::Key_F9 || key == Qt::Key_F10) {
            applyPercentage(key == Qt::Key_F9);
            return true;
        }
        return false;
    }
    if (!enter)
        return false;
    if (watched == fn2) {
        fn3->setFocus();
    } else if (watched == fn3) {
        if (fn3->currentIndex() >= 0)
            FN4->setFocus();
    } else if (watched == FN4 || watched == FN4->lineEdit()) {
        sourceEntered();
    } else if (watched == PCL) {
        if (PCL->text().isEmpty())
            PCL->setText(QStringLiteral("1"));
        QT->setFocus();
    } else if (watched == QT) {
        multiplyByQuantity();
    } else if (watched == FN5) {
        emit saveRequested();
    } else {
        return false;
    }
    return true;
}

void FinanceEntryRow::applyPercentage(bool deduct)
{
    if (AL->text().isEmpty())
        AL->setText(QStringLiteral("0"));
    const auto percent = wholeNumber(AL);
    if (!percent)
        return;
    FN1->CommitText();
    // A percentage of the amount before it would pass for one of the amount typed.
    if (!FN1->IsValid()) {
        emit told(TzorvCurrency::notTakenHint());
        return;
    }
    const auto result = zorv::applyPercentage(FN1->Value(), *percent, deduct);
    if (!result) {
        // The amount stays as it was and the focus stays here, for a smaller percentage.
        emit told(tr("Percentual não aplicado: o resultado seria grande demais para um valor"));
        return;
    }
    FN1->setValue(*result);
    fn2->setFocus();
}

void FinanceEntryRow::multiplyByQuantity()
{
    if (QT->text().isEmpty())
        QT->setText(QStringLiteral("1"));
    const auto quantity = wholeNumber(QT);
    if (!quantity)
        return;
    // An amount not taken stays not taken: its multiple would be saved as valid.
    if (!FN1->IsValid()) {
        FN5->setFocus();
        return;
    }
    const auto product = checkedMul(FN1->Value(), *quantity);
    if (!product)
        return;
    FN1->setValue(*product);
    FN5->setFocus();
}

void FinanceEntryRow::amountLeft()
{
    if (!FN1->IsValid() && !FN1->text().isEmpty())
        emit told(TzorvCurrency::notTakenHint());
}

// ---- Sources -----------------------------------------------------------------------------

void FinanceEntryRow::loadSourceItems()
{
    TextList sources;
    if (sources.load(m_paths.resolve(kSourcesFile)) != TextList::LoadResult::Loaded)
        return;
    const QString typed = FN4->currentText();
    const QSignalBlocker block(FN4);
    FN4->clear();
    FN4->addItems(sources.lines());
    FN4->setCurrentIndex(-1);
    FN4->setEditText(typed);
}

void FinanceEntryRow::saveSourceItems()
{
    if (m_mayWrite && !m_mayWrite())
        return;
    TextList sources;
    sources.load(m_paths.resolve(kSourcesFile)); // keeps the file's encoding
    sources.lines().clear();
    for (int i = 0; i < FN4->count(); ++i)
        sources.lines().append(FN4->itemText(i));
    // The entry itself is saved; a source list that could not follow is logged by the store
    // and the new name is offered again from the ledgers' lines at the next show.
    const WriteResult saved = sources.save(m_paths.resolve(kSourcesFile));
    Q_UNUSED(saved)
}

void FinanceEntryRow::reloadSources()
{
    const QString typed = FN4->currentText();
    const QSignalBlocker block(FN4);
    FN4->clear();
    FN4->setEditText(typed);
    loadSourceItems();
}

QString FinanceEntryRow::removeSource()
{
    QString removed;
    const int chosen = FN4->currentIndex();
    if (chosen >= 0 && FN4->itemText(chosen) == FN4->currentText()) {
        removed = FN4->currentText();
        FN4->removeItem(chosen);
    }
    FN4->setCurrentIndex(-1);
    FN4->clearEditText();
    saveSourceItems();
    return removed;
}

void FinanceEntryRow::sourceEntered()
{
    const QString text = FN4->currentText();
    if (text.isEmpty())
        return;
    PCL->setFocus();
    for (int i = 0; i < FN4->count(); ++i) {
        if (FN4->itemText(i).compare(text, Qt::CaseInsensitive) == 0)
            return;
    }
    {
        const QSignalBlocker block(FN4);
        FN4->addItem(text);
        FN4->setEditText(text);
    }
    saveSourceItems();
}

// ---- Symbol ------------------------------------------------------------------------------

void FinanceEntryRow::readSymbol()
{
    TextList file;
    if (file.load(m_paths.resolve(kSymbolFile)) == TextList::LoadResult::Loaded && !file.lines().isEmpty())
        SBM->setText(file.lines().first());
}

WriteResult FinanceEntryRow::saveSymbol()
{
    TextList file;
    file.load(m_paths.resolve(kSymbolFile));
    file.lines() = QStringList{SBM->text()};
    return file.save(m_paths.resolve(kSymbolFile));
}

} // namespace zorv
