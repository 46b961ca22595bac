#include "taskpanel.h"

#include "controls/linklabel.h"
#include "iconlist.h"
#include "launcherlines.h"
#include "platform/services.h"
#include "reports/launcher.h"
#include "store/logging.h"
#include "store/paths.h"
#include "store/records.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QVBoxLayout>

namespace zorv {

namespace {

const QString kProgramFilter = QStringLiteral("Programas (*)");

} // namespace

TaskPanel::TaskPanel(const Paths &paths, Services &services, QWidget *parent)
    : QWidget(parent)
    , LBTA(TextList::SavePolicy::Utf8WhenNeeded)
    , m_paths(paths)
    , m_services(services)
{
    setObjectName(QStringLiteral("TaskPanel"));
    Label65 = new QLabel(QStringLiteral("Tarefas autom\u00e1ticas"), this);
    Label65->setObjectName(QStringLiteral("Label65"));
    Label107 = new LinkLabel(QStringLiteral("Adicionar nova tarefa"), this);
    Label107->setObjectName(QStringLiteral("Label107"));
    LTA = new IconList(QStringLiteral("LTA"), this);
    LTA->showPlaceholder();
    Label108 = new LinkLabel(QStringLiteral("Executar automaticamente"), this);
    Label108->setObjectName(QStringLiteral("Label108"));
    Label108->setToolTip(QStringLiteral("Voc\u00ea tamb\u00e9m pode usar enter ou duplo clique..."));
    PTA = new QMenu(this);
    PTA->setObjectName(QStringLiteral("PTA"));
    Excluir11 = PTA->addAction(QStringLiteral("Excluir"));
    Excluir11->setObjectName(QStringLiteral("Excluir11"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Label65);
    layout->addWidget(Label107);
    layout->addWidget(LTA, 1);
    layout->addWidget(Label108);

    TMLD.setObjectName(QStringLiteral("TMLD"));
    TMLD.setInterval(kRunInterval);
    connect(&TMLD, &QTimer::timeout, this, &TaskPanel::TMLDTimer);
    connect(Label107, &LinkLabel::clicked, this, &TaskPanel::Label107Click);
    connect(Label108, &LinkLabel::clicked, this, &TaskPanel::Label108Click);
    connect(Excluir11, &QAction::triggered, this, &TaskPanel::Excluir11Click);
    connect(LTA, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PTA->popup(LTA->viewport()->mapToGlobal(pos)); });
    connect(LTA, &QListWidget::itemDoubleClicked, this, &TaskPanel::LTADblClick);
    connect(LTA, &IconList::enterPressed, this, &TaskPanel::LTADblClick);
}

QString TaskPanel::listFile() const
{
    return m_paths.resolve(kTaskListFile);
}

bool TaskPanel::canDelete() const
{
    return LTA->selectedItem() != nullptr;
}

void TaskPanel::Label107Click()
{
    const QString file = m_services.dialogs.openFile(QString(), QString(), kProgramFilter);
    // A line break in the path would split it into two tasks.
    if (file.isEmpty() || breaksLine(file))
        return;
    // A file without extension is refused unless it is a program: programs here have none.
    const QFileInfo info(file);
    if (!info.fileName().contains(u'.') && !info.isExecutable())
        return;
    if (QFileInfo(listFile()).isFile() && LBTA.load(listFile()) == TextList::LoadResult::Failed) {
        qCWarning(lcLauncher) << "task list not read, program not added:" << listFile()
                              << "(unreadable, not a regular file or too large)";
        return;
    }
    LBTA.lines().append(file);
    if (!LBTA.save(listFile())) {
        LBTA.lines().removeLast();
        return;
    }
    getitema();
}

void TaskPanel::getitema()
{
    LBTA.load(listFile());
    LTA->clear();
    for (const QString &line : std::as_const(LBTA.lines())) {
        if (!line.isEmpty())
            LTA->addEntry(QString(), {line}, ItemIcon(m_services.shell, line));
    }
}

void TaskPanel::startTask(const QString &path)
{
    if (!path.isEmpty())
        OpenThroughLauncher(m_paths, m_services, path);
}

void TaskPanel::Label108Click()
{
    // The run walks the paths listed now, with its own place: a show of the window in
    // between rebuilds the view, and must neither start a task again nor skip one.
    QStringList run;
    for (int i = 0; i < LTA->count(); ++i) {
        if (IconList::hasSubItems(LTA->item(i)))
            run << IconList::subItem(LTA->item(i), 0);
    }
    if (run.isEmpty())
        return;
    TMLD.stop();
    m_run = run;
    m_next = 0;
    window()->close();
    TMLDTimer();
    if (m_next < m_run.size())
        TMLD.start();
}

void TaskPanel::TMLDTimer()
{
    if (m_next >= m_run.size()) {
        TMLD.stop();
        return;
    }
    const QString path = m_run[m_next];
    // The view follows the run where it still shows that task.
    if (m_next < LTA->count() && IconList::subItem(LTA->item(int(m_next)), 0) == path)
        LTA->setCurrentRow(int(m_next));
    ++m_next;
    if (m_next >= m_run.size())
        TMLD.stop();
    startTask(path);
}

void TaskPanel::LTADblClick()
{
    QListWidgetItem *item = LTA->selectedItem();
    if (!item)
        return;
    const QString path = IconList::subItem(item, 0);
    window()->close();
    startTask(path);
}

void TaskPanel::Excluir11Click()
{
    QListWidgetItem *item = LTA->selectedItem();
    if (!IconList::hasSubItems(item))
        return;
    TextList file(TextList::SavePolicy::Utf8WhenNeeded);
    if (const auto loaded = file.load(listFile()); loaded != TextList::LoadResult::Loaded) {
        if (loaded == TextList::LoadResult::Failed)
            qCWarning(lcLauncher) << "task list not read, program not removed:" << listFile()
                                  << "(unreadable, not a regular file or too large)";
        return;
    }
    // The line equal to the path: "/usr/bin/gimp" must not take "/usr/bin/gimp-2.10".
    const qsizetype found = findWholeLine(file.lines(), IconList::subItem(item, 0));
    if (found < 0 || file.lines()[found].isEmpty())
        return;
    file.lines().removeAt(found);
    if (!file.save(listFile()))
        return;
    LBTA = file;
    delete LTA->takeItem(LTA->row(item));
}

void TaskPanel::StopRun()
{
    TMLD.stop();
}

} // namespace zorv
