#include "financepage.h"

#include "controls/captions.h"
#include "controls/currencyedit.h"
#include "controls/keys.h"
#include "controls/linklabel.h"
#include "finance/statementpreview.h"
#include "platform/services.h"
#include "store/paths.h"
#include "store/records.h"
#include "store/textlist.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScopeGuard>
#include <QShortcut>
#include <QTreeWidget>

namespace zorv {

namespace {

const QString kPercentHelp =
    QStringLiteral(" The percentage field is good for you to increase or to deduce a percentage: \n\n"
                   " 1 - It presses F9 after typing a percentage to deduce of the Value base; \n\n"
                   " 2 - It presses F10 to increase the percentage to the Value base of the calculation; \n\n"
                   " 3 - or simply, leave the empty field and type Enter to attribute 0%. ");
const QString kSourceHelp = QStringLiteral("The source is of who you paid or it received.");
const QString kDefaultSymbol = QStringLiteral("R$");
const QString kImportCaption = QStringLiteral("Importar extrato");
const QString kImportFilter = QStringLiteral("Extratos OFX (*.ofx *.qfx)");
const QString kCannotRead = QStringLiteral("Não foi possível ler o extrato: ");
const QString kImportedListUnreadable =
    QStringLiteral("a lista das transações já importadas (Importados.ofx) não pôde ser lida.");
const QString kCannotWrite =
    QStringLiteral("Não foi possível gravar a importação; nenhum arquivo foi alterado.");
const QString kEmptyMonthSearch = QStringLiteral("  .    ");
const QString kReadingStatement = QStringLiteral("Lendo o extrato...");
// Shown for the percentages while there are no entrances to compare the exits with.
const QString kNoComparison = QStringLiteral("\u2013");
// How long an action's status stays on the page.
constexpr int kStatusInterval = 6000;

QString entriesText(qsizetype n)
{
    return n == 1 ? QStringLiteral("1 lançamento") : QString::number(n) + QStringLiteral(" lançamentos");
}

// The month a ledger's file name stands for: its name less ".fin".
QString monthOfFile(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    return name.endsWith(QLatin1String(".fin"), Qt::CaseInsensitive) ? name.chopped(4) : name;
}
const QString kDeleteMonthQuestion =
    QStringLiteral("Este procedimento excluirá o mês do relatório anual.\nVocê deseja realmente fazer isso?");

// Letters typed into the field show in upper case.
void keepUpperCase(QLineEdit *edit)
{
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString &text) {
        const int cursor = edit->cursorPosition();
        edit->setText(text.toUpper());
        edit->setCursorPosition(cursor);
    });
}

// A whole number typed into a digits-only field; empty when there is none.
std::optional<qint64> wholeNumber(const QLineEdit *field)
{
    bool ok = false;
    const qint64 n = field->text().toLongLong(&ok);
    return ok ? std::optional<qint64>(n) : std::nullopt;
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

QLabel *label(const QString &text, QWidget *parent, const char *name = nullptr)
{
    auto *l = new QLabel(text, parent);
    if (name)
        l->setObjectName(QLatin1String(name));
    return l;
}

QProgressBar *gauge(const char *name, const QColor &colour, QWidget *parent)
{
    auto *bar = new QProgressBar(parent);
    bar->setObjectName(QLatin1String(name));
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    bar->setStyleSheet(
        QStringLiteral("QProgressBar { border: 1px solid gray; background: white; height: 12px; }"
                       "QProgressBar::chunk { background: %1; }")
            .arg(colour.name()));
    return bar;
}

} // namespace

FinancePage::FinancePage(const Paths &paths, Services &services, QWidget *parent)
    : QWidget(parent)
    , m_paths(paths)
    , m_services(services)
    , m_ledgers(paths)
    , m_corrections(paths)
    , m_import(paths)
{
    setObjectName(QStringLiteral("TabSheet6"));
    setWindowTitle(QStringLiteral("GF"));
    buildUi();

    TMPC.setObjectName(QStringLiteral("TMPC"));
    TMPC.setInterval(300);
    connect(&TMPC, &QTimer::timeout, this, &FinancePage::TMPCTimer);
    tmcalc.setObjectName(QStringLiteral("tmcalc"));
    tmcalc.setInterval(500);
    tmcalc.setSingleShot(true);
    connect(&tmcalc, &QTimer::timeout, this, &FinancePage::tmcalcTimer);
    statusTimer.setObjectName(QStringLiteral("statusTimer"));
    statusTimer.setInterval(kStatusInterval);
    statusTimer.setSingleShot(true);
    connect(&statusTimer, &QTimer::timeout, this, &FinancePage::clearStatus);
    connect(&m_reading, &StatementReading::finished, this, &FinancePage::statementRead);

    // A run killed while it read a statement left its private copy behind.
    removeStatementLeftovers();
    setWorkFromDate();
    resetTotals();
}

