#include "textcodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <array>
#include <cstring>

namespace zorv {

namespace {

// Windows-1252 bytes 0x80..0x9F. The undefined five map to the C1 control of the same value.
constexpr std::array<char16_t, 32> kHighTable = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char encodeChar(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (int i = 0; i < 32; ++i) {
        if (kHighTable[i] == c)
            return char(0x80 + i);
    }
    // The C1 controls without a glyph in the table still round-trip to their byte value.
    if (c >= 0x80 && c <= 0x9F)
        return char(c);
    return '?';
}

// True when some byte lies in 0x80..0x9F, where Windows-1252 differs from Latin-1.
bool hasWindowsOnlyBytes(const char *data, qsizetype n)
{
    unsigned char found = 0;
    for (qsizetype i = 0; i < n; ++i)
        found |= static_cast<unsigned char>(static_cast<unsigned char>(data[i]) - 0x80) < 0x20;
    return found != 0;
}

// Windows-1252 bytes straight into lines: each line is widened as Latin-1 (a fast bulk
// copy) and only when the text holds bytes in 0x80..0x9F are those patched.
QStringList splitAnsiLines(QByteArrayView bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes = bytes.first(nul);
    // An empty file may come without any buffer at all, and memchr must not see a null pointer.
    if (bytes.isEmpty())
        return {};
    const char *data = bytes.data();
    const char *const end = data + bytes.size();
    const bool patch = hasWindowsOnlyBytes(data, bytes.size());

    QStringList lines;
    auto find = [end](const char *from, char c) {
        const void *hit = std::memchr(from, c, size_t(end - from));
        return hit ? static_cast<const char *>(hit) : end;
    };
    const char *pos = data;
    const char *nextLf = find(pos, '\n');
    const char *nextCr = find(pos, '\r');
    while (pos < end) {
        if (nextLf < pos)
            nextLf = find(pos, '\n');
        if (nextCr < pos)
            nextCr = find(pos, '\r');
        const char *stop = std::min(nextLf, nextCr);
        QString line = QString::fromLatin1(pos, stop - pos);
        if (patch) {
            for (QChar &c : line) {
                if (c.unicode() >= 0x80 && c.unicode() <= 0x9F)
                    c = QChar(kHighTable[c.unicode() - 0x80]);
            }
        }
        lines.append(std::move(line));
        if (stop == end)
            break;
        pos = stop + 1;
        if (*stop == '\r' && pos < end && *pos == '\n')
            ++pos;
    }
    return lines;
}

// The caller has taken the file's byte-order mark off; a U+FEFF after it is text and stays.
QString decodeWith(QStringConverter::Encoding enc, QByteArrayView bytes)
{
    QStringDecoder decoder(enc,
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

} // namespace

QString decodeWindows1252(QByteArrayView bytes)
{
    QString out = QString::fromLatin1(bytes.data(), bytes.size());
    if (hasWindowsOnlyBytes(bytes.data(), bytes.size())) {
        for (QChar &c : out) {
            if (c.unicode() >= 0x80 && c.unicode() <= 0x9F)
                c = QChar(kHighTable[c.unicode() - 0x80]);
        }
    }
    return out;
}

QByteArray encodeWindows1252(QStringView text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    char *dst = out.data();
    for (qsizetype i = 0; i < text.size(); ++i)
        dst[i] = encodeChar(text[i].unicode());
    return out;
}

QString decodeText(const QByteArray &bytes, TextEncoding *encoding)
{
    TextEncoding enc = TextEncoding::Ansi;
    QString text;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        enc = TextEncoding::Utf8Bom;
        text = decodeWith(QStringConverter::Utf8, QByteArrayView(bytes).sliced(3));
    } else if (bytes.startsWith("\xFF\xFE")) {
        enc = TextEncoding::Utf16LE;
        text = decodeWith(QStringConverter::Utf16LE, QByteArrayView(bytes).sliced(2));
    } else if (bytes.startsWith("\xFE\xFF")) {
        enc = TextEncoding::Utf16BE;
        text = decodeWith(QStringConverter::Utf16BE, QByteArrayView(bytes).sliced(2));
    } else {
        const qsizetype nul = bytes.indexOf('\0');
        text = decodeWindows1252(nul < 0 ? QByteArrayView(bytes) : QByteArrayView(bytes).first(nul));
    }
    if (encoding)
        *encoding = enc;
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0)
        text.truncate(nul);
    return text;
}

QStringList decodeLines(const QByteArray &bytes, TextEncoding *encoding)
{
    const bool marked =
        bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
    if (!marked) {
        if (encoding)
            *encoding = TextEncoding::Ansi;
        return splitAnsiLines(bytes);
    }
    QStringList lines;
    forEachLine(decodeText(bytes, encoding), [&](QStringView line) { lines.append(line.toString()); });
    return lines;
}

QByteArray encodeLines(const QStringList &lines, TextEncoding encoding)
{
    QByteArray out;
    if (lines.isEmpty())
        return out;
    if (encoding == TextEncoding::Ansi) {
        qsizetype total = 0;
        for (const QString &l : lines)
            total += l.size() + 2;
        out.resize(total);
        char *dst = out.data();
        for (const QString &l : lines) {
            const char16_t *src = reinterpret_cast<const char16_t *>(l.constData());
            const qsizetype n = l.size();
            // Narrow the line at once; only a character beyond Latin-1 needs the table.
            char16_t wide = 0;
            for (qsizetype i = 0; i < n; ++i) {
                dst[i] = char(src[i]);
                wide |= src[i] & 0xFF00;
            }
            if (wide) {
                for (qsizetype i = 0; i < n; ++i)
                    dst[i] = encodeChar(src[i]);
            }
            dst += n;
            *dst++ = '\r';
            *dst++ = '\n';
        }
        return out;
    }
    QString text;
    for (const QString &l : lines) {
        text += l;
        text += QLatin1String("\r\n");
    }
    switch (encoding) {
    case TextEncoding::Utf8Bom:
        out = QByteArrayLiteral("\xEF\xBB\xBF");
        out += QStringEncoder(QStringConverter::Utf8).encode(text);
        break;
    case TextEncoding::Utf16LE:
        out = QByteArrayLiteral("\xFF\xFE");
        out += QStringEncoder(QStringConverter::Utf16LE).encode(text);
        break;
    case TextEncoding::Utf16BE:
        out = QByteArrayLiteral("\xFE\xFF");
        out += QStringEncoder(QStringConverter::Utf16BE).encode(text);
        break;
    case TextEncoding::Ansi:
        break;
    }
    return out;
}

namespace {

// True when saving the lines of these Windows-1252 bytes gives the same bytes back: no
// mark, no NUL, every line ended by CR LF and no lone CR or LF.
bool isCanonicalAnsi(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return true;
    if (!bytes.endsWith("\r\n") || bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") ||
        bytes.startsWith("\xFE\xFF") || bytes.contains('\0'))
        return false;
    const char *data = bytes.constData();
    const char *end = data + bytes.size();
    for (const char *p = data; (p = static_cast<const char *>(std::memchr(p, '\r', size_t(end - p))));
         p += 2) {
        if (p + 1 >= end || p[1] != '\n')
            return false;
    }
    for (const char *p = data; (p = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)))); ++p) {
        if (p == data || p[-1] != '\r')
            return false;
    }
    return true;
}

} // namespace

QByteArray appendLineToFileBytes(const QByteArray &bytes, const QString &line)
{
    if (isCanonicalAnsi(bytes))
        return bytes + encodeWindows1252(line) + QByteArrayLiteral("\r\n");
    TextEncoding encoding = TextEncoding::Ansi;
    QStringList lines = decodeLines(bytes, &encoding);
    lines.append(line);
    return encodeLines(lines, encoding);
}

bool fitsWindows1252(QStringView text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
            continue;
        // The C1 range and everything above Latin-1: only the code page's own few characters.
        if (decodeWindows1252(encodeWindows1252(QStringView(&c, 1))) != QStringView(&c, 1))
            return false;
    }
    return true;
}

} // namespace zorv
