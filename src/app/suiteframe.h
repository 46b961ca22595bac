#pragma once

#include <QFont>
#include <QLabel>

namespace zorv {

// The suite window's font: Tahoma 8 pt where the font is installed, else the platform's own
// sans font at 8 pt.
QFont suiteFont();

// The close picture of the header: a click closes `window`.
class ClosePicture : public QLabel
{
public:
    ClosePicture(QWidget *window, QWidget *parent);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QWidget *m_window;
};

// The header picture, stretched over the full width; it keeps the close picture at its
// right edge.
class HeaderPicture : public QLabel
{
public:
    explicit HeaderPicture(QWidget *parent)
        : QLabel(parent)
    {}
    QWidget *rightPicture = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;
};

} // namespace zorv