void FinancePage::buildUi()
{
    useLightCaptions(this);

    auto *page = new QVBoxLayout(this);
    page->addWidget(label(QStringLiteral("Organize its financial life in an easy way."), this));
    page->addWidget(
        label(QStringLiteral("Control its expenses and make better investments with its money..."), this));
    page->addWidget(label(
        QStringLiteral("Examples of releases: 1, 10, 100, 1000, 10000, 1500,50, 500,25, 10,90... + Enter."),
        this));

    // The entry row: captions above their fields.
    auto *entry = new QGridLayout;
    FN1 = new TzorvCurrency(this);
    FN1->setObjectName(QStringLiteral("FN1"));
    FN1->setFixedWidth(120);
    auto *valueCaption = label(QStringLiteral("&Value"), this);
    valueCaption->setBuddy(FN1);
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
    entry->addWidget(label(QStringLiteral("Date"), this), 0, 2);
    entry->addWidget(label(QStringLiteral("Operation"), this), 0, 3);
    auto *sourceCaption = new QHBoxLayout;
    sourceCaption->addWidget(label(QStringLiteral("Productis..."), this));
    sourceCaption->addWidget(Label109);
    sourceCaption->addStretch();
    entry->addLayout(sourceCaption, 0, 4);
    entry->addWidget(FN1, 1, 0);
    entry->addWidget(AL, 1, 1);
    entry->addWidget(fn2, 1, 2);
    entry->addWidget(fn3, 1, 3);
    entry->addWidget(FN4, 1, 4);
    entry->setColumnStretch(5, 1);

    // The second row: installments, quantity, payment form and Save.
    PCL = digitsField("PCL", this, true);
    PCL->setMaximumWidth(50);
    QT = digitsField("QT", this, false);
    QT->setMaximumWidth(50);
    FN5 = pickList("FN5", kPaymentForms, this);
    pm1 = new LinkLabel(QStringLiteral("Save"), this);
    pm1->setObjectName(QStringLiteral("pm1"));
    auto *second = new QHBoxLayout;
    second->addWidget(label(QStringLiteral("Portions, Qtde. and Coin |"), this));
    second->addWidget(PCL);
    second->addWidget(QT);
    second->addWidget(FN5);
    second->addWidget(pm1);
    second->addStretch();
    entry->addLayout(second, 2, 0, 1, 5);

    // The currency symbol.
    SBM = new QLineEdit(kDefaultSymbol, this);
    SBM->setObjectName(QStringLiteral("SBM"));
    SBM->setMaximumWidth(60);
    Label128 = new LinkLabel(QStringLiteral("Apply"), this);
    Label128->setObjectName(QStringLiteral("Label128"));
    auto *symbolRow = new QHBoxLayout;
    symbolRow->addWidget(label(QStringLiteral("Monetary symbol"), this));
    symbolRow->addWidget(SBM);
    symbolRow->addWidget(Label128);
    actionStatus = label(QString(), this, "actionStatus");
    {
        QFont bold = actionStatus->font();
        bold.setBold(true);
        actionStatus->setFont(bold);
    }
    symbolRow->addSpacing(24);
    symbolRow->addWidget(actionStatus);
    symbolRow->addStretch();
    entry->addLayout(symbolRow, 3, 0, 1, 5);
    page->addLayout(entry);

    // Months, totals and the corrections area side by side.
    auto *lower = new QHBoxLayout;
    auto *months = new QVBoxLayout;
    MKD = new QLineEdit(this);
    MKD->setObjectName(QStringLiteral("MKD"));
    MKD->setInputMask(QStringLiteral("00.9999; "));
    MKD->setMaximumWidth(90);
    auto *searchCaption = label(QStringLiteral("&Locate month"), this);
    searchCaption->setBuddy(MKD);
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
    lower->addLayout(months);

    auto *totals = new QGridLayout;
    le = label(QString(), this, "le");
    ls = label(QString(), this, "ls");
    SD = label(QString(), this, "SD");
    for (QLabel *amount : {le, ls, SD}) {
        QFont bold = amount->font();
        bold.setBold(true);
        amount->setFont(bold);
    }
    psd = label(QString(), this, "psd");
    tot = label(QString(), this, "tot");
    sq1 = gauge("sq1", QColor(0, 128, 0), this);
    sq2 = gauge("sq2", QColor(128, 0, 0), this);
    sq1->setFixedWidth(220);
    sq2->setFixedWidth(220);
    totalsMonth = label(QString(), this, "totalsMonth");
    totals->addWidget(totalsMonth, 0, 0, 1, 2);
    totals->addWidget(label(QStringLiteral("Entrances of the month"), this), 1, 0);
    totals->addWidget(le, 1, 1);
    totals->addWidget(label(QStringLiteral("It includes bills to receive."), this), 2, 0, 1, 2);
    totals->addWidget(label(QStringLiteral("Exits of the month"), this), 3, 0);
    totals->addWidget(ls, 3, 1);
    totals->addWidget(label(QStringLiteral("It includes bills to pay."), this), 4, 0, 1, 2);
    totals->addWidget(label(QStringLiteral("Balance"), this), 5, 0);
    totals->addWidget(SD, 5, 1);
    totals->addWidget(label(QStringLiteral("% of the exit x entrance."), this), 6, 0);
    totals->addWidget(psd, 6, 1);
    totals->addWidget(sq2, 7, 0, 1, 2);
    totals->addWidget(label(QStringLiteral("% of the entrance x exit."), this), 8, 0);
    totals->addWidget(tot, 8, 1);
    totals->addWidget(sq1, 9, 0, 1, 2);
    totals->setRowStretch(10, 1);
    lower->addLayout(totals);

    corrections = new CorrectionsArea(m_held, m_paths, m_services, this);
    lower->addWidget(corrections, 1);
    page->addLayout(lower, 1);

    reportsArea = new QWidget(this);
    reportsArea->setObjectName(QStringLiteral("reportsArea"));
    auto *reportsRow = new QHBoxLayout;
    reportsRow->addWidget(corrections->PO);
    reportsRow->addWidget(reportsArea);
    ImportStatement = namedLink("ImportStatement", QStringLiteral("Import statement (OFX)..."), this);
    ImportStatement->setFocusPolicy(Qt::StrongFocus);
    ImportStatement->setToolTip(QStringLiteral("Ctrl+I"));
    reportsRow->addSpacing(24);
    reportsRow->addWidget(ImportStatement, 0, Qt::AlignTop);
    reportsRow->addStretch(1);
    connect(ImportStatement, &LinkLabel::clicked, this, &FinancePage::ImportStatementClick);
    auto *importKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_I), this);
    importKey->setContext(Qt::WidgetWithChildrenShortcut);
    connect(importKey, &QShortcut::activated, this, &FinancePage::ImportStatementClick);
    page->addLayout(reportsRow);

    PopupMenu12 = new QMenu(this);
    PopupMenu12->setObjectName(QStringLiteral("PopupMenu12"));
    Excluir12 = PopupMenu12->addAction(QStringLiteral("Excluir"));
    Excluir12->setObjectName(QStringLiteral("Excluir12"));
    connect(Excluir12, &QAction::triggered, this, &FinancePage::Excluir12Click);
    connect(PopupMenu12, &QMenu::aboutToShow, this, [this] { Excluir12->setEnabled(canDeleteSource()); });
    connect(FN4, &QComboBox::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu12->popup(FN4->mapToGlobal(pos)); });
    connect(Excluir7, &QAction::triggered, this, &FinancePage::Excluir7Click);
    connect(PopupMenu8, &QMenu::aboutToShow, this, [this] { Excluir7->setEnabled(canDeleteMonth()); });

    // Keys of the Enter chain are seen before the fields' own handling.
    for (QWidget *w : {static_cast<QWidget *>(FN1), static_cast<QWidget *>(AL), static_cast<QWidget *>(fn2),
                       static_cast<QWidget *>(fn3), static_cast<QWidget *>(FN4), static_cast<QWidget *>(PCL),
                       static_cast<QWidget *>(QT), static_cast<QWidget *>(FN5), static_cast<QWidget *>(MKD)})
        w->installEventFilter(this);
    FN4->lineEdit()->installEventFilter(this);

    connect(FN1, &TzorvCurrency::entered, FN1, [this] { FN1->clear(); });
    connect(FN1, &TzorvCurrency::exited, this, &FinancePage::amountLeft);
    connect(fn2, &QDateEdit::dateChanged, this, [this] { setWorkFromDate(); });
    connect(pm1, &LinkLabel::clicked, this, &FinancePage::pm1Click);
    connect(Label128, &LinkLabel::clicked, this, &FinancePage::Label128Click);
    connect(Label111, &LinkLabel::clicked, this, &FinancePage::Label111Click);
    connect(Label109, &LinkLabel::clicked, this, &FinancePage::Label109Click);
    keepUpperCase(SBM);
    connect(Atualizar3, &QAction::triggered, this, &FinancePage::Atualizar3Click);
    connect(lvd1, &QListWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu8->popup(lvd1->viewport()->mapToGlobal(pos)); });
    connect(lvd1, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { lvd1Click(lvd1->row(item)); });
    connect(lvd1, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!m_refreshing && row >= 0)
            lvd1Click(row);
    });
    connectCorrections();
}

