#include "listscrolling.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QScrollBar>

namespace zorv {

namespace {

// Lists that never show scroll bars; keys and the wheel still scroll them.
const char *const hookedLists[] = {"FL2",  "LVx", "LVA", "LVC", "LVL", "LV", "PN",
                                   "lvd1", "LBD", "lts", "LFC", "LVF", "LTA"};

// Controls that a wheel notch anywhere over the window scrolls by a page while they hold
// the focus.
const char *const wheelScrolled[] = {"LFC", "LTA", "LVF", "lts", "LBD", "lvd1", "PN",  "LV", "LVL",
                                     "rst", "FL2", "MC",  "RE",  "AN",  "LVC",  "LVx", "LVA"};

} // namespace

void hideScrollBars(QWidget *root)
{
    for (const char *name : hookedLists) {
        QList<QAbstractScrollArea *> lists = root->findChildren<QAbstractScrollArea *>(QLatin1String(name));
        if (auto *self = qobject_cast<QAbstractScrollArea *>(root);
            self && root->objectName() == QLatin1String(name))
            lists.append(self);
        for (QAbstractScrollArea *list : lists) {
            list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        }
    }
}

void WheelPager::turn(int angleDelta, QWidget *window)
{
    if ((angleDelta < 0) != (m_remainder < 0))
        m_remainder = 0;
    m_remainder += angleDelta;
    const int notches = m_remainder / 120;
    m_remainder %= 120;
    if (notches == 0)
        return;
    auto *list = qobject_cast<QAbstractScrollArea *>(QApplication::focusWidget());
    if (!list || list->window() != window)
        return;
    bool scrolled = false;
    for (const char *name : wheelScrolled)
        scrolled = scrolled || list->objectName() == QLatin1String(name);
    if (!scrolled)
        return;
    // A downward notch turns the wheel towards the user: negative angle, a page down.
    const auto action = notches < 0 ? QAbstractSlider::SliderPageStepAdd : QAbstractSlider::SliderPageStepSub;
    for (int i = 0; i < qAbs(notches); ++i)
        list->verticalScrollBar()->triggerAction(action);
}

} // namespace zorv
