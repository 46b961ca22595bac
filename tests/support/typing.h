#pragma once

#include <QString>
#include <QTest>
#include <QWidget>

// Types `text` into `w` key by key, as a person does; letters beyond ASCII arrive as
// text-only key events, as a keyboard layout delivers them.
inline void typeText(QWidget *w, const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(w, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}
