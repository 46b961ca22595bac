#include "programrestriction.h"

#include "controls/keys.h"
#include "controls/linklabel.h"
#include "employeelist.h"
#include "security/password.h"
#include "settingspage.h"
#include "store/flagfile.h"
#include "store/logging.h"
#include "store/records.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zorv {

namespace {

// Marks the item that stands in an empty view; it carries no line.
constexpr int kLineRole = Qt::UserRole;

} // namespace

ProgramRestriction::ProgramRestriction(const Paths &paths, Services &services, PasswordStore &password,
                                       FlagStaging &LB, SettingsPage &page, ProgramFilterHooks hooks)
    : QWidget(page.employeeArea)
    , m_paths(paths)
    , m_services(services)
    , m_password(password)
    , m_LB(LB)
    , m_page(page)
    , m_hooks(std::move(hooks))
{
    setObjectName(QStringLiteral("programRestriction"));
    buildLayout();
    if (page.employeeArea->layout())
        page.employeeArea->layout()->addWidget(this);

    TMLL.setObjectName(QStringLiteral("TMLL"));
    TMLL.setInterval(loadInterval);
    TMLL.setSingleShot(true);
    connect(&TMLL, &QTimer::timeout, this, &ProgramRestriction::TMLLTimer);

    // clicked() comes from the user only (mouse or Space), never from setChecked().
    connect(C4, &QCheckBox::clicked, this, &ProgramRestriction::C4MouseUp);
    connect(Label55, &LinkLabel::clicked, this, &ProgramRestriction::Label55Click);
    connect(Excluir9, &QAction::triggered, this, &ProgramRestriction::Excluir9Click);
    connect(Atualizar4, &QAction::triggered, this, &ProgramRestriction::Atualizar4Click);
    connect(LFC, &QTreeWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu10->popup(LFC->viewport()->mapToGlobal(pos)); });
    FC2->installEventFilter(this);
    page.DBF->installEventFilter(this);
}

void ProgramRestriction::buildLayout()
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(6);

    C4 = makeSwitchBox("C4", this);
    auto *filterRow = new QHBoxLayout;
    filterRow->addWidget(C4);
    filterRow->addWidget(new QLabel(QStringLiteral("Filtrar"), this));
    filterRow->addStretch();
    column->addLayout(filterRow);

    auto *chooseRow = new QHBoxLayout;
    chooseRow->addWidget(new QLabel(QStringLiteral("1 - "), this));
    Label55 = new LinkLabel(QStringLiteral("Liberar programas"), this, QColor(LinkLabel::kGreen));
    Label55->setObjectName(QStringLiteral("Label55"));
    chooseRow->addWidget(Label55);
    chooseRow->addStretch();
    column->addLayout(chooseRow);

    auto *titleRow = new QHBoxLayout;
    titleRow->addWidget(new QLabel(QStringLiteral("2 - "), this));
    FC2 = new QLineEdit(this);
    FC2->setObjectName(QStringLiteral("FC2"));
    FC2->setFixedWidth(200);
    titleRow->addWidget(FC2);
    titleRow->addStretch();
    column->addLayout(titleRow);

    LFC = new QTreeWidget(this);
    LFC->setObjectName(QStringLiteral("LFC"));
    LFC->setColumnCount(3);
    LFC->setHeaderHidden(true);
    LFC->setColumnHidden(1, true);
    LFC->setColumnHidden(2, true);
    LFC->setColumnWidth(0, 215);
    LFC->setFixedWidth(215 + 2 * LFC->frameWidth());
    LFC->setRootIsDecorated(false);
    LFC->setSelectionBehavior(QAbstractItemView::SelectRows);
    LFC->setSelectionMode(QAbstractItemView::SingleSelection);
    LFC->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LFC->setIconSize(QSize(16, 16)); // the view's image list IMLL2
    LFC->setContextMenuPolicy(Qt::CustomContextMenu);
    column->addWidget(LFC, 1);
    showPlaceholder();

    PopupMenu10 = new QMenu(this);
    PopupMenu10->setObjectName(QStringLiteral("PopupMenu10"));
    Excluir9 = PopupMenu10->addAction(QStringLiteral("Excluir"));
    Excluir9->setObjectName(QStringLiteral("Excluir9"));
    PopupMenu10->addSeparator();
    Atualizar4 = PopupMenu10->addAction(QStringLiteral("Atualizar"));
    Atualizar4->setObjectName(QStringLiteral("Atualizar4"));
}

void ProgramRestriction::showPlaceholder()
{
    LFC->clear();
    new QTreeWidgetItem(LFC, {QStringLiteral("Vazio!")});
}

QString ProgramRestriction::flagPath() const
{
    return m_paths.windowsFile(kProgramFilterFlagFile);
}

QString ProgramRestriction::listPath() const
{
    return m_paths.windowsFile(kEmployeeListFile);
}

void ProgramRestriction::C4MouseUp()
{
    if (C4->isChecked()) {
        // Only switching on needs a password; switching off always goes through, so a
        // filter left on after the password was cancelled can still be turned off.
        if (!m_password.exists()) {
            m_services.dialogs.message(kNoPasswordMessage, QStringLiteral("Zorv Desk"),
                                       MessageIcon::Information);
            C4->setChecked(false);
            return;
        }
        if (m_hooks.setIconSlotsShown)
            m_hooks.setIconSlotsShown(false);
        showFilterAsStored(m_LB.switchOn(flagPath()));
    } else {
        if (m_hooks.setIconSlotsShown)
            m_hooks.setIconSlotsShown(true);
        showFilterAsStored(deleteFlagFile(flagPath()));
    }
}

