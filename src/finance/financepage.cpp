#include "financepage.h"

#include "controls/captions.h"
#include "controls/currencyedit.h"
#include "controls/linklabel.h"
#include "finance/financeentryrow.h"
#include "finance/monthlistpanel.h"
#include "finance/monthtotalspanel.h"
#include "finance/statementimportflow.h"
#include "platform/services.h"
#include "store/paths.h"
#include "store/records.h"
#include "store/textlist.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QShortcut>
#include <QVBoxLayout>

namespace zorv {

namespace {

const QString kPercentHelp =
    QStringLiteral(" The percentage field is good for you to increase or to deduce a percentage: \n\n"
                   " 1 - It presses F9 after typing a percentage to deduce of the Value base; \n\n"
                   " 2 - It presses F10 to increase the percentage to the Value base of the calculation; \n\n"
                   " 3 - or simply, leave the empty field and type Enter to attribute 0%. ");
const QString kSourceHelp = QStringLiteral("The source is of who you paid or it received.");
// How long an action's status stays on the page.
constexpr int kStatusInterval = 6000;

// The month a ledger's file name stands for: its name less ".fin".
QString monthOfFile(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    return name.endsWith(QLatin1String(".fin"), Qt::CaseInsensitive) ? name.chopped(4) : name;
}
const QString kDeleteMonthQuestion =
    QStringLiteral("Este procedimento excluirá o mês do relatório anual.\nVocê deseja realmente fazer isso?");

} // namespace

FinancePage::FinancePage(const Paths &paths, Services &services, QWidget *parent)
    : QWidget(parent)
    , m_paths(paths)
    , m_services(services)
    , m_ledgers(paths)
    , m_corrections(paths)
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

    // A run killed while it read a statement left its private copy behind.
    removeStatementLeftovers();
    setWorkFromDate();
    resetTotals();
}

void FinancePage::buildUi()
{
    useLightCaptions(this);

    auto *page = new QVBoxLayout(this);
    page->addWidget(caption(QStringLiteral("Organize its financial life in an easy way."), this));
    page->addWidget(
        caption(QStringLiteral("Control its expenses and make better investments with its money..."), this));
    page->addWidget(caption(
        QStringLiteral("Examples of releases: 1, 10, 100, 1000, 10000, 1500,50, 500,25, 10,90... + Enter."),
        this));

    m_entry = new FinanceEntryRow(
        m_paths, [this] { return mayWrite(); }, this);
    page->addWidget(m_entry);

    // Months, totals and the corrections area side by side.
    auto *lower = new QHBoxLayout;
    m_months = new MonthListPanel(this);
    lower->addWidget(m_months);
    m_totals = new MonthTotalsPanel(this);
    lower->addWidget(m_totals);
    corrections = new CorrectionsArea(m_held, m_paths, m_services, this);
    lower->addWidget(corrections, 1);
    page->addLayout(lower, 1);
    takePartNames();

    page->addLayout(buildReportsRow());
    connectParts();
    connectCorrections();
}

void FinancePage::takePartNames()
{
    static_cast<FinanceEntryWidgets &>(*this) = *m_entry;
    static_cast<MonthListWidgets &>(*this) = *m_months;
    static_cast<MonthTotalsWidgets &>(*this) = *m_totals;
}

QHBoxLayout *FinancePage::buildReportsRow()
{
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
    return reportsRow;
}