void FinancePage::connectCorrections()
{
    corrections->setSymbolSource([this] { return symbol(); });
    connect(corrections, &CorrectionsArea::alteringEntry, this, [this](const EntryRow &row) {
        clearStatus();
        m_altering = true;
        FN1->setText(row.amount);
        fn2->setDate(parseShortDate(row.date));
        fn3->setCurrentIndex(fn3->findText(row.operation));
        FN4->setEditText(row.source);
        m_workMonth = row.monthKey();
        m_workYear = row.yearKey();
    });
    connect(corrections, &CorrectionsArea::entryRemoved, this, [this](bool yearToo) {
        // A line missing from the year ledger leaves the totals until the next recomputation.
        if (yearToo)
            pdel();
        const auto row = corrections->selectedRow();
        const QString month = row ? row->monthKey() : monthOfFile(m_held.path);
        const QString yearNote = yearToo ? QString() : QStringLiteral(" (não estava no livro do ano)");
        if (m_altering)
            tell(QStringLiteral("Lançamento retirado de %1 para alteração%2: digite o valor e grave")
                     .arg(month, yearNote));
        else
            tell(QStringLiteral("Lançamento excluído de %1%2").arg(month, yearNote));
        m_altering = false;
    });
    connect(corrections, &CorrectionsArea::entryAltered, this, &FinancePage::FocusValue);
}

