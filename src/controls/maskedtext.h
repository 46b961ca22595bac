#pragma once

#include <QString>

class QLineEdit;

namespace zorv {

// The text of a field with an input mask as the user sees it, every place included: an
// unfilled place reads as a space, so an untouched hour field reads "  :  :  " and an
// untouched phone field "(  )     -    ".
QString maskedText(const QLineEdit &edit);

// Puts `text` (in the form maskedText returns) into the field place by place: a space at a
// place the user fills leaves that place unfilled instead of shifting the digits after it.
void setMaskedText(QLineEdit &edit, const QString &text);

} // namespace zorv
