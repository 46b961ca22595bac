#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zorv {

// How a text-list file is stored. Ansi is Windows-1252 without a byte-order mark; the
// others carry their byte-order mark.
enum class TextEncoding { Ansi, Utf8Bom, Utf16LE, Utf16BE };

// Windows-1252 exactly as Windows maps it: the five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) become U+0081 ... U+009D and back, so an untouched file
// round-trips byte for byte. Characters the code page cannot hold are written as '?'.
QString decodeWindows1252(QByteArrayView bytes);
QByteArray encodeWindows1252(QStringView text);
// True when the text survives a round trip through Windows-1252 unchanged.
bool fitsWindows1252(QStringView text);

// Splits file bytes into lines: a leading byte-order mark selects UTF-8 or UTF-16 (LE/BE),
// else Windows-1252 (only that first mark is the file's: a U+FEFF after it is text); a NUL
// character ends the text; lines end at CR LF, a lone CR or a lone LF, and a break at the
// very end adds no empty line.
QStringList decodeLines(const QByteArray &bytes, TextEncoding *encoding = nullptr);
// The whole text of file bytes, decoded as decodeLines does (mark detected, cut at the
// first NUL) but left in one piece, for readers that walk the lines without keeping them.
QString decodeText(const QByteArray &bytes, TextEncoding *encoding = nullptr);

// Calls `f` with each line of `text` as a view, breaking lines exactly as decodeLines does.
template<typename F> void forEachLine(QStringView text, F &&f)
{
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\r' || c == u'\n') {
            f(text.sliced(start, i - start));
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        f(text.sliced(start));
}

// Every line followed by CR LF, in `encoding` with its byte-order mark; no lines, no bytes.
QByteArray encodeLines(const QStringList &lines, TextEncoding encoding = TextEncoding::Ansi);

// The bytes a file holding `bytes` has after its lines are loaded, `line` is appended and
// the lines are saved again: the same as encodeLines(decodeLines(bytes) + line) in the
// file's own encoding. A plain Windows-1252 file already in that shape (CR LF after every
// line, no NUL) only gains the new line's bytes, without decoding the rest.
QByteArray appendLineToFileBytes(const QByteArray &bytes, const QString &line);

} // namespace zorv
