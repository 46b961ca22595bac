#include "rtftokenizer.h"

#include <algorithm>
#include <climits>

namespace zorv::rtf {

int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

namespace {

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool endsText(char b)
{
    return b == '{' || b == '}' || b == '\\' || b == '\r' || b == '\n';
}

Token token(Token::Kind kind, qsizetype at, QByteArrayView bytes = {}, char symbol = 0)
{
    Token t;
    t.kind = kind;
    t.at = at;
    t.bytes = bytes;
    t.symbol = symbol;
    return t;
}

} // namespace

Tokenizer::Tokenizer(QByteArrayView input)
    : m_in(input)
{
    const qsizetype last = m_in.lastIndexOf('}');
    m_end = last < 0 ? m_in.size() : last;
    m_closing = last < 0 ? std::max<qsizetype>(0, m_in.size() - 1) : last;
    const char *d = m_in.data();
    while (m_pos < m_end && d[m_pos] != '{')
        ++m_pos;
}

Token Tokenizer::next()
{
    const char *d = m_in.data();
    while (m_pos < m_end) {
        const qsizetype at = m_pos;
        const char c = d[m_pos];
        if (c == '{' || c == '}') {
            ++m_pos;
            return token(c == '{' ? Token::Kind::GroupOpen : Token::Kind::GroupClose, at);
        }
        if (c == '\r' || c == '\n') {
            ++m_pos;
            continue;
        }
        if (c != '\\') {
            while (m_pos < m_end && !endsText(d[m_pos]))
                ++m_pos;
            return token(Token::Kind::Text, at, QByteArrayView(d + at, m_pos - at));
        }
        ++m_pos;
        if (m_pos >= m_end)
            break;
        const char c1 = d[m_pos];
        if (isLetter(c1))
            return controlWord(at);
        ++m_pos;
        if (c1 != '\'')
            return token(Token::Kind::ControlSymbol, at, {}, c1);
        const int hi = m_pos < m_end ? hexDigitValue(d[m_pos]) : -1;
        const int lo = m_pos + 1 < m_end ? hexDigitValue(d[m_pos + 1]) : -1;
        if (hi < 0 || lo < 0) {
            if (hi >= 0)
                ++m_pos;
            continue;
        }
        m_pos += 2;
        return token(Token::Kind::HexByte, at, {}, char(hi << 4 | lo));
    }
    m_pos = std::max(m_pos, m_end);
    return token(Token::Kind::End, m_pos);
}

// Reads the word that starts at m_pos, after the backslash at `at`.
Token Tokenizer::controlWord(qsizetype at)
{
    const char *d = m_in.data();
    const qsizetype start = m_pos;
    while (m_pos < m_end && isLetter(d[m_pos]))
        ++m_pos;
    Token t = token(Token::Kind::ControlWord, at,
                    QByteArrayView(d + start, std::min<qsizetype>(m_pos - start, kMaxWordLength)));
    bool neg = false;
    if (m_pos + 1 < m_end && d[m_pos] == '-' && isDigit(d[m_pos + 1])) {
        neg = true;
        ++m_pos;
    }
    qint64 value = 0;
    int digits = 0;
    while (m_pos < m_end && isDigit(d[m_pos])) {
        t.hasParam = true;
        if (digits < kMaxParamDigits)
            value = value * 10 + (d[m_pos] - '0');
        ++digits;
        ++m_pos;
    }
    if (m_pos < m_end && d[m_pos] == ' ')
        ++m_pos;
    // \uN parameters keep their full range so that out-of-range ones are seen.
    t.param = int(std::clamp<qint64>(neg ? -value : value, INT_MIN, INT_MAX));
    if (t.bytes == "bin") {
        // Binary data follows: clamped to what is left, never negative.
        const qsizetype n = std::clamp<qsizetype>(t.hasParam ? t.param : 0, 0, m_in.size() - m_pos);
        t.kind = Token::Kind::Binary;
        t.bytes = m_in.sliced(m_pos, n);
        m_pos += n;
    }
    return t;
}

std::vector<qsizetype> rowWordEnds(QByteArrayView input, qsizetype end)
{
    std::vector<qsizetype> ends;
    const char *d = input.data();
    for (qsizetype at = input.indexOf("\\row"); at >= 0 && at < end; at = input.indexOf("\\row", at + 4)) {
        if (at + 4 >= end || !isLetter(d[at + 4]))
            ends.push_back(at + 4);
    }
    return ends;
}

} // namespace zorv::rtf
