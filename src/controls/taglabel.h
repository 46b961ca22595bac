#pragma once

#include <QLabel>

namespace zorv {

// A label or picture carrying one integer beside its content, for state other code reads
// (a mode mark, a filter mark). A click on it emits clicked().
class TagLabel : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

signals:
    // Left button pressed and released over the label.
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int m_tag = 0;
    bool m_pressed = false;
};

} // namespace zorv