void FinancePage::connectParts()
{
    connect(m_entry, &FinanceEntryRow::saveRequested, this, &FinancePage::pm1Click);
    connect(m_entry, &FinanceEntryRow::told, this, &FinancePage::tell);
    connect(Excluir12, &QAction::triggered, this, &FinancePage::Excluir12Click);
    connect(fn2, &QDateEdit::dateChanged, this, [this] { setWorkFromDate(); });
    connect(pm1, &LinkLabel::clicked, this, &FinancePage::pm1Click);
    connect(Label128, &LinkLabel::clicked, this, &FinancePage::Label128Click);
    connect(Label111, &LinkLabel::clicked, this, &FinancePage::Label111Click);
    connect(Label109, &LinkLabel::clicked, this, &FinancePage::Label109Click);

    connect(Excluir7, &QAction::triggered, this, &FinancePage::Excluir7Click);
    connect(Atualizar3, &QAction::triggered, this, &FinancePage::Atualizar3Click);
    connect(m_months, &MonthListPanel::monthChosen, this, &FinancePage::lvd1Click);
    connect(m_months, &MonthListPanel::searchEntered, this, &FinancePage::MKDEnter);

    m_importFlow = new StatementImportFlow(
        m_paths, m_services, [this] { return mayWrite(); }, this);
    connect(m_importFlow, &StatementImportFlow::told, this, &FinancePage::tell);
    connect(m_importFlow, &StatementImportFlow::imported, this, &FinancePage::importedEntries);
    connect(m_importFlow, &StatementImportFlow::readingEnded, this, &FinancePage::statementReadingEnded);
    // The dialogs of an import took the keyboard; it comes back to the value field, as
    // after every other action.
    connect(m_importFlow, &StatementImportFlow::finished, this, [this] {
        // The closed dialog leaves no window active: the keys would go nowhere.
        if (isVisible())
            window()->activateWindow();
        FocusValue();
    });
}

void FinancePage::connectCorrections()
{
    corrections->setSymbolSource([this] { return symbol(); });
    connect(corrections, &CorrectionsArea::alteringEntry, this,
            [this](const EntryRow &row, const QString &monthPath) {
                // Nothing is written yet: the entry stays as it is until the corrected one is saved,
                // and then the old line is replaced in one change.
                m_correction = PendingCorrection{row, monthPath};
                FN1->setText(row.amount);
                fn2->setDate(parseShortDate(row.date));
                fn3->setCurrentIndex(fn3->findText(row.operation));
                FN4->setEditText(row.source);
                m_workMonth = row.monthKey();
                m_workYear = row.yearKey();
                tell(tr("Alterando o lançamento de %1: ele será substituído quando o corrigido for gravado")
                         .arg(row.monthKey()));
            });
    connect(corrections, &CorrectionsArea::entryNotRemoved, this, [this](const QString &reason, bool gone) {
        if (gone) {
            // Another program changed the ledger since it was listed: it is shown as it is now.
            const QString path = m_held.path;
            corrections->hidePanel();
            resetTotals();
            tmcalc.start();
            if (QFileInfo::exists(path))
                computeSumsOver(path);
            else
                forgetHeldMonth();
        }
        tell(tr("Nada excluído: %1").arg(reason));
    });
    connect(corrections, &CorrectionsArea::entryRemoved, this, [this](bool yearToo) {
        // A line missing from the year ledger leaves the totals until the next recomputation.
        if (yearToo)
            pdel();
        const auto row = corrections->selectedRow();
        const QString month = row ? row->monthKey() : monthOfFile(m_held.path);
        const QString yearNote = yearToo ? QString() : QStringLiteral(" (não estava no livro do ano)");
        tell(QStringLiteral("Lançamento excluído de %1%2").arg(month, yearNote));
    });
    connect(corrections, &CorrectionsArea::entryAltered, this, &FinancePage::FocusValue);
}

// ---- Symbol and help ---------------------------------------------------------------------

QString FinancePage::symbol() const
{
    return SBM->text();
}

void FinancePage::ReadSymbol()
{
    m_entry->readSymbol();
}

