#include "organizer/appointmentspage.h"

#include "controls/captions.h"
#include "controls/keys.h"
#include "controls/linklabel.h"
#include "controls/maskedtext.h"
#include "controls/taglabel.h"
#include "organizer/appointments.h"
#include "platform/services.h"
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
    outer->addLayout(row);
    setTabOrder(DC, MDC);
    setTabOrder(MDC, EDC);

    auto *lists = new QHBoxLayout;
    lts = new QListWidget(this);
    lts->setObjectName(QStringLiteral("lts"));
    lts->setFixedWidth(110);
    lts->setContextMenuPolicy(Qt::DefaultContextMenu);
    lts->viewport()->installEventFilter(this);
    PopupMenu9 = new QMenu(lts);
    PopupMenu9->setObjectName(QStringLiteral("PopupMenu9"));
    Excluir8 = PopupMenu9->addAction(QStringLiteral("Excluir"));
    Excluir8->setObjectName(QStringLiteral("Excluir8"));
    lists->addWidget(lts);

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
    lists->addLayout(right, 1);
    outer->addLayout(lists, 1);

    for (QWidget *field :
         {static_cast<QWidget *>(DC), static_cast<QWidget *>(MDC), static_cast<QWidget *>(EDC)})
        field->installEventFilter(this);

    connect(pm31, &LinkLabel::clicked, this, &AppointmentsPage::pm31Click);
    connect(fil, &TagLabel::clicked, this, &AppointmentsPage::filClick);
    connect(Image23, &TagLabel::clicked, this, &AppointmentsPage::Image23Click);
    connect(LVC, &QTreeWidget::itemSelectionChanged, this, &AppointmentsPage::LVCChange);
    connect(LVC, &QTreeWidget::itemDoubleClicked, this, &AppointmentsPage::LVCDblClick);
    connect(lts, &QListWidget::itemClicked, this, &AppointmentsPage::ltsClick);
    connect(Excluir8, &QAction::triggered, this, &AppointmentsPage::Excluir8Click);
    connect(Excluir3, &QAction::triggered, this, &AppointmentsPage::Excluir3Click);
    connect(pm21, &LinkLabel::clicked, this, &AppointmentsPage::pm21Click);
    connect(Label124, &LinkLabel::clicked, this, &AppointmentsPage::Label124Click);
}

// ---- Keys and the date list's menu -------------------------------------------------------

bool AppointmentsPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lts->viewport()) {
        // A right click opens the menu over the entry as it is: it selects nothing, so the
        // row chosen in the list stays the one "Excluir" acts on.
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease ||
            event->type() == QEvent::MouseButtonDblClick) {
            if (static_cast<QMouseEvent *>(event)->button() == Qt::RightButton)
                return true;
        } else if (event->type() == QEvent::ContextMenu) {
            PopupMenu9->popup(static_cast<QContextMenuEvent *>(event)->globalPos());
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
    return LBC.load(m_paths.resolve(kAppointmentsFile)) != TextList::LoadResult::Failed;
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
        m_pendingLine.clear();
        return;
    }
    const FileStamp stamp = fileStamp(file); // before reading: a change while reading shows
    if (!reloadRecords() || LBC.lines().isEmpty())
        return;
    QList<QTreeWidgetItem *> rows;
    QStringList dates;
    rows.reserve(LBC.lines().size());
    dates.reserve(LBC.lines().size());
    for (const QString &line : std::as_const(LBC.lines())) {
        const AppointmentRow record = readAppointment(line);
        auto *item = new QTreeWidgetItem(QStringList{record.date, record.time, record.text});
        item->setData(0, kLineRole, line);
        rows.append(item);
        dates.append(record.date);
    }
    LVC->clear();
    LVC->addTopLevelItems(rows);
    // Every record is listed again, the one being changed included: its change is dropped
    // and a save adds the fields as a new record.
    m_pendingLine.clear();
    showDates(dates);
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
    QStringList dates;
    dates.reserve(lines.size());
    for (const QString &line : lines)
        dates.append(appointmentLineDate(line));
    showDates(dates);
}

void AppointmentsPage::showDates(const QStringList &dates)
{
    lts->clear();
    lts->addItems(dates);
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

bool AppointmentsPage::deleteSelectedRecord()
{
    QTreeWidgetItem *item = selectedRow();
    if (!item || !reloadRecords())
        return false;
    // The row's whole line is looked up, not the line rebuilt from what the row shows: a
    // long text is shown cut, and its record must still be found.
    const qsizetype found = findWholeLine(LBC.lines(), item->data(0, kLineRole).toString());
    if (found < 0)
        return false;
    LBC.lines().removeAt(found);
    if (!LBC.save(m_paths.resolve(kAppointmentsFile)))
        return false;
    delete item;
    LVC->clearSelection();
    MC->clear();
    return true;
}

void AppointmentsPage::Excluir8Click()
{
    // The date list is rebuilt rather than losing its selected entry, which need not be
    // the deleted record's date.
    if (deleteSelectedRecord())
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

    const QList<QListWidgetItem *> dates = lts->findItems(date, Qt::MatchExactly);
    if (dates.isEmpty())
        return;
    // The record stays in the file until the next save replaces it; a second double
    // click before that saving drops this change and leaves its record as it is.
    m_pendingLine = line;
    m_listedStamp = {};
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
