#include "organizer/appointmentspage.h"

#include "controls/captions.h"
#include "controls/choicelist.h"
#include "controls/keys.h"
#include "controls/linklabel.h"
#include "controls/maskedtext.h"
#include "controls/taglabel.h"
#include "organizer/appointments.h"
#include "platform/services.h"
#include "store/logging.h"
#include "store/paths.h"
#include "store/records.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zorv {

namespace {

const QString kHeader = QStringLiteral("Agende seus compromissos e mantenha-se organizado");
const QString kMusicMessage = QStringLiteral("In the list of music, give double click to apply.");
// The long date of the Brazilian settings, whatever the machine's locale.
const QString kLongDate = QStringLiteral("dddd, d 'de' MMMM 'de' yyyy");
// A row scrolled to by a click on its date stands this far below the list's top.
constexpr int kRowTopMargin = 20;
// The whole record line a row stands for (its shown text may be cut).
constexpr int kLineRole = Qt::UserRole;

} // namespace

AppointmentsPage::AppointmentsPage(const Paths &paths, Services &services, QWidget *parent)
    : QWidget(parent)
    , m_paths(paths)
    , m_services(services)
{
    setObjectName(QStringLiteral("AppointmentsPage"));
    LBC.setSavePolicy(TextList::SavePolicy::Utf8WhenNeeded);
    LM.setSavePolicy(TextList::SavePolicy::Utf8WhenNeeded);
    buildLayout();

    tmch.setObjectName(QStringLiteral("tmch"));
    tmch.setInterval(tmchInterval);
    connect(&tmch, &QTimer::timeout, this, &AppointmentsPage::tmchTimer);
}

void AppointmentsPage::buildLayout()
{
    useLightCaptions(this);
    auto *outer = new QVBoxLayout(this);

    header = new QLabel(kHeader, this);
    header->setObjectName(QStringLiteral("header"));
    QFont big = header->font();
    big.setPointSize(big.pointSize() + 4);
    header->setFont(big);
    outer->addWidget(header);
    outer->addLayout(buildEntryRow());

    auto *lists = new QHBoxLayout;
    lists->addWidget(buildDateList());
    lists->addLayout(buildAppointmentList(), 1);
    outer->addLayout(lists, 1);

    for (QWidget *field :
         {static_cast<QWidget *>(DC), static_cast<QWidget *>(MDC), static_cast<QWidget *>(EDC)})
        field->installEventFilter(this);
    connectSignals();
}

