#pragma once

#include <QColor>
#include <QPalette>
#include <QPixmap>
#include <QString>

#include <optional>

class QWidget;

namespace zorv {

// A colour as Windows stores it: 0x00BBGGRR, blue in the third byte, red in the lowest.
inline QColor colourFromBgr(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

// The colour a colour text names. Accepted, letter case ignored and surrounding blanks
// dropped:
//  - "cl" followed by a colour's English name: clNavy, clSkyBlue, clMoneyGreen ...;
//  - "cl" followed by a system colour's name: clBtnFace, clWindow, clHighlight ...;
//  - a number, decimal or hexadecimal after "$", read as 0x00BBGGRR; a number of the form
//    0xFF0000nn names system colour nn.
// System colours take the colour of the matching role of `system`. Empty when the text is
// none of these (also for clNone and clDefault, which name no colour).
std::optional<QColor> colourFromText(const QString &text, const QPalette &system);

// Gives the decorative one-pixel dividers under `root` their pictures: the vertical ones
// `vertical`, the horizontal ones `horizontal` (the main window's empty a2 and a10, so every
// divider line is left blank).
void blankDividers(QWidget *root, const QPixmap &vertical, const QPixmap &horizontal);

// The colour rule: `colour` becomes the window's colour and font colour, the brush of the
// shapes sa1..sa8 and the background of the gauges sq1 and sq2 under it.
void applyWindowColour(QWidget *window, const QColor &colour);

} // namespace zorv