void FinancePage::Label128Click()
{
    if (!mayWrite()) {
        tell(QStringLiteral("Símbolo não gravado: a cópia de segurança está sendo restaurada"));
        return;
    }
    clearStatus();
    const WriteResult saved = m_entry->saveSymbol();
    if (saved)
        tell(QStringLiteral("Símbolo %1 gravado").arg(SBM->text()));
    else
        tell(QStringLiteral("Símbolo não gravado: %1").arg(saved.reason()));
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

FinancePage::EntrySave FinancePage::takeSave() const
{
    return {
        LedgerEntry{FN1->Value(), fn2->date(), fn3->currentText(), FN4->currentText(), FN5->currentText()},
        m_correction};
}

bool FinancePage::writeEntry(EntrySave &save)
{
    m_workMonth = monthKey(save.entry.date);
    m_workYear = yearKey(save.entry.date);
    const QString line = buildLedgerLine(save.entry);
    if (!save.correction) {
        const WriteResult written = m_ledgers.appendEntry(m_workMonth, m_workYear, line, true);
        if (!written) {
            m_notWritten = QStringLiteral("Nada gravado: %1").arg(written.reason());
            return false;
        }
        return true;
    }
    // A correction: the old line leaves its ledgers and the corrected one is appended, as one
    // group of files, so no moment (nor a kill) has the one without the other.
    const PendingCorrection correction = *save.correction;
    LedgerCorrections::EntryChange change;
    const WriteResult result = m_corrections.changeEntry(
        correction.monthPath, correction.row, correction.row.yearKey(),
        {{monthLedgerName(m_workMonth), line}, {yearLedgerName(m_workYear), line}}, change);
    if (!result) {
        if (change.removal == LedgerCorrections::Removal::Gone) {
            // The entry went away meanwhile (another program, a deletion): the correction
            // ends and the fields stay, so a new save writes them as a new entry.
            save.correction.reset();
            m_correction.reset();
            m_notWritten = tr("Nada gravado: o lançamento corrigido não está mais em %1; "
                              "grave de novo para lançá-lo como novo")
                               .arg(correction.row.monthKey());
        } else {
            m_notWritten = tr("Nada gravado: %1").arg(result.reason());
        }
        return false;
    }
    save.correction.reset();
    m_correction.reset();
    return true;
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
    const auto installments = m_entry->installments();
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
        if (TMPC.isActive()) {
            tell(tr("Nada gravado: as parcelas anteriores ainda estão sendo gravadas"));
            return;
        }
        m_notWritten = saveRefusal();
        if (!m_notWritten.isEmpty()) {
            tell(m_notWritten);
            return;
        }
        Mdata(int(qMin<qint64>(*installments, 1200)));
        return;
    }
    const bool correcting = m_correction.has_value();
    if (LDATA())
        tell((correcting ? tr("Lançamento corrigido em %1") : QStringLiteral("Lançamento gravado em %1"))
                 .arg(m_workMonth));
    else
        tell(m_notWritten);
}

bool FinancePage::LDATA()
{
    m_notWritten = saveRefusal();
    if (!m_notWritten.isEmpty())
        return false;
    EntrySave save = takeSave();
    if (!writeEntry(save)) // nothing written: the fields stay for another try
        return false;
    m_entry->clearAfterSave();
    Atualizar3Click();
    CalV();
    FocusValue();
    m_entry->clearCounts();
    return true;
}

void FinancePage::Mdata(int installments)
{
    // Every value of the run is taken now; the row is then free for the next entry, and
    // nothing typed there while the run writes reaches the run or is touched by it.
    m_run = takeSave();
    m_correction.reset();
    m_runTotal = installments;
    m_runFirstMonth.clear();
    m_runWritten = 0;
    m_pending.clear();
    for (int i = 0; i < installments; ++i)
        m_pending.append(QStringLiteral("Parcela: ") + QString::number(i));
    m_entry->clearAfterSave();
    m_entry->clearCounts();
    FocusValue();
    TMPC.start();
}

bool FinancePage::rowIsEmpty() const
{
    return FN1->text().isEmpty() && FN4->currentText().isEmpty() && FN5->currentIndex() < 0;
}