QGridLayout *AppointmentsPage::buildEntryRow()
{
    auto *row = new QGridLayout;
    auto caption = [this](const QString &text, QWidget *buddy) {
        auto *label = new QLabel(text, this);
        label->setBuddy(buddy);
        return label;
    };

    DC = new QDateEdit(this);
    DC->setObjectName(QStringLiteral("DC"));
    DC->setCalendarPopup(false);
    DC->setLocale(QLocale(QLocale::Portuguese, QLocale::Brazil));
    DC->setDisplayFormat(kLongDate);
    DC->setMinimumWidth(
        DC->fontMetrics().horizontalAdvance(QStringLiteral("quarta-feira, 30 de setembro de 2000")) + 40);

    fil = new TagLabel(this);
    fil->setObjectName(QStringLiteral("fil"));
    fil->setPixmap(style()->standardIcon(QStyle::SP_FileDialogContentsView).pixmap(20));
    fil->setToolTip(QStringLiteral("Filtrar por data/Cancelar filtro"));
    fil->setCursor(Qt::PointingHandCursor);
    fil->setTag(markOff);

    Image23 = new TagLabel(this);
    Image23->setObjectName(QStringLiteral("Image23"));
    Image23->setPixmap(style()->standardIcon(QStyle::SP_DialogApplyButton).pixmap(20));
    Image23->setToolTip(QStringLiteral("Verificar compromissos agendados para hoje"));
    Image23->setCursor(Qt::PointingHandCursor);

    MDC = new QLineEdit(this);
    MDC->setObjectName(QStringLiteral("MDC"));
    MDC->setInputMask(QStringLiteral("09:99:99;_"));
    MDC->setFixedWidth(MDC->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00")) + 16);

    EDC = new QLineEdit(this);
    EDC->setObjectName(QStringLiteral("EDC"));

    pm31 = new LinkLabel(QStringLiteral("Cadastrar"), this);
    pm31->setObjectName(QStringLiteral("pm31"));

    row->addWidget(caption(QStringLiteral("&Data"), DC), 0, 0);
    row->addWidget(DC, 1, 0);
    row->addWidget(fil, 1, 1);
    row->addWidget(Image23, 1, 2);
    row->addWidget(caption(QStringLiteral("Hora"), MDC), 0, 3);
    row->addWidget(MDC, 1, 3);
    row->addWidget(caption(QStringLiteral("Compromisso, tarefa..."), EDC), 0, 4);
    row->addWidget(EDC, 1, 4);
    row->addWidget(pm31, 1, 5);
    row->setColumnStretch(4, 1);
    setTabOrder(DC, MDC);
    setTabOrder(MDC, EDC);
    return row;
}

QListWidget *AppointmentsPage::buildDateList()
{
    auto *dateList = new ChoiceList(this);
    lts = dateList;
    lts->setObjectName(QStringLiteral("lts"));
    lts->setFixedWidth(110);
    lts->setContextMenuPolicy(Qt::DefaultContextMenu);
    lts->viewport()->installEventFilter(this);
    PopupMenu9 = new QMenu(lts);
    PopupMenu9->setObjectName(QStringLiteral("PopupMenu9"));
    Excluir8 = PopupMenu9->addAction(QStringLiteral("Excluir"));
    Excluir8->setObjectName(QStringLiteral("Excluir8"));
    return lts;
}

QVBoxLayout *AppointmentsPage::buildAppointmentList()
{
    auto *right = new QVBoxLayout;
    LVC = new QTreeWidget(this);
    LVC->setObjectName(QStringLiteral("LVC"));
    LVC->setColumnCount(3);
    LVC->setHeaderLabels({QStringLiteral("Data"), QStringLiteral("Hora"), QStringLiteral("Compromisso")});
    LVC->setColumnWidth(0, 100);
    LVC->setColumnWidth(1, 100);
    LVC->setColumnWidth(2, 500);
    LVC->setHeaderHidden(true);
    LVC->setRootIsDecorated(false);
    LVC->setUniformRowHeights(true);
    LVC->setSelectionMode(QAbstractItemView::SingleSelection);
    LVC->setSelectionBehavior(QAbstractItemView::SelectRows);
    LVC->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LVC->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    LVC->setToolTip(QStringLiteral("D\u00ea duplo clique para alterar um compromisso..."));
    QPalette rows = LVC->palette();
    rows.setColor(QPalette::Base, Qt::black);
    rows.setColor(QPalette::AlternateBase, Qt::black);
    rows.setColor(QPalette::Text, QColor(LinkLabel::kSilver));
    LVC->setPalette(rows);
    PopupMenu4 = new QMenu(this);
    PopupMenu4->setObjectName(QStringLiteral("PopupMenu4"));
    Excluir3 = PopupMenu4->addAction(QStringLiteral("Excluir"));
    Excluir3->setObjectName(QStringLiteral("Excluir3"));
    right->addWidget(LVC, 1);

    MC = new QPlainTextEdit(this);
    MC->setObjectName(QStringLiteral("MC"));
    MC->setReadOnly(true);
    MC->setFixedHeight(MC->fontMetrics().lineSpacing() * 6 + 12);
    right->addWidget(MC);

    auto *links = new QHBoxLayout;
    pm21 = new LinkLabel(QStringLiteral("Selecione uma m\u00fasica para notifica\u00e7\u00e3o"), this);
    pm21->setObjectName(QStringLiteral("pm21"));
    auto *bar = new QLabel(QStringLiteral("|"), this);
    bar->setObjectName(QStringLiteral("linkSeparator"));
    Label124 = new LinkLabel(QStringLiteral("Gerar relat\u00f3rio de todos os compromissos"), this);
    Label124->setObjectName(QStringLiteral("Label124"));
    links->addWidget(pm21);
    links->addWidget(bar);
    links->addWidget(Label124);
    links->addStretch(1);
    right->addLayout(links);
    return right;
}

void AppointmentsPage::connectSignals()
{
    connect(pm31, &LinkLabel::clicked, this, &AppointmentsPage::pm31Click);
    connect(fil, &TagLabel::clicked, this, &AppointmentsPage::filClick);
    connect(Image23, &TagLabel::clicked, this, &AppointmentsPage::Image23Click);
    connect(LVC, &QTreeWidget::itemSelectionChanged, this, &AppointmentsPage::LVCChange);
    connect(LVC, &QTreeWidget::itemDoubleClicked, this, &AppointmentsPage::LVCDblClick);
    connect(lts, &QListWidget::itemClicked, this, &AppointmentsPage::ltsClick);
    connect(static_cast<ChoiceList *>(lts), &ChoiceList::itemChosen, this, &AppointmentsPage::ltsClick);
    connect(Excluir8, &QAction::triggered, this, &AppointmentsPage::Excluir8Click);
    connect(Excluir3, &QAction::triggered, this, &AppointmentsPage::Excluir3Click);
    connect(pm21, &LinkLabel::clicked, this, &AppointmentsPage::pm21Click);
    connect(Label124, &LinkLabel::clicked, this, &AppointmentsPage::Label124Click);
}

// ---- Keys and the date list's menu -------------------------------------------------------

bool AppointmentsPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lts->viewport()) {
        // A right click opens the menu over the entry as it is, selecting nothing; "Excluir"
        // then acts on the entry under the pointer (from the keyboard, the current one).
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease ||
            event->type() == QEvent::MouseButtonDblClick) {
            if (static_cast<QMouseEvent *>(event)->button() == Qt::RightButton)
                return true;
        } else if (event->type() == QEvent::ContextMenu) {
            auto *menuEvent = static_cast<QContextMenuEvent *>(event);
            m_menuEntry = menuEvent->reason() == QContextMenuEvent::Keyboard ? lts->currentItem()
                                                                             : lts->itemAt(menuEvent->pos());
            Excluir8->setEnabled(m_menuEntry != nullptr);
            PopupMenu9->popup(menuEvent->globalPos());
            return true;
        }
        return QWidget::eventFilter(watched, event);
    }
    if (!isEnterPress(event))
        return QWidget::eventFilter(watched, event);
    // Enter moves along the row, or saves on its last field; it is never typed.
    if (watched == DC) {
        MDC->setFocus();
    } else if (watched == MDC) {
        if (maskedText(*MDC) != kUntouchedTime)
            EDC->setFocus();
    } else if (watched == EDC) {
        pm31Click();
    }
    return true;
}