// ---- Keys --------------------------------------------------------------------------------

bool FinancePage::eventFilter(QObject *watched, QEvent *event)
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

bool FinancePage::handleKey(QObject *watched, int key)
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
        pm1Click();
    } else if (watched == MKD) {
        MKDEnter();
    } else {
        return false;
    }
    return true;
}

void FinancePage::applyPercentage(bool deduct)
{
    if (AL->text().isEmpty())
        AL->setText(QStringLiteral("0"));
    const auto percent = wholeNumber(AL);
    if (!percent)
        return;
    FN1->CommitText();
    // A percentage of the amount before it would pass for one of the amount typed.
    if (!FN1->IsValid()) {
        tell(TzorvCurrency::notTakenHint());
        return;
    }
    const auto result = zorv::applyPercentage(FN1->Value(), *percent, deduct);
    if (!result)
        return;
    FN1->setValue(*result);
    fn2->setFocus();
}

void FinancePage::multiplyByQuantity()
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

void FinancePage::loadSourceItems()
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

void FinancePage::saveSourceItems()
{
    if (!mayWrite())
        return;
    TextList sources;
    sources.load(m_paths.resolve(kSourcesFile)); // keeps the file's encoding
    sources.lines().clear();
    for (int i = 0; i < FN4->count(); ++i)
        sources.lines().append(FN4->itemText(i));
    sources.save(m_paths.resolve(kSourcesFile));
}

void FinancePage::sourceEntered()
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

// ---- Symbol and help ---------------------------------------------------------------------

QString FinancePage::symbol() const
{
    return SBM->text();
}

void FinancePage::ReadSymbol()
{
    TextList file;
    if (file.load(m_paths.resolve(kSymbolFile)) == TextList::LoadResult::Loaded && !file.lines().isEmpty())
        SBM->setText(file.lines().first());
}

