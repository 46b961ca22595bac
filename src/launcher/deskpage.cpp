#include "deskpage.h"

#include "controls/captions.h"
#include "folderbrowser.h"
#include "folderhistory.h"
#include "shortcutcenter.h"
#include "taskpanel.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace zorv {

DeskPage::DeskPage(const Paths &paths, Services &services, QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("DeskPage"));
    setWindowTitle(QStringLiteral("Desk"));
    useLightCaptions(this);

    history = new FolderHistory(paths, services, this);
    browser = new FolderBrowser(paths, services, this);
    shortcuts = new ShortcutCenter(paths, services, this);
    tasks = new TaskPanel(paths, services, this);

    auto *folders = new QVBoxLayout;
    folders->addWidget(history, 1);
    folders->addWidget(browser, 2);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(folders, 2);
    layout->addWidget(shortcuts, 3);
    layout->addWidget(tasks, 1);

    // The current folder is the history's; the browser lists it and opens folders into it.
    connect(history, &FolderHistory::folderChanged, browser, &FolderBrowser::setFolder);
    connect(browser, &FolderBrowser::folderOpened, history, &FolderHistory::setCurrentFolder);
}

void DeskPage::setMusicOpener(std::function<void(const QString &, const QString &)> opener)
{
    browser->setMusicOpener(std::move(opener));
}

void DeskPage::LoadHistory()
{
    history->LoadHistory();
    tasks->getitema();
}

} // namespace zorv
