#pragma once

#include "rtfdocumentbuilder.h"
#include "rtfreadstate.h"
#include "rtftokenizer.h"

#include <QImage>
#include <QSize>

#include <optional>
#include <vector>

class QTextDocument;

namespace zorv::rtf {

// Reads RTF tokens into a document: keeps the group stack, sends each control word through
// the keyword table, routes text to its destination (document text, font and colour tables,
// picture data, field instructions) and hands document text to the DocumentBuilder.
class Parser
{
public:
    Parser(QByteArrayView bytes, QTextDocument &doc);

    void run();

    // What the keyword actions reach.
    GroupState &group() { return m_groups.back(); }
    std::vector<GroupState> &groups() { return m_groups; }
    DocumentTables &tables() { return m_tables; }
    DocumentBuilder &builder() { return m_builder; }
    PictData &picture() { return m_pict; }
    // The rest of the current group is ignored.
    void skipGroup() { group().dest = Dest::Skip; }
    // A control word the current destination does not know: "{\*\word" as a group's first
    // word drops the group where the destination reads words.
    void unknownWord();
    // Whether the word being handled is the first of a "{\*" group.
    bool ignorableWord() const { return m_ignorable; }
    // A character the input names (\emdash, \uN, ...) in the current destination.
    void character(char32_t c);
    // \uN: the character, after which the next \ucN units are its fallback.
    void unicode(int n);
    // The current group holds a picture whose source is kept, unless an enclosing one does.
    void keepPictureSource();

private:
    void openGroup(qsizetype at);
    void closeGroup(qsizetype at);
    void endPicture();
    void controlWord(const Token &t);
    void controlSymbol(char c);
    void hexByte(char byte);
    void text(QByteArrayView bytes);
    void destinationBytes(QByteArrayView bytes);
    void destinationText(char c);
    bool takeFallback();

    QByteArrayView m_in;
    Tokenizer m_tokens;
    std::vector<GroupState> m_groups;
    int m_overflow = 0;     // braces opened beyond kMaxDepth
    bool m_closing = false; // the input has ended: every open group closes
    bool m_ignorable = false;
    int m_fallbackLeft = 0; // units still to skip after a \uN

    DocumentTables m_tables;
    PictData m_pict;
    std::optional<QImage> m_pictImage;
    QSize m_pictSize;
    bool m_havePict = false;

    DocumentBuilder m_builder;
};

} // namespace zorv::rtf