void FinancePage::Label128Click()
{
    if (!mayWrite()) {
        tell(QStringLiteral("Símbolo não gravado: a cópia de segurança está sendo restaurada"));
        return;
    }
    clearStatus();
    TextList file;
    file.load(m_paths.resolve(kSymbolFile));
    file.lines() = QStringList{SBM->text()};
    if (file.save(m_paths.resolve(kSymbolFile)))
        tell(QStringLiteral("Símbolo %1 gravado").arg(SBM->text()));
    else
        tell(QStringLiteral("Símbolo não gravado: Money.sbm não pôde ser gravado"));
}

void FinancePage::Label111Click()
{
    m_services.dialogs.message(kPercentHelp);
}

void FinancePage::Label109Click()
{
    m_services.dialogs.message(kSourceHelp);
}

void FinancePage::SetDateToToday()
{
    fn2->setDate(m_services.clock.today());
}

void FinancePage::FocusValue()
{
    // Arriving in the field empties it for the new amount, also when the focus was already
    // there or comes with the window's activation (which does not count as entering).
    FN1->clear();
    FN1->setFocus(Qt::OtherFocusReason);
}

// ---- Saving ------------------------------------------------------------------------------

void FinancePage::setWorkFromDate()
{
    m_workMonth = monthKey(fn2->date());
    m_workYear = yearKey(fn2->date());
}

void FinancePage::amountLeft()
{
    if (!FN1->IsValid() && !FN1->text().isEmpty())
        tell(TzorvCurrency::notTakenHint());
}

QString FinancePage::saveRefusal() const
{
    if (!mayWrite())
        return QStringLiteral("Nada gravado: a cópia de segurança está sendo restaurada");
    if (FN1->text().isEmpty())
        return QStringLiteral("Nada gravado: falta o valor");
    if (!FN1->IsValid())
        return QStringLiteral("Nada gravado: valor inválido");
    if (fn3->currentText().isEmpty())
        return QStringLiteral("Nada gravado: falta a operação");
    if (FN4->currentText().isEmpty())
        return QStringLiteral("Nada gravado: falta a fonte");
    return {};
}

void FinancePage::pm1Click()
{
    clearStatus();
    // Save clicked while the amount is still being typed: the typed amount is the one meant.
    if (FN1->hasFocus())
        FN1->CommitText();
    if (FN5->currentIndex() < 0) {
        tell(QStringLiteral("Nada gravado: escolha a forma de pagamento"));
        return;
    }
    const auto installments = wholeNumber(PCL);
    if (!installments) {
        tell(QStringLiteral("Nada gravado: falta o número de parcelas"));
        return;
    }
    // An amount that was not taken never lets the one before it be saved in its place.
    if (!FN1->IsValid()) {
        tell(FN1->text().isEmpty() ? QStringLiteral("Nada gravado: falta o valor")
                                   : QStringLiteral("Nada gravado: valor inválido"));
        return;
    }
    setWorkFromDate();
    if (*installments > 1) {
        Mdata(int(qMin<qint64>(*installments, 1200)));
    } else if (LDATA()) {
        tell(QStringLiteral("Lançamento gravado em %1").arg(m_workMonth));
    } else {
        tell(m_notWritten);
    }
}

bool FinancePage::LDATA()
{
    m_notWritten = saveRefusal();
    if (!m_notWritten.isEmpty())
        return false;
    const LedgerEntry entry{FN1->Value(), fn2->date(), fn3->currentText(), FN4->currentText(),
                            FN5->currentText()};
    const bool toYear = yearKey(fn2->date()) == m_workYear;
    if (!m_ledgers.appendEntry(m_workMonth, m_workYear, buildLedgerLine(entry), toYear)) {
        // Nothing written: the fields stay for another try.
        m_notWritten = QStringLiteral("Nada gravado: o livro de %1 não pôde ser gravado").arg(m_workMonth);
        return false;
    }

    const auto installments = wholeNumber(PCL);
    if (!installments)
        return true;
    if (*installments < 2)
        clearEntryAfterSave();
    Atualizar3Click();
    CalV();
    if (*installments < 2)
        FocusValue();
    QT->clear();
    PCL->clear();
    AL->clear();
    return true;
}

void FinancePage::clearEntryAfterSave()
{
    FN1->clear();
    FN4->clear();
    FN4->clearEditText();
    FN5->setCurrentIndex(-1);
}

void FinancePage::Mdata(int installments)
{
    m_runFirstMonth.clear();
    m_runWritten = 0;
    m_pending.clear();
    for (int i = 0; i < installments; ++i)
        m_pending.append(QStringLiteral("Parcela: ") + QString::number(i));
    TMPC.start();
}

