#pragma once

#include <QByteArrayView>

#include <vector>

namespace zorv::rtf {

// One lexical piece of an RTF stream.
struct Token
{
    enum class Kind : quint8 {
        End,           // no more input before the document's last '}'
        GroupOpen,     // '{'
        GroupClose,    // '}'
        ControlWord,   // '\' letters, an optional signed number and its delimiting space
        ControlSymbol, // '\' and one other character
        HexByte,       // "\'hh": one byte of text in the current code page
        Text,          // a run of plain bytes (line breaks in the input are not text)
        Binary,        // "\binN" and the N bytes that follow it
    };
    Kind kind = Kind::End;
    qsizetype at = 0;     // offset of the token's first byte
    QByteArrayView bytes; // the control word (cut to kMaxWordLength), text run or binary data
    int param = 0;        // the control word's parameter, 0 without one
    bool hasParam = false;
    char symbol = 0; // a control symbol's character, or a hex escape's byte
};

// Splits RTF bytes into tokens. The document ends at its last '}': what follows it (often
// CR LF NUL) is never read, and anything before the first '{' is skipped. Over-long words
// are consumed whole and cut; over-long parameters are consumed and clamped to int; a
// malformed hex escape is dropped together with the one hex digit it may have; "\binN"
// takes at most the bytes left in the input.
class Tokenizer
{
public:
    static constexpr int kMaxWordLength = 32;
    static constexpr int kMaxParamDigits = 10;

    explicit Tokenizer(QByteArrayView input);

    Token next();

    // Offset just after the last token returned.
    qsizetype position() const { return m_pos; }
    // Where groups the input leaves open are closed: its last '}', or its last byte.
    qsizetype closingOffset() const { return m_closing; }
    // Where the tokens end (the last '}', or the input's end without one).
    qsizetype end() const { return m_end; }

private:
    Token controlWord(qsizetype at);

    QByteArrayView m_in;
    qsizetype m_pos = 0;
    qsizetype m_end = 0;
    qsizetype m_closing = 0;
};

// The value of a hexadecimal digit, -1 for any other character.
int hexDigitValue(char c);

// The offsets just after each "\row" control word before `end`, in order.
std::vector<qsizetype> rowWordEnds(QByteArrayView input, qsizetype end);

} // namespace zorv::rtf