// ---- Steps of the suite window -----------------------------------------------------------

QDate AppointmentsPage::today() const
{
    return m_services.clock.now().date();
}

void AppointmentsPage::SetDateToToday()
{
    DC->setDate(today());
}

void AppointmentsPage::LoadMusic()
{
    LM.load(m_paths.resolve(kNotificationMusicFile));
}

void AppointmentsPage::LoadAppointments()
{
    GetComp();
}

void AppointmentsPage::ClearDetails()
{
    MC->clear();
}

void AppointmentsPage::selectPage(int index)
{
    if (m_selectPage)
        m_selectPage(index);
}

// ---- Records -----------------------------------------------------------------------------

bool AppointmentsPage::reloadRecords()
{
    // Whoever reloads the records is about to change them or the rows.
    m_listedStamp = {};
    // A record removed from the file (a restored backup without it) must not come back with
    // the next save: the list holds only what the file holds now.
    LBC.clear();
    const QString file = m_paths.resolve(kAppointmentsFile);
    if (LBC.load(file) != TextList::LoadResult::Failed)
        return true;
    qCWarning(lcOrganizer) << "appointments not read, so left unchanged:" << file
                           << "(unreadable, not a regular file or too large)";
    return false;
}

QTreeWidgetItem *AppointmentsPage::selectedRow() const
{
    const QList<QTreeWidgetItem *> selected = LVC->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

bool AppointmentsPage::hasSelectedRow() const
{
    return selectedRow() != nullptr;
}

void AppointmentsPage::pm31Click()
{
    if (EDC->text().isEmpty())
        return;
    if (!reloadRecords())
        return;
    // A changed record replaces its old line: the old one leaves the file in the same
    // rewrite that appends the new one, so a failed save loses neither.
    if (!m_pendingLine.isEmpty()) {
        const qsizetype old = findWholeLine(LBC.lines(), m_pendingLine);
        if (old >= 0)
            LBC.lines().removeAt(old);
    }
    LBC.lines().append(appointmentLine(DC->date(), maskedText(*MDC), EDC->text()));
    if (!LBC.save(m_paths.resolve(kAppointmentsFile)))
        return;
    m_pendingLine.clear();
    GetComp();
    MDC->clear();
    EDC->clear();
}

void AppointmentsPage::GetComp()
{
    const QString file = m_paths.resolve(kAppointmentsFile);
    if (isUnchanged(file, m_listedStamp)) {
        // Every record of this very version of the file is listed already: the rows and
        // the dates stay, only what a new listing would reset is reset.
        LVC->setCurrentItem(nullptr);
        LVC->clearSelection();
        LVC->scrollToTop();
        lts->setCurrentItem(nullptr);
        lts->clearSelection();
        lts->scrollToTop();
        return;
    }
    const FileStamp stamp = fileStamp(file); // before reading: a change while reading shows
    if (!reloadRecords())
        return; // a file that cannot be read leaves the lists as they are
    // Every record is listed again, the one being changed included: its change stays in the
    // fields, and their save still replaces its record rather than adding a second one.
    // A missing or empty file lists nothing.
    QList<QTreeWidgetItem *> rows;
    rows.reserve(LBC.lines().size());
    for (const QString &line : std::as_const(LBC.lines())) {
        const AppointmentRow record = readAppointment(line);
        auto *item = new QTreeWidgetItem(QStringList{record.date, record.time, record.text});
        item->setData(0, kLineRole, line);
        rows.append(item);
    }
    LVC->clear();
    LVC->addTopLevelItems(rows);
    fillDates(LBC.lines());
    if (rows.isEmpty())
        MC->clear();
    m_listedStamp = stamp;
}

void AppointmentsPage::TLSB()
{
    if (!reloadRecords())
        return;
    fillDates(LBC.lines());
}

void AppointmentsPage::fillDates(const QStringList &lines)
{
    m_menuEntry = nullptr;
    lts->clear();
    for (const QString &line : lines) {
        auto *entry = new QListWidgetItem(appointmentLineDate(line));
        entry->setData(kLineRole, line);
        lts->addItem(entry);
    }
}

void AppointmentsPage::narrowTo(const QString &date)
{
    m_listedStamp = {};
    if (LVC->topLevelItemCount() == 0)
        return;
    const QList<QTreeWidgetItem *> rows = LVC->invisibleRootItem()->takeChildren();
    QList<QTreeWidgetItem *> kept;
    for (QTreeWidgetItem *item : rows) {
        if (item->text(0) == date)
            kept.append(item);
        else
            delete item;
    }
    LVC->addTopLevelItems(kept);
    LVC->clearSelection();
    LVC->setFocus();
    TLSB();
}

void AppointmentsPage::GetComp2()
{
    narrowTo(appointmentDateText(DC->date()));
}

void AppointmentsPage::GetComp3()
{
    narrowTo(appointmentDateText(today()));
}

void AppointmentsPage::filClick()
{
    if (fil->tag() == markOff) {
        GetComp2();
        fil->setTag(markOn);
    } else {
        GetComp();
        fil->setTag(markOff);
    }
    MC->clear();
}

void AppointmentsPage::Image23Click()
{
    GetComp3();
}

void AppointmentsPage::LVCChange()
{
    QTreeWidgetItem *item = selectedRow();
    if (!item)
        return;
    MC->setPlainText(appointmentDetails({item->text(0), item->text(1), item->text(2)}));
}

void AppointmentsPage::ltsClick(QListWidgetItem *entry)
{
    if (!entry)
        return;
    const QString date = entry->text();
    for (int i = 0; i < LVC->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = LVC->topLevelItem(i);
        if (item->text(0) != date)
            continue;
        LVC->setCurrentItem(item);
        QScrollBar *bar = LVC->verticalScrollBar();
        bar->setValue(bar->value() + LVC->visualItemRect(item).top() - kRowTopMargin);
    }
}

bool AppointmentsPage::deleteRecordLine(const QString &line)
{
    if (!reloadRecords())
        return false;
    // The whole line is looked up, not the line rebuilt from what a row shows: a long text
    // is shown cut, and its record must still be found.
    const qsizetype found = findWholeLine(LBC.lines(), line);
    if (found < 0)
        return false;
    LBC.lines().removeAt(found);
    // False also for a line not found, so the bool stays: a failed write is logged by the
    // store, and the caller keeps the row, as the file keeps its line.
    return LBC.save(m_paths.resolve(kAppointmentsFile)).ok();
}

bool AppointmentsPage::deleteSelectedRecord()
{
    QTreeWidgetItem *item = selectedRow();
    if (!item || !deleteRecordLine(item->data(0, kLineRole).toString()))
        return false;
    delete item;
    LVC->clearSelection();
    MC->clear();
    return true;
}

void AppointmentsPage::Excluir8Click()
{
    QListWidgetItem *entry = m_menuEntry;
    m_menuEntry = nullptr;
    if (!entry || lts->row(entry) < 0)
        return;
    const QString line = entry->data(kLineRole).toString();
    // That entry's appointment is selected first, as a click on it would, so the record
    // deleted is the one of the entry the menu was opened on.
    // Entries and rows are listed in the same order: the row at the entry's place is that
    // record's own, else the first row of the same record.
    LVC->clearSelection();
    QTreeWidgetItem *own = LVC->topLevelItem(lts->row(entry));
    if (!own || own->data(0, kLineRole).toString() != line) {
        own = nullptr;
        for (int i = 0; i < LVC->topLevelItemCount() && !own; ++i) {
            if (LVC->topLevelItem(i)->data(0, kLineRole).toString() == line)
                own = LVC->topLevelItem(i);
        }
    }
    if (own)
        LVC->setCurrentItem(own);
    if (!deleteRecordLine(line))
        return;
    if (QTreeWidgetItem *row = selectedRow(); row && row->data(0, kLineRole).toString() == line)
        delete row;
    LVC->clearSelection();
    MC->clear();
    TLSB();
}

void AppointmentsPage::Excluir3Click()
{
    deleteSelectedRecord();
}

void AppointmentsPage::LVCDblClick()
{
    QTreeWidgetItem *item = selectedRow();
    if (!item)
        return;
    const QString line = item->data(0, kLineRole).toString();
    const QString date = item->text(0);
    // The fields take the whole record, not the shown cut, so saving the change keeps
    // a long text whole.
    const QString rest = line.mid(line.indexOf(QStringLiteral("<>")) + 2);
    const qsizetype bar = rest.indexOf(QLatin1Char('|'));
    setMaskedText(*MDC, item->text(1));
    EDC->setText(bar >= 0 ? rest.mid(bar + 1) : item->text(2));
    if (const QDate shown = appointmentDate(date); shown.isValid())
        DC->setDate(shown);

    QList<QListWidgetItem *> dates = lts->findItems(date, Qt::MatchExactly);
    if (dates.isEmpty())
        return;
    // The record's own entry leaves the date list, where it is known.
    for (QListWidgetItem *entry : std::as_const(dates)) {
        if (entry->data(kLineRole).toString() == line) {
            dates.prepend(entry);
            break;
        }
    }
    // The record stays in the file until the next save replaces it; a second double
    // click before that saving drops this change and leaves its record as it is.
    m_pendingLine = line;
    m_listedStamp = {};
    if (m_menuEntry == dates.first())
        m_menuEntry = nullptr;
    delete lts->takeItem(lts->row(dates.first()));
    delete item;
    LVC->clearSelection();
    Excluir3Click(); // nothing is selected now: it deletes nothing
    MC->clear();
}

// ---- Notification music and the report ---------------------------------------------------

void AppointmentsPage::pm21Click()
{
    m_services.dialogs.message(kMusicMessage);
    m_musicMark = markOn;
    selectPage(audioPageIndex);
}

bool AppointmentsPage::isChoosingMusic() const
{
    return m_musicMark == markOn;
}

void AppointmentsPage::storeNotificationMusic(const QString &path)
{
    LM.lines() = QStringList{path};
    if (!LM.save(m_paths.resolve(kNotificationMusicFile)))
        return;
    selectPage(pageIndex);
    m_musicMark = markOff;
    MDC->setFocus();
}

void AppointmentsPage::Label124Click()
{
    if (!reloadRecords())
        return;
    publishReport(appointmentsReport(LBC.lines(), today()), m_paths, m_services.programs);
}

void AppointmentsPage::tmchTimer()
{
    tmch.stop();
    GetComp3();
}

} // namespace zorv
