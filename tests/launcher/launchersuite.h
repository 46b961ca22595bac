#pragma once

// The window set on fakes over a temporary data folder, for the launcher pages' tests:
// files written before the windows exist are seen by the create step; hand-offs land in
// the fake program starter and the hand-off file.
#include "app/windowset.h"
#include "platform/fakes.h"
#include "tempdatafolder.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QContextMenuEvent>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include <functional>
#include <memory>

struct LauncherSuite
{
    zorv::FakeServices fake;
    TempDataFolder data;
    std::unique_ptr<zorv::WindowSet> windows;

    explicit LauncherSuite(const std::function<void(TempDataFolder &)> &prepare = {})
    {
        if (prepare)
            prepare(data);
        windows = std::make_unique<zorv::WindowSet>(fake, data.paths());
    }
    ~LauncherSuite()
    {
        if (windows)
            tats().hide();
    }

    zorv::SuiteWindow &tats() { return windows->tats; }

    // The show step, the fade-in to its end and the refreshes that follow it.
    void showAndSettle()
    {
        tats().ShowSuite();
        for (int i = 0; i < 50 && tats().Alpha.isActive(); ++i)
            tats().AlphaTimer();
        if (tats().TMTT.isActive())
            tats().TMTTTimer();
    }

    // Puts page `index` in front with its content showing, so it can be used as a person
    // would (the show step keeps the launcher sheets' content hidden).
    void bringPage(int index, QWidget *page)
    {
        tats().selectPage(index);
        page->show();
        QApplication::processEvents();
    }

    // What the companion was handed: the hand-off file's bytes, and the starts.
    QByteArray handOff() const { return data.read(QStringLiteral("dados/Web.start")); }
    QString companion() const { return data.paths().exeDir() + QStringLiteral("Web"); }
};

inline QStringList captions(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

inline void clickItem(QListWidget *list, int row)
{
    list->scrollToItem(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

inline void doubleClickItem(QListWidget *list, int row)
{
    list->scrollToItem(list->item(row));
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

// A right click on the list opens its context menu; true when it opened.
inline bool openContextMenu(QAbstractItemView *list, QMenu *menu)
{
    const QPoint at(2, 2);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list->viewport(), &event);
    return menu->isVisible();
}

// Chooses an entry of an open menu with the mouse.
inline void chooseFromMenu(QMenu *menu, QAction *action)
{
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
}

// Drags local files from a file manager onto `target` and drops them; the drop action the
// window chose, or IgnoreAction when it refused them.
inline Qt::DropAction dropFiles(QWidget *target, const QStringList &paths,
                                Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction)
{
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString &p : paths)
        urls << QUrl::fromLocalFile(p);
    mime.setUrls(urls);
    mime.setText(paths.join(QLatin1Char('\n'))); // file managers offer the paths as text too
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, offered, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return Qt::IgnoreAction;
    QDropEvent drop(QPointF(at), offered, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
}
