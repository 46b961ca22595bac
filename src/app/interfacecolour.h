#pragma once

#include <QColor>
#include <QPalette>
#include <QString>

#include <optional>

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

} // namespace zorv
