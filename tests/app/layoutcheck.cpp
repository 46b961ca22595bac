#include "layoutcheck.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QWidget>

namespace {

// A control whose children are its own business: not entered by the check.
bool isControl(const QWidget *w)
{
    return qobject_cast<const QAbstractScrollArea *>(w) || qobject_cast<const QComboBox *>(w) ||
           qobject_cast<const QAbstractSpinBox *>(w) || qobject_cast<const QAbstractSlider *>(w) ||
           qobject_cast<const QAbstractButton *>(w) || qobject_cast<const QLineEdit *>(w) ||
           qobject_cast<const QLabel *>(w) || qobject_cast<const QTabBar *>(w);
}

QString name(const QWidget *w)
{
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
}

QString text(const QRect &r)
{
    return QStringLiteral("(%1,%2 %3x%4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// The part of `page` that its window shows, in the page's coordinates.
QRect shownPart(const QWidget *page)
{
    QRect shown = page->rect();
    const QWidget *w = page;
    QPoint offset; // of `w` in the page's coordinates
    while (!w->isWindow() && w->parentWidget()) {
        offset -= w->pos();
        w = w->parentWidget();
        shown &= w->rect().translated(offset);
    }
    return shown;
}

} // namespace

QString widgetPath(const QWidget *w, const QWidget *root)
{
    QStringList parts;
    for (; w && w != root; w = w->parentWidget())
        parts.prepend(name(w));
    return parts.join(QLatin1Char('/'));
}

bool LayoutCheck::overlapAllowed(const QWidget *a, const QWidget *b) const
{
    for (const auto &[x, y] : m_overlaps) {
        if ((a->objectName() == x && b->objectName() == y) || (a->objectName() == y && b->objectName() == x))
            return true;
    }
    return false;
}

QStringList LayoutCheck::faults(const QWidget *page) const
{
    QStringList out;
    walk(page, page, shownPart(page), out);
    return out;
}

void LayoutCheck::walk(const QWidget *page, const QWidget *container, const QRect &clip,
                       QStringList &out) const
{
    QList<const QWidget *> shown;
    for (const QObject *o : container->children()) {
        const auto *w = qobject_cast<const QWidget *>(o);
        if (w && !w->isWindow() && w->isVisibleTo(page) && !w->size().isEmpty())
            shown.append(w);
    }
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const QWidget *w = shown[i];
        const QRect at(w->mapTo(page, QPoint(0, 0)), w->size());
        if (!clip.contains(at))
            out << QStringLiteral("outside: %1 %2 not in %3").arg(widgetPath(w, page), text(at), text(clip));
        for (qsizetype j = i + 1; j < shown.size(); ++j) {
            const QWidget *other = shown[j];
            if (w->geometry().intersects(other->geometry()) && !overlapAllowed(w, other))
                out << QStringLiteral("overlap: %1 %2 and %3 %4")
                           .arg(widgetPath(w, page), text(w->geometry()), name(other),
                                text(other->geometry()));
        }
        if (!isControl(w))
            walk(page, w, clip & at, out);
    }
}
