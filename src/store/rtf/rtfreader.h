#pragma once

#include <QByteArray>
#include <QTextFormat>

class QTextDocument;

namespace zorv {

// Names under which the codec keeps what it needs in a document.
namespace rtf {
// Image resources the reader adds are named "zorv-image:N"; each one read from a file has
// its source group, byte for byte, as a user resource "zorv-source:N" beside it.
inline constexpr char kImageScheme[] = "zorv-image";
inline constexpr char kSourceScheme[] = "zorv-source";
// Set on character formats read in a symbol font: their characters are U+F000 + byte.
inline constexpr int kSymbolFontProperty = QTextFormat::UserProperty + 0x5a01;
// The font's name once more, as a plain string, on each character format read: Qt files
// formats under a hash of their properties that leaves a list of font names out, so without
// it every format naming a font shares one hash and each new one is compared with all
// formats made before it (a page of many fonts would read in quadratic time).
inline constexpr int kFontNameKeyProperty = QTextFormat::UserProperty + 0x5a02;
} // namespace rtf

// Replaces the content of `document` with the RTF in `bytes`: text, character and paragraph
// formats, lists, tables, hyperlinks and pictures. Any input is accepted: the reader walks
// the bytes once in a single loop, keeps every character it reads, closes what is left open
// at the end and never allocates from a size the input declares.
void readRtf(QByteArrayView bytes, QTextDocument &document);

// True when the bytes are RTF rather than plain text (they start with "{\rtf").
bool looksLikeRtf(QByteArrayView bytes);

} // namespace zorv
