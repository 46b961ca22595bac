#include "rtfparser.h"

#include "rtfkeywords.h"
#include "rtfpicture.h"
#include "store/textcodec.h"

#include <algorithm>

namespace zorv::rtf {

namespace {
constexpr int kMaxDepth = 256; // deeper braces are only counted
} // namespace

Parser::Parser(QByteArrayView bytes, QTextDocument &doc)
    : m_in(bytes)
    , m_tokens(bytes)
    , m_builder(doc, m_groups, m_tables, m_tokens, rowWordEnds(bytes, m_tokens.end()))
{
    m_groups.reserve(64);
    m_groups.push_back(GroupState{});
}

void Parser::run()
{
    for (Token t = m_tokens.next(); t.kind != Token::Kind::End; t = m_tokens.next()) {
        switch (t.kind) {
        case Token::Kind::GroupOpen:
            openGroup(t.at);
            break;
        case Token::Kind::GroupClose:
            closeGroup(t.at);
            break;
        case Token::Kind::ControlWord:
            controlWord(t);
            break;
        case Token::Kind::ControlSymbol:
            controlSymbol(t.symbol);
            break;
        case Token::Kind::HexByte:
            hexByte(t.symbol);
            break;
        case Token::Kind::Text:
            text(t.bytes);
            break;
        case Token::Kind::Binary:
            group().firstWord = false;
            if (group().dest == Dest::Pict)
                m_pict.data.append(t.bytes);
            break;
        case Token::Kind::End:
            break;
        }
    }
    // Close what the input left open, innermost first.
    m_overflow = 0;
    m_closing = true;
    while (m_groups.size() > 1)
        closeGroup(m_tokens.closingOffset());
    m_builder.finish();
}

void Parser::openGroup(qsizetype at)
{
    m_fallbackLeft = 0;
    if (m_groups.size() >= size_t(kMaxDepth)) {
        ++m_overflow;
        return;
    }
    GroupState next = m_groups.back();
    next.starred = false;
    next.firstWord = true;
    next.imageOuter = false;
    next.nonShpPict = false;
    next.start = at;
    m_groups.push_back(std::move(next));
}

void Parser::closeGroup(qsizetype at)
{
    m_fallbackLeft = 0;
    if (m_overflow > 0) {
        --m_overflow;
        return;
    }
    if (m_groups.size() <= (m_closing ? 1u : 2u))
        return; // an extra '}' is ignored; the document's group closes at its last brace
    const GroupState closing = m_groups.back();
    const Dest outer = m_groups[m_groups.size() - 2].dest;
    if (closing.dest == Dest::FontTable && outer == Dest::FontTable && m_tables.fontEntry >= 0 &&
        !m_tables.fontName.trimmed().isEmpty()) {
        // A font entry closed without its ';'.
        m_tables.fonts[m_tables.fontEntry].name = m_tables.fontName.trimmed();
        m_tables.fontName.clear();
    }
    if (closing.dest == Dest::Pict && outer != Dest::Pict)
        endPicture();
    auto source = [&] { return m_in.sliced(closing.start, at + 1 - closing.start); };
    if (closing.imageOuter && m_havePict && m_pictImage) {
        QImage image = std::move(*m_pictImage);
        m_pictImage.reset();
        m_havePict = false;
        m_groups.pop_back();
        // Text formats of the enclosing group apply to the picture.
        if (group().dest == Dest::Text)
            m_builder.insertImage(image, m_pictSize, source());
        return;
    }
    // The alternative picture that follows a kept one is written back with it.
    if (closing.nonShpPict)
        m_builder.appendAlternativeSource(source());
    m_groups.pop_back();
    if (closing.imageOuter) {
        m_havePict = false;
        m_pictImage.reset();
    }
}

// The outermost picture group has ended: its image waits for the group that keeps it.
void Parser::endPicture()
{
    QImage image = decodePicture(m_pict);
    m_pictSize = displaySize(m_pict, image);
    if (image.isNull())
        image = boxImage();
    m_pictImage = std::move(image);
    m_havePict = true;
    m_pict = PictData{};
}

void Parser::keepPictureSource()
{
    const bool enclosed =
        std::any_of(m_groups.cbegin(), m_groups.cend(), [](const GroupState &g) { return g.imageOuter; });
    if (!enclosed)
        group().imageOuter = true;
}

void Parser::controlWord(const Token &t)
{
    GroupState &g = group();
    const bool first = g.firstWord;
    g.firstWord = false;
    if (g.dest == Dest::Skip)
        return;
    if (m_fallbackLeft > 0 && t.bytes != "u") {
        // A control word inside a \uN fallback is one unit; it does nothing else.
        --m_fallbackLeft;
        return;
    }
    m_ignorable = g.starred && first;
    if (const Keyword *k = findKeyword(t.bytes, g.dest))
        runKeyword(*this, *k, t.hasParam, t.param);
    else
        unknownWord();
}

void Parser::unknownWord()
{
    const Dest d = group().dest;
    if (m_ignorable && d != Dest::Pn && d != Dest::Object && d != Dest::Skip)
        skipGroup();
}

void Parser::controlSymbol(char c)
{
    switch (c) {
    case '\\':
    case '{':
    case '}':
        if (takeFallback())
            return;
        if (group().dest == Dest::Text)
            m_builder.appendBytes(QByteArrayView(&c, 1));
        else
            destinationText(c);
        return;
    case '*':
        group().starred = true;
        return;
    case '~':
        if (!takeFallback())
            character(0x00A0);
        return;
    case '-':
        if (!takeFallback())
            character(0x00AD);
        return;
    case '_':
        if (!takeFallback())
            character(0x2011);
        return;
    case '\r':
    case '\n':
        if (!takeFallback() && group().dest == Dest::Text)
            m_builder.endParagraph();
        return;
    default:
        takeFallback();
        return;
    }
}

void Parser::hexByte(char byte)
{
    if (takeFallback())
        return;
    const Dest d = group().dest;
    if (d == Dest::Text)
        m_builder.appendBytes(QByteArrayView(&byte, 1));
    else if (d == Dest::FontTable || d == Dest::FieldInst)
        destinationText(byte);
}

void Parser::text(QByteArrayView bytes)
{
    group().firstWord = false;
    if (group().dest == Dest::Skip)
        return;
    if (!bytes.contains('\0')) {
        destinationBytes(bytes);
        return;
    }
    // NUL bytes are dropped.
    QByteArray clean;
    for (char b : bytes)
        if (b != '\0')
            clean.append(b);
    if (!clean.isEmpty())
        destinationBytes(clean);
}

void Parser::destinationBytes(QByteArrayView bytes)
{
    if (m_fallbackLeft > 0) {
        const qsizetype skip = std::min<qsizetype>(m_fallbackLeft, bytes.size());
        bytes = bytes.sliced(skip);
        m_fallbackLeft -= int(skip);
        if (bytes.isEmpty())
            return;
    }
    if (group().dest == Dest::Text) {
        m_builder.appendBytes(bytes);
        return;
    }
    for (char c : bytes)
        destinationText(c);
}

void Parser::destinationText(char c)
{
    GroupState &g = group();
    switch (g.dest) {
    case Dest::FontTable:
        if (c == ';') {
            if (m_tables.fontEntry >= 0)
                m_tables.fonts[m_tables.fontEntry].name = m_tables.fontName.trimmed();
            m_tables.fontName.clear();
        } else if (quint8(c) >= 0x20 && m_tables.fontName.size() < 256) {
            m_tables.fontName.append(decodeWindows1252(QByteArrayView(&c, 1)));
        }
        break;
    case Dest::ColorTable:
        if (c == ';') {
            DocumentTables &t = m_tables;
            if (t.red < 0 && t.green < 0 && t.blue < 0)
                t.colors.append(QColor());
            else
                t.colors.append(QColor(std::clamp(t.red, 0, 255), std::clamp(t.green, 0, 255),
                                       std::clamp(t.blue, 0, 255)));
            t.red = t.green = t.blue = -1;
        }
        break;
    case Dest::Pict:
        if (const int v = hexDigitValue(c); v >= 0) {
            if (m_pict.nibble < 0) {
                m_pict.nibble = v;
            } else {
                m_pict.data.append(char(m_pict.nibble << 4 | v));
                m_pict.nibble = -1;
            }
        }
        break;
    case Dest::FieldInst:
        if (g.field >= 0 && quint8(c) >= 0x20 && m_tables.fields[size_t(g.field)].instruction.size() < 4096)
            m_tables.fields[size_t(g.field)].instruction.append(decodeWindows1252(QByteArrayView(&c, 1)));
        break;
    default:
        break;
    }
}

bool Parser::takeFallback()
{
    if (m_fallbackLeft <= 0)
        return false;
    --m_fallbackLeft;
    return true;
}

void Parser::character(char32_t c)
{
    if (group().dest == Dest::Text) {
        m_builder.appendChar(c);
        return;
    }
    // Elsewhere only a field's instruction keeps characters; a surrogate half is not one.
    if (c == 0 || (c >= 0xD800 && c <= 0xDBFF))
        return;
    if (c >= 0xDC00 && c <= 0xDFFF)
        c = 0xFFFD;
    const GroupState &g = group();
    if (g.dest == Dest::FieldInst && g.field >= 0)
        m_tables.fields[size_t(g.field)].instruction.append(QChar(char16_t(c & 0xFFFF)));
}

void Parser::unicode(int n)
{
    const char32_t c = (n < -32768 || n > 65535) ? char32_t(0xFFFD) : char32_t(n < 0 ? n + 65536 : n);
    if (group().dest == Dest::Text)
        m_builder.appendUnicode(c);
    else
        character(c);
    m_fallbackLeft = std::max(0, group().uc);
}

} // namespace zorv::rtf