void ProgramRestriction::showFilterAsStored(const WriteResult &switched)
{
    // The store has logged a switch it could not write. The box and the icon slots then
    // follow the file, which is what the filter obeys, not the click.
    if (switched.ok())
        return;
    const bool on = flagFileExists(flagPath());
    C4->setChecked(on);
    if (m_hooks.setIconSlotsShown)
        m_hooks.setIconSlotsShown(!on);
}

void ProgramRestriction::Label55Click()
{
    const QString file = m_services.dialogs.openFile(QStringLiteral("Liberar programas"), {}, kChooseFilter);
    if (file.isEmpty())
        return;
    const QFileInfo info(file);
    if (info.suffix().isEmpty() && !(info.isFile() && info.isExecutable()))
        return;
    m_chosen = file;
    FC2->setFocus(Qt::OtherFocusReason);
    FC2->setText(kTitlePrompt);
}

void ProgramRestriction::FC2KeyDown(int key)
{
    if (FC2->text() == kTitlePrompt)
        FC2->clear();
    if (isEnterKey(key) && !FC2->text().isEmpty())
        addChosenProgram();
}

void ProgramRestriction::addChosenProgram()
{
    const QString title = FC2->text();
    if (m_chosen.isEmpty() || !acceptsEntry(title, m_chosen))
        return;
    // The list must hold the file's lines before one is added and all are saved.
    if (m_listState != ListState::Loaded)
        Func();
    if (m_listState != ListState::Loaded)
        return;
    LLx.lines().append(employeeLine(title, m_chosen));
    if (!LLx.save(listPath())) {
        // Logged by the store. The list is drawn from memory, so the line leaves it again:
        // a program that is not in the file is not shown as released.
        LLx.lines().removeLast();
        return;
    }
    GetILx();
}

void ProgramRestriction::GetILx()
{
    LFC->clear();
    // Built first and inserted at once: one change of the view instead of one per line.
    QList<QTreeWidgetItem *> items;
    items.reserve(LLx.lines().size());
    for (const QString &line : LLx.lines()) {
        EmployeeEntry entry = readEmployeeLine(line);
        if (entry.title.isEmpty())
            continue;
        auto *item = new QTreeWidgetItem(QStringList{entry.title, entry.fileName, entry.fullPath});
        item->setData(0, kLineRole, line);
        if (m_hooks.itemIcon)
            item->setIcon(0, m_hooks.itemIcon(entry.fullPath));
        items.append(item);
    }
    LFC->addTopLevelItems(items);
}

void ProgramRestriction::Func()
{
    const QString path = listPath();
    if (!QFileInfo::exists(path)) {
        m_listState = ListState::Loaded; // nothing stored that an add could overwrite
        return;
    }
    LLx.clear();
    if (LLx.load(path) != TextList::LoadResult::Loaded) {
        qCWarning(lcSettings) << "employee list not read, so not changed:" << path
                              << "(unreadable, not a regular file or too large)";
        m_listState = ListState::Unreadable;
        return;
    }
    m_listState = ListState::Loaded;
    if (!LLx.lines().isEmpty())
        GetILx();
}

void ProgramRestriction::Atualizar4Click()
{
    Func();
    GetILx();
}

void ProgramRestriction::Excluir9Click()
{
    if (m_hooks.mark && m_hooks.mark() != 0)
        return;
    QTreeWidgetItem *item = LFC->currentItem();
    if (!item || !item->isSelected())
        return;
    const QString line = item->data(0, kLineRole).toString();
    if (line.isEmpty()) // the placeholder
        return;
    if (LLx.load(listPath()) != TextList::LoadResult::Loaded)
        return;
    m_listState = ListState::Loaded;
    const qsizetype index = findWholeLine(LLx.lines(), line);
    if (index < 0 || LLx.lines().at(index).isEmpty())
        return;
    LLx.lines().removeAt(index);
    if (!LLx.save(listPath())) {
        // Logged by the store; the file keeps the line, so the row stays too.
        LLx.lines().insert(index, line);
        return;
    }
    delete item;
}

void ProgramRestriction::DBFKeyDown()
{
    switch (m_password.verify(m_page.DBF->text())) {
    case PasswordStore::Verdict::BuiltInMatch:
        unlock(false);
        break;
    case PasswordStore::Verdict::StoredMatch:
        unlock(true);
        break;
    case PasswordStore::Verdict::NoMatch:
        break;
    }
}

void ProgramRestriction::unlock(bool showSlots)
{
    if (m_hooks.setMark)
        m_hooks.setMark(0);
    C4->setChecked(false);
    C4->setEnabled(true);
    m_page.c1->setEnabled(true);
    m_page.esh->setEnabled(true);
    const WriteResult cleared = deleteFlagFile(flagPath());
    // Unlocked either way (the password was right); a filter the store could not switch off
    // stays shown as on, as it stays in force.
    if (!cleared.ok())
        C4->setChecked(flagFileExists(flagPath()));
    m_page.DBF->clear();
    if (showSlots && m_hooks.setIconSlotsShown)
        m_hooks.setIconSlotsShown(true);
}

void ProgramRestriction::TMLLTimer()
{
    TMLL.stop();
    Func();
}

void ProgramRestriction::ProgramFilter()
{
    CheckFilterBox();
}

void ProgramRestriction::DeferredTimers()
{
    TMLL.start();
}

void ProgramRestriction::CheckFilterBox()
{
    C4->setChecked(flagFileExists(flagPath()));
}

bool ProgramRestriction::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (watched == FC2) {
            FC2KeyDown(key);
            if (isEnterKey(key))
                return true; // the Enter itself goes no further
        } else if (watched == m_page.DBF) {
            DBFKeyDown();
            if (isEnterKey(key))
                return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace zorv
