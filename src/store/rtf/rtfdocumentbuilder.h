#pragma once

#include "rtfcodepages.h"
#include "rtfreadstate.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QTextCursor>

#include <vector>

class QTextDocument;
class QTextList;
class QTextTable;

namespace zorv::rtf {

class Tokenizer;

// Puts the text of an RTF document into a QTextDocument: runs of text in their character
// formats, paragraphs with their formats and lists, table cells and rows, and pictures.
// It reads the formats in effect from the innermost open group; every call is made for
// the document text (the group's destination is Dest::Text).
class DocumentBuilder
{
public:
    DocumentBuilder(QTextDocument &doc, const std::vector<GroupState> &groups, const DocumentTables &tables,
                    const Tokenizer &tokens, std::vector<qsizetype> rowWords);

    // Bytes in the code page of the current font; decoded when the run ends.
    void appendBytes(QByteArrayView bytes);
    // One character; a high surrogate waits for its low half (see appendUnicode).
    void appendChar(char32_t c);
    // A \uN character: joins a low surrogate to the high one before it.
    void appendUnicode(char32_t c);

    void endParagraph();
    // Ends a table cell; the paragraph it ends is in a table (\intbl or not).
    void cellEnd();
    void rowEnd();
    void tableRowDefinition() { m_cellxCount = 0; }
    void cellDefinition() { ++m_cellxCount; }

    void insertImage(const QImage &image, QSize size, QByteArrayView source);
    // Adds `bytes` to the kept source of the picture inserted last, if nothing came after
    // it; a picture takes one such alternative.
    void appendAlternativeSource(QByteArrayView bytes);

    // The input has ended: the open paragraph takes its format and any table ends.
    void finish();

    // The longest run of characters inserted without a space or a paragraph end.
    qsizetype longestWord() const { return m_longestWord; }

private:
    const GroupState &group() const { return m_groups.back(); }
    void appendText(QStringView text);
    void useRunFormat();
    bool needsContentStart() const;
    void flushBytes();
    void flushRun();
    void beginContent();
    void startTableRow();
    void startPendingCell();
    void applyBlockFormat();
    void joinList(const ParaProps &p);
    bool mayStartTable();
    // Whether the next paragraph of m_list's style may join m_list rather than start a new
    // list (see kListChunk).
    bool mayGrowList();
    void closeTable();
    // The current character format as a paragraph's own (what is typed into it when empty).
    QTextCharFormat paragraphCharFormat() const;

    QTextDocument &m_doc;
    QTextCursor m_cursor;
    const std::vector<GroupState> &m_groups;
    const DocumentTables &m_tables;
    const Tokenizer &m_tokens;

    int m_imageCounter = 0;
    QString m_lastImageSource; // name of the source resource of the image just inserted

    PageDecoders m_decoders;
    QByteArray m_pendingBytes;
    int m_pendingCp = 0;
    QString m_run;
    CharProps m_runProps;
    char16_t m_highSurrogate = 0;

    // Block structure.
    bool m_needBlock = false;    // the next content starts a new paragraph
    bool m_blockOpen = false;    // the current block has content or was started
    QTextList *m_list = nullptr; // the list the previous paragraph joined
    int m_listStyle = 0;
    int m_listItems = 0;    // paragraphs in m_list
    qint64 m_listWalks = 0; // paragraphs walked for the numbered lists made so far
    QTextTable *m_table = nullptr;
    int m_row = -1, m_col = 0;
    bool m_inCell = false;
    bool m_cellPending = false; // a \cell ended; the next cell starts with its content
    qint64 m_fragments = 0;     // pieces inserted so far, about the fragments Qt walks
    qint64 m_tableWalks = 0;    // fragments walked for the tables inserted
    bool m_flatTables = false;  // the budget is spent: table cells are paragraphs
    int m_cellxCount = 0;
    std::vector<qsizetype> m_rowWords; // where each "\row" word of the input ends, in order
    qsizetype m_word = 0;              // characters since the last space or paragraph end
    qsizetype m_longestWord = 0;
};

} // namespace zorv::rtf
