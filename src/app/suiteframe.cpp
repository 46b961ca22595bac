#include "suiteframe.h"

#include <QFontDatabase>
#include <QMouseEvent>
#include <QPixmap>

namespace zorv {

QFont suiteFont()
{
    if (QFontDatabase::families().contains(QStringLiteral("Tahoma"), Qt::CaseInsensitive))
        return QFont(QStringLiteral("Tahoma"), 8);
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(8);
    return font;
}

ClosePicture::ClosePicture(QWidget *window, QWidget *parent)
    : QLabel(parent)
    , m_window(window)
{
    setPixmap(QPixmap(QStringLiteral(":/zorv/close.png")));
    setFixedSize(21, 39);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setCursor(Qt::PointingHandCursor);
}

void ClosePicture::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        m_window->close();
}

void HeaderPicture::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    if (rightPicture)
        rightPicture->move(width() - rightPicture->width() - 8, 6);
}

} // namespace zorv