void FinancePage::TMPCTimer()
{
    if (m_pending.isEmpty()) {
        TMPC.stop();
        return;
    }
    fn2->setDate(nextInstallmentDate(fn2->date()));
    setWorkFromDate();
    if (!LDATA()) {
        // The run stops at the first installment that could not be written: the ones
        // before it stay, and the entry row keeps its fields with this installment's date,
        // so the user sees the run did not finish.
        TMPC.stop();
        const int total = m_runWritten + int(m_pending.size());
        m_pending.clear();
        Atualizar3Click();
        tell(QStringLiteral("Parcelas interrompidas: %1 de %2 gravadas. %3")
                 .arg(m_runWritten)
                 .arg(total)
                 .arg(m_notWritten));
        return;
    }
    if (m_runWritten++ == 0)
        m_runFirstMonth = m_workMonth;
    Atualizar3Click();
    m_pending.removeFirst();
    if (!m_pending.isEmpty())
        return;
    TMPC.stop();
    tell(QStringLiteral("%1 parcelas gravadas, de %2 a %3")
             .arg(m_runWritten)
             .arg(m_runFirstMonth, m_workMonth));
    clearEntryAfterSave();
    QT->clear();
    PCL->clear();
    AL->clear();
    FocusValue();
    Atualizar3Click();
}

// ---- Statement import ------------------------------------------------------------------

StatementPreview *FinancePage::statementPreview() const
{
    return m_preview;
}

QProgressDialog *FinancePage::statementProgress() const
{
    return m_progress;
}

void FinancePage::ImportStatementClick()
{
    if (m_preview || m_reading.isReading())
        return;
    if (!mayWrite()) {
        tell(QStringLiteral("Nada importado: a cópia de segurança está sendo restaurada"));
        return;
    }
    clearStatus();
    const QString path = m_services.dialogs.openFile(kImportCaption, m_importFolder, kImportFilter);
    if (path.isEmpty())
        return;
    m_importFolder = QFileInfo(path).absolutePath();
    if (!m_reading.start(path))
        return;
    // The file is read off the window's thread; meanwhile the window keeps its timers and
    // shows that it is busy, with a Cancel that drops the reading.
    m_progress = new QProgressDialog(kReadingStatement, QString(), 0, 0, this);
    m_progress->setObjectName(QStringLiteral("StatementProgress"));
    auto *cancel = new QPushButton(QStringLiteral("Cancelar"), m_progress);
    cancel->setObjectName(QStringLiteral("CancelReading"));
    m_progress->setCancelButton(cancel);
    m_progress->setWindowTitle(kImportCaption);
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setMinimumDuration(0);
    m_progress->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_progress, &QProgressDialog::canceled, this, &FinancePage::cancelStatementReading);
    connect(m_progress, &QDialog::rejected, this, &FinancePage::cancelStatementReading);
    m_progress->show();
}

void FinancePage::cancelStatementReading()
{
    if (!m_reading.isReading())
        return;
    m_reading.cancel();
    if (m_progress) {
        m_progress->disconnect(this);
        m_progress->close();
    }
    tell(QStringLiteral("Importação cancelada: nada importado"));
    emit statementReadingEnded();
}

void FinancePage::statementRead(const StatementReadResult &read)
{
    if (m_progress) {
        m_progress->disconnect(this);
        m_progress->close();
    }
    const auto ended = qScopeGuard([this] { emit statementReadingEnded(); });
    if (!read.ok()) {
        tell(QStringLiteral("Nada importado"));
        m_services.dialogs.message(kCannotRead + read.error, {}, MessageIcon::Warning);
        return;
    }
    bool listed = false;
    const QList<ImportRow> rows = m_import.rowsFor(read.transactions, &listed);
    if (!listed) {
        tell(QStringLiteral("Nada importado"));
        m_services.dialogs.message(kCannotRead + kImportedListUnreadable, {}, MessageIcon::Warning);
        return;
    }
    const int already = int(
        std::count_if(rows.cbegin(), rows.cend(), [](const ImportRow &row) { return row.alreadyImported; }));
    m_preview = new StatementPreview(rows, this);
    m_preview->setAttribute(Qt::WA_DeleteOnClose);
    m_preview->setWindowModality(Qt::WindowModal);
    connect(m_preview, &QDialog::finished, this, [this] { m_preview.clear(); });
    connect(m_preview, &QDialog::rejected, this,
            [this] { tell(QStringLiteral("Importação cancelada: nada importado")); });
    connect(m_preview, &QDialog::accepted, this,
            [this, already, preview = m_preview] { importRows(preview->tickedRows(), already); });
    m_preview->open();
}

