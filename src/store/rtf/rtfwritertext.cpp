#include "rtfwritertext.h"

#include "store/textcodec.h"

#include <array>
#include <memory>

namespace zorv::rtf {

namespace {

// Windows-1252 byte of each UTF-16 code unit above 0x7F, 0 where the code page has none.
const std::array<quint8, 65536> &windows1252Bytes()
{
    static const auto table = [] {
        auto t = std::make_unique<std::array<quint8, 65536>>();
        t->fill(0);
        for (int b = 0x80; b <= 0xFF; ++b) {
            const char byte = char(b);
            const QString s = decodeWindows1252(QByteArrayView(&byte, 1));
            if (s.size() == 1)
                (*t)[s[0].unicode()] = quint8(b);
        }
        return t;
    }();
    return *table;
}

const char kHex[] = "0123456789abcdef";

} // namespace

void appendWord(QByteArray &out, const char *word, qint64 n)
{
    out.append('\\');
    out.append(word);
    out.append(QByteArray::number(n));
}

void appendText(QByteArray &out, QStringView text, bool symbol)
{
    const auto &cp1252 = windows1252Bytes();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x20 && c < 0x80) {
            if (c == u'\\' || c == u'{' || c == u'}')
                out.append('\\');
            out.append(char(c));
            continue;
        }
        if (c == u'\t') {
            out.append("\\tab ");
            continue;
        }
        if (c == 0x2028) {
            out.append("\\line ");
            continue;
        }
        if (c == 0xFFFC || c == 0 || c == 0x2029 || c == u'\r' || c == u'\n')
            continue;
        if (symbol && c >= 0xF000 && c <= 0xF0FF) {
            out.append("\\'");
            out.append(kHex[(c >> 4) & 0xF]);
            out.append(kHex[c & 0xF]);
            continue;
        }
        if (c >= 0x80 && cp1252[c]) {
            const quint8 b = cp1252[c];
            out.append("\\'");
            out.append(kHex[b >> 4]);
            out.append(kHex[b & 0xF]);
            continue;
        }
        // Everything else as a signed 16-bit \uN with one '?' for readers without Unicode;
        // a surrogate pair as its two halves.
        out.append("\\u");
        out.append(QByteArray::number(c > 32767 ? int(c) - 65536 : int(c)));
        out.append('?');
    }
}

} // namespace zorv::rtf
