#include "rtfreader.h"

#include "rtfparser.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>

namespace zorv {

bool looksLikeRtf(QByteArrayView bytes)
{
    return bytes.startsWith("{\\rtf");
}

namespace {

// The wrap mode a document had before wrapForLongWords changed it.
constexpr char kWrapBeforeLongWords[] = "zorvWrapBeforeLongWords";

} // namespace

qsizetype longestWord(QStringView text)
{
    qsizetype longest = 0;
    qsizetype run = 0;
    for (const QChar c : text) {
        if (c.isSpace()) {
            run = 0;
        } else if (++run > longest) {
            longest = run;
        }
    }
    return longest;
}

void wrapForLongWords(QTextDocument &document, bool longWord)
{
    QTextOption option = document.defaultTextOption();
    const QVariant before = document.property(kWrapBeforeLongWords);
    if (longWord) {
        if (!before.isValid())
            document.setProperty(kWrapBeforeLongWords, int(option.wrapMode()));
        option.setWrapMode(QTextOption::WrapAnywhere);
    } else if (before.isValid()) {
        option.setWrapMode(QTextOption::WrapMode(before.toInt()));
        document.setProperty(kWrapBeforeLongWords, QVariant());
    } else {
        return;
    }
    document.setDefaultTextOption(option);
}

void readRtf(QByteArrayView bytes, QTextDocument &document)
{
    document.clear();
    // One edit block for the whole read: Qt then neither lays out the block after each
    // insertion (which makes long paragraphs quadratic) nor reports every change, and
    // reading keeps no undo history.
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    QTextCursor edit(&document);
    edit.beginEditBlock();
    rtf::Parser parser(bytes, document);
    parser.run();
    // Before the edit block ends, when the new content is laid out.
    wrapForLongWords(document, parser.builder().longestWord() > kLongWordLength);
    edit.endEditBlock();
    document.setUndoRedoEnabled(undo);
}

} // namespace zorv