void FinancePage::importRows(const QList<ImportRow> &rows, int alreadyImported)
{
    const QString existing = alreadyImported > 0
                                 ? QStringLiteral(", %1 já existente%2")
                                       .arg(alreadyImported)
                                       .arg(alreadyImported == 1 ? QString() : QStringLiteral("s"))
                                 : QString();
    if (!mayWrite()) {
        tell(QStringLiteral("Nada importado: a cópia de segurança está sendo restaurada"));
        return;
    }
    const std::optional<qsizetype> written = rows.isEmpty() ? qsizetype(0) : m_import.write(rows);
    if (!written) {
        tell(QStringLiteral("Nada importado"));
        m_services.dialogs.message(kCannotWrite, {}, MessageIcon::Warning);
        return;
    }
    tell((*written == 0 ? QStringLiteral("Nenhum lançamento importado")
                        : entriesText(*written) + (*written == 1 ? QStringLiteral(" importado")
                                                                 : QStringLiteral(" importados"))) +
         existing);
    if (*written == 0)
        return;
    Atualizar3Click();
    // The month shown is summed again: the one chosen in the list, else the work month.
    if (!m_selectedMonthFile.isEmpty() && QFileInfo::exists(m_selectedMonthFile))
        pdel();
    else
        CalV();
}

// ---- Status ------------------------------------------------------------------------------

void FinancePage::tell(const QString &text)
{
    actionStatus->setText(text);
    if (text.isEmpty())
        statusTimer.stop();
    else
        statusTimer.start();
}

void FinancePage::clearStatus()
{
    tell(QString());
}

// ---- Months and totals -------------------------------------------------------------------

void FinancePage::Atualizar3Click()
{
    m_refreshing = true;
    m_monthFiles = m_ledgers.monthFileNames();
    lvd1->clear();
    lvd1->addItems(m_monthFiles);
    lvd1->setCurrentRow(-1);
    m_refreshing = false;
    Excluir7->setEnabled(lvd1->count() > 0);
}

void FinancePage::resetTotals()
{
    m_sums = {};
    const QString zero = symbol() + QLatin1Char(' ') + formatAmount(Currency());
    le->setText(zero);
    ls->setText(zero);
    SD->setText(zero);
    totalsMonth->setText(QStringLiteral("Mês: %1").arg(kNoComparison));
    showNoComparison();
}

void FinancePage::showNoComparison()
{
    sq1->setValue(0);
    sq2->setValue(0);
    psd->setText(kNoComparison);
    tot->setText(kNoComparison);
}

void FinancePage::computeSumsOver(const QString &path)
{
    TextList month;
    if (month.load(path) != TextList::LoadResult::Loaded)
        return;
    m_held.lines = month;
    m_held.path = path;
    m_sums = computeMonthSums(m_held.lines.lines());
    totalsMonth->setText(QStringLiteral("Mês: %1").arg(monthOfFile(path)));
    showSums();
}

void FinancePage::showSums()
{
    le->setText(symbol() + QLatin1Char(' ') + formatAmount(m_sums.entrances));
    ls->setText(symbol() + QLatin1Char(' ') + formatAmount(m_sums.exits));
}

void FinancePage::LoadFN(int row)
{
    if (row < 0 || row >= m_monthFiles.size())
        return;
    m_selectedMonthFile = m_ledgers.monthFilePath(m_monthFiles[row]);
    pdel();
}

void FinancePage::pdel()
{
    corrections->hidePanel();
    resetTotals();
    tmcalc.start();
    if (QFileInfo::exists(m_selectedMonthFile))
        computeSumsOver(m_selectedMonthFile);
}

void FinancePage::CalV()
{
    tmcalc.start();
    const QString path = m_paths.resolve(monthLedgerName(m_workMonth));
    if (QFileInfo::exists(path))
        computeSumsOver(path);
}

