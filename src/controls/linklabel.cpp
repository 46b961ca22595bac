#include "controls/linklabel.h"

#include "controls/keys.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace zorv {

LinkLabel::LinkLabel(QWidget *parent)
    : LinkLabel(QString(), parent)
{}

LinkLabel::LinkLabel(const QString &text, QWidget *parent, QColor normal)
    : QLabel(text, parent)
    , m_normal(normal)
    , m_hover(QColor(kHoverBlue))
{
    setFocusPolicy(Qt::TabFocus);
    applyColor();
}

void LinkLabel::setNormalColor(const QColor &color)
{
    m_normal = color;
    applyColor();
}

void LinkLabel::setHoverColor(const QColor &color)
{
    m_hover = color;
    applyColor();
}

QColor LinkLabel::currentColor() const
{
    return m_hovered ? m_hover : m_normal;
}

void LinkLabel::applyColor()
{
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, currentColor());
    setPalette(pal);
}

void LinkLabel::enterEvent(QEnterEvent *event)
{
    m_hovered = true;
    applyColor();
    QLabel::enterEvent(event);
}

void LinkLabel::leaveEvent(QEvent *event)
{
    m_hovered = false;
    applyColor();
    QLabel::leaveEvent(event);
}

void LinkLabel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
    QLabel::mousePressEvent(event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click =
        event->button() == Qt::LeftButton && m_pressed && rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        m_pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click)
        emit clicked();
}

void LinkLabel::keyPressEvent(QKeyEvent *event)
{
    if (isEnterKey(event->key()) || event->key() == Qt::Key_Space) {
        event->accept();
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

void LinkLabel::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    QPen ring(currentColor());
    ring.setStyle(Qt::DotLine);
    painter.setPen(ring);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void LinkLabel::showEvent(QShowEvent *event)
{
    QLabel::showEvent(event);
    // Once, at the first show, when the window's fields are all in place: a walk of the
    // whole chain for every link at every show of the window would be repeated work.
    if (m_inTabChain)
        return;
    m_inTabChain = true;
    // To the end of the window's Tab chain, behind every field: after the last widget that
    // takes the focus (the order of those that never do is of no account).
    QWidget *last = nullptr;
    for (QWidget *w = window()->nextInFocusChain(); w && w != window(); w = w->nextInFocusChain()) {
        if (w != this && w->focusPolicy() != Qt::NoFocus)
            last = w;
    }
    if (last)
        QWidget::setTabOrder(last, this);
}

} // namespace zorv
