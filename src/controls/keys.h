#pragma once

#include <QEvent>
#include <QKeyEvent>

namespace zorv {

// Return, or the keypad's Enter.
inline bool isEnterKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// A press of Return or Enter.
inline bool isEnterPress(const QEvent *event)
{
    return event->type() == QEvent::KeyPress && isEnterKey(static_cast<const QKeyEvent *>(event)->key());
}

} // namespace zorv
