#pragma once

#include "rtfreadstate.h"

#include <QImage>
#include <QSize>

namespace zorv::rtf {

// The image a picture group draws: the picture itself when it can be decoded (PNG, JPEG, a
// device-independent bitmap), else a null image.
QImage decodePicture(const PictData &pict);
// The size in pixels the picture is shown at, from its goal size and scale or else from the
// image; bounded, so a declared size never becomes memory.
QSize displaySize(const PictData &pict, const QImage &image);
// The empty box drawn for a picture that cannot be decoded (small, and scaled when shown).
QImage boxImage();

} // namespace zorv::rtf
