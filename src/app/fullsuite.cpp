#include "fullsuite.h"

#include "controls/linklabel.h"
#include "guarded.h"
#include "pagebar.h"
#include "store/flagfile.h"
#include "suitewindow.h"

#include <QAction>
#include <QSystemTrayIcon>

namespace zorv {

bool fullSuiteFlagSet(const Paths &paths)
{
    return flagFileExists(paths.resolve(kSuiteFullFlag));
}

WriteResult setFullSuiteFlag(const Paths &paths, bool on)
{
    const QString path = paths.resolve(kSuiteFullFlag);
    return on ? writeFlagFile(path) : deleteFlagFile(path);
}

FullSuiteTrayMenu::FullSuiteTrayMenu(QWidget *parent)
    : QMenu(parent)
{
    setObjectName(QStringLiteral("trayMenu"));
    open = addAction(QStringLiteral("Abrir"));
    open->setObjectName(QStringLiteral("trayOpen"));
    suiteFull = addAction(QStringLiteral("Suite completa"));
    suiteFull->setObjectName(QStringLiteral("traySuiteFull"));
    suiteFull->setCheckable(true);
    addSeparator();
    quit = addAction(QStringLiteral("Sair"));
    quit->setObjectName(QStringLiteral("trayQuit"));
}

FullSuite::FullSuite(SuiteWindow &window, const Paths &paths)
    : QObject(&window)
    , m_window(window)
    , m_paths(paths)
    , m_trayMenu(new FullSuiteTrayMenu(&window))
{
    connect(m_trayMenu->open, &QAction::triggered, &window,
            [&window] { guarded([&] { window.ShowSuite(); }); });
    connect(m_trayMenu->suiteFull, &QAction::triggered, this, &FullSuite::switchTo);
    connect(m_trayMenu->quit, &QAction::triggered, &window,
            [&window] { guarded([&] { window.quitFromTray(); }); });
}

void FullSuite::refresh()
{
    bool on = false;
    guarded([&] { on = fullSuiteFlagSet(m_paths); });
    const bool changedMode = on != m_on;
    m_on = on;
    guarded([&] { apply(on); });
    if (changedMode)
        emit changed(on);
}

void FullSuite::switchTo(bool on)
{
    // A flag that could not be switched is logged by the store; refresh() then shows the
    // mode the file really gives.
    guarded([&] { Q_UNUSED(setFullSuiteFlag(m_paths, on)) });
    refresh();
}

void FullSuite::apply(bool on)
{
    m_window.pageBar->setVisible(on);
    m_window.pageBar->setCurrentPage(m_window.currentPage());
    m_window.pm2->setVisible(on);
    // The entries the page menu keeps hidden are offered too.
    for (QAction *entry : m_window.PopupMenu1->findChildren<QAction *>()) {
        if (entry->property(kHiddenPageMenuEntry).toBool())
            entry->setVisible(on);
    }
    // Switched on while the window shows: the pages hidden by the last show appear now.
    if (on)
        m_window.setUnusedSheetsShown(true);
    m_trayMenu->suiteFull->setChecked(on);
    m_window.TrayIcon1->setContextMenu(on ? m_trayMenu : nullptr);
}

} // namespace zorv
