#pragma once

#include <QByteArray>
#include <QStringView>

namespace zorv::rtf {

// Appends the control word `word` with the number `n` as its parameter.
void appendWord(QByteArray &out, const char *word, qint64 n);
// Appends text as 7-bit RTF: Windows-1252 characters as hex escapes, the rest as \uN with a
// '?' fallback. `symbol`: characters U+F000..U+F0FF are the bytes of a symbol font.
void appendText(QByteArray &out, QStringView text, bool symbol);

} // namespace zorv::rtf