void FinancePage::TMPCTimer()
{
    if (m_pending.isEmpty()) {
        TMPC.stop();
        return;
    }
    m_run.entry.date = nextInstallmentDate(m_run.entry.date);
    tell(tr("Gravando parcela %1 de %2…").arg(m_runWritten + 1).arg(m_runTotal));
    if (!writeEntry(m_run)) {
        // The run stops at the first installment that could not be written: the ones
        // before it stay. When the next entry is not being typed yet, the row shows the
        // run's fields with this installment's date, so the user sees where it stopped.
        TMPC.stop();
        const int total = m_runWritten + int(m_pending.size());
        m_pending.clear();
        Atualizar3Click();
        if (rowIsEmpty()) {
            FN1->setValue(m_run.entry.value);
            fn2->setDate(m_run.entry.date);
            fn3->setCurrentIndex(fn3->findText(m_run.entry.operation));
            FN4->setEditText(m_run.entry.source);
            FN5->setCurrentIndex(FN5->findText(m_run.entry.paymentForm));
        }
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
}

void FinancePage::abandonCorrection()
{
    if (!m_correction)
        return;
    m_correction.reset();
    m_entry->clearAfterSave();
    m_entry->clearCounts();
    fn3->setCurrentIndex(-1);
    SetDateToToday();
    tell(tr("Correção cancelada: o lançamento ficou como estava"));
}

// ---- Statement import ------------------------------------------------------------------

StatementPreview *FinancePage::statementPreview() const
{
    return m_importFlow->preview();
}

QProgressDialog *FinancePage::statementProgress() const
{
    return m_importFlow->progress();
}

StatementReading &FinancePage::statementReading()
{
    return m_importFlow->reading();
}

void FinancePage::ImportStatementClick()
{
    m_importFlow->start();
    // The statement's entries are written only once its preview is confirmed, later: the
    // correction is given up before anything of it lands, and its status stays on screen.
    abandonCorrection();
}

void FinancePage::cancelStatementReading()
{
    m_importFlow->cancelReading();
}

void FinancePage::importedEntries()
{
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
    m_monthFiles = m_ledgers.monthFileNames();
    m_months->setMonths(m_monthFiles);
}

void FinancePage::resetTotals()
{
    m_sums = {};
    m_totals->reset(symbol());
}

void FinancePage::computeSumsOver(const QString &path)
{
    TextList month;
    if (month.load(path) != TextList::LoadResult::Loaded)
        return;
    m_held.lines = month;
    m_held.path = path;
    m_sums = computeMonthSums(m_held.lines.lines());
    m_totals->showMonth(monthOfFile(path));
    m_totals->showSums(symbol(), m_sums);
}

void FinancePage::LoadFN(int row)
{
    if (row < 0 || row >= m_monthFiles.size())
        return;
    m_selectedMonthFile = m_ledgers.monthFilePath(m_monthFiles[row]);
    if (m_correction && QFileInfo(m_correction->monthPath) != QFileInfo(m_selectedMonthFile))
        abandonCorrection();
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
    m_totals->showBalance(symbol(), m_sums);
}

void FinancePage::lvd1Click(int row)
{
    // The list reports one choice both as a click and as a change of its current row: the
    // status of the first (a correction given up) stays for the second.
    const bool again = row >= 0 && row < m_monthFiles.size() && !m_selectedMonthFile.isEmpty() &&
                       m_ledgers.monthFilePath(m_monthFiles[row]) == m_selectedMonthFile;
    if (!again)
        clearStatus();
    corrections->resetSelectedRowLabel();
    LoadFN(row);
}

void FinancePage::MKDEnter()
{
    const int row = m_months->rowOfTypedMonth();
    if (row < 0)
        return;
    m_months->selectQuietly(row);
    LoadFN(row);
}

// ---- Corrections -------------------------------------------------------------------------

bool FinancePage::canDeleteMonth() const
{
    return m_months->canDeleteMonth();
}

bool FinancePage::canDeleteEntry() const
{
    return corrections->canDeleteEntry();
}

bool FinancePage::canDeleteSource() const
{
    return m_entry->canDeleteSource();
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
    const WriteResult removal = m_corrections.deleteMonth(name);
    if (!removal) {
        tell(QStringLiteral("Mês %1 não excluído: %2").arg(monthOfFile(name), removal.reason()));
        return;
    }
    tell(QStringLiteral("Mês %1 excluído").arg(monthOfFile(name)));
    m_months->removeQuietly(row);
    m_monthFiles.removeAt(row);
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
    abandonCorrection();
    TMPC.stop();
    m_pending.clear();
    forgetHeldMonth();
    m_selectedMonthFile.clear();
    ReadSymbol();
    resetTotals();
    Atualizar3Click();
    m_entry->reloadSources();
}

void FinancePage::Excluir12Click()
{
    if (FN4->currentText().isEmpty() || !mayWrite())
        return;
    const QString removed = m_entry->removeSource();
    if (!removed.isEmpty())
        tell(QStringLiteral("Fonte %1 excluída").arg(removed));
}

} // namespace zorv
