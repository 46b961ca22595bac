#include "shortcutcenter.h"

#include "iconlist.h"
#include "launcherlines.h"
#include "platform/services.h"
#include "reports/launcher.h"
#include "store/flagfile.h"
#include "store/logging.h"
#include "store/paths.h"
#include "store/records.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QVBoxLayout>

namespace zorv {

ShortcutCenter::ShortcutCenter(const Paths &paths, Services &services, QWidget *parent)
    : QWidget(parent)
    , lat(TextList::SavePolicy::Utf8WhenNeeded)
    , m_paths(paths)
    , m_services(services)
{
    setObjectName(QStringLiteral("ShortcutCenter"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    LVx = new IconList(QStringLiteral("LVx"), this);
    LVx->showPlaceholder();
    layout->addWidget(LVx);

    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    Excluir1 = PopupMenu2->addAction(QStringLiteral("Excluir"));
    Excluir1->setObjectName(QStringLiteral("Excluir1"));
    PopupMenu2->addSeparator();
    Atualizar2 = PopupMenu2->addAction(QStringLiteral("Atualizar"));
    Atualizar2->setObjectName(QStringLiteral("Atualizar2"));

    connect(Excluir1, &QAction::triggered, this, &ShortcutCenter::Excluir1Click);
    connect(Atualizar2, &QAction::triggered, this, &ShortcutCenter::Atualizar2Click);
    connect(LVx, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu2->popup(LVx->viewport()->mapToGlobal(pos)); });
    connect(LVx, &QListWidget::itemDoubleClicked, this, &ShortcutCenter::LVxDblClick);
    connect(LVx, &IconList::enterPressed, this, &ShortcutCenter::LVxDblClick);
}

QString ShortcutCenter::listFile() const
{
    return m_paths.resolve(kShortcutListFile);
}

bool ShortcutCenter::programFilterOn() const
{
    return flagFileExists(m_paths.windowsFile(kProgramFilterFlag));
}

bool ShortcutCenter::canDelete() const
{
    return LVx->selectedItem() != nullptr;
}

void ShortcutCenter::LoadShortcutList()
{
    lat.load(listFile());
}

void ShortcutCenter::LoadShortcuts()
{
    lat.clear();
    lat.load(listFile());
}

void ShortcutCenter::Atualizar2Click()
{
    lat.clear();
    lat.load(listFile());
    LVx->clear();
    rebuild();
}

void ShortcutCenter::rebuild()
{
    if (programFilterOn())
        GetIL2();
    else
        getitem();
}

void ShortcutCenter::getitem()
{
    LVx->clear();
    for (const QString &line : std::as_const(lat.lines())) {
        const NamedPath item = splitNamedPath(line);
        if (item.name.isEmpty())
            continue; // kept in the file, never shown
        LVx->addEntry(item.name, {item.path}, ItemIcon(m_services.shell, item.path));
    }
}

void ShortcutCenter::GetIL2()
{
    LVx->clear();
    const QStringList lines = m_employeeLines ? m_employeeLines() : QStringList();
    for (const QString &line : lines) {
        const EmployeeItem item = splitEmployeeLine(line);
        if (item.title.isEmpty())
            continue;
        LVx->addEntry(item.title, {item.fileName, item.path}, ItemIcon(m_services.shell, item.path));
    }
}

void ShortcutCenter::Excluir1Click()
{
    QListWidgetItem *item = LVx->selectedItem();
    if (!IconList::hasSubItems(item))
        return; // the placeholder stands for no line
    // Under the program filter the grid shows the employee list, which is never changed
    // from here; the user's own list is not on show, so none of its lines is taken either.
    if (programFilterOn())
        return;
    TextList file(TextList::SavePolicy::Utf8WhenNeeded);
    if (const auto loaded = file.load(listFile()); loaded != TextList::LoadResult::Loaded) {
        if (loaded == TextList::LoadResult::Failed)
            qCWarning(lcLauncher) << "shortcut list not read, shortcut not removed:" << listFile()
                                  << "(unreadable, not a regular file or too large)";
        return;
    }
    // The line equal to the item, not the first one that merely begins like it: a prefix
    // would take "Docs<>/h/Docs antigo" for "Docs<>/h/Docs".
    const QString key = item->text() + kNameSeparator + IconList::subItem(item, 0);
    const qsizetype found = findWholeLine(file.lines(), key);
    if (found < 0 || file.lines()[found].isEmpty())
        return;
    file.lines().removeAt(found);
    if (!file.save(listFile()))
        return; // the item stays, as its line does
    lat = file;
    delete LVx->takeItem(LVx->row(item));
}

void ShortcutCenter::LVxDblClick()
{
    QListWidgetItem *item = LVx->selectedItem();
    if (!item)
        return;
    const QString target = IconList::subItem(item, programFilterOn() ? 1 : 0);
    window()->close();
    if (!target.isEmpty())
        OpenThroughLauncher(m_paths, m_services, target);
}

void ShortcutCenter::dropFiles(const QStringList &paths)
{
    const qsizetype before = lat.lines().size();
    for (const QString &path : paths) {
        if (const std::optional<QString> line = shortcutLineForDrop(path))
            lat.lines().append(*line);
    }
    if (lat.lines().size() == before)
        return;
    if (!lat.save(listFile())) {
        // Nothing landed on disk: the grid does not pretend otherwise.
        lat.lines().resize(before);
        return;
    }
    rebuild();
}

} // namespace zorv
