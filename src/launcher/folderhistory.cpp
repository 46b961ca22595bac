#include "folderhistory.h"

#include "controls/linklabel.h"
#include "launcherlines.h"
#include "platform/services.h"
#include "store/paths.h"

#include <QAction>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace zorv {

namespace {

// Rows of a fixed height.
class FixedRowDelegate : public QStyledItemDelegate
{
public:
    FixedRowDelegate(int height, QObject *parent)
        : QStyledItemDelegate(parent)
        , m_height(height)
    {}
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), m_height);
    }

private:
    int m_height;
};

} // namespace

FolderHistory::FolderHistory(const Paths &paths, Services &services, QWidget *parent)
    : QWidget(parent)
    , PN2(TextList::SavePolicy::Utf8WhenNeeded)
    , m_paths(paths)
    , m_services(services)
    , m_names(TextList::SavePolicy::Utf8WhenNeeded)
{
    setObjectName(QStringLiteral("FolderHistory"));
    Label1 = new QLabel(QStringLiteral("Hist\u00f3rico"), this);
    PN = new QListWidget(this);
    PN->setObjectName(QStringLiteral("PN"));
    PN->setItemDelegate(new FixedRowDelegate(kRowHeight, PN));
    PN->setUniformItemSizes(true);
    PN->setEditTriggers(QAbstractItemView::NoEditTriggers);
    PN->setContextMenuPolicy(Qt::CustomContextMenu);
    edn = new QLabel(kDesktopCaption, this);
    edn->setObjectName(QStringLiteral("edn"));
    sh = new LinkLabel(QStringLiteral("Salvar"), this);
    sh->setObjectName(QStringLiteral("sh"));
    sh2 = new LinkLabel(QStringLiteral("Mais pastas"), this);
    sh2->setObjectName(QStringLiteral("sh2"));
    sh21 = new LinkLabel(QStringLiteral("Desktop"), this);
    sh21->setObjectName(QStringLiteral("sh21"));
    PopupMenu5 = new QMenu(this);
    PopupMenu5->setObjectName(QStringLiteral("PopupMenu5"));
    Excluir4 = PopupMenu5->addAction(QStringLiteral("Excluir"));
    Excluir4->setObjectName(QStringLiteral("Excluir4"));

    auto *bar = new QHBoxLayout;
    bar->addWidget(new QLabel(QStringLiteral("Pasta:"), this));
    bar->addWidget(edn, 1);
    bar->addWidget(sh);
    bar->addWidget(sh2);
    bar->addWidget(sh21);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(bar);
    layout->addWidget(Label1);
    layout->addWidget(PN, 1);

    connect(sh, &LinkLabel::clicked, this, &FolderHistory::shClick);
    connect(Excluir4, &QAction::triggered, this, &FolderHistory::Excluir4Click);
    connect(PN, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) { PNClick(PN->row(item)); });
    connect(PN, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu5->popup(PN->viewport()->mapToGlobal(pos)); });
}

QString FolderHistory::file(const QString &name) const
{
    return m_paths.resolve(name);
}

QString FolderHistory::currentCaption() const
{
    return edn->text();
}

QString FolderHistory::currentFolder() const
{
    return edn->toolTip();
}

QStringList FolderHistory::names() const
{
    QStringList list;
    for (int i = 0; i < PN->count(); ++i)
        list << PN->item(i)->text();
    return list;
}

void FolderHistory::setCurrentFolder(const QString &caption, const QString &path)
{
    edn->setText(caption);
    edn->setToolTip(path);
    emit folderChanged(path);
}

void FolderHistory::LoadHistory()
{
    if (m_names.load(file(kHistoryNamesFile)) == TextList::LoadResult::Loaded) {
        PN->clear();
        PN->addItems(m_names.lines());
        m_chosen = -1;
    }
    PN2.load(file(kHistoryPathsFile));
}

void FolderHistory::ResetFields()
{
    setCurrentFolder(kDesktopCaption, m_services.shell.desktopFolder());
}

void FolderHistory::shClick()
{
    SavePT();
}

bool FolderHistory::writeBoth(const QStringList &names, const QStringList &paths)
{
    // The two files land together or not at all: a pair written half would shift every
    // later name against its path.
    TextList newNames(m_names), newPaths(PN2);
    newNames.lines() = names;
    newPaths.lines() = paths;
    TextEncoding namesEncoding, pathsEncoding;
    const QList<FileWrite> writes{
        {file(kHistoryPathsFile), newPaths.saveBytes(&pathsEncoding)},
        {file(kHistoryNamesFile), newNames.saveBytes(&namesEncoding)},
    };
    if (!writeFilesTogether(writes))
        return false;
    m_names.lines() = names;
    m_names.setEncoding(namesEncoding);
    PN2.lines() = paths;
    PN2.setEncoding(pathsEncoding);
    PN->clear();
    PN->addItems(names);
    m_chosen = -1;
    return true;
}

void FolderHistory::SavePT()
{
    const QString caption = edn->text();
    const QString path = edn->toolTip();
    if (caption.isEmpty() || caption == kDesktopCaption)
        return;
    if (names().contains(caption, Qt::CaseInsensitive))
        return;
    // A line break would split the pair into lines that no longer match.
    if (breaksLine(caption) || breaksLine(path))
        return;
    LoadHistory();
    QStringList allNames = names();
    QStringList allPaths = PN2.lines();
    allNames.append(caption);
    allPaths.append(path);
    writeBoth(allNames, allPaths);
}

void FolderHistory::PNClick(int row)
{
    if (row < 0 || row >= PN->count())
        return;
    m_chosen = row;
    setCurrentFolder(PN->item(row)->text(), row < PN2.lines().size() ? PN2.lines()[row] : QString());
}

void FolderHistory::Excluir4Click()
{
    const int row = m_chosen;
    if (row < 0 || row >= PN->count())
        return;
    QStringList allNames = names();
    QStringList allPaths = PN2.lines();
    allNames.removeAt(row);
    if (row < allPaths.size())
        allPaths.removeAt(row);
    writeBoth(allNames, allPaths);
}

} // namespace zorv
