#pragma once

// The window set on fakes over a temporary data folder with every page reachable: the
// full-suite box of the settings page switched on as a user does, then the window opened
// from the tray. Keys go where the focus is, as a person's keys do; hand-offs land in the
// fake program starter and the hand-off file, dialogs answer from their scripts.
#include "app/windowset.h"
#include "platform/fakes.h"
#include "settings/settingspage.h"
#include "tempdatafolder.h"
#include "typing.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QStackedWidget>
#include <QTest>

#include <array>
#include <functional>
#include <memory>

struct SuiteOnKeys
{
    // The pages in the order of the page bar: Ctrl+1 … Ctrl+9 choose the first nine.
    static constexpr std::array<int, zorv::SuiteWindow::pageCount> barOrder{6, 3, 5, 7, 4,  8,
                                                                            2, 0, 1, 9, 10, 11};

    zorv::FakeServices fake;
    TempDataFolder data;
    std::unique_ptr<zorv::WindowSet> windows;

    explicit SuiteOnKeys(const std::function<void(TempDataFolder &)> &prepare = {})
    {
        fake.clock.set(QDate(2013, 3, 15), QTime(10, 0));
        if (prepare)
            prepare(data);
        windows = std::make_unique<zorv::WindowSet>(fake, data.paths());
    }
    ~SuiteOnKeys()
    {
        if (windows)
            tats().hide();
    }

    zorv::SuiteWindow &tats() { return windows->tats; }

    // The settings page's "Mostrar todas as páginas", ticked with the space bar.
    bool turnModeOn()
    {
        auto *box = windows->settings->findChild<QCheckBox *>(QStringLiteral("sfull"));
        if (!box)
            return false;
        QTest::keyClick(box, Qt::Key_Space);
        return box->isChecked();
    }

    // The tray click: the window opens on the finance page with the focus in its value
    // field, faded in and active, so keys reach it as they reach a person's window.
    bool open()
    {
        tats().TrayIcon1Click();
        for (int i = 0; i < 50 && tats().Alpha.isActive(); ++i)
            tats().AlphaTimer();
        if (tats().TMTT.isActive())
            tats().TMTTTimer();
        QApplication::setActiveWindow(&tats());
        return QTest::qWaitForWindowActive(&tats()) && tats().currentPage() == zorv::SuiteWindow::financePage;
    }

    // Mode on, window open: the state every page test starts from.
    bool start() { return turnModeOn() && open(); }

    static QWidget *focus() { return QApplication::focusWidget(); }
    static void key(int k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        // An open drop-down list takes the keys, as it does a person's.
        QWidget *w = QApplication::activePopupWidget();
        if (w && w->focusWidget())
            w = w->focusWidget();
        else if (auto *view = w ? w->findChild<QAbstractItemView *>() : nullptr)
            w = view;
        if (!w)
            w = focus() ? focus() : QApplication::activeWindow();
        QTest::keyClick(w, Qt::Key(k), modifiers);
    }
    static void enter() { key(Qt::Key_Return); }
    static void type(const QString &text) { typeText(focus(), text); }

    // From the finance page to `page` by the page bar's keys only: Ctrl+<position> for the
    // first nine, then Ctrl+PgDown. True when the page is in front with the focus on it.
    bool reach(int page)
    {
        const auto at = std::find(barOrder.begin(), barOrder.end(), page) - barOrder.begin();
        if (at < 9) {
            key(Qt::Key_1 + int(at), Qt::ControlModifier);
        } else {
            key(Qt::Key_9, Qt::ControlModifier);
            for (auto i = 8; i < at; ++i)
                key(Qt::Key_PageDown, Qt::ControlModifier);
        }
        QWidget *sheet = tats().sheet(page);
        return tats().currentPage() == page && sheet->isVisible() && focus() && sheet->isAncestorOf(focus());
    }

    // Presses Tab until `target` has the focus; false when the Tab chain never reaches it.
    static bool tabTo(const QWidget *target, int limit = 80)
    {
        for (int i = 0; i < limit; ++i) {
            if (focus() == target)
                return true;
            key(Qt::Key_Tab);
        }
        return focus() == target;
    }

    QByteArray handOff() const { return data.read(QStringLiteral("dados/Web.start")); }
};
