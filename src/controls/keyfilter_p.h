#pragma once

#include <QChar>
#include <QFocusEvent>
#include <QKeyEvent>

namespace zorv::detail {

// The character a key types, or a null QChar for keys that type nothing (arrows, Delete,
// function keys, shortcuts with Ctrl/Alt/Meta). Only typed characters go through the
// fields' key filters; the other keys keep their ordinary editing behaviour.
inline QChar typedChar(const QKeyEvent *event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return {};
    const QString text = event->text();
    if (text.size() != 1)
        return {};
    const QChar c = text.front();
    return (c.unicode() < 0x20 || c.unicode() == 0x7F) ? QChar() : c;
}

inline bool isEnterKey(const QKeyEvent *event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

// Focus moving between controls, as opposed to the window losing or regaining activation
// or a context menu opening over the field: only the former enters or leaves a field.
inline bool movesBetweenControls(const QFocusEvent *event)
{
    return event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason;
}

// A copy of `event` typing `c` instead, for passing a translated key to the ordinary editing.
inline QKeyEvent retyped(const QKeyEvent *event, QChar c)
{
    return QKeyEvent(event->type(), event->key(), event->modifiers(), QString(c), event->isAutoRepeat(),
                     static_cast<quint16>(event->count()));
}

} // namespace zorv::detail
