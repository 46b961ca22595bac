#pragma once

#include <QList>
#include <QPair>
#include <QRect>
#include <QString>
#include <QStringList>

class QWidget;

// What a user would call a broken layout, found on a page as it is laid out now: a visible
// control that reaches outside the part of the page the window shows (clipped), or that
// overlaps a visible sibling (one hides part of the other). Controls are looked at down to
// the fields and links: the insides of lists, editors, drop-downs, date fields and sliders
// are theirs to lay out and are not entered.
class LayoutCheck
{
public:
    // Sibling pairs meant to lie on one another (a progress image on its background, a
    // strip laid over the page container), by objectName, in either order.
    void allowOverlap(const QString &a, const QString &b) { m_overlaps.append({a, b}); }

    // One line per fault found under `page` ("outside: <path> <rect> not in <rect>",
    // "overlap: <path> and <name>"); empty when the page is sound.
    QStringList faults(const QWidget *page) const;

private:
    bool overlapAllowed(const QWidget *a, const QWidget *b) const;
    void walk(const QWidget *page, const QWidget *container, const QRect &clip, QStringList &out) const;

    QList<QPair<QString, QString>> m_overlaps;
};

// A readable path of `w` below `root` ("TabSheet5/AppointmentsPage/EDC"), for messages.
QString widgetPath(const QWidget *w, const QWidget *root);
