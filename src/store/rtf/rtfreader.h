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

// Words longer than this many characters (runs with no space or line break) make a page
// wrap at any character: Qt looks for a word boundary from the start of each line of such a
// word again, so laying out one unbroken run of n characters costs about n * n steps.
inline constexpr qsizetype kLongWordLength = 4096;
// The length of the longest run of characters in `text` without a space or line break.
qsizetype longestWord(QStringView text);
// Sets how `document` wraps before its new content is laid out: at any character when it
// holds a word longer than kLongWordLength, otherwise as it wrapped before a page with such a
// word was read into it.
void wrapForLongWords(QTextDocument &document, bool longWord);

// True when the bytes are RTF rather than plain text (they start with "{\rtf").
bool looksLikeRtf(QByteArrayView bytes);

} // namespace zorv
