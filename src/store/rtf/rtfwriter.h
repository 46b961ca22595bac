#pragma once

#include <QByteArray>

class QTextDocument;

namespace zorv {

// The document as RTF in the shape the Windows rich-edit control writes: the font table and
// the colour table on their own lines, "\viewkind4\uc1\pard" before the text, every
// paragraph (the last too) ending "\par" CR LF, and "}" CR LF at the end. Only 7-bit bytes
// are written: Windows-1252 characters above 0x7F as \'xx, others as \uN?. Pictures read
// from a file are written back byte for byte; others as PNG.
QByteArray writeRtf(const QTextDocument &document);

} // namespace zorv
