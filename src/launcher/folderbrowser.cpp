#include "folderbrowser.h"

#include "iconlist.h"
#include "platform/services.h"
#include "reports/launcher.h"
#include "store/flagfile.h"
#include "store/paths.h"

#include <QAction>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QPainterPath>
#include <QVBoxLayout>

#include <algorithm>

namespace zorv {

QString browsedExtension(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot);
}

BrowsedKind browsedKind(const QString &path, bool isFolder)
{
    if (isFolder)
        return BrowsedKind::Folder;
    const QString ext = browsedExtension(path);
    if (ext == QLatin1String(".mp3") || ext == QLatin1String(".wma"))
        return BrowsedKind::Music;
    for (const char *picture : {".jpg", ".bmp", ".tiff", ".tif", ".gif", ".png", ".ico"}) {
        if (ext == QLatin1String(picture))
            return BrowsedKind::Picture;
    }
    return BrowsedKind::Other;
}

QStringList browsedEntries(const QString &folder)
{
    QStringList paths;
    if (folder.isEmpty())
        return paths;
    QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDir::NoSort);
    // Names equal but for letter case ("a.mp3", "A.MP3") keep one order on every listing.
    std::sort(entries.begin(), entries.end(), [](const QFileInfo &a, const QFileInfo &b) {
        if (a.isDir() != b.isDir())
            return a.isDir();
        const int folded = a.fileName().compare(b.fileName(), Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a.fileName() < b.fileName();
    });
    for (const QFileInfo &entry : entries)
        paths << QDir::toNativeSeparators(entry.absoluteFilePath());
    return paths;
}

FolderBrowser::FolderBrowser(const Paths &paths, Services &services, QWidget *parent)
    : QWidget(parent)
    , m_paths(paths)
    , m_services(services)
{
    setObjectName(QStringLiteral("FolderBrowser"));
    LV = new IconList(QStringLiteral("LV"), this);
    LV->showPlaceholder();
    LV->setMouseTracking(true);
    pimg = new QWidget(this);
    pimg->setObjectName(QStringLiteral("pimg"));
    pimg->setFixedSize(kPreviewSize + QSize(8, 8));
    IMG = new QLabel(pimg);
    IMG->setObjectName(QStringLiteral("IMG"));
    IMG->setFixedSize(kPreviewSize);
    IMG->move(4, 4);
    IMG->setAlignment(Qt::AlignCenter);
    pr = new QWidget(this);
    pr->setObjectName(QStringLiteral("pr"));

    LVShellMenu = new QMenu(this);
    LVShellMenu->setObjectName(QStringLiteral("LVShellMenu"));
    Abrir = LVShellMenu->addAction(QStringLiteral("Abrir"));
    Abrir->setObjectName(QStringLiteral("Abrir"));
    Explorar = LVShellMenu->addAction(QStringLiteral("Explorar"));
    Explorar->setObjectName(QStringLiteral("Explorar"));

    auto *side = new QVBoxLayout;
    side->addWidget(pimg);
    side->addWidget(pr, 1);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(LV, 1);
    layout->addLayout(side);

    LV->installEventFilter(this);
    connect(LV, &QListWidget::itemDoubleClicked, this, &FolderBrowser::LVDblClick);
    connect(LV, &IconList::enterPressed, this, &FolderBrowser::LVDblClick);
    connect(LV, &QListWidget::itemSelectionChanged, this, &FolderBrowser::LVSelectItem);
    connect(LV, &IconList::otherButtonPressed, this, &FolderBrowser::LVMouseDown);
    // The menu only hands the entry over; nothing renames, moves or deletes it.
    connect(Abrir, &QAction::triggered, this, [this] {
        if (!m_menuPath.isEmpty())
            OpenThroughLauncher(m_paths, m_services, m_menuPath);
    });
    connect(Explorar, &QAction::triggered, this, [this] {
        if (m_menuPath.isEmpty())
            return;
        const QFileInfo info(m_menuPath);
        OpenThroughLauncher(m_paths, m_services,
                            info.isDir() ? m_menuPath : QDir::toNativeSeparators(info.absolutePath()));
    });
}

bool FolderBrowser::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == LV) {
        if (event->type() == QEvent::Show)
            list();
        else if (event->type() == QEvent::Leave)
            LVMouseLeave();
    }
    return QWidget::eventFilter(watched, event);
}

void FolderBrowser::setFolder(const QString &path)
{
    m_folder = path;
    // Folders are read only while the list shows.
    if (LV->isVisible())
        list();
}

void FolderBrowser::list()
{
    LV->clear();
    IMG->clear();
    for (const QString &path : browsedEntries(m_folder))
        LV->addEntry(QFileInfo(path).fileName(), {path}, ItemIcon(m_services.shell, path));
}

void FolderBrowser::PictureCorners()
{
    QPainterPath rounded;
    rounded.addRoundedRect(QRectF(pimg->rect()), 2.5, 2.5);
    pimg->setMask(QRegion(rounded.toFillPolygon().toPolygon()));
}

void FolderBrowser::FolderPanel()
{
    pr->setEnabled(!flagFileExists(m_paths.windowsFile(kProgramFilterFlag)));
}

QListWidgetItem *FolderBrowser::selectedEntry() const
{
    QListWidgetItem *item = LV->selectedItem();
    return IconList::hasSubItems(item) ? item : nullptr;
}

void FolderBrowser::LVDblClick()
{
    QListWidgetItem *item = selectedEntry();
    if (!item)
        return;
    const QString path = IconList::subItem(item, 0);
    const QFileInfo info(path);
    switch (browsedKind(path, info.isDir())) {
    case BrowsedKind::Folder:
        emit folderOpened(item->text(), path);
        break;
    case BrowsedKind::Music:
        if (m_musicOpener)
            m_musicOpener(QDir::toNativeSeparators(info.absolutePath()), item->text());
        break;
    case BrowsedKind::Picture:
        // A picture opens like any other file; the windows of other programs are left alone.
    case BrowsedKind::Other:
        window()->close();
        OpenThroughLauncher(m_paths, m_services, path);
        break;
    }
}

void FolderBrowser::LVSelectItem()
{
    QListWidgetItem *item = selectedEntry();
    if (!item)
        return;
    const QString path = IconList::subItem(item, 0);
    if (browsedKind(path, false) != BrowsedKind::Picture || QFileInfo(path).isDir())
        return;
    // Scaled while it is read: a huge picture is never decoded at full size, and a broken
    // one leaves the preview empty.
    QImageReader reader(path);
    const QSize size = reader.size();
    QImage image;
    if (size.isValid()) {
        reader.setScaledSize(size.scaled(kPreviewSize, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
        image = reader.read();
    }
    if (image.isNull())
        IMG->clear();
    else
        IMG->setPixmap(QPixmap::fromImage(image));
}

void FolderBrowser::LVMouseLeave()
{
    IMG->clear();
}

void FolderBrowser::LVMouseDown(const QPoint &globalPos)
{
    QListWidgetItem *item = selectedEntry();
    if (!item)
        return;
    m_menuPath = IconList::subItem(item, 0);
    LVShellMenu->popup(globalPos);
}

} // namespace zorv