void FinancePage::tmcalcTimer()
{
    tmcalc.stop();
    const AmountSum entrances = m_sums.entrances.roundedToCents();
    const AmountSum exits = m_sums.exits.roundedToCents();
    SD->setText(symbol() + QLatin1Char(' ') + formatAmount(entrances - exits));
    const auto percent = exitPercentage(entrances, exits);
    if (!percent) {
        // Without entrances there is nothing to compare the exits with: the percentages
        // say so rather than keep what another month showed.
        showNoComparison();
        return;
    }
    psd->setText(wideIntText(*percent) + QLatin1Char('%'));
    sq2->setValue(clampGauge(*percent));
    sq1->setValue(clampGauge(100 - *percent));
    tot->setText(QString::number(sq1->value()) + QLatin1Char('%'));
}

void FinancePage::lvd1Click(int row)
{
    clearStatus();
    corrections->resetSelectedRowLabel();
    LoadFN(row);
}

void FinancePage::MKDEnter()
{
    const QString typed = MKD->displayText();
    if (typed == kEmptyMonthSearch)
        return;
    const QString key = typed.trimmed();
    if (key.isEmpty() || key == QLatin1String("."))
        return;
    QStringList items;
    for (int i = 0; i < lvd1->count(); ++i)
        items.append(lvd1->item(i)->text());
    const qsizetype row = findLineByPrefix(items, key);
    if (row < 0)
        return;
    m_refreshing = true;
    lvd1->setCurrentRow(int(row));
    m_refreshing = false;
    LoadFN(int(row));
}

// ---- Corrections -------------------------------------------------------------------------

bool FinancePage::canDeleteMonth() const
{
    return lvd1->count() > 0;
}

bool FinancePage::canDeleteEntry() const
{
    return corrections->canDeleteEntry();
}

bool FinancePage::canDeleteSource() const
{
    return !FN4->currentText().isEmpty();
}

void FinancePage::Excluir7Click()
{
    const QListWidgetItem *item = lvd1->currentItem();
    if (!item || !item->isSelected() || !mayWrite())
        return;
    if (!m_services.dialogs.question(kDeleteMonthQuestion, QStringLiteral("Zorv Desk")))
        return;
    const int row = lvd1->row(item);
    const QString name = item->text();
    if (!m_corrections.deleteMonth(name)) {
        tell(QStringLiteral("Mês %1 não excluído: o arquivo não pôde ser apagado").arg(monthOfFile(name)));
        return;
    }
    tell(QStringLiteral("Mês %1 excluído").arg(monthOfFile(name)));
    m_refreshing = true;
    delete lvd1->takeItem(row);
    m_monthFiles.removeAt(row);
    lvd1->setCurrentRow(-1);
    m_refreshing = false;
    resetTotals();
    // Nothing of the deleted month may stay behind: a correction made from its listed
    // entries would write its remaining lines back into a ledger the year no longer holds.
    const QString deleted = QFileInfo(m_ledgers.monthFilePath(name)).absoluteFilePath();
    if (!m_held.path.isEmpty() && QFileInfo(m_held.path).absoluteFilePath() == deleted)
        forgetHeldMonth();
    if (!m_selectedMonthFile.isEmpty() && QFileInfo(m_selectedMonthFile).absoluteFilePath() == deleted)
        m_selectedMonthFile.clear();
}

void FinancePage::forgetHeldMonth()
{
    m_held.clear();
    corrections->forgetRows();
}

void FinancePage::setWriteGate(std::function<bool()> mayWrite)
{
    m_mayWrite = mayWrite;
    corrections->setWriteGate(std::move(mayWrite));
}

void FinancePage::dataFolderReplaced()
{
    TMPC.stop();
    m_pending.clear();
    forgetHeldMonth();
    m_selectedMonthFile.clear();
    ReadSymbol();
    resetTotals();
    Atualizar3Click();
    // The sources are read again, or emptied when the restored folder has none, so a
    // deletion cannot write the replaced folder's list into it.
    const QString typed = FN4->currentText();
    const QSignalBlocker block(FN4);
    FN4->clear();
    FN4->setEditText(typed);
    loadSourceItems();
}

void FinancePage::Excluir12Click()
{
    if (FN4->currentText().isEmpty() || !mayWrite())
        return;
    const int chosen = FN4->currentIndex();
    if (chosen >= 0 && FN4->itemText(chosen) == FN4->currentText()) {
        tell(QStringLiteral("Fonte %1 excluída").arg(FN4->currentText()));
        FN4->removeItem(chosen);
    }
    FN4->setCurrentIndex(-1);
    FN4->clearEditText();
    saveSourceItems();
}

} // namespace zorv
